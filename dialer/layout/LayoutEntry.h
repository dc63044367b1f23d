// The records of a layout set: CLayoutEntry (a layout, a group of plug-ins or a plug-in,
// with its name, its property list and, for layouts and groups, the list of its entries)
// and CEntryList, the ordered list in which entries are found by name.
#pragma once

#include <string>
#include <vector>

#include "dialer/foundation/RefCounted.h"
#include "dialer/properties/PropertyList.h"
#include "platform/base/Types.h"

class CEntryList;

class CLayoutEntry : public CRefCounted {
public:
    // entries: the plug-in list of a layout or group; null for a plain plug-in.
    CLayoutEntry(std::u16string name, CPropertyList properties, CRefPtr<CEntryList> entries);
    // Releases nested lists without recursion, so deeply nested groups cannot exhaust the
    // stack.
    ~CLayoutEntry() override;

    const std::u16string& GetName() const { return m_name; }
    CPropertyList& GetProperties() { return m_properties; }
    const CPropertyList& GetProperties() const { return m_properties; }
    CEntryList* GetEntries() const { return m_entries.Get(); }

private:
    std::u16string m_name;
    CPropertyList m_properties;
    CRefPtr<CEntryList> m_entries;

    friend class CEntryList;
};

class CEntryList : public CRefCounted {
public:
    ~CEntryList() override;

    // Appends entry (adding a reference). Throws E_OUTOFMEMORY.
    void Append(CLayoutEntry* entry);
    std::size_t GetCount() const { return m_entries.size(); }
    CLayoutEntry* GetAt(std::size_t index) const { return index < m_entries.size() ? m_entries[index] : nullptr; }
    // Searched from the last entry to the first, names compared without case, so the later
    // of two entries with one name is found. A null name is the empty name.
    CRefPtr<CLayoutEntry> FindByName(LPCWSTR name) const;

private:
    // Takes the entries out of the list, one reference each, for the release loop.
    std::vector<CLayoutEntry*> TakeEntries();
    static void ReleaseLists(CEntryList* first);

    std::vector<CLayoutEntry*> m_entries;  // one reference each

    friend class CLayoutEntry;
};
