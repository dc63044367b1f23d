// The container's keys, its creation, the modal run and the ways to close it.
#include "engine/overlay/widgets/ControlContainer.h"

#include "engine/overlay/widgets/OverlayManager.h"
#include "engine/overlay/widgets/WidgetTree.h"

namespace {

int CloseWith(Control* container, std::int32_t result) {
    const int shown = SetVisible(container, 0);
    container->modalResult = result;
    container->flags &= ~kControlModal;
    return shown;
}

}  // namespace

void ControlContainer::OnKeyDown(std::int32_t key, std::int32_t /*value*/, std::int32_t /*extra*/) {
    if (key == 27 || key == 233) {
        Notify(kNotifyCancel, 0, 0, 0);
    } else if (key == 10 || key == 176 || key == 232) {
        Notify(kNotifyConfirm, 0, 0, 0);
    }
}

void ControlContainer::Draw(Canvas2D* /*canvas*/) {}

int ControlContainer::CreateContainer(const char* brushId, const TextRef* caption, DWORD style, float left, float top,
                                      float w, float h, Control* parentControl) {
    if (Create(brushId, caption, style, left, top, w, h, parentControl, 0) == 0) return 0;
    return OnCreate() != 0 ? 1 : 0;
}

std::int32_t ControlContainer::Open(std::int32_t a, std::int32_t b) {
    OverlayManager& overlay = Overlay();
    Control* before = overlay.focus;
    OnOpen(a, b);
    // OnOpen may close the container already (a page whose opening script goes elsewhere):
    // it then stays hidden and its run is over before it began.
    if ((flags & kControlModal) == 0) {
        flags |= kControlModal;
        return modalResult;
    }
    SetVisible(this, 1);
    if (Control* first = FindFirstFocusable(this)) SetFocusWindow(first);
    if (defaultFocus != nullptr && IsWindowEnabled(defaultFocus) && IsWindowShown(defaultFocus))
        SetFocusWindow(defaultFocus);
    const std::int32_t result = overlay.RunModal(this);
    // The widget that had the focus may have gone while the loop ran (a reload of the menus).
    if (before != nullptr) {
        for (KDLLink* link = overlay.widgets.head; link != nullptr; link = link->next) {
            if (link->item == before) {
                SetFocusWindow(before);
                break;
            }
        }
    }
    return result;
}

int ControlContainer::OnCreate() { return 1; }

int ControlContainer::OnOpen(std::int32_t /*a*/, std::int32_t /*b*/) { return 1; }

int ControlContainer::CloseOk() { return CloseWith(this, kModalResultOk); }

int ControlContainer::CloseCancel() { return CloseWith(this, kModalResultCancel); }

int EndModal(ControlContainer* container, std::int32_t code) {
    if (container == nullptr) return 0;
    if (code == kModalResultCancel) return container->CloseCancel();
    return CloseWith(container, code);
}
