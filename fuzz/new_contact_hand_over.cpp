// Pellorin's new-contact hand-over: the dialer's value under the hand-over key is any type and
// any bytes, and the helper must take it whole or not at all: the number is a REG_SZ's text up
// to its first terminator (or its end), anything else gives no number, and the value is gone
// afterwards while another hand-over beside it stays.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "pimhelper/NewContactHandOver.h"
#include "platform/base/HandsetRoot.h"
#include "platform/base/WideString.h"
#include "platform/registry/Registry.h"

namespace {

void Check(bool holds) {
    if (!holds) std::abort();
}

// The hand-over key, opened once in a registry of a temporary root kept for the whole run.
HKEY HandOverKey() {
    static HKEY key = [] {
        static char root[] = "/dev/shm/fuzz-hand-over-XXXXXX";
        if (!mkdtemp(root)) std::abort();
        platform::SetHandsetRoot(root);
        std::atexit([] { std::filesystem::remove_all(root); });
        HKEY made = nullptr;
        Check(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kNewContactKeyPath, 0, nullptr, 0, 0, nullptr, &made, nullptr) ==
              ERROR_SUCCESS);
        return made;
    }();
    return key;
}

std::u16string ValueName(DWORD key) {
    WCHAR name[9] = {};
    swprintf(name, ARRAYSIZE(name), u"%08X", key);
    return name;
}

bool Exists(HKEY key, const std::u16string& name) {
    return RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

}  // namespace

// The input: the hand-over key (4 bytes), the value's type (one byte, REG_SZ for most), then
// its data.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5 || size > 4096 + 5) return 0;
    HKEY key = HandOverKey();
    DWORD handOver = 0;
    std::memcpy(&handOver, data, sizeof handOver);
    const DWORD type = data[4] < 0xC0 ? REG_SZ : data[4] % 12;
    const std::vector<BYTE> bytes(data + 5, data + size);
    const std::u16string name = ValueName(handOver);
    const std::u16string beside = ValueName(handOver ^ 1);
    Check(RegSetValueExW(key, beside.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(u"5550100"), 16) ==
          ERROR_SUCCESS);
    // A size the type cannot have (a REG_DWORD of three bytes) is refused: nothing handed over.
    if (RegSetValueExW(key, name.c_str(), 0, type, bytes.data(), static_cast<DWORD>(bytes.size())) != ERROR_SUCCESS) {
        RegDeleteValueW(key, beside.c_str());
        return 0;
    }

    const std::u16string number = TakeNewContactNumber(handOver);
    std::u16string expected;
    if (type == REG_SZ) {
        expected.resize(bytes.size() / sizeof(char16_t));
        if (!expected.empty()) std::memcpy(expected.data(), bytes.data(), expected.size() * sizeof(char16_t));
        expected.resize(std::char_traits<char16_t>::length(expected.c_str()));
    }
    Check(number == expected);
    Check(!Exists(key, name) && Exists(key, beside));
    // Taken once: a second take finds nothing.
    Check(TakeNewContactNumber(handOver).empty());
    RegDeleteValueW(key, beside.c_str());
    return 0;
}
