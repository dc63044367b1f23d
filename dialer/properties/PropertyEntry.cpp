// Keys, matching and the release of property chains.
#include "dialer/properties/PropertyEntry.h"

#include "platform/base/WideString.h"

CPropertyEntry::CPropertyEntry(const CPropertyKey& key, CRefPtr<CPropertyEntry>&& next) : m_next(std::move(next)) {
    if (key.IsName()) {
        m_keyIsName = true;
        m_keyName = key.GetName();
    } else {
        m_keyId = key.GetId();
    }
}

CPropertyEntry::~CPropertyEntry() { ReleaseChain(m_next.Detach()); }

CGroupProperty::~CGroupProperty() { ReleaseChain(m_nested.Detach()); }

bool CPropertyEntry::Matches(const CPropertyKey& key) const {
    if (m_keyIsName != key.IsName()) return false;
    if (!m_keyIsName) return m_keyId == key.GetId();
    return wcscmp(m_keyName.c_str(), key.GetName()) == 0;
}

void CPropertyEntry::ReleaseChain(CPropertyEntry* first) {
    std::vector<CPropertyEntry*> pending;
    CPropertyEntry* entry = first;
    while (entry != nullptr || !pending.empty()) {
        if (entry == nullptr) {
            entry = pending.back();
            pending.pop_back();
        }
        if (entry->DecrementRef() != 0) {
            entry = nullptr;
            continue;
        }
        CPropertyEntry* next = entry->m_next.Detach();
        if (CPropertyEntry* nested = entry->DetachNested()) pending.push_back(nested);
        delete entry;
        entry = next;
    }
}
