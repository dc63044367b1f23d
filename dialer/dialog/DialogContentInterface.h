// The dialog content interfaces: the base (name, layers, cache mode, events), which the
// content's locked proxy implements, and the content interface, which adds the way from an
// interface to the content object itself.
#pragma once

#include "dialer/foundation/InterfaceIds.h"
#include "dialer/foundation/Unknown.h"
#include "platform/base/Bstr.h"
#include "platform/base/Types.h"

class IDialogLayer;
namespace XmlLayouts {
class CDialogContent;
}

// A layer to insert: its name, the layout set it shows, and its handler object (or none).
struct LayerDescription {
    LPCWSTR name = nullptr;
    LPCWSTR layout = nullptr;
    IUnknown* handler = nullptr;
};

class IDialogContentBase : public IUnknown {
public:
    static constexpr IID kIid = IID_IDialogContentBase;

    // A new system string of the dialog's name; E_INVALIDARG for a null out.
    virtual HRESULT GetName(BSTR* out) = 0;
    // E_FAIL when a layer of that name exists, the anchor is missing or the layout cannot
    // be found. The layer goes after the anchor (after set) or before it.
    virtual HRESULT InsertLayer(LPCWSTR anchor, BOOL after, const LayerDescription* description) = 0;
    // E_INVALIDARG for a null or empty name or one that no layer has.
    virtual HRESULT RemoveLayer(LPCWSTR name) = 0;
    // The layer's proxy with a reference; S_FALSE when no layer has the name. A null out
    // only tests.
    virtual HRESULT GetLayer(LPCWSTR name, IDialogLayer** out) = 0;
    virtual HRESULT GetCacheMode(LONG* out) = 0;
    // 2 and 3 let layers keep scroll caches while the content is painted.
    virtual HRESULT SetCacheMode(LONG mode) = 0;
    // S_OK when a layer took the event, S_FALSE otherwise.
    virtual HRESULT SendEvent(UINT code, WPARAM argument, void* data) = 0;
};

class IDialogContent : public IDialogContentBase {
public:
    static constexpr IID kIid = IID_IDialogContent;

    // The content object with a reference.
    virtual HRESULT GetContent(XmlLayouts::CDialogContent** out) = 0;
};
