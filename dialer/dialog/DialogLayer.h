// CDialogLayer: one layer of a dialog, a scrollable rectangle that holds the items built from
// its layout set and arranged by the layout pass, optionally served by a handler plug-in that
// sees every event first. It paints its items into a paint context (DialogLayer_paint.cpp),
// routes events and scrolls with the finger and by fling (DialogLayer_events.cpp), is loaded
// and laid out from its layout set (DialogLayer_layout.cpp), and keeps a pressed item.
#pragma once

#include <string>

#include "dialer/dialog/DialogContentInterface.h"
#include "dialer/dialog/DialogEvents.h"
#include "dialer/dialog/DialogLayerInterface.h"
#include "dialer/dialog/DialogManagerInterface.h"
#include "dialer/dialog/DialogProxies.h"
#include "dialer/dialog/FocusGeometry.h"
#include "dialer/dialog/ItemCollection.h"
#include "dialer/dialog/LayoutBlock.h"
#include "dialer/dialog/PanelPlugin.h"
#include "dialer/layout/LayoutSet.h"
#include "dialer/objects/PaintContext.h"
#include "dialer/properties/PropertyList.h"
#include "dialer/surface/DibSurface.h"

class CDialogLayer;

// What a focus search carries from layer to layer: where it starts (dialog coordinates), the
// direction, and the best item found so far with its cost.
struct FocusSearch {
    RECT from{};
    POINT direction{};
    CDialogLayer* bestLayer = nullptr;
    CLayerItem* bestItem = nullptr;
    LONGLONG bestCost = XmlLayouts::kNoFocusCost;
};

// A press or release that comes from a key, not from the stylus, has no point.
constexpr POINT kNoPointerPoint{-0x7FFFFFFF - 1, -0x7FFFFFFF - 1};

class CDialogLayer : public CUnknownImpl<IDialogLayer> {
public:
    // A layer showing a layout set, whose items reach the manager through site. Throws
    // E_ORM_FAIL without either, or when its proxy cannot be made.
    CDialogLayer(CRefPtr<CLayoutSet> layoutSet, IDialogManager* site);

    // IDialogLayer
    HRESULT GetSite(IDialogManager** out) override;
    HRESULT GetOwner(IUnknown** out) override;
    HRESULT GetStandardProperties(IStandardProperties** out) override;
    HRESULT QueryHandler(REFIID iid, void** out) override;
    HRESULT GetName(BSTR* out) override;
    HRESULT GetProxy(IItemCollection** out) override;
    HRESULT HandleEvent(UINT code, WPARAM argument, void* data) override;
    HRESULT SelectItemByName(LPCWSTR name) override;
    HRESULT GetSelectedItemName(BSTR* out) override;
    HRESULT SelectItemById(LONG id, LONG subId) override;
    HRESULT GetSelectedItemIds(LONG* id, LONG* subId) override;
    HRESULT DrawPressedHighlight(const PaintContext* context, const RECT* rect) override;
    HRESULT GetPosition(POINT* out) override;
    HRESULT GetSize(SIZE* out) override;
    HRESULT GetContentBounds(RECT* out) override;
    HRESULT SetScroll(POINT scroll) override;
    HRESULT GetScroll(POINT* out, const POINT* offset) override;
    HRESULT EnsureVisible(const RECT* rect, const POINT* offset) override;
    HRESULT LayerToDialog(POINT* point, const POINT* offset) override;
    HRESULT DialogToLayer(POINT* point, const POINT* offset) override;
    HRESULT RelayoutInPlace() override;
    HRESULT SetPosition(POINT position) override;
    HRESULT SetSize(SIZE size) override;

    // The handler's Command with the two arguments; S_FALSE without a handler. (Not part of
    // the interface that proxies forward.)
    HRESULT HandlerCommand(WPARAM first, LPARAM second);

    // Set by the content that holds the layer.
    void SetName(const std::u16string& name) { m_name = name; }
    const std::u16string& Name() const { return m_name; }
    void SetOwner(IDialogContentBase* owner) { m_owner.Reset(owner); }
    IDialogLayer* Proxy() const { return m_proxy.Get(); }
    IDialogManager* Site() const { return m_site.Get(); }

    // Loading: the settings from the layout set, the handler (the one given, or the class
    // its "DialogObject" names), the layers its layer table adds around it (through the
    // owner), and the handler's OnLayer. True without a handler, else whether it accepted.
    bool Load(IUnknown* handler);
    // One layout pass in the block: items built and arranged, the pressed item kept when an
    // item of the same name, id and sub-id is placed again. True when a layout was chosen.
    bool Layout(const LayoutBlock& block);

    // Paints the items into the context's area (only those showing `filter` when one is
    // given).
    void PaintItems(const PaintContext& context, ILayoutElement* filter);
    // The layer's part of an event dispatch: handler, items, then its own drag scrolling.
    void OnPointerEvent(UINT code, BOOL* handled, WPARAM argument, void* data);

    // Stores the scroll position, clamped into the content where the content is larger than
    // the layer.
    void SetScrollClamped(POINT scroll);
    // The "Clip" setting: absent or non-zero.
    bool IsClipped() const;
    // The item's element accepts the selection, the item becomes the pressed item and is
    // scrolled into view, and the handler hears of it. False when the element refuses.
    bool SelectItem(CLayerItem* item, LONG code, LPARAM first, LPARAM second);
    // The pressed item, or null (also once it has left the arranged collection).
    CLayerItem* PressedItem();
    // The item's rectangle: fixed, the handler's, the element's or the layout object's;
    // moved by the item's offset unless `raw`. False when it has none (or is hidden).
    bool ItemRect(const CLayerItem& item, bool raw, RECT* rect);

