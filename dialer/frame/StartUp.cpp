// Start-up and unload of the dialer library.
#include "dialer/frame/StartUp.h"

#include "dialer/foundation/Services.h"
#include "dialer/foundation/StringTable.h"
#include "dialer/layout/LayoutRepository.h"
#include "dialer/objects/ObjectFactory.h"
#include "dialer/pack/InstallDir.h"
#include "dialer/pack/PackRepository.h"
#include "dialer/surface/ScreenDpi.h"
#include "platform/base/Library.h"

namespace {

HMODULE g_resources = nullptr;

}  // namespace

bool StartUp() {
    CacheScreenDpi();
    if (g_resources != nullptr) return true;
    HMODULE resources = LoadLibraryExW(MakeInstallPath(u"CalvaneRes.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (resources == nullptr) return false;
    g_resources = resources;
    GetStringTable().SetModule(resources);
    SetResourceInstance(resources);

    CRefPtr<CPackRepositoryService> packs(new CPackRepository());
    SetPackRepository(packs.Holder());
    CRefPtr<CObjectFactoryService> factory(new CObjectFactory());
    SetObjectFactory(factory.Holder());
    CRefPtr<CLayoutRepositoryService> layouts(new CLayoutRepository());
    SetLayoutRepository(layouts.Holder());
    return true;
}

void ShutDown() {
    if (g_resources == nullptr) return;
    SetLayoutRepository(nullptr);
    SetObjectFactory(nullptr);
    SetPackRepository(nullptr);
    SetResourceInstance(nullptr);
    GetStringTable().SetModule(nullptr);
    FreeLibrary(g_resources);
    g_resources = nullptr;
}
