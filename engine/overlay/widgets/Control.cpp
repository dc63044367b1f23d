// The control base: construction, creation and destruction in the widget tree, focus keys,
// its background, and the empty or forwarding behaviour of the remaining operations.
#include "engine/overlay/widgets/Control.h"

#include <vector>

#include "engine/app/GameKeys.h"
#include "engine/app/KeyStates.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "engine/overlay/widgets/WidgetTree.h"

namespace {

KDLList* OwnerList(Control& control) {
    if (control.parent != nullptr) return &control.parent->children;
    Control* root = RootWidget();
    return root != nullptr && root != &control ? &root->children : nullptr;
}

bool IsNextKey(std::int32_t key, bool shiftHeld) {
    return (key == kGameKeyTab && !shiftHeld) || key == kGameKeyDown || key == kGameKeyNextAlternate2 ||
           key == kGameKeyNextAlternate;
}

bool IsPreviousKey(std::int32_t key, bool shiftHeld) {
    return (key == kGameKeyTab && shiftHeld) || key == kGameKeyUp || key == kGameKeyPreviousAlternate2 ||
           key == kGameKeyPreviousAlternate;
}

// The first focus stop of `list`, from the head forward or from the tail backward.
Control* FirstFocusStop(const KDLList& list, bool forward) {
    for (KDLLink* link = forward ? list.head : list.tail; link != nullptr;
         link = forward ? link->next : link->previous) {
        auto* child = static_cast<Control*>(link->item);
        if (IsFocusStop(child)) return child;
    }
    return nullptr;
}

}  // namespace

Control::Control() { ListAppend(Overlay().widgets, this); }

Control::~Control() {
    if (created == 1) Control::Destroy(0);
    ReleaseTextRef(tooltipAlt);
    ReleaseTextRef(tooltip);
    ReleaseTextRef(text);
    OverlayManager& overlay = Overlay();
    overlay.RemoveWidget(this);
    if (overlay.root == this) overlay.root = nullptr;
    ListDestroy(children);
}

int Control::Destroy(int /*value*/) {
    if (created == 0) return 0;
    // The descendants go deepest first, so no Destroy call has children left to recurse into
    // however deep the tree is. Each one's Destroy unlinks it; one that does not (never
    // created) is taken out here so the walk cannot visit it twice.
    // `lists` is the path of child lists from this control down to the one being emptied.
    std::vector<KDLList*> lists{&children};
    while (!lists.empty()) {
        KDLList* list = lists.back();
        if (list->head == nullptr) {
            lists.pop_back();  // its owner is now a leaf at the head of the list above
            continue;
        }
        auto* leaf = static_cast<Control*>(list->head->item);
        if (leaf != nullptr && leaf->children.head != nullptr) {
            lists.push_back(&leaf->children);
            continue;
        }
        if (leaf != nullptr) leaf->Destroy(0);
        if (list->head != nullptr && list->head->item == leaf) ListUnlink(*list, list->head);
        delete leaf;
    }
    OverlayManager& overlay = Overlay();
    if (overlay.capture == this) overlay.ReleaseCapture();
    SetDrawOrigin(this);
    created = 0;
    overlay.RemoveWidget(this);
    KDLList* owner = OwnerList(*this);
    if (owner == nullptr) return 0;
    for (KDLLink* link = owner->head; link != nullptr; link = link->next) {
        if (link->item == this) {
            ListUnlink(*owner, link);
            return 1;
        }
    }
    return 0;
}

int Control::Create(const char* brushId, const TextRef* caption, DWORD style, float left, float top, float w, float h,
                    Control* parentControl, DWORD controlId) {
    // A second Create would link the control twice and leave a stale link after Destroy.
    if (created != 0) return 0;
    BrushEntry* entry = Overlay().FindBrush(BrushIdOf(brushId));
    if (entry == nullptr) return 0;
    if (caption != nullptr && (caption->key != nullptr || caption->text != nullptr)) text = TextRefCopy(*caption);
    x = left;
    y = top;
    width = w;
    height = h;
    parent = parentControl;
    id = controlId;
    flags = style | kControlModal;
    brush = entry;
    font = Overlay().systemFont;
    // Top-level controls live under the root widget; the root itself is linked nowhere.
    KDLList* owner = OwnerList(*this);
    if (owner != nullptr && ListAppend(*owner, this) == nullptr) return 0;
    created = 1;
    if (IsWindowShown(this)) SetDrawOrigin(this);
    return 1;
}

