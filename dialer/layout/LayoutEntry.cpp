// Layout entries and entry lists, and their release without recursion.
#include "dialer/layout/LayoutEntry.h"

#include <new>
#include <utility>

#include "dialer/foundation/OrmException.h"
#include "platform/base/WideString.h"

CLayoutEntry::CLayoutEntry(std::u16string name, CPropertyList properties, CRefPtr<CEntryList> entries)
    : m_name(std::move(name)), m_properties(std::move(properties)), m_entries(std::move(entries)) {}

CLayoutEntry::~CLayoutEntry() { CEntryList::ReleaseLists(m_entries.Detach()); }

CEntryList::~CEntryList() {
    for (CLayoutEntry* entry : m_entries) ReleaseRef(&entry);
}

void CEntryList::Append(CLayoutEntry* entry) {
    if (entry == nullptr) return;
    try {
        m_entries.push_back(entry);
    } catch (const std::bad_alloc&) {
        ThrowOrm(E_OUTOFMEMORY);
    }
    entry->AddRef();
}

CRefPtr<CLayoutEntry> CEntryList::FindByName(LPCWSTR name) const {
    LPCWSTR wanted = name != nullptr ? name : u"";
    for (std::size_t i = m_entries.size(); i-- > 0;)
        if (_wcsicmp(m_entries[i]->GetName().c_str(), wanted) == 0) return CRefPtr<CLayoutEntry>(m_entries[i]);
    return {};
}

std::vector<CLayoutEntry*> CEntryList::TakeEntries() { return std::exchange(m_entries, {}); }

void CEntryList::ReleaseLists(CEntryList* first) {
    // A list whose last reference goes hands its entries to this loop; an entry that dies
    // hands its own list back, instead of each destructor releasing the next level.
    std::vector<CEntryList*> lists{first};
    while (!lists.empty()) {
        CEntryList* list = lists.back();
        lists.pop_back();
        if (list == nullptr || list->DecrementRef() != 0) continue;
        for (CLayoutEntry* entry : list->TakeEntries()) {
            if (entry->DecrementRef() != 0) continue;
            lists.push_back(entry->m_entries.Detach());
            delete entry;
        }
        delete list;
    }
}
