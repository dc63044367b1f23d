// Layout values: CPropertyEntry, a counted link of a property list with its key, and its
// typed classes (integer or colour, string, point, rectangle, font, nested group). Each
// type answers its own getter; the others give empty defaults.
#pragma once

#include <string>
#include <vector>

#include "dialer/foundation/RefCounted.h"
#include "dialer/properties/PropertyKey.h"
#include "dialer/surface/GdiObject.h"
#include "platform/base/Types.h"

constexpr DWORD PROPERTY_TYPE_NONE = 0;
constexpr DWORD PROPERTY_TYPE_INT = 1;
constexpr DWORD PROPERTY_TYPE_STRING = 2;
constexpr DWORD PROPERTY_TYPE_POINT = 3;
constexpr DWORD PROPERTY_TYPE_RECT = 4;
constexpr DWORD PROPERTY_TYPE_FONT = 5;
constexpr DWORD PROPERTY_TYPE_GROUP = 6;

class CPropertyEntry : public CRefCounted {
public:
    ~CPropertyEntry() override;

    virtual DWORD GetType() const { return PROPERTY_TYPE_NONE; }
    virtual LONG GetInt() const { return 0; }
    virtual std::u16string GetString() const { return {}; }
    virtual POINT GetPoint() const { return POINT{0, 0}; }
    virtual RECT GetRect() const { return RECT{0, 0, 0, 0}; }
    virtual CSharedFont GetFont() const { return {}; }
    // The head of the nested list of a group (not add-ref'd), or null.
    virtual CPropertyEntry* GetGroup() const { return nullptr; }

    bool KeyIsName() const { return m_keyIsName; }
    UINT GetKeyId() const { return m_keyId; }
    LPCWSTR GetKeyName() const { return m_keyIsName ? m_keyName.c_str() : nullptr; }
    // Key 0: a nested group, searched in place.
    bool IsGroupKey() const { return !m_keyIsName && m_keyId == 0; }
    bool Matches(const CPropertyKey& key) const;

    CPropertyEntry* GetNext() const { return m_next.Get(); }

protected:
    // The entry takes over the reference in next (the list's old head).
    CPropertyEntry(const CPropertyKey& key, CRefPtr<CPropertyEntry>&& next);
    virtual CPropertyEntry* DetachNested() { return nullptr; }

private:
    // Releases a chain of entries without recursion: an entry that dies hands its links
    // to this loop instead of releasing them in its own destructor, so long lists and
    // deep groups cannot exhaust the stack.
    static void ReleaseChain(CPropertyEntry* first);

    UINT m_keyId = 0;
    bool m_keyIsName = false;
    std::u16string m_keyName;
    CRefPtr<CPropertyEntry> m_next;

    friend class CGroupProperty;
};

class CIntProperty : public CPropertyEntry {
public:
    CIntProperty(const CPropertyKey& key, CRefPtr<CPropertyEntry>&& next, LONG value)
        : CPropertyEntry(key, std::move(next)), m_value(value) {}
    DWORD GetType() const override { return PROPERTY_TYPE_INT; }
    LONG GetInt() const override { return m_value; }

private:
    LONG m_value;
};

class CStringProperty : public CPropertyEntry {
public:
    CStringProperty(const CPropertyKey& key, CRefPtr<CPropertyEntry>&& next, std::u16string value)
        : CPropertyEntry(key, std::move(next)), m_value(std::move(value)) {}
    DWORD GetType() const override { return PROPERTY_TYPE_STRING; }
    std::u16string GetString() const override { return m_value; }

private:
    std::u16string m_value;
};

class CPointProperty : public CPropertyEntry {
public:
    CPointProperty(const CPropertyKey& key, CRefPtr<CPropertyEntry>&& next, POINT value)
        : CPropertyEntry(key, std::move(next)), m_value(value) {}
    DWORD GetType() const override { return PROPERTY_TYPE_POINT; }
    POINT GetPoint() const override { return m_value; }

private:
    POINT m_value;
};

class CRectProperty : public CPropertyEntry {
public:
    CRectProperty(const CPropertyKey& key, CRefPtr<CPropertyEntry>&& next, RECT value)
        : CPropertyEntry(key, std::move(next)), m_value(value) {}
    DWORD GetType() const override { return PROPERTY_TYPE_RECT; }
    RECT GetRect() const override { return m_value; }

private:
    RECT m_value;
};

class CFontProperty : public CPropertyEntry {
public:
    CFontProperty(const CPropertyKey& key, CRefPtr<CPropertyEntry>&& next, CSharedFont font)
        : CPropertyEntry(key, std::move(next)), m_font(std::move(font)) {}
    DWORD GetType() const override { return PROPERTY_TYPE_FONT; }
    // A new reference on the shared font.
    CSharedFont GetFont() const override { return m_font; }

private:
    CSharedFont m_font;
};

class CGroupProperty : public CPropertyEntry {
public:
    CGroupProperty(CRefPtr<CPropertyEntry>&& next, CRefPtr<CPropertyEntry> nested)
        : CPropertyEntry(0, std::move(next)), m_nested(std::move(nested)) {}
    ~CGroupProperty() override;
    DWORD GetType() const override { return PROPERTY_TYPE_GROUP; }
    CPropertyEntry* GetGroup() const override { return m_nested.Get(); }

protected:
    CPropertyEntry* DetachNested() override { return m_nested.Detach(); }

private:
    CRefPtr<CPropertyEntry> m_nested;
};
