// The dialog manager's input: the stylus gesture's modal loop (tap, hold, drag and fling),
// the release after a hold, activation, typed characters and keys.
#include <cstdlib>

#include "dialer/dialog/DialogEvents.h"
#include "dialer/dialog/DialogManager.h"
#include "dialer/dialog/InputMetrics.h"
#include "dialer/foundation/OrmException.h"
#include "dialer/surface/ScreenDpi.h"
#include "platform/base/Clock.h"
#include "platform/base/Errors.h"
#include "platform/user/Message.h"
#include "platform/user/Window.h"

namespace XmlLayouts {

namespace {

// Every mouse message from WM_MOUSEMOVE to the wheel's is a stylus sample.
constexpr UINT kLastStylusMessage = 0x020D;
// Any input, posted message, timer or paint wakes the loop.
constexpr DWORD kWakeOnAnything = 0x7F;

bool IsStylusMessage(UINT message) { return message >= WM_MOUSEFIRST && message <= kLastStylusMessage; }

// How one gesture ends.
enum class GestureEnd { Finished, Stopped };

// One press of the stylus, from WM_LBUTTONDOWN to the end of the gesture.
class CPointerGesture {
public:
    CPointerGesture(CDialogManager& manager, CInterfacePtr<CDialogContent> top, bool overlay, LONG x, LONG y)
        : m_manager(manager), m_top(std::move(top)), m_overlay(overlay), m_press{x, y}, m_last{x, y} {}

    void Run(bool direct) {
        m_pressTick = GetTickCount();
        BOOL hit = FALSE;
        BOOL noGesture = FALSE;
        if (m_top->PointerDown(m_press.x, m_press.y, &hit, &noGesture, false)) {
            m_tap = hit != FALSE;
            m_delivered = true;
            if (!hit && m_overlay) {
                m_manager.CloseTopDialog();
                return;
            }
        } else {
            m_tap = true;
            m_delivered = false;
        }
        m_manager.Invalidate(FALSE);
        if (!direct && !noGesture && m_manager.Window() != nullptr) {
            if (Track() == GestureEnd::Stopped) return;
        }
        if (m_tap) {
            if (!m_delivered) {
                BOOL ignored = FALSE;
                m_top->PointerDown(m_last.x, m_last.y, &hit, &ignored, true);
                if (!hit && m_overlay) {
                    m_manager.CloseTopDialog();
                    return;
                }
                m_manager.Invalidate(TRUE);
            }
            CInterfacePtr<CDialogLayer> active(m_top->ActiveLayer());
            if (m_released) {
                if (active) active->PointerRelease(m_last.x, m_last.y);
            } else if (active && active->PressPressedItem(m_last, FALSE) && m_manager.Window() != nullptr) {
                // A hold: the release that ends it comes to OnPointerUp.
                SetCapture(m_manager.Window());
            }
        }
        m_manager.Invalidate(FALSE);
    }

private:
    bool HoldsCapture() const { return m_manager.Window() != nullptr && ::GetCapture() == m_manager.Window(); }
    void ReleaseOwnCapture() const {
        if (HoldsCapture()) ReleaseCapture();
    }