    // Settings and state.
    bool ReadInt(int key, LONG* value) const { return m_properties.GetInt(key, value); }
    LONG IntOr(int key, LONG fallback) const;
    POINT Position() const { return m_position; }
    SIZE Extent() const { return m_size; }
    POINT Scroll() const { return m_scroll; }
    LONG* ScrollYField() { return &m_scroll.y; }
    RECT Bounds() const { return m_bounds; }
    IPanelPlugin* Handler() const { return m_handler.Get(); }
    CItemCollection* Arranged() const { return m_arranged.Get(); }
    CItemCollection* Templates() const { return m_templates.Get(); }
    CLayoutEntry* LayoutNode() const { return m_node.Get(); }
    bool IsDragging() const { return m_dragging; }
    // Counts the layout passes: a picture cached before the last one may show old items.
    DWORD LayoutCount() const { return m_layoutCount; }
    DWORD LastDragTick() const { return m_lastDragTick; }

    // Input (DialogLayer_input.cpp). Points are in dialog coordinates.
    // A selectable item has a non-zero state: the handler's for an item with an id that is
    // not hidden, otherwise its element's.
    bool IsSelectable(const CLayerItem& item);
    // The item's rectangle holds the point (layer content coordinates).
    bool HitsItem(const CLayerItem& item, POINT content);
    // A press on the layer. With `queryOnly` nothing changes: the outs say whether an item
    // would take the press and whether it wants no gesture tracking.
    void PointerDown(LONG x, LONG y, BOOL* hit, BOOL* noGesture, bool queryOnly);
    // The stylus lifted at the point: the pressed item gets the release when the point is on
    // it; the handler hears of every release.
    void PointerRelease(LONG x, LONG y);
    // A typed character: the layer's handler and items first, then the first selectable item
    // whose "Key" holds it is pressed and released. True when taken.
    bool OnCharacter(WCHAR character);
    // A key for the pressed item: Enter (or the action code -1) presses and releases it, the
    // item may use any key, and an arrow follows the item's named neighbour. True when
    // handled.
    bool KeyToPressedItem(LONG key);
    // The first selectable item marked as an entry on the edge the key moves in through
    // takes the focus. True when one did.
    bool EnterByEdge(LONG key);
    // Looks for a better candidate than the search holds; `exclude` is never one. True when
    // this layer gave the best one.
    bool FindNearest(FocusSearch* search, const CLayerItem* exclude);
    // The pressed item is pressed (at a dialog point, or kNoPointerPoint) and released
    // (`argument` points at the content point, or is 0). True when taken.
    bool PressPressedItem(POINT point, BOOL mark);
    bool ReleasePressedItem(LPARAM argument);
    // The pressed item's rectangle in dialog coordinates; false without one.
    bool PressedItemDialogRect(RECT* rect);
    // The content extent in dialog coordinates.
    RECT DialogBounds() const;
    // The content fits the layer's box: the layer cannot scroll.
    bool FitsBox() const;
    POINT ToContent(LONG x, LONG y) const {
        return POINT{x - m_position.x + m_scroll.x, y - m_position.y + m_scroll.y};
    }

    // What the handler hears about an item (or, for null, about the layer).
    ItemEventRecord MakeRecord(const CLayerItem* item) const;

protected:
    ~CDialogLayer() override;

private:
    // Layout steps (DialogLayer_layout.cpp).
    void ReadProperties(const CRefPtr<CLayoutEntry>& node);
    void ChooseNode();
    void LoadSubLayers();
    void BuildItems(const CEntryList* nodes, CItemCollection* old, CItemCollection* built, int depth);
    void ArrangeItems(const LayoutBlock& block, CItemCollection* list);
    void ArrangeList(CItemCollection* list, HDC dc, LayoutBlock* block, POINT offset, LONG parent, SIZE* extent,
                     int depth);
    void TellHandler(LONG phase, LayoutBlock* block);
    // The press of one item, the handler first (DialogLayer_input.cpp).
    bool PressItem(CLayerItem& item, POINT point, BOOL mark);
    // Event steps (DialogLayer_events.cpp).
    bool OnDrag(const DragEventData& drag);
    void SettleAfterFling(LONG velocity);
    void TellOwner(LONG cacheMode);
    bool ContainsDialogPoint(LONG x, LONG y) const;
    void InvalidateSite(BOOL now);

    std::u16string m_name;
    CInterfacePtr<IDialogManager> m_site;
    CInterfacePtr<IDialogContentBase> m_owner;
    CInterfacePtr<CDialogLayerProxy> m_proxy;
    CInterfacePtr<IUnknown> m_handlerObject;
    CInterfacePtr<IPanelPlugin> m_handler;
    CRefPtr<CLayoutSet> m_layoutSet;
    CRefPtr<CLayoutEntry> m_node;  // the layout the rules chose; null until chosen
    bool m_nodeChosen = false;
    CPropertyList m_properties;
    CInterfacePtr<IStandardProperties> m_standardProperties;
    CInterfacePtr<CItemCollection> m_templates;
    CInterfacePtr<CItemCollection> m_arranged;
    CInterfacePtr<CItemCollectionProxy> m_arrangedProxy;
    CRefPtr<CLayerItem> m_pressed;
    RECT m_bounds{};
    POINT m_position{};
    SIZE m_size{};
    POINT m_scroll{};
    bool m_dragging = false;
    CDibSurface m_cornerMask;
    DWORD m_lastDragTick = 0;
    DWORD m_layoutCount = 0;
};
