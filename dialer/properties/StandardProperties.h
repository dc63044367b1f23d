// CStandardProperties: the standard-properties reader over a property list, with one
// accessor per well-known key. Unlike CPropertySet it has no override reader and answers
// a null out-pointer with E_INVALIDARG instead of throwing.
#pragma once

#include "dialer/foundation/Unknown.h"
#include "dialer/properties/PropertyList.h"
#include "dialer/properties/PropertyReader.h"

class CStandardProperties : public CUnknownImpl<IStandardProperties> {
public:
    explicit CStandardProperties(const CPropertyList& list) : m_list(list) {}

    HRESULT GetInt(CPropertyKey key, LONG* out) override;
    HRESULT GetString(CPropertyKey key, BSTR* out) override;
    HRESULT GetPoint(CPropertyKey key, POINT* out) override;
    HRESULT GetRect(CPropertyKey key, RECT* out) override;
    HRESULT GetFont(CPropertyKey key, HFONT* out) override;
    HRESULT GetObject(CPropertyKey key, IUnknown** out) override;

    HRESULT GetString1(BSTR* out) override { return GetString(PROPERTY_STRING1, out); }
    HRESULT GetString2(BSTR* out) override { return GetString(PROPERTY_STRING2, out); }
    HRESULT GetInt3(LONG* out) override { return GetInt(PROPERTY_INT3, out); }
    HRESULT GetBoundRect(RECT* out) override { return GetRect(PROPERTY_BOUND_RECT, out); }
    HRESULT GetNoGesture(BOOL* out) override { return GetFlag(PROPERTY_NO_GESTURE, out); }
    HRESULT GetNoKbdNavigation(BOOL* out) override { return GetFlag(PROPERTY_NO_KBD_NAVIGATION, out); }
    HRESULT GetLeftTop(POINT* out) override { return GetPoint(PROPERTY_LEFT_TOP, out); }
    HRESULT GetCenter(POINT* out) override { return GetPoint(PROPERTY_CENTER, out); }
    HRESULT GetObjectName(BSTR* out) override { return GetString(PROPERTY_SKIN, out); }
    bool IsFlag8Clear() override;
    HRESULT GetFont9(HFONT* out) override { return GetFont(PROPERTY_FONT9, out); }
    HRESULT GetFont10(HFONT* out) override { return GetFont(PROPERTY_FONT10, out); }
    HRESULT GetFont11(HFONT* out) override { return GetFont(PROPERTY_FONT11, out); }
    HRESULT GetDefaultFontValue(LONG* out) override { return GetInt(PROPERTY_DEFAULT_FONT, out); }

private:
    HRESULT GetFlag(int key, BOOL* out);

    CPropertyList m_list;
};

// A standard-properties reader over list, with one reference for the caller. Throws
// E_OUTOFMEMORY.
CInterfacePtr<IStandardProperties> CreateStandardProperties(const CPropertyList& list);
