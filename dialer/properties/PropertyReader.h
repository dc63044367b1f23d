// The two COM-style property reader interfaces: the reader by key, and the
// standard-properties reader, which adds one accessor per well-known key.
#pragma once

#include "dialer/foundation/InterfaceIds.h"
#include "dialer/foundation/Unknown.h"
#include "dialer/properties/PropertyKey.h"
#include "platform/base/Bstr.h"
#include "platform/base/Types.h"

// Well-known integer keys that the layout loader sets (LayoutReader.h says from what).
constexpr int PROPERTY_STRING1 = 1;
constexpr int PROPERTY_STRING2 = 2;
constexpr int PROPERTY_INT3 = 3;
constexpr int PROPERTY_BOUND_RECT = 4;
constexpr int PROPERTY_LEFT_TOP = 5;
constexpr int PROPERTY_CENTER = 6;
constexpr int PROPERTY_SKIN = 7;
constexpr int PROPERTY_FLAG8 = 8;
constexpr int PROPERTY_FONT9 = 9;
constexpr int PROPERTY_FONT10 = 10;
constexpr int PROPERTY_FONT11 = 11;
constexpr int PROPERTY_DEFAULT_FONT = 12;
constexpr int PROPERTY_DIALOG_RECT = 13;
constexpr int PROPERTY_DIALOG_OBJECT = 14;
constexpr int PROPERTY_SCROLL_Y = 15;
constexpr int PROPERTY_LAYER_ALIGN = 16;
constexpr int PROPERTY_CLIP = 17;
constexpr int PROPERTY_CACHE = 18;
constexpr int PROPERTY_FROM_TOP = 19;
constexpr int PROPERTY_NO_GESTURE = 20;
constexpr int PROPERTY_NO_KBD_NAVIGATION = 21;

// Every read answers S_OK with the value, or E_FAIL when there is none under the key.
class IPropertyReader : public IUnknown {
public:
    static constexpr IID kIid = IID_IPropertyReader;

    virtual HRESULT GetInt(CPropertyKey key, LONG* out) = 0;
    // A new system string; the caller frees it with SysFreeString.
    virtual HRESULT GetString(CPropertyKey key, BSTR* out) = 0;
    virtual HRESULT GetPoint(CPropertyKey key, POINT* out) = 0;
    virtual HRESULT GetRect(CPropertyKey key, RECT* out) = 0;
    // The font handle; the font stays owned by whoever holds its value.
    virtual HRESULT GetFont(CPropertyKey key, HFONT* out) = 0;
    // An object under the key, with one reference for the caller.
    virtual HRESULT GetObject(CPropertyKey key, IUnknown** out) = 0;
};

class IStandardProperties : public IPropertyReader {
public:
    static constexpr IID kIid = IID_IStandardProperties;

    virtual HRESULT GetString1(BSTR* out) = 0;
    virtual HRESULT GetString2(BSTR* out) = 0;
    virtual HRESULT GetInt3(LONG* out) = 0;
    virtual HRESULT GetBoundRect(RECT* out) = 0;
    // out = (value of key 20 is not 0); out is FALSE when the read fails.
    virtual HRESULT GetNoGesture(BOOL* out) = 0;
    virtual HRESULT GetNoKbdNavigation(BOOL* out) = 0;
    virtual HRESULT GetLeftTop(POINT* out) = 0;
    virtual HRESULT GetCenter(POINT* out) = 0;
    // Key 7: the skin name the loader stores for the object.
    virtual HRESULT GetObjectName(BSTR* out) = 0;
    // True when key 8 reads as an integer equal to 0 (a truth value, not a result code).
    virtual bool IsFlag8Clear() = 0;
    virtual HRESULT GetFont9(HFONT* out) = 0;
    virtual HRESULT GetFont10(HFONT* out) = 0;
    virtual HRESULT GetFont11(HFONT* out) = 0;
    virtual HRESULT GetDefaultFontValue(LONG* out) = 0;
};
