// A content's part of input: presses offered to its layers, typed characters, and keyboard
// focus navigation across its layers.
#include <algorithm>
#include <limits>

#include "dialer/dialog/DialogContent.h"
#include "dialer/dialog/FocusGeometry.h"
#include "platform/user/Window.h"

namespace XmlLayouts {

namespace {

RECT UnionOf(const RECT& a, const RECT& b) {
    const bool aEmpty = a.left >= a.right || a.top >= a.bottom;
    const bool bEmpty = b.left >= b.right || b.top >= b.bottom;
    if (aEmpty) return bEmpty ? RECT{} : b;
    if (bEmpty) return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

// The rectangle moved past the opposite side of the bounds, where a search that goes round
// the edge starts.
// Rectangles far out in the plane move in 64 bits and stop at its edge.
bool WrappedRect(const RECT& start, const RECT& bounds, LONG key, RECT* wrapped) {
    LONGLONG dx = 0;
    LONGLONG dy = 0;
    switch (key) {
        case 37: dx = LONGLONG{bounds.right} - start.left; break;
        case 38: dy = LONGLONG{bounds.bottom} - start.top; break;
        case 39: dx = LONGLONG{bounds.left} - start.right; break;
        case 40: dy = LONGLONG{bounds.top} - start.bottom; break;
        default: return false;
    }
    auto moved = [](LONG value, LONGLONG by) {
        return static_cast<LONG>(std::clamp<LONGLONG>(value + by, std::numeric_limits<LONG>::min(),
                                                       std::numeric_limits<LONG>::max()));
    };
    *wrapped = RECT{moved(start.left, dx), moved(start.top, dy), moved(start.right, dx), moved(start.bottom, dy)};
    return true;
}

}  // namespace

bool CDialogContent::PointerDown(LONG x, LONG y, BOOL* hit, BOOL* noGesture, bool deliver) {
    *hit = FALSE;
    *noGesture = FALSE;
    CInterfacePtr<CDialogContent> self(this);
    if (!deliver) {
        for (std::size_t i = m_layers.size(); i-- > 0;) {
            CInterfacePtr<CDialogLayer> layer = m_layers[i].layer;
            BOOL wouldHit = FALSE;
            BOOL wouldSkipGesture = FALSE;
            layer->PointerDown(x, y, &wouldHit, &wouldSkipGesture, true);
            if (!wouldHit) continue;
            if (!layer->FitsBox()) return false;
            return PointerDown(x, y, hit, noGesture, true);
        }
        return true;
    }
    // By index from the top: a handler may insert or remove layers meanwhile.
    for (std::size_t i = m_layers.size(); i-- > 0;) {
        if (i >= m_layers.size()) continue;
        CInterfacePtr<CDialogLayer> layer = m_layers[i].layer;
        layer->PointerDown(x, y, hit, noGesture, false);
        if (!*hit) continue;
        SetActiveLayer(layer.Get(), FALSE);
        break;
    }
    return true;
}

bool CDialogContent::OnCharacter(WCHAR character) {
    CInterfacePtr<CDialogContent> self(this);
    for (std::size_t i = m_layers.size(); i-- > 0;) {
        if (i >= m_layers.size()) continue;
        CInterfacePtr<CDialogLayer> layer = m_layers[i].layer;
        if (layer->OnCharacter(character)) return true;
    }
    return false;
}

bool CDialogContent::NavigateByKey(LONG key, bool mayWrap) {
    CInterfacePtr<CDialogContent> self(this);
    RECT start{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    CInterfacePtr<CDialogLayer> active = m_active;
    const bool focused = active && active->PressedItemDialogRect(&start);
    if (focused) {
        if (active->KeyToPressedItem(key)) return true;
    } else {
        for (std::size_t i = m_layers.size(); i-- > 0;) {
            if (i >= m_layers.size()) continue;
            CInterfacePtr<CDialogLayer> layer = m_layers[i].layer;
            if (!layer->EnterByEdge(key)) continue;
            m_active = layer;
            return true;
        }
    }
    RECT bounds{};
    for (const LayerEntry& entry : m_layers) bounds = UnionOf(bounds, entry.layer->DialogBounds());
    RECT wrapped{};
    if (!WrappedRect(start, bounds, key, &wrapped)) return false;
    if (FocusNearest(focused ? start : wrapped, key, true, true)) return true;
    // Round the edge: the search starts beyond the opposite side. The focus moves only when
    // that finds an item, so a dialog with nothing to go to keeps its focus.
    return mayWrap && focused && FocusNearest(wrapped, key, false, false);
}

bool CDialogContent::FocusNearest(const RECT& from, LONG key, bool preferActive, bool skipFocused) {
    CInterfacePtr<CDialogContent> self(this);
    FocusSearch search;
    search.from = from;
    search.direction = KeyDirection(key);
    if (search.direction.x == 0 && search.direction.y == 0) return false;
    auto excluded = [skipFocused](CDialogLayer* layer) { return skipFocused ? layer->PressedItem() : nullptr; };
    CInterfacePtr<CDialogLayer> active = m_active;
    if (preferActive && active && active->FindNearest(&search, excluded(active.Get()))) {
        if (!active->SelectItem(search.bestItem, key, 0, 0)) return false;
        if (active->Site() != nullptr) active->Site()->Invalidate(FALSE);
        return true;
    }
    for (std::size_t i = m_layers.size(); i-- > 0;) {
        CDialogLayer* layer = m_layers[i].layer.Get();
        if (preferActive && layer == active.Get()) continue;
        layer->FindNearest(&search, excluded(layer));
    }
    if (search.bestLayer == nullptr) return false;
    CInterfacePtr<CDialogLayer> chosen(search.bestLayer);
    CRefPtr<CLayerItem> item(search.bestItem);
    if (!chosen->SelectItem(item.Get(), key, 0, 0)) return false;
    // One focus in the dialog: the layer it leaves lets its item go.
    if (active && active.Get() != chosen.Get()) active->SelectItemByName(nullptr);
    m_active = chosen;
    if (chosen->Site() != nullptr) chosen->Site()->Invalidate(FALSE);
    return true;
}

}  // namespace XmlLayouts
