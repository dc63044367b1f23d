// Fuzz harness: the bytes are a whole registry.db, as a process finds it when it starts, and
// a few calls read and write it. A file they call damaged (ERROR_BADDB or
// ERROR_REGISTRY_CORRUPT) must be left byte for byte as it was; on any other every call works.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz/FuzzHandsetFile.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryTesting.h"

namespace {

void Check(bool holds) {
    if (!holds) std::abort();
}

bool IsDamage(LONG result) { return result == ERROR_BADDB || result == ERROR_REGISTRY_CORRUPT; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzHandsetFile file("registry.db");
    platform::registry::testing::CloseRegistry();
    file.Write(data, size);

    std::vector<LONG> results;
    HKEY key = nullptr;
    results.push_back(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Fuzz", 0, KEY_READ, &key));
    if (results.back() == ERROR_SUCCESS) {
        BYTE buffer[16];
        DWORD bytes = sizeof buffer;
        const LONG read = RegQueryValueExW(key, u"Value", nullptr, nullptr, buffer, &bytes);
        results.push_back(read == ERROR_FILE_NOT_FOUND || read == ERROR_MORE_DATA ? ERROR_SUCCESS : read);
        RegCloseKey(key);
    } else if (results.back() == ERROR_FILE_NOT_FOUND) {
        results.back() = ERROR_SUCCESS;
    }
    HKEY created = nullptr;
    results.push_back(RegCreateKeyExW(HKEY_CURRENT_USER, u"Fuzz", 0, nullptr, 0, 0, nullptr, &created, nullptr));
    const DWORD written = static_cast<DWORD>(size);
    results.push_back(RegSetValueExW(created, u"Value", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&written), 4));
    DWORD back = 0;
    DWORD bytes = sizeof back;
    DWORD type = REG_NONE;
    results.push_back(RegQueryValueExW(created, u"Value", nullptr, &type, reinterpret_cast<BYTE*>(&back), &bytes));
    RegCloseKey(created);

    bool damaged = false;
    for (LONG result : results) damaged = damaged || IsDamage(result);
    if (damaged) {
        platform::registry::testing::CloseRegistry();
        Check(file.Holds(data, size));
    } else {
        for (LONG result : results) Check(result == ERROR_SUCCESS);
        Check(type == REG_DWORD && bytes == 4 && back == written);
    }
    return 0;
}
