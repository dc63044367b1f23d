// The cached install folder.
#include "dialer/pack/InstallDir.h"

#include <mutex>

#include "dialer/foundation/RegistryKey.h"
#include "platform/user/CharCase.h"

namespace {

std::mutex g_mutex;
// Filled by the first call that finds a value; never changes afterwards.
std::u16string g_installDir;

}  // namespace

std::u16string GetInstallDir() {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_installDir.empty()) return g_installDir;

    RegistryKey key(HKEY_LOCAL_MACHINE, u"\\SOFTWARE\\Halvorn\\Dialer", TRUE, TRUE, KEY_ALL_ACCESS);
    std::u16string folder = key.GetString(u"InstallDir", nullptr);
    if (folder.empty()) return {};
    if (folder.back() != u'\\') folder += u'\\';
    CharLowerBuffW(folder.data(), static_cast<DWORD>(folder.size()));
    g_installDir = folder;
    return g_installDir;
}

std::u16string MakeInstallPath(LPCWSTR fileName) {
    std::u16string path = GetInstallDir();
    if (fileName != nullptr) path += fileName;
    return path;
}
