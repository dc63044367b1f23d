// Input events into the widget tree: the pointer mapped to virtual screen pixels, pointer
// events to the capture or the widget under the pointer, keys to the focus, the timer to the
// update list.
#include <algorithm>

#include "engine/app/Application.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/widgets/Control.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "engine/overlay/widgets/WidgetTree.h"
#include "engine/render/OpenGLRenderDevice.h"

namespace {

float Held(float value, float low, float high) { return std::max(low, std::min(value, high)); }

// The widget pointer events go to: the capture, else the deepest shown and enabled widget
// under the pointer, else the root.
Control* PointerTarget(const OverlayManager& overlay, Control* root) {
    if (overlay.capture != nullptr) return overlay.capture;
    Control* hit = HitTestWindow(root, overlay.pointerX - WindowAbsX(root), overlay.pointerY - WindowAbsY(root),
                                 kHitShownOnly | kHitEnabledOnly);
    return hit != nullptr ? hit : root;
}

// Keys reach the focus only inside the dispatching root, so that a modal page keeps them.
bool FocusInside(const OverlayManager& overlay, const Control* root) {
    const Control* focus = overlay.focus;
    if (focus == nullptr) return false;
    if (focus == root) return true;
    if (focus->parent == nullptr) return root == overlay.root;
    return IsWindowAncestor(focus->parent, root);
}

void RunUpdates(OverlayManager& overlay, DWORD milliseconds) {
    const std::uint32_t count = overlay.updateList.count;
    for (KDLLink* link = overlay.updateList.head; link != nullptr;) {
        KDLLink* next = link->next;
        static_cast<Control*>(link->item)->Update(milliseconds);
        // A widget that joined or left the list ends the walk: the links may be gone.
        if (overlay.updateList.count != count) return;
        link = next;
    }
}

}  // namespace

void MapPointerPosition(std::int32_t rawX, std::int32_t rawY, float& x, float& y) {
    const SIZE ui = UiScreenSize();
    const auto screenWidth = static_cast<float>(ui.cx);
    const auto screenHeight = static_cast<float>(ui.cy);
    std::int32_t viewX = 0;
    std::int32_t viewY = 0;
    std::int32_t viewWidth = 0;
    std::int32_t viewHeight = 0;
    if (OpenGLRenderDevice* device = RenderDevice()) device->GetViewport(&viewX, &viewY, &viewWidth, &viewHeight);
    if (viewWidth <= 0 || viewHeight <= 0 || screenWidth <= 0.0f || screenHeight <= 0.0f) {
        // No picture to fit into: the raw position is the virtual one.
        x = Held(static_cast<float>(rawX), 0.0f, screenWidth);
        y = Held(static_cast<float>(rawY), 0.0f, screenHeight);
        return;
    }
    const Overlay2DState& display = Overlay2D();
    std::int64_t angle = (std::int64_t{display.rotationIndex} * 90 + display.displayRotation) % 360;
    if (angle < 0) angle += 360;
    auto width = static_cast<float>(viewWidth);
    auto height = static_cast<float>(viewHeight);
    float px = static_cast<float>(rawX) - static_cast<float>(viewX);
    float py = static_cast<float>(rawY) - static_cast<float>(viewY);
    if (angle == 90) {
        const float turned = width - px;
        px = py;
        py = turned;
        std::swap(width, height);
    } else if (angle == 180) {
        px = width - px;
        py = height - py;
    } else if (angle == 270) {
        const float turned = height - py;
        py = px;
        px = turned;
        std::swap(width, height);
    }
    px = Held(px, 0.0f, width);
    py = Held(py, 0.0f, height);
    const float scale = std::min(width / screenWidth, height / screenHeight);
    x = Held((px - (width - screenWidth * scale) * 0.5f) / scale, 0.0f, screenWidth);
    y = Held((py - (height - screenHeight * scale) * 0.5f) / scale, 0.0f, screenHeight);
}

int DispatchUiEvent(OverlayManager& overlay, Control* root, const InputEvent& event) {
    if (root == nullptr) return 0;
    Control* target = nullptr;
    float localX = 0.0f;
    float localY = 0.0f;
    if (event.kind >= kInputPointerPosition && event.kind <= 7) {
        if (event.kind == kInputPointerPosition) {
            // The pointer image is drawn about its hot spot.
            Control* owner = overlay.capture != nullptr ? overlay.capture
                             : overlay.hover != nullptr ? overlay.hover
                                                        : overlay.root;
            if (overlay.pointerVisibility >= 0 && overlay.canvas != nullptr && owner != nullptr &&
                owner->brush != nullptr && owner->brush->pointer != nullptr) {
                overlay.canvas->offsetX = -owner->brush->pointer->hotX;
                overlay.canvas->offsetY = -owner->brush->pointer->hotY;
            }
            MapPointerPosition(event.a, event.b, overlay.pointerX, overlay.pointerY);
        }
        target = PointerTarget(overlay, root);
        localX = overlay.pointerX - WindowAbsX(target);
        localY = overlay.pointerY - WindowAbsY(target);
    }
    switch (event.kind) {
        case kInputPointerPosition:
            if (overlay.capture == nullptr && target != overlay.hover) {
                Control* old = overlay.hover;
                overlay.hover = target;
                if (old != nullptr) old->OnPointerLeave(target);
                target->OnPointerEnter(old);
            }
            target->OnPointerMove(localX, localY);
            break;
        case kInputPointerDown:
            target->OnPointerDown(localX, localY);
            break;
        case kInputPointerUp:
            target->OnPointerUp(localX, localY);
            break;
        case 3:
            target->OnPointerEvent3(localX, localY);
            break;
        case 4:
            target->OnPointerEvent4(localX, localY);
            break;
        case 5:
            target->OnPointerEvent5(localX, localY);
            break;
        case 6:
            target->OnPointerEvent6(localX, localY);
            break;
        case 7:
            target->OnPointerEvent7(event.a, localX, localY);
            break;
        case kInputKeyDown:
            if (FocusInside(overlay, root)) overlay.focus->OnKeyDown(event.a, event.b, event.reserved);
            break;
        case kInputKeyUp:
            if (FocusInside(overlay, root)) overlay.focus->OnKeyUp(event.a, event.reserved);
            break;
        case 10:
            if (FocusInside(overlay, root)) overlay.focus->OnChar(event.a, event.b, event.reserved);
            break;
        case kUiEventTimer:
            RunUpdates(overlay, static_cast<DWORD>(event.a));
            break;
        case kUiEventRedraw:
            SetDrawOrigin(root);
            break;
        case kUiEventEndModal:
            root->modalResult = 0;
            root->flags &= ~kControlModal;
            break;
        default:
            break;
    }
    if (overlay.hover == nullptr) {
        Control* found = HitTestWindow(root, overlay.pointerX - WindowAbsX(root), overlay.pointerY - WindowAbsY(root),
                                       kHitShownOnly | kHitEnabledOnly);
        if (found != nullptr) {
            overlay.hover = found;
            found->OnPointerEnter(nullptr);
        }
    }
    return 0;
}
