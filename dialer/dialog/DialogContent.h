// XmlLayouts::CDialogContent: one loaded dialog, an ordered list of layers (its root layer
// first, further layers inserted by name), each with its scroll cache; the manager keeps
// contents on its stack, lays them out (DialogContent_layout.cpp), paints them
// (DialogContent_paint.cpp) and sends them events. Its holders reach it through its proxy.
#pragma once

#include <string>
#include <vector>

#include "dialer/dialog/DialogContentInterface.h"
#include "dialer/dialog/DialogLayer.h"
#include "dialer/dialog/DialogProxies.h"
#include "dialer/objects/PaintContext.h"
#include "dialer/surface/DibSurface.h"

namespace XmlLayouts {

class CDialogContent : public CUnknownImpl<IDialogContent> {
public:
    // A layer's place in the content, with the picture its scroll cache holds.
    struct LayerEntry {
        CInterfacePtr<CDialogLayer> layer;
        CSharedSurface cache;
        LONG cachedX = kNothingCached;
        LONG cachedY = kNothingCached;
        RECT cachedArea{};       // where in the target the cached picture was taken
        DWORD cachedLayout = 0;  // the layer's layout pass it shows
    };
    static constexpr LONG kNothingCached = 0x7FFFFFFF;

    // Throws E_ORM_FAIL without a root layer or a site.
    CDialogContent(CDialogLayer* root, IDialogManager* site, LPCWSTR name);

    // Builds the dialog of that layout set: its root layer, loaded with `handler`, and the
    // layers its layer table adds. Null when the root layer's handler refused it. Throws
    // E_ORM_FAIL when the layout set cannot be had.
    static CInterfacePtr<CDialogContent> Load(LPCWSTR name, IDialogManager* site, IUnknown* handler);
    // A layer showing the named layout set. Throws E_ORM_FAIL when there is none.
    static CInterfacePtr<CDialogLayer> CreateLayer(LPCWSTR layout, IDialogManager* site);

    // IDialogContentBase, IDialogContent
    HRESULT GetName(BSTR* out) override;
    HRESULT InsertLayer(LPCWSTR anchor, BOOL after, const LayerDescription* description) override;
    HRESULT RemoveLayer(LPCWSTR name) override;
    HRESULT GetLayer(LPCWSTR name, IDialogLayer** out) override;
    HRESULT GetCacheMode(LONG* out) override;
    HRESULT SetCacheMode(LONG mode) override;
    HRESULT SendEvent(UINT code, WPARAM argument, void* data) override;
    HRESULT GetContent(CDialogContent** out) override;

    // Offers the event to the layers from the top down until one handles it.
    void DispatchEvent(UINT code, BOOL* handled, WPARAM argument, void* data);
    // Paints every layer into the context's target (only the items showing `filter` when one
    // is given). Always true.
    bool Paint(const PaintContext& context, ILayoutElement* filter);
    // Lays the layers out in a dialog of width × height: each docked by its "LayerAlign",
    // top layer first. Always true.
    bool Layout(LONG width, LONG height, LONG mode);

    // Input (DialogContent_input.cpp); points in dialog coordinates.
    // A press. With `deliver` the layers are offered it from the top down and the first whose
    // item takes it becomes the active layer; true. Without, it is a first look: a press that
    // a layer which cannot scroll would take is delivered at once (true); one that a layer
    // which can scroll would take is held back (false, for the gesture to decide); a press
    // that no layer would take gives true with *hit 0.
    bool PointerDown(LONG x, LONG y, BOOL* hit, BOOL* noGesture, bool deliver);
    // A typed character to the layers from the top down. True when one took it.
    bool OnCharacter(WCHAR character);
    // A key the dialog's handlers left: the focused item's own reaction and named neighbour,
    // entry from an edge, then the nearest item in the arrow's direction; with `mayWrap`, at
    // the last item the focus goes round to the opposite edge. True when handled.
    bool NavigateByKey(LONG key, bool mayWrap);
    // The nearest item from a rectangle (dialog coordinates) in the key's direction takes the
    // focus: in the active layer when `preferActive` and it has one, else over every layer.
    // With `skipFocused` the layers' focused items are no candidates. True when one did.
    bool FocusNearest(const RECT& from, LONG key, bool preferActive, bool skipFocused);

    // Makes layer the active one; with `ask` set the new layer's handler may take over first
    // (HandlerCommand answering S_OK), otherwise the old layer's selection is cleared.
    HRESULT SetActiveLayer(CDialogLayer* layer, BOOL ask);
    CDialogLayer* ActiveLayer() const { return m_active.Get(); }
    // Layers are found by name without regard to case, the last one first; a null name is
    // the empty one (the root layer's).
    bool FindLayerIndex(LPCWSTR name, std::size_t* index) const;
    std::size_t LayerCount() const { return m_layers.size(); }
    CDialogLayer* LayerAt(std::size_t index) const {
        return index < m_layers.size() ? m_layers[index].layer.Get() : nullptr;
    }
    const LayerEntry& EntryAt(std::size_t index) const { return m_layers[index]; }
    CDialogLayer* RootLayer() const { return m_root.Get(); }
    IDialogContentBase* Proxy() const { return m_proxy.Get(); }
    const std::u16string& Name() const { return m_name; }
    LONG CacheMode() const { return m_cacheMode; }

protected:
    ~CDialogContent() override;
    bool IsOwnInterface(REFIID iid) const override {
        return iid == IID_IDialogContent || iid == IID_IDialogContentBase;
    }

private:
    void PaintLayer(LayerEntry& entry, const PaintContext& context, ILayoutElement* filter, CDibSurface& target);

    std::u16string m_name;
    CInterfacePtr<IDialogManager> m_site;
    CInterfacePtr<CDialogContentProxy> m_proxy;
    CInterfacePtr<CDialogLayer> m_root;
    std::vector<LayerEntry> m_layers;
    CInterfacePtr<CDialogLayer> m_active;
    LONG m_cacheMode = 0;
    int m_insertDepth = 0;  // layers inserted while another one loads
};

// The content behind an interface of one (its content interface), or null.
CInterfacePtr<CDialogContent> GetDialogContent(IUnknown* object);

}  // namespace XmlLayouts
