// The key of a layout property: a small integer id (below 0x10000) or a name. Integer 0
// marks a nested group of properties.
#pragma once

#include "dialer/foundation/OrmException.h"
#include "platform/base/Types.h"

class CPropertyKey {
public:
    static constexpr UINT kMaxId = 0xFFFF;

    // An integer key; ids from 0x10000 up cannot be told from names and are refused
    // (E_INVALIDARG).
    CPropertyKey(int id) : m_id(static_cast<UINT>(id)) {
        if (id < 0 || static_cast<UINT>(id) > kMaxId) ThrowOrm(E_INVALIDARG);
    }
    // A name key; a value below 0x10000 (MAKEINTRESOURCEW, or null) is an integer key.
    CPropertyKey(LPCWSTR name) {
        if (IS_INTRESOURCE(name))
            m_id = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name));
        else
            m_name = name;
    }

    bool IsName() const { return m_name != nullptr; }
    UINT GetId() const { return m_id; }
    LPCWSTR GetName() const { return m_name; }

private:
    UINT m_id = 0;
    LPCWSTR m_name = nullptr;
};
