// Look-up in property lists and the adders.
#include "dialer/properties/PropertyList.h"

#include <new>
#include <vector>

CRefPtr<CPropertyEntry> CPropertyList::Find(const CPropertyKey& key) const {
    // Where to go on once a nested group has been searched; an explicit stack, so deep
    // groups cannot exhaust the thread's stack.
    std::vector<const CPropertyEntry*> resume;
    const CPropertyEntry* entry = m_head.Get();
    for (;;) {
        if (entry == nullptr) {
            if (resume.empty()) return {};
            entry = resume.back();
            resume.pop_back();
            continue;
        }
        if (entry->IsGroupKey()) {
            resume.push_back(entry->GetNext());
            entry = entry->GetGroup();
            continue;
        }
        if (entry->Matches(key)) return CRefPtr<CPropertyEntry>(const_cast<CPropertyEntry*>(entry));
        entry = entry->GetNext();
    }
}

bool CPropertyList::GetInt(const CPropertyKey& key, LONG* out) const {
    CRefPtr<CPropertyEntry> entry = Find(key);
    if (!entry) return false;
    if (out != nullptr) *out = entry->GetInt();
    return true;
}

bool CPropertyList::GetString(const CPropertyKey& key, std::u16string* out) const {
    CRefPtr<CPropertyEntry> entry = Find(key);
    if (!entry) return false;
    if (out != nullptr) *out = entry->GetString();
    return true;
}

bool CPropertyList::GetPoint(const CPropertyKey& key, POINT* out) const {
    CRefPtr<CPropertyEntry> entry = Find(key);
    if (!entry) return false;
    if (out != nullptr) *out = entry->GetPoint();
    return true;
}

bool CPropertyList::GetRect(const CPropertyKey& key, RECT* out) const {
    CRefPtr<CPropertyEntry> entry = Find(key);
    if (!entry) return false;
    if (out != nullptr) *out = entry->GetRect();
    return true;
}

bool CPropertyList::GetFont(const CPropertyKey& key, CSharedFont* out) const {
    CRefPtr<CPropertyEntry> entry = Find(key);
    if (!entry) return false;
    if (out != nullptr) AssignRef(out, entry->GetFont());
    return true;
}

void AddIntProperty(CPropertyList& list, const CPropertyKey& key, LONG value) {
    list.Push<CIntProperty>(key, value);
}

void AddStringProperty(CPropertyList& list, const CPropertyKey& key, const std::u16string& value) {
    list.Push<CStringProperty>(key, value);
}

void AddPointProperty(CPropertyList& list, const CPropertyKey& key, POINT value) {
    list.Push<CPointProperty>(key, value);
}

void AddRectProperty(CPropertyList& list, const CPropertyKey& key, RECT value) {
    list.Push<CRectProperty>(key, value);
}

void AddFontProperty(CPropertyList& list, const CPropertyKey& key, const CSharedFont& font) {
    list.Push<CFontProperty>(key, font);
}

void AddGroup(CPropertyList& list, const CPropertyList& nested) {
    if (nested.IsEmpty()) return;
    if (list.IsEmpty()) {
        list.SetHead(nested.GetHeadRef());
        return;
    }
    CRefPtr<CPropertyEntry> next = list.GetHeadRef();
    auto* group = new (std::nothrow) CGroupProperty(std::move(next), nested.GetHeadRef());
    if (group == nullptr) ThrowOrm(E_OUTOFMEMORY);
    list.SetHead(CRefPtr<CPropertyEntry>(group));
}