    GestureEnd Track() {
        HWND window = m_manager.Window();
        SetCapture(window);
        const LONG thresholdX = DragThreshold(GetScreenDpiX());
        const LONG thresholdY = DragThreshold(GetScreenDpiY());
        DWORD tapLimit = kTapLimitMs;
        DWORD feedbackDelay = kPressFeedbackDelayMs;
        bool hasDeadline = false;
        DWORD deadline = 0;
        POINT previous = m_press;
        DWORD previousTick = m_pressTick;
        LONG velocityX = 0;
        LONG velocityY = 0;
        for (;;) {
            if (::GetCapture() != window) return EndWithoutCapture();
            DWORD now = GetTickCount();
            if (!hasDeadline) {
                deadline = now + (m_tap || m_released ? kTapWaitMs : kDragWaitMs);
                hasDeadline = true;
            }
            const LONG left = static_cast<LONG>(deadline - now);
            if (left <= 0) break;
            if (MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left), kWakeOnAnything,
                                            MWMO_INPUTAVAILABLE) == WAIT_TIMEOUT)
                break;
            // The wait is where time passes; taking the message is no further pump, so that
            // the finger's samples come one at a time as it gave them.
            MSG message{};
            // Should the wait have seen something no message comes of, a plain pump moves
            // the time on, so that the loop never spins in place.
            if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD) &&
                !PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                continue;
            if (message.message == WM_QUIT) {
                ReleaseOwnCapture();
                PostQuitMessage(static_cast<int>(message.wParam));
                return GestureEnd::Stopped;
            }
            if (!IsStylusMessage(message.message)) {
                // Timers, paints and posted commands go on while the stylus is down; their
                // time is not the finger's.
                const DWORD before = GetTickCount();
                TranslateMessage(&message);
                DispatchMessageW(&message);
                const DWORD took = GetTickCount() - before;
                if (m_tap) tapLimit += took;
                if (!m_delivered) feedbackDelay += took;
                deadline += took;
                continue;
            }
            MSG newer{};
            if (message.message == WM_MOUSEMOVE &&
                PeekMessageW(&newer, nullptr, WM_MOUSEFIRST, kLastStylusMessage, PM_NOREMOVE | PM_NOYIELD))
                continue;  // only the newest sample counts

            const POINT sample{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
            m_released = message.message == WM_LBUTTONUP;
            hasDeadline = false;
            now = GetTickCount();
            const DWORD elapsed = now - previousTick;
            velocityX = SmoothVelocity(sample.x - previous.x, elapsed, velocityX);
            velocityY = SmoothVelocity(sample.y - previous.y, elapsed, velocityY);
            m_last = sample;

            if (m_tap) {
                if (std::abs(sample.x - m_press.x) >= thresholdX || std::abs(sample.y - m_press.y) >= thresholdY) {
                    m_tap = false;  // a drag from here on: no click at the end
                } else if (now - m_pressTick > tapLimit) {
                    break;
                } else if (m_released) {
                    if (MsgWaitForMultipleObjectsEx(0, nullptr, kReleaseGraceMs, QS_MOUSEMOVE | QS_MOUSEBUTTON,
                                                    MWMO_INPUTAVAILABLE) == WAIT_TIMEOUT)
                        break;
                    previous = sample;
                    previousTick = now;
                    continue;
                }
            }
            if (m_tap && !m_delivered && now - m_pressTick > feedbackDelay) {
                // The finger rests on a scrolling layer: show the press now.
                const DWORD before = GetTickCount();
                BOOL hit = FALSE;
                BOOL ignored = FALSE;
                m_top->PointerDown(sample.x, sample.y, &hit, &ignored, true);
                m_delivered = true;
                if (!hit && m_overlay) {
                    ReleaseOwnCapture();
                    m_manager.CloseTopDialog();
                    return GestureEnd::Stopped;
                }
                m_manager.Invalidate(TRUE);
                tapLimit += GetTickCount() - before;
            }
            if (!m_tap) {
                DragEventData drag;
                drag.startX = m_press.x;
                drag.startY = m_press.y;
                drag.previousX = previous.x;
                drag.previousY = previous.y;
                drag.currentX = sample.x;
                drag.currentY = sample.y;
                drag.velocityX = velocityX;
                drag.velocityY = velocityY;
                drag.first = m_dragSent ? 0 : 1;
                drag.released = m_released ? 1 : 0;
                drag.elapsed = static_cast<LONG>(elapsed);
                BOOL handled = FALSE;
                m_top->DispatchEvent(DIALOG_EVENT_DRAG, &handled, 0, &drag);
                m_dragSent = true;
                if (drag.stop != 0) break;  // a handler ends the gesture
            }
            if (m_released) break;
            previous = sample;
            previousTick = now;
            Sleep(0);
        }
        if (m_dragSent) {
            BOOL handled = FALSE;
            m_top->DispatchEvent(DIALOG_EVENT_DRAG_END, &handled, 0, nullptr);
            if (handled) m_tap = false;
        }
        ReleaseOwnCapture();
        return GestureEnd::Finished;
    }

