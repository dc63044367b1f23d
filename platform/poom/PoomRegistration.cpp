// Makes the object model reachable: its application class for CoCreateInstance and the
// stand-in library "pimstore.dll".
#include "platform/base/Library.h"
#include "platform/com/Com.h"
#include "platform/poom/Application.h"
#include "platform/poom/PimStore.h"

namespace platform::poom {

void RegisterPoom() {
    IClassFactory* factory = NewApplicationFactory();
    com::RegisterClassFactory(CLSID_Application, factory);
    factory->Release();
    RegisterStandInLibrary(u"pimstore.dll",
                           {{nullptr, kPickNewItemOrdinal, reinterpret_cast<FARPROC>(&PickNewItem)},
                            {nullptr, kCopyContactOrdinal, reinterpret_cast<FARPROC>(&CopyContact)}});
}

}  // namespace platform::poom
