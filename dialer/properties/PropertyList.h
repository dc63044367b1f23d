// CPropertyList: the holder of a chain of layout values. New entries go in front, so the
// newest value of a key shadows older ones; entries with key 0 are nested groups,
// searched in place, and the first hit in chain order wins.
#pragma once

#include <new>
#include <string>
#include <utility>

#include "dialer/foundation/RefCounted.h"
#include "dialer/properties/PropertyEntry.h"
#include "dialer/properties/PropertyKey.h"
#include "dialer/surface/GdiObject.h"
#include "platform/base/Types.h"

class CPropertyList {
public:
    CPropertyList() = default;
    explicit CPropertyList(CRefPtr<CPropertyEntry> head) : m_head(std::move(head)) {}

    // The entry of key (with a reference), or null.
    CRefPtr<CPropertyEntry> Find(const CPropertyKey& key) const;

    // Typed reads: false when the key is absent (out untouched).
    bool GetInt(const CPropertyKey& key, LONG* out) const;
    bool GetString(const CPropertyKey& key, std::u16string* out) const;
    bool GetPoint(const CPropertyKey& key, POINT* out) const;
    bool GetRect(const CPropertyKey& key, RECT* out) const;
    // Assigns the shared font of the entry to *out.
    bool GetFont(const CPropertyKey& key, CSharedFont* out) const;

    bool IsEmpty() const { return !m_head; }
    CPropertyEntry* GetHead() const { return m_head.Get(); }
    const CRefPtr<CPropertyEntry>& GetHeadRef() const { return m_head; }
    void Clear() { m_head.Reset(); }

    // Puts a new entry in front: the list's old head becomes its next.
    template <class TEntry, class... Args>
    void Push(const CPropertyKey& key, Args&&... arguments);
    void SetHead(CRefPtr<CPropertyEntry> head) { m_head = std::move(head); }

private:
    CRefPtr<CPropertyEntry> m_head;
};

// Adders: the entry goes in front of the list; a name key is copied. Throw E_OUTOFMEMORY.
void AddIntProperty(CPropertyList& list, const CPropertyKey& key, LONG value);
void AddStringProperty(CPropertyList& list, const CPropertyKey& key, const std::u16string& value);
void AddPointProperty(CPropertyList& list, const CPropertyKey& key, POINT value);
void AddRectProperty(CPropertyList& list, const CPropertyKey& key, RECT value);
void AddFontProperty(CPropertyList& list, const CPropertyKey& key, const CSharedFont& font);
// Nothing for an empty nested list; an empty list takes the nested list's head itself;
// otherwise a group entry (key 0) referring to the nested list goes in front.
void AddGroup(CPropertyList& list, const CPropertyList& nested);

template <class TEntry, class... Args>
void CPropertyList::Push(const CPropertyKey& key, Args&&... arguments) {
    CRefPtr<CPropertyEntry> next = m_head;
    auto* entry = new (std::nothrow) TEntry(key, std::move(next), std::forward<Args>(arguments)...);
    if (entry == nullptr) ThrowOrm(E_OUTOFMEMORY);
    m_head.Reset(entry);
}
