// Fuzz harness: any bytes stored as a registry value of each type and read back through the
// size query, an exact buffer with a guard byte, a buffer one byte short and enumeration.
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/base/HandsetRoot.h"
#include "platform/registry/Registry.h"

static HKEY FuzzKey() {
    static char root[] = "/tmp/fuzz-registry-XXXXXX";
    if (!mkdtemp(root)) std::abort();
    platform::SetHandsetRoot(root);
    std::atexit([] { std::filesystem::remove_all(root); });
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, u"Fuzz", 0, nullptr, 0, 0, nullptr, &key, nullptr) != 0) std::abort();
    return key;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static HKEY key = FuzzKey();
    const DWORD bytes = static_cast<DWORD>(size);
    for (DWORD type : {REG_NONE, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ}) {
        const LONG set = RegSetValueExW(key, u"Value", 0, type, data, bytes);
        if (type == REG_DWORD && size != 4 && set == ERROR_INVALID_PARAMETER) continue;
        DWORD storedType = 0, got = 0, shortBytes = bytes - 1, nameChars = 8;
        WCHAR name[8];
        std::vector<BYTE> buffer(size + 1, 0xA5);  // the byte after the value must stay untouched
        if (set != 0 || RegQueryValueExW(key, u"VALUE", nullptr, &storedType, nullptr, &got) != 0 ||
            storedType != type || got != bytes)
            std::abort();
        if (size > 0 &&
            (RegQueryValueExW(key, u"value", nullptr, nullptr, buffer.data(), &shortBytes) != ERROR_MORE_DATA ||
             shortBytes != bytes || buffer[0] != 0xA5))
            std::abort();
        if (RegEnumValueW(key, 0, name, &nameChars, nullptr, nullptr, buffer.data(), &got) != 0 || got != bytes ||
            (size && std::memcmp(buffer.data(), data, size) != 0) || buffer[size] != 0xA5)
            std::abort();
    }
    return 0;
}
