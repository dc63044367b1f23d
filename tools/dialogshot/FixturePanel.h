// The handler that the fixture layouts of the QA pack name ("QA.FixturePanel"): it serves the
// items that carry an "ID" as focusable rows, so that a fixture dialog can be tapped and
// walked with the arrow keys; it paints, hides, measures and repeats nothing itself.
#pragma once

#include "dialer/dialog/PanelPlugin.h"

constexpr char16_t kFixturePanelClass[] = u"QA.FixturePanel";

class CFixturePanel : public CUnknownImpl<IPanelPlugin> {
public:
    HRESULT GetService(REFIID, void**) override { return S_FALSE; }
    HRESULT OnLayer(const ItemEventRecord*) override { return S_OK; }
    BOOL IsItemHidden(const ItemEventRecord*) override { return FALSE; }
    HRESULT PaintItem(const ItemEventRecord*, PaintContext*) override { return S_FALSE; }
    // Every item with an id is focusable and drawn pressed while it has the focus.
    HRESULT GetItemState(const ItemEventRecord* item, LONG* state) override;
    HRESULT GetItemRect(const ItemEventRecord*, DWORD, RECT*) override { return S_FALSE; }
    HRESULT QueryNavigation(const ItemEventRecord*) override { return S_FALSE; }
    HRESULT OnReleaseOffItem(const ItemEventRecord*) override { return S_FALSE; }
    HRESULT Reserved() override { return S_FALSE; }
    HRESULT Command(WPARAM, LPARAM) override { return S_FALSE; }
    HRESULT OnPointerReleased(WPARAM, LPARAM) override { return S_FALSE; }
    HRESULT MeasureItem(const ItemEventRecord*, HDC, LONG*, LONG*) override { return S_FALSE; }
    HRESULT OnLayoutPhase(const ItemEventRecord*, LONG, LayoutBlock*) override { return S_FALSE; }
    HRESULT OnItemClick(const ItemEventRecord*, POINT, BOOL*, BOOL) override { return S_FALSE; }
    HRESULT OnItemRelease(const ItemEventRecord*, LPARAM) override { return S_FALSE; }
    HRESULT HandleEvent(const ItemEventRecord*, UINT, WPARAM, void*) override { return S_FALSE; }
    HRESULT GetDataItem(LONG, LONG, LONG, LONG*) override { return S_FALSE; }

protected:
    bool IsOwnInterface(REFIID iid) const override { return iid == IID_IPanelPlugin; }
};