    // The capture went elsewhere (the window lost its activation): the gesture ends with no
    // tap, release or hold. A layer that was following the finger still hears that the drag
    // is over, so that it leaves its dragging state and settles inside its content.
    GestureEnd EndWithoutCapture() {
        if (m_dragSent) {
            BOOL handled = FALSE;
            m_top->DispatchEvent(DIALOG_EVENT_DRAG_END, &handled, 0, nullptr);
        }
        m_manager.Invalidate(FALSE);
        return GestureEnd::Stopped;
    }

    CDialogManager& m_manager;
    CInterfacePtr<CDialogContent> m_top;
    bool m_overlay;
    POINT m_press;
    POINT m_last;
    DWORD m_pressTick = 0;
    bool m_tap = false;
    bool m_delivered = false;
    bool m_released = false;
    bool m_dragSent = false;
};

}  // namespace

void CDialogManager::TrackPointer(LONG x, LONG y, BOOL direct) {
    CInterfacePtr<CDialogManager> self(this);
    try {
        CInterfacePtr<CDialogContent> top;
        CInterfacePtr<CDialogContent> beneath;
        m_stack.GetActive(&top, &beneath);
        if (!top) ThrowOrm(E_ORM_FAIL);
        CPointerGesture gesture(*this, top, static_cast<bool>(beneath), x, y);
        gesture.Run(direct != FALSE);
    } catch (...) {
        // A gesture that fails on the way leaves nothing held.
        if (m_window != nullptr && ::GetCapture() == m_window) ReleaseCapture();
    }
}

void CDialogManager::OnPointerUp(LONG x, LONG y) {
    if (m_window == nullptr || ::GetCapture() != m_window) return;
    CInterfacePtr<CDialogManager> self(this);
    try {
        ReleaseCapture();
        CInterfacePtr<CDialogContent> top = m_stack.GetTop();
        if (!top) return;
        CInterfacePtr<CDialogLayer> active(top->ActiveLayer());
        if (active) active->PointerRelease(x, y);
        Invalidate(FALSE);
    } catch (...) {
    }
}

void CDialogManager::OnActivate(BOOL active) {
    CInterfacePtr<CDialogManager> self(this);
    try {
        if (CInterfacePtr<CDialogContent> top = m_stack.GetTop()) {
            BOOL handled = FALSE;
            top->DispatchEvent(DIALOG_EVENT_ACTIVATION, &handled, active ? 1 : 0, nullptr);
        }
        if (!active) {
            DropUnderlay();
            if (m_window != nullptr && ::GetCapture() == m_window) ReleaseCapture();
        } else {
            RelayoutActive();
        }
    } catch (...) {
    }
}

void CDialogManager::OnChar(WCHAR character) {
    CInterfacePtr<CDialogManager> self(this);
    try {
        if (CInterfacePtr<CDialogContent> top = m_stack.GetTop()) top->OnCharacter(character);
    } catch (...) {
    }
}

void CDialogManager::OnKey(LONG key, BOOL up) {
    CInterfacePtr<CDialogManager> self(this);
    try {
        CInterfacePtr<CDialogContent> top;
        CInterfacePtr<CDialogContent> beneath;
        m_stack.GetActive(&top, &beneath);
        if (!top) ThrowOrm(E_ORM_FAIL);
        BOOL handled = FALSE;
        top->DispatchEvent(up ? DIALOG_EVENT_KEY_UP : DIALOG_EVENT_KEY_DOWN, &handled, static_cast<WPARAM>(key),
                           nullptr);
        if (up || handled) return;
        CInterfacePtr<CDialogLayer> active(top->ActiveLayer());
        const bool hadFocus = active && active->PressedItem() != nullptr;
        // An overlay keeps its focus inside: at its last item a key does not go round, and
        // a key it leaves closes it.
        if (!top->NavigateByKey(key, !beneath) && beneath && hadFocus) CloseTopDialog();
        Invalidate(FALSE);
    } catch (...) {
    }
}

}  // namespace XmlLayouts
