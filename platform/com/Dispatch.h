// IDispatch, the automation interface under the object models' interfaces (it fills their
// slots 3 to 6), and the records its calls take.
#pragma once

#include "platform/base/Bstr.h"
#include "platform/com/Unknown.h"

inline constexpr IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

using DISPID = LONG;
using LCID = DWORD;
using VARIANT_BOOL = SHORT;
constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;
constexpr DISPID DISPID_UNKNOWN = -1;

constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003u);
constexpr HRESULT DISP_E_UNKNOWNNAME = static_cast<HRESULT>(0x80020006u);
constexpr HRESULT DISP_E_BADINDEX = static_cast<HRESULT>(0x8002000Bu);

// Late binding is not offered by the handset's object models (their callers bind to the
// slots), so these records are only named here.
struct VARIANT;
using VARIANTARG = VARIANT;
struct EXCEPINFO;
class ITypeInfo;

struct DISPPARAMS {
    VARIANTARG* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

class IDispatch : public IUnknown {
public:
    static constexpr const IID& kIid = IID_IDispatch;
    virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
    virtual HRESULT GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) = 0;
    virtual HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) = 0;
    virtual HRESULT Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                           VARIANT* result, EXCEPINFO* exception, UINT* argumentError) = 0;

protected:
    ~IDispatch() = default;
};

namespace platform::com {

// The IDispatch operations of an object that offers no type information and no members by
// name: it has no type information, knows no names and invokes nothing.
template <class TInterface>
class NoLateBinding : public TInterface {
public:
    HRESULT GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info == nullptr) return E_POINTER;
        *info = nullptr;
        return DISP_E_BADINDEX;
    }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if ((names == nullptr || ids == nullptr) && count != 0) return E_POINTER;
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }

protected:
    ~NoLateBinding() = default;
};

}  // namespace platform::com
