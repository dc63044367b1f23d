// Reading and deleting a new-contact hand-over value.
#include "pimhelper/NewContactHandOver.h"

#include <vector>

#include "dialer/foundation/RegistryKey.h"
#include "platform/base/WideString.h"
#include "platform/registry/Registry.h"

namespace {

// A value rewritten between the size query and the read is read again, a few times at most.
constexpr int kReadAttempts = 3;

}  // namespace

std::u16string TakeNewContactNumber(DWORD handOverKey) {
    // Opened only: a hand-over key that does not exist holds nothing to take.
    RegistryKey key(HKEY_LOCAL_MACHINE, kNewContactKeyPath, FALSE);
    HKEY handOver = key.GetHandle();
    if (handOver == nullptr) return {};
    WCHAR name[9] = {};
    swprintf(name, ARRAYSIZE(name), u"%08X", handOverKey);

    std::u16string number;
    bool found = false;
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        DWORD type = REG_NONE;
        DWORD bytes = 0;
        LONG status = RegQueryValueExW(handOver, name, nullptr, &type, nullptr, &bytes);
        if (status != ERROR_SUCCESS) break;
        found = true;
        if (type != REG_SZ) break;
        std::vector<BYTE> data(bytes + sizeof(WCHAR), 0);
        status = RegQueryValueExW(handOver, name, nullptr, &type, data.data(), &bytes);
        if (status == ERROR_MORE_DATA) continue;
        if (status == ERROR_SUCCESS && type == REG_SZ) {
            // Up to the first terminator; a value stored without one ends with its bytes.
            std::size_t chars = bytes / sizeof(WCHAR);
            const auto* text = reinterpret_cast<const WCHAR*>(data.data());
            number.assign(text, wcsnlen(text, chars));
        }
        break;
    }
    if (found) {
        RegDeleteValueW(handOver, name);
        RegFlushKey(handOver);
    }
    return number;
}
