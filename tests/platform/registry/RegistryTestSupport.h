// Small helpers for the registry tests: opening keys, writing and reading values as bytes.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/registry/Registry.h"

namespace registry_test {

inline HKEY CreateKey(HKEY parent, LPCWSTR path, DWORD* disposition = nullptr) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(parent, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, disposition), ERROR_SUCCESS);
    return key;
}

// The UTF-16LE bytes of a text, with its terminator when asked.
inline std::vector<BYTE> TextBytes(std::u16string_view text, bool terminator) {
    std::vector<BYTE> bytes;
    for (WCHAR c : text) {
        bytes.push_back(static_cast<BYTE>(c & 0xFF));
        bytes.push_back(static_cast<BYTE>(c >> 8));
    }
    if (terminator) bytes.insert(bytes.end(), {0, 0});
    return bytes;
}

inline LONG SetBytes(HKEY key, LPCWSTR name, DWORD type, const std::vector<BYTE>& bytes) {
    return RegSetValueExW(key, name, 0, type, bytes.data(), static_cast<DWORD>(bytes.size()));
}

inline LONG SetDword(HKEY key, LPCWSTR name, DWORD value) {
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

// Reads a value's type and bytes; the type is REG_NONE and the bytes empty when it fails.
struct ReadValue {
    LONG result = ERROR_SUCCESS;
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

inline ReadValue GetBytes(HKEY key, LPCWSTR name) {
    ReadValue value;
    DWORD size = 0;
    value.result = RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size);
    if (value.result != ERROR_SUCCESS) return value;
    value.bytes.resize(size);
    value.result = RegQueryValueExW(key, name, nullptr, &value.type, value.bytes.data(), &size);
    value.bytes.resize(size);
    return value;
}

inline DWORD GetDword(HKEY key, LPCWSTR name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    EXPECT_EQ(RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
    return value;
}

// Names of a key's subkeys or values in enumeration order.
inline std::vector<std::u16string> SubKeyNames(HKEY key) {
    std::vector<std::u16string> names;
    for (DWORD index = 0;; ++index) {
        WCHAR name[256];
        DWORD chars = 256;
        const LONG result = RegEnumKeyExW(key, index, name, &chars, nullptr, nullptr, nullptr, nullptr);
        if (result != ERROR_SUCCESS) {
            EXPECT_EQ(result, ERROR_NO_MORE_ITEMS);
            break;
        }
        names.emplace_back(name, chars);
    }
    return names;
}

inline std::vector<std::u16string> ValueNames(HKEY key) {
    std::vector<std::u16string> names;
    for (DWORD index = 0;; ++index) {
        WCHAR name[256];
        DWORD chars = 256;
        const LONG result = RegEnumValueW(key, index, name, &chars, nullptr, nullptr, nullptr, nullptr);
        if (result != ERROR_SUCCESS) {
            EXPECT_EQ(result, ERROR_NO_MORE_ITEMS);
            break;
        }
        names.emplace_back(name, chars);
    }
    return names;
}

}  // namespace registry_test
