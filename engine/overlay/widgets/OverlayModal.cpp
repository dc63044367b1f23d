// Modal loops and the overlay's event pump.
#include "engine/app/FrameDriver.h"
#include "engine/app/GameObject.h"
#include "engine/app/MainWindow.h"
#include "engine/overlay/widgets/Control.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "engine/overlay/widgets/WidgetTree.h"

namespace {

bool StillModal(const Control* widget) { return (widget->flags & kControlModal) != 0; }

}  // namespace

std::int32_t OverlayManager::RunModal(Control* widget) {
    if (widget == nullptr || root == nullptr) return 0;
    root->flags |= kControlModal;
    if (!IsWithin(focus, widget)) SetFocusWindow(widget);

    Control* found = HitTestWindow(widget, pointerX - WindowAbsX(widget), pointerY - WindowAbsY(widget),
                                   kHitShownOnly | kHitEnabledOnly);
    if (found != nullptr && found != root && !IsWithin(found, widget)) found = nullptr;
    if (found != hover) {
        Control* old = hover;
        hover = found;
        if (old != nullptr) old->OnPointerLeave(found);
        if (found != nullptr) found->OnPointerEnter(old);
    }

    // The first step is measured from here: the time of an earlier loop's end would hand the
    // widgets one step as long as the pause between the two loops.
    float previous = GetTimeSeconds();
    while (StillModal(widget)) {
        if (!StillModal(root) || IsQuitRequested()) break;
        if (Engine* game = GameObject()) game->OnEvent(kGameEventModalFrameStart, 0, 0);
        const float now = GetTimeSeconds();
        float step = now - previous;
        previous = now;
        if (!(step >= 0.0f)) step = 0.0f;
        if (step > kMaxModalStep) step = kMaxModalStep;
        FrameDriver();
        if (IsQuitRequested()) break;

        const InputEvent timer{kUiEventTimer, static_cast<std::int32_t>(static_cast<std::uint32_t>(step * 1000.0f)), 0,
                               0};
        DispatchUiEvent(*this, widget, timer);
        while (const InputEvent* queued = PopInputEvent()) {
            const InputEvent event = *queued;
            DispatchUiEvent(*this, widget, event);
        }
        if (StillModal(widget) && StillModal(root)) {
            if (modalRedrawCount != 0) SetDrawOrigin(root);
            if (Engine* game = GameObject()) game->Render();
        }
        if (Engine* game = GameObject()) game->OnEvent(kGameEventModalFrameEnd, 0, 0);
    }
    widget->flags |= kControlModal;
    return widget->modalResult;
}

void OverlayManager::ProcessEvents() {
    while (const InputEvent* queued = PopInputEvent()) {
        const InputEvent event = *queued;
        DispatchUiEvent(*this, root, event);
    }
}
