// Localised strings: the process-wide string table loads a text by resource id from the
// resource module and passes it through an override map keyed by the loaded text, so that
// a text can be replaced without touching the resource library.
#pragma once

#include <atomic>
#include <string>

#include "dialer/foundation/HashTable.h"
#include "platform/base/Types.h"

class CStringTable {
public:
    static constexpr int kLoadBufferSize = 2048;

    // Empty case-sensitive override map of 1024 slots; the module of the host process.
    CStringTable();
    virtual ~CStringTable() = default;

    // LoadStringW(module, id, buffer, size); a loaded text that has a non-empty override
    // is replaced by it, cut to size - 1 characters and terminated. Returns the length of
    // the text in buffer; 0 for a missing id or a size below 1.
    int LoadString(HINSTANCE module, UINT id, LPWSTR buffer, int size);

    HINSTANCE GetModule() const { return m_module.load(); }
    void SetModule(HINSTANCE module) { m_module.store(module); }

    // Texts by key: the overrides of loaded texts.
    CHashTable& GetOverrides() { return m_overrides; }

private:
    DWORD m_reserved = 0;
    CHashTable m_overrides;
    std::atomic<HINSTANCE> m_module;
};

// The process-wide table, made on first use.
CStringTable& GetStringTable();

// The module that start-up registered for the library's resources (null until then).
HINSTANCE GetResourceInstance();
void SetResourceInstance(HINSTANCE module);

// out = the text of id from the resource module through table, read into a buffer of
// 2048 characters and trimmed to its terminated length; empty for a missing id.
void LoadResStringInto(CStringTable& table, std::u16string& out, UINT id);
void LoadResString(std::u16string& out, UINT id);
std::u16string LoadResString(UINT id);
