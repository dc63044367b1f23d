// CPropertySet: the property reader over a property list, with an optional override
// reader asked first (a plug-in that answers some keys itself). A null out-pointer is a
// broken contract: it throws E_INVALIDARG.
#pragma once

#include "dialer/foundation/Unknown.h"
#include "dialer/properties/PropertyList.h"
#include "dialer/properties/PropertyReader.h"

class CPropertySet : public CUnknownImpl<IPropertyReader> {
public:
    CPropertySet(const CPropertyList& list, IPropertyReader* overrideReader);

    HRESULT GetInt(CPropertyKey key, LONG* out) override;
    HRESULT GetString(CPropertyKey key, BSTR* out) override;
    HRESULT GetPoint(CPropertyKey key, POINT* out) override;
    HRESULT GetRect(CPropertyKey key, RECT* out) override;
    HRESULT GetFont(CPropertyKey key, HFONT* out) override;
    HRESULT GetObject(CPropertyKey key, IUnknown** out) override;

private:
    CInterfacePtr<IPropertyReader> m_override;
    CPropertyList m_list;
};

// A property set over list (and override, which may be null), with one reference for the
// caller. Throws E_OUTOFMEMORY.
CInterfacePtr<IPropertyReader> CreatePropertySet(const CPropertyList& list, IPropertyReader* overrideReader);