void Control::SetTooltip(const TextRef* reference) {
    ReleaseTextRef(tooltip);
    tooltip = reference != nullptr ? TextRefCopy(*reference) : TextRef{};
}

void Control::SetTooltipAlt(const TextRef* reference) {
    ReleaseTextRef(tooltipAlt);
    tooltipAlt = reference != nullptr ? TextRefCopy(*reference) : TextRef{};
}

const TextRef* Control::GetTooltip() { return &tooltip; }

void Control::OnKeyDown(std::int32_t key, std::int32_t value, std::int32_t extra) {
    const bool shiftHeld = GetKeyState(kGameKeyShiftLeft) != 0 || GetKeyState(kGameKeyShiftRight) != 0;
    if (parent == nullptr) {
        if (IsNextKey(key, false)) {
            Control* first = FirstFocusStop(children, true);
            if (first != nullptr) SetFocusWindow(first);
        }
        return;
    }
    const bool next = IsNextKey(key, shiftHeld);
    if (!next && !IsPreviousKey(key, shiftHeld)) {
        parent->OnKeyDown(key, value, extra);
        return;
    }
    const int direction = next ? 1 : 0;
    for (Control* sibling = GetSiblingControl(this, direction); sibling != nullptr;
         sibling = GetSiblingControl(sibling, direction)) {
        if (IsFocusStop(sibling)) {
            SetFocusWindow(sibling);
            return;
        }
    }
    // Wrap around within the parent; landing on this control again changes nothing.
    Control* wrapped = FirstFocusStop(parent->children, next);
    if (wrapped == this) return;
    if (wrapped == nullptr) wrapped = FirstFocusStop(children, next);
    if (wrapped != nullptr) {
        SetFocusWindow(wrapped);
        return;
    }
    parent->OnKeyDown(key, value, extra);
}

void Control::OnKeyUp(std::int32_t key, std::int32_t extra) {
    if (parent != nullptr) parent->OnKeyUp(key, extra);
}

void Control::OnChar(std::int32_t a, std::int32_t b, std::int32_t c) {
    if (parent != nullptr) parent->OnChar(a, b, c);
}

std::int32_t Control::Notify(std::int32_t code, DWORD controlId, std::int32_t kind, std::int32_t value) {
    return parent != nullptr ? parent->Notify(code, controlId, kind, value) : 0;
}

int Control::DrawBackground(Canvas2D* canvas) {
    if (brush != nullptr && !IsEmptyBrush(brush->brush)) DrawQuad(canvas, 0.0f, 0.0f, width, height, &brush->brush, 0.0f);
    return 1;
}

void Control::OnEnable(int /*enabled*/, DWORD /*oldFlags*/, DWORD /*newFlags*/) { SetDrawOrigin(this); }

void Control::PostDraw(Canvas2D* /*canvas*/) {}
void Control::OnPointerMove(float /*x*/, float /*y*/) {}
void Control::OnPointerDown(float /*x*/, float /*y*/) {}
void Control::OnPointerUp(float /*x*/, float /*y*/) {}
void Control::OnPointerEvent3(float /*x*/, float /*y*/) {}
void Control::OnPointerEvent4(float /*x*/, float /*y*/) {}
void Control::OnPointerEvent5(float /*x*/, float /*y*/) {}
void Control::OnPointerEvent6(float /*x*/, float /*y*/) {}
void Control::OnPointerEvent7(std::int32_t /*value*/, float /*x*/, float /*y*/) {}
void Control::OnPointerEnter(Control* /*from*/) {}
void Control::OnPointerLeave(Control* /*to*/) {}
void Control::OnHScroll(std::int32_t /*code*/, std::int32_t /*position*/, Control* /*source*/) {}
void Control::OnScroll(std::int32_t /*code*/, std::int32_t /*position*/, Control* /*source*/) {}
void Control::OnGainFocus(Control* /*previous*/) {}
void Control::OnLoseFocus(Control* /*next*/) {}
void Control::OnShow(int /*shown*/, int /*unused*/) {}
void Control::OnCaptureLost(Control* /*capturer*/) {}
void Control::Draw(Canvas2D* /*canvas*/) {}
void Control::DrawBackdrop(Canvas2D* /*canvas*/) {}
void Control::Update(DWORD /*elapsedMilliseconds*/) {}
