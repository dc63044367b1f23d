// Settings in the registry: defaults written back, and the flush on close.
#include "dialer/foundation/RegistryKey.h"

#include "platform/base/WideString.h"

namespace {

// A value that grows between the size query and the read is read again, a few times.
constexpr int kReadAttempts = 4;

}  // namespace

RegistryKey::RegistryKey(HKEY root, LPCWSTR path, BOOL create, BOOL flushOnClose, REGSAM access) {
    Open(root, path, create, flushOnClose, access);
}

RegistryKey::~RegistryKey() { Close(); }

bool RegistryKey::Open(HKEY root, LPCWSTR path, BOOL create, BOOL flushOnClose, REGSAM access) {
    Close();
    m_flushOnClose = flushOnClose;
    m_dirty = FALSE;
    HKEY key = nullptr;
    if (!create) {
        if (RegOpenKeyExW(root, path, 0, access, &key) != ERROR_SUCCESS) {
            m_key = nullptr;
            return false;
        }
        m_key = key;
        return true;
    }
    DWORD disposition = 0;
    if (RegCreateKeyExW(root, path, 0, nullptr, 0, access, nullptr, &key, &disposition) != ERROR_SUCCESS) {
        m_key = nullptr;
        return false;
    }
    m_key = key;
    m_disposition = disposition;
    if (disposition == REG_CREATED_NEW_KEY) m_dirty = TRUE;
    return true;
}

bool RegistryKey::Close() {
    if (m_key != nullptr) {
        if (m_flushOnClose && m_dirty) RegFlushKey(m_key);
        RegCloseKey(m_key);
        m_key = nullptr;
    }
    m_disposition = 0;
    return true;
}

bool RegistryKey::IsReadableString(LPCWSTR text, std::size_t) {
    // Pointers reach us from our own code, never from another address space, so a string
    // that exists can be read to its terminator; only the missing one is refused.
    return text != nullptr;
}

std::u16string RegistryKey::DefaultText(LPCWSTR defaultValue) {
    return defaultValue != nullptr ? std::u16string(defaultValue) : std::u16string();
}

std::u16string RegistryKey::WriteBackDefault(LPCWSTR name, LPCWSTR defaultValue) {
    if (!IsReadableString(defaultValue)) return {};
    SetString(name, defaultValue);
    return defaultValue;
}

std::u16string RegistryKey::GetString(LPCWSTR name, LPCWSTR defaultValue) {
    if (!IsReadableString(name)) return {};
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        DWORD type = REG_SZ;
        DWORD bytes = 0;
        LONG status = RegQueryValueExW(m_key, name, nullptr, &type, nullptr, &bytes);
        if (status == ERROR_FILE_NOT_FOUND) return WriteBackDefault(name, defaultValue);
        // A key that cannot be read (not open, damaged) keeps its values: the default is
        // answered without being written over them.
        if (status != ERROR_SUCCESS) return DefaultText(defaultValue);
        if (type != REG_SZ) return DefaultText(defaultValue);

        // Zero-filled and one character longer than the value, so that a value stored
        // without its terminator still ends after its last character.
        std::u16string buffer(static_cast<std::size_t>(bytes) / sizeof(WCHAR) + 1, u'\0');
        DWORD readBytes = bytes;
        status = RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<LPBYTE>(buffer.data()), &readBytes);
        if (status == ERROR_MORE_DATA) continue;
        if (status == ERROR_FILE_NOT_FOUND) return WriteBackDefault(name, defaultValue);
        if (status != ERROR_SUCCESS || type != REG_SZ) return DefaultText(defaultValue);
        buffer.resize(wcslen(buffer.c_str()));
        return buffer;
    }
    return DefaultText(defaultValue);
}

bool RegistryKey::SetString(LPCWSTR name, LPCWSTR value) {
    if (!IsReadableString(name) || !IsReadableString(value)) return false;
    m_dirty = TRUE;
    const std::size_t bytes = (wcslen(value) + 1) * sizeof(WCHAR);
    if (bytes > 0xFFFFFFFFull) return false;
    return RegSetValueExW(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(bytes)) ==
           ERROR_SUCCESS;
}

DWORD RegistryKey::GetDword(LPCWSTR name, DWORD defaultValue) {
    DWORD value = 0;
    if (QueryDword(name, &value)) return value;
    // Only a value that is really missing gets the default: a longer value of another
    // type is not overwritten.
    DWORD type = REG_NONE;
    DWORD bytes = 0;
    const bool missing = RegQueryValueExW(m_key, name, nullptr, &type, nullptr, &bytes) == ERROR_FILE_NOT_FOUND;
    if (missing && defaultValue != kUnwrittenDefault) {
        const BYTE data[4] = {static_cast<BYTE>(defaultValue), static_cast<BYTE>(defaultValue >> 8),
                              static_cast<BYTE>(defaultValue >> 16), static_cast<BYTE>(defaultValue >> 24)};
        RegSetValueExW(m_key, name, 0, REG_DWORD, data, sizeof data);
    }
    return defaultValue;
}

bool RegistryKey::QueryDword(LPCWSTR name, DWORD* out) {
    // Zeroed first: a value shorter than 4 bytes reads as its bytes followed by zeros.
    BYTE data[4] = {};
    DWORD type = REG_DWORD;
    DWORD bytes = sizeof data;
    if (RegQueryValueExW(m_key, name, nullptr, &type, data, &bytes) != ERROR_SUCCESS) return false;
    if (out != nullptr)
        *out = static_cast<DWORD>(data[0]) | static_cast<DWORD>(data[1]) << 8 | static_cast<DWORD>(data[2]) << 16 |
               static_cast<DWORD>(data[3]) << 24;
    return true;
}

bool RegistryKey::SetDword(LPCWSTR name, DWORD value) {
    if (!IsReadableString(name)) return false;
    m_dirty = TRUE;
    const BYTE data[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
                          static_cast<BYTE>(value >> 24)};
    return RegSetValueExW(m_key, name, 0, REG_DWORD, data, sizeof data) == ERROR_SUCCESS;
}

void PromptAddNumberIfEnabled(IAddNumberPrompt& prompt, LPCWSTR number) {
    RegistryKey key(HKEY_LOCAL_MACHINE, u"ControlPanel\\Phone", FALSE, FALSE, KEY_ALL_ACCESS);
    if (key.GetDword(u"AddNumber", 0) != 0) prompt.ShowAddNumberPrompt(number);
}
