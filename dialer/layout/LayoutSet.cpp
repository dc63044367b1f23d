// Layer tables and layout sets.
#include "dialer/layout/LayoutSet.h"

#include <new>

#include "dialer/foundation/OrmException.h"
#include "platform/base/WideString.h"

void CLayerTable::Append(CRefPtr<CLayerEntry> layer) {
    try {
        m_layers.push_back(std::move(layer));
    } catch (const std::bad_alloc&) {
        ThrowOrm(E_OUTOFMEMORY);
    }
}

CLayerEntry* CLayerTable::FindByName(LPCWSTR name) const {
    LPCWSTR wanted = name != nullptr ? name : u"";
    for (std::size_t i = m_layers.size(); i-- > 0;)
        if (_wcsicmp(m_layers[i]->GetName().c_str(), wanted) == 0) return m_layers[i].Get();
    return nullptr;
}

CRefPtr<CLayoutEntry> CLayoutSet::FindLayout(LPCWSTR name) const {
    if (!m_layouts || m_layouts->GetEntries() == nullptr) return {};
    return m_layouts->GetEntries()->FindByName(name);
}
