// CStringTable, the process-wide instance and the resource-string loaders.
#include "dialer/foundation/StringTable.h"

#include <algorithm>
#include <cstring>

#include "platform/base/Library.h"
#include "platform/base/StringResource.h"
#include "platform/base/WideString.h"

namespace {

std::atomic<HINSTANCE> g_resourceInstance{nullptr};

}  // namespace

CStringTable::CStringTable() : m_overrides(true), m_module(GetModuleHandleW(nullptr)) {
    static_cast<void>(m_reserved);
    m_overrides.SetInitialBits(10);
}

int CStringTable::LoadString(HINSTANCE module, UINT id, LPWSTR buffer, int size) {
    if (buffer == nullptr || size < 1) return 0;
    const int loaded = LoadStringW(module, id, buffer, size);
    if (loaded == 0) return 0;
    LPCWSTR replacement = nullptr;
    if (m_overrides.Lookup(buffer, &replacement) && replacement != nullptr && replacement[0] != 0) {
        // Cut to fit and always terminate: the override may be longer than the buffer.
        const std::size_t length = std::min(wcslen(replacement), static_cast<std::size_t>(size) - 1);
        std::memcpy(buffer, replacement, length * sizeof(WCHAR));
        buffer[length] = 0;
        return static_cast<int>(length);
    }
    return loaded;
}

CStringTable& GetStringTable() {
    static CStringTable table;
    return table;
}

HINSTANCE GetResourceInstance() { return g_resourceInstance.load(); }

void SetResourceInstance(HINSTANCE module) { g_resourceInstance.store(module); }

void LoadResStringInto(CStringTable& table, std::u16string& out, UINT id) {
    out.assign(CStringTable::kLoadBufferSize, u'\0');
    table.LoadString(GetResourceInstance(), id, out.data(), CStringTable::kLoadBufferSize);
    out.resize(wcslen(out.c_str()));
}

void LoadResString(std::u16string& out, UINT id) { LoadResStringInto(GetStringTable(), out, id); }

std::u16string LoadResString(UINT id) {
    std::u16string text;
    LoadResString(text, id);
    return text;
}
