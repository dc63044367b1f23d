// A layer's part of event dispatch: its handler and items first, then scrolling with the
// finger, the fling, the overshoot past an edge and the way back.
#include <algorithm>
#include <cstdlib>

#include "dialer/dialog/DialogEvents.h"
#include "dialer/dialog/DialogLayer.h"
#include "dialer/dialog/KineticScroll.h"
#include "dialer/properties/PropertyReader.h"
#include "platform/base/Clock.h"

namespace {

// Scroll modes of "ScrollY".
constexpr LONG kScrollAlways = 1;
constexpr LONG kScrollWhenTaller = 2;
// The content cache modes the layer asks of its owner while the finger drags it, while it
// flings, and afterwards.
constexpr LONG kCacheWhileDragging = 3;
constexpr LONG kCacheWhileFlinging = 2;
constexpr LONG kCacheOff = 0;
// The fling's deceleration, the overshoot's, and the time a pull past an edge takes back.
constexpr LONG kFlingDeceleration = 20;
constexpr LONG kOvershootDeceleration = 500;
constexpr LONG kSnapBackMs = 400;

}  // namespace

void CDialogLayer::TellOwner(LONG cacheMode) {
    if (m_owner) m_owner->SetCacheMode(cacheMode);
}

bool CDialogLayer::ContainsDialogPoint(LONG x, LONG y) const {
    return x >= m_position.x && x < m_position.x + m_size.cx && y >= m_position.y && y < m_position.y + m_size.cy;
}

void CDialogLayer::OnPointerEvent(UINT code, BOOL* handled, WPARAM argument, void* data) {
    BOOL ignored = FALSE;
    if (handled == nullptr) handled = &ignored;
    CInterfacePtr<IDialogLayer> self(this);  // a handler may drop the layer meanwhile
    if (HandleEvent(code, argument, data) == S_OK) {
        *handled = TRUE;
        return;
    }
    if (m_arranged) {
        for (std::size_t i = 0; i < m_arranged->Count(); ++i) {
            CRefPtr<CLayerItem> item(m_arranged->At(i));
            if (item->element && item->element->HandleEvent(code, argument, data) == S_OK) {
                *handled = TRUE;
                return;
            }
        }
    }
    if (code == DIALOG_EVENT_DRAG_END) {
        if (!m_dragging) return;
        TellOwner(kCacheOff);
        m_dragging = false;
        const LONG before = m_scroll.y;
        m_scroll.y = std::clamp(m_scroll.y, m_bounds.top, std::max(m_bounds.top, m_bounds.bottom - m_size.cy));
        if (m_scroll.y != before) InvalidateSite(TRUE);
        *handled = TRUE;
        m_lastDragTick = GetTickCount();
        return;
    }
    if (code == DIALOG_EVENT_DRAG && data != nullptr && OnDrag(*static_cast<const DragEventData*>(data))) {
        *handled = TRUE;
        m_lastDragTick = GetTickCount();
    }
}

bool CDialogLayer::OnDrag(const DragEventData& drag) {
    if (drag.first != 0 && ContainsDialogPoint(drag.startX, drag.startY)) {
        const LONG mode = IntOr(PROPERTY_SCROLL_Y, 0);
        if (mode == kScrollAlways || (mode == kScrollWhenTaller && m_size.cy < m_bounds.bottom - m_bounds.top)) {
            m_dragging = true;
            TellOwner(kCacheWhileDragging);
        }
    }
    if (!m_dragging) return false;
    const LONG before = m_scroll.y;
    // The content follows the finger, vertically only.
    if (std::abs(drag.currentY - drag.previousY) > std::abs(drag.currentX - drag.previousX))
        m_scroll.y = drag.previousY - drag.currentY + m_scroll.y;
    if (drag.released != 0) {
        TellOwner(kCacheWhileFlinging);
        const LONG lo = m_bounds.top;
        const LONG hi = std::max(m_bounds.top, m_bounds.bottom - m_size.cy);
        if (m_scroll.y < lo || m_scroll.y > hi) {
            const LONG edge = m_scroll.y < lo ? lo : hi;
            AnimateScrollTo(m_site.Get(), edge, kSnapBackMs, &m_scroll.y);
            m_scroll.y = edge;
        } else {
            const LONG left = KineticScroll(m_site.Get(), drag.velocityY, kFlingDeceleration, lo, hi, &m_scroll.y);
            if (left != 0) SettleAfterFling(left);
        }
    }
    if (m_scroll.y != before || drag.released != 0) InvalidateSite(TRUE);
    return true;
}

void CDialogLayer::SettleAfterFling(LONG velocity) {
    // The fling hit an edge still moving: it runs on past the edge by at most three quarters
    // of the layer, then comes back in twice the time that took.
    const LONG lo = m_bounds.top;
    const LONG hi = std::max(m_bounds.top, m_bounds.bottom - m_size.cy);
    const LONG reach = m_size.cy * 3 / 4;
    const bool pastBottom = velocity < 1;
    const LONG edge = pastBottom ? hi : lo;
    const DWORD start = GetTickCount();
    if (pastBottom)
        KineticScroll(m_site.Get(), velocity, kOvershootDeceleration, hi, hi + reach, &m_scroll.y);
    else
        KineticScroll(m_site.Get(), velocity, kOvershootDeceleration, lo - reach, lo, &m_scroll.y);
    const LONG overshootMs = static_cast<LONG>(GetTickCount() - start);
    AnimateScrollTo(m_site.Get(), edge, 2 * overshootMs, &m_scroll.y);
    m_scroll.y = edge;
}
