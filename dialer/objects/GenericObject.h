// CLayoutControl, the base of objects that only mark a place in a layout, and
// CGenericObject ("Orm.LSP.Generic"), which draws nothing, is never selectable and leaves
// the arrow keys to the layer.
#pragma once

#include "dialer/objects/LayoutElement.h"

class CLayoutControl : public CUnknownImpl<ILayoutElement> {};

class CGenericObject : public CLayoutControl {
public:
    HRESULT Prepare() override { return S_FALSE; }
    HRESULT SetSite(IUnknown*, IUnknown*) override { return S_OK; }
    HRESULT Attach(IUnknown*) override { return S_OK; }
    HRESULT Paint(const ItemEventRecord*, PaintContext*) override { return S_OK; }
    HRESULT GetState(LONG* state) override;
    HRESULT GetRect(DWORD, RECT*) override { return E_FAIL; }
    HRESULT Measure(HDC, LONG*, LONG*) override { return S_FALSE; }
    HRESULT IsInactive() override { return S_FALSE; }
    HRESULT Select(LONG, LPARAM, LPARAM) override { return S_OK; }
    // The arrow keys (37 to 40) are left unhandled for the layer's navigation; every other
    // key counts as used. Either way the answer is E_FAIL.
    HRESULT OnKey(UINT key, BOOL* handled) override;
    HRESULT OnPress(POINT, BOOL) override { return S_OK; }
    HRESULT OnRelease(LPARAM) override { return S_OK; }
    HRESULT Layout(LayoutBlock*) override { return S_OK; }
    HRESULT HandleEvent(UINT, WPARAM, void*) override { return S_FALSE; }
};
