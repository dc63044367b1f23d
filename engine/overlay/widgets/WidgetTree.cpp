// Tree walks over controls, and the operations that tell the overlay about a control. Every
// walk is a loop or an explicit stack: menu files decide how deep a widget tree grows.
#include "engine/overlay/widgets/WidgetTree.h"

#include <vector>

#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/widgets/OverlayManager.h"

namespace {

// The control's own flags: its ancestors on the search path have passed already.
bool PassesMask(const Control* control, DWORD mask) {
    if ((mask & kHitShownOnly) != 0 && (control->flags & kControlShown) == 0) return false;
    if ((mask & kHitEnabledOnly) != 0 && (control->flags & kControlDisabled) != 0) return false;
    return true;
}

}  // namespace

bool IsFocusStop(const Control* control) {
    return control != nullptr && (control->flags & kControlFocusStop) != 0 && IsWindowEnabled(control) &&
           IsWindowShown(control);
}

Control* RootWidget() { return Overlay().root; }
Control* FocusWidget() { return Overlay().focus; }

bool IsWindowShown(const Control* control) {
    if (control == nullptr) return false;
    for (const Control* at = control; at != nullptr; at = at->parent) {
        if ((at->flags & kControlShown) == 0) return false;
    }
    return true;
}

bool IsWindowEnabled(const Control* control) {
    if (control == nullptr) return false;
    for (const Control* at = control; at != nullptr; at = at->parent) {
        if ((at->flags & kControlDisabled) != 0) return false;
    }
    return true;
}

bool IsWindowAncestor(const Control* start, const Control* control) {
    if (control == nullptr) return false;
    if (control == Overlay().root) return true;
    for (const Control* at = start; at != nullptr; at = at->parent) {
        if (at == control) return true;
    }
    return false;
}

float WindowAbsX(const Control* control) {
    float sum = 0.0f;
    for (const Control* at = control; at != nullptr; at = at->parent) sum += at->x;
    return sum;
}

float WindowAbsY(const Control* control) {
    float sum = 0.0f;
    for (const Control* at = control; at != nullptr; at = at->parent) sum += at->y;
    return sum;
}

Control* HitTestWindow(Control* control, float x, float y, DWORD mask) {
    if (control == nullptr) return nullptr;
    // One frame per control on the path; `next` is the child link to try after the current.
    struct Frame {
        Control* control;
        float x, y;
        KDLLink* next;
    };
    std::vector<Frame> path;
    path.push_back(Frame{control, x, y, control->children.head});
    while (!path.empty()) {
        Frame& top = path.back();
        Control* child = nullptr;
        while (top.next != nullptr && child == nullptr) {
            auto* candidate = static_cast<Control*>(top.next->item);
            top.next = top.next->next;
            if (candidate != nullptr && PassesMask(candidate, mask)) child = candidate;
        }
        if (child != nullptr) {
            const float childX = top.x - child->x;
            const float childY = top.y - child->y;
            path.push_back(Frame{child, childX, childY, child->children.head});
            continue;
        }
        // No child yields one: the control itself answers, and a hit ends the whole search
        // because every ancestor returns the first result its children give.
        const Frame done = top;
        path.pop_back();
        if (done.x >= 0.0f && done.x < done.control->width && done.y >= 0.0f && done.y < done.control->height) {
            return done.control;
        }
    }
    return nullptr;
}

Control* FindChildById(Control* control, DWORD id) {
    if (control == nullptr) return nullptr;
    // Links still to visit, the next one on top.
    std::vector<KDLLink*> pending;
    if (control->children.head != nullptr) pending.push_back(control->children.head);
    while (!pending.empty()) {
        KDLLink* link = pending.back();
        pending.pop_back();
        if (link->next != nullptr) pending.push_back(link->next);
        auto* child = static_cast<Control*>(link->item);
        if (child == nullptr) continue;
        if (child->id == id) return child;
        if (child->children.head != nullptr) pending.push_back(child->children.head);
    }
    return nullptr;
}

Control* FindFirstFocusable(Control* control) {
    if (control == nullptr) return nullptr;
    for (KDLLink* link = control->children.head; link != nullptr; link = link->next) {
        auto* child = static_cast<Control*>(link->item);
        if (child != nullptr && IsFocusStop(child)) return child;
    }
    return nullptr;
}

Control* GetSiblingControl(Control* control, int direction) {
    if (control == nullptr || (direction != 0 && direction != 1)) return nullptr;
    Control* owner = control->parent != nullptr ? control->parent : Overlay().root;
    if (owner == nullptr) return nullptr;
    for (KDLLink* link = owner->children.head; link != nullptr; link = link->next) {
        if (link->item != control) continue;
        KDLLink* sibling = direction == 1 ? link->next : link->previous;
        return sibling != nullptr ? static_cast<Control*>(sibling->item) : nullptr;
    }
    return nullptr;
}

Control* SetFocusWindow(Control* control) { return Overlay().SetFocus(control); }

bool IsWithin(const Control* control, const Control* widget) {
    if (control == nullptr || widget == nullptr) return false;
    for (const Control* at = control; at != nullptr; at = at->parent) {
        if (at == widget) return true;
    }
    return false;
}

void SetDrawOrigin(Control* control) {
    Canvas2D* canvas = Overlay().canvas;
    if (canvas == nullptr || control == nullptr) return;
    canvas->offsetX = WindowAbsX(control);
    canvas->offsetY = WindowAbsY(control);
    if (canvas->viewSet == 0) canvas->ResetView();
}

int SetVisible(Control* control, int show) {
    if (control == nullptr || (show != 0 && show != 1)) return 0;
    const bool shown = (control->flags & kControlShown) != 0;
    if (shown == (show == 1)) return 1;
    if (show == 1)
        control->flags |= kControlShown;
    else
        control->flags &= ~kControlShown;
    control->OnShow(show, 0);
    Overlay().ReleaseWidgetInput(control, show);
    SetDrawOrigin(control);
    return 1;
}

int SetEnabled(Control* control, int enable) {
    if (control == nullptr) return 0;
    const DWORD old = control->flags;
    const bool enabled = IsWindowEnabled(control);
    if (enable != 0 && !enabled) {
        control->flags &= ~kControlDisabled;
        control->OnEnable(1, old, control->flags);
        return 1;
    }
    if (enable == 0 && enabled) {
        control->flags |= kControlDisabled;
        control->OnEnable(0, old, control->flags);
        return 1;
    }
    return 0;
}

void SetRect(Control* control, float x, float y, float width, float height) {
    if (control == nullptr) return;
    control->x = x;
    control->y = y;
    control->width = width;
    control->height = height;
}

int RedrawControl(Control* control) {
    SetDrawOrigin(control);
    OverlayManager& overlay = Overlay();
    overlay.Draw(overlay.canvas, 1);
    return 1;
}
