// Tree walks over controls. Every walk is a loop or an explicit stack: menu files decide how
// deep a widget tree grows.
#include "game/ui/WidgetTree.h"

#include <vector>

namespace {

struct TreeState {
    Control* root = nullptr;
    Control* focus = nullptr;
    BrushFinder findBrush = nullptr;
    BitmapFont* defaultFont = nullptr;
};

TreeState& State() {
    static TreeState state;
    return state;
}

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

void SetRootWidget(Control* root) { State().root = root; }
Control* RootWidget() { return State().root; }
Control* FocusWidget() { return State().focus; }
void SetBrushFinder(BrushFinder finder) { State().findBrush = finder; }
BrushEntry* FindBrushEntry(const char* brushId) {
    return State().findBrush != nullptr ? State().findBrush(brushId) : nullptr;
}
void SetDefaultWidgetFont(BitmapFont* font) { State().defaultFont = font; }
BitmapFont* DefaultWidgetFont() { return State().defaultFont; }

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
    if (control == State().root) return true;
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
    Control* owner = control->parent != nullptr ? control->parent : State().root;
    if (owner == nullptr) return nullptr;
    for (KDLLink* link = owner->children.head; link != nullptr; link = link->next) {
        if (link->item != control) continue;
        KDLLink* sibling = direction == 1 ? link->next : link->previous;
        return sibling != nullptr ? static_cast<Control*>(sibling->item) : nullptr;
    }
    return nullptr;
}

Control* SetFocusWindow(Control* control) {
    Control* old = State().focus;
    if (old == control) return old;
    State().focus = control;
    if (old != nullptr) old->OnLoseFocus(control);
    if (control != nullptr) control->OnGainFocus(old);
    return old;
}

void ForgetFocus(const Control* control) {
    if (control != nullptr && State().focus == control) State().focus = nullptr;
}
