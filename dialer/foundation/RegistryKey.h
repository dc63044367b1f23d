// RegistryKey: the one wrapper through which the dialer reads and writes its settings. It
// opens or creates a key, reads strings and numbers with defaults that are written back
// when the value is missing, and flushes the key when it is closed after a change.
#pragma once

#include <cstddef>
#include <string>

#include "platform/base/Types.h"
#include "platform/registry/Registry.h"

class RegistryKey {
public:
    // Read by GetDword: this default is returned without being written back.
    static constexpr DWORD kUnwrittenDefault = 0xDEF0;

    RegistryKey() = default;
    RegistryKey(HKEY root, LPCWSTR path, BOOL create, BOOL flushOnClose = TRUE, REGSAM access = KEY_ALL_ACCESS);
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    virtual ~RegistryKey();

    // Closes a key still open, then opens (create 0) or creates the key. A key that did not
    // exist before counts as changed, so it is flushed on close.
    bool Open(HKEY root, LPCWSTR path, BOOL create, BOOL flushOnClose = TRUE, REGSAM access = KEY_ALL_ACCESS);
    // Flushes a changed key when flush-on-close is set, then closes it. Always true.
    bool Close();

    // The REG_SZ value; a missing value is answered with defaultValue, which is written
    // back (empty, nothing written, for a null default). A value of another type gives a
    // copy of the default and is left alone.
    std::u16string GetString(LPCWSTR name, LPCWSTR defaultValue);
    bool SetString(LPCWSTR name, LPCWSTR value);
    // The value's first 4 bytes whatever its type; a missing value is answered with
    // defaultValue, written back (without counting as a change) unless it is 0xDEF0.
    DWORD GetDword(LPCWSTR name, DWORD defaultValue);
    // The value into *out, nothing written; false (out untouched) when it cannot be read.
    bool QueryDword(LPCWSTR name, DWORD* out);
    bool SetDword(LPCWSTR name, DWORD value);

    // Guards every write against missing strings handed in by callers.
    static bool IsReadableString(LPCWSTR text, std::size_t count = static_cast<std::size_t>(-1));

    HKEY GetHandle() const { return m_key; }
    DWORD GetDisposition() const { return m_disposition; }
    bool IsDirty() const { return m_dirty != FALSE; }

private:
    // The default's copy, or empty for a null one.
    static std::u16string DefaultText(LPCWSTR defaultValue);
    std::u16string WriteBackDefault(LPCWSTR name, LPCWSTR defaultValue);

    HKEY m_key = nullptr;
    DWORD m_disposition = 0;
    BOOL m_flushOnClose = TRUE;
    BOOL m_dirty = FALSE;
};

// The add-number prompt of the call windows, which the phone-extension frame shows.
class IAddNumberPrompt {
public:
    virtual void ShowAddNumberPrompt(LPCWSTR number) = 0;

protected:
    ~IAddNumberPrompt() = default;
};

// Reads "AddNumber" under HKEY_LOCAL_MACHINE "ControlPanel\Phone" (a missing value is
// created as 0) and shows prompt for number when it is not 0.
void PromptAddNumberIfEnabled(IAddNumberPrompt& prompt, LPCWSTR number);
