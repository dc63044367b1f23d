// Drawing the widget tree and the pointer image.
#include <vector>

#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/widgets/Control.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "engine/overlay/widgets/WidgetTree.h"
#include "engine/render/OpenGLRenderDevice.h"

namespace {

// Clear mode of the render device: colour and depth.
constexpr DWORD kClearColourAndDepth = 15;

void PlaceOrigin(Canvas2D& target, const Control* widget) {
    target.offsetX = WindowAbsX(widget);
    target.offsetY = WindowAbsY(widget);
}

// Before a widget's children: backdrop (when flagged), background and content.
void DrawBeforeChildren(Canvas2D& target, Control* widget) {
    PlaceOrigin(target, widget);
    if ((widget->flags & kControlHasBackdrop) != 0) widget->DrawBackdrop(&target);
    widget->DrawBackground(&target);
    widget->Draw(&target);
}

}  // namespace

void OverlayManager::DrawWidgetTree(Canvas2D& target) {
    if (root == nullptr) return;
    // The path from the root to the widget being drawn, each with its next child link; the
    // depth of the tree costs no stack.
    struct Frame {
        Control* widget;
        KDLLink* next;
    };
    std::vector<Frame> path;
    DrawBeforeChildren(target, root);
    path.push_back(Frame{root, root->children.head});
    while (!path.empty()) {
        Frame& top = path.back();
        Control* child = nullptr;
        while (top.next != nullptr && child == nullptr) {
            auto* candidate = static_cast<Control*>(top.next->item);
            top.next = top.next->next;
            if (candidate != nullptr && (candidate->flags & kControlShown) != 0) child = candidate;
        }
        if (child != nullptr) {
            DrawBeforeChildren(target, child);
            path.push_back(Frame{child, child->children.head});
            continue;
        }
        Control* done = top.widget;
        path.pop_back();
        PlaceOrigin(target, done);
        done->PostDraw(&target);
    }
}

void OverlayManager::Draw(Canvas2D* target, int clear) {
    if (target == nullptr || target->viewCount == 0) return;
    BeginOverlayDraw(target);
    if (clear != 0) {
        if (OpenGLRenderDevice* device = RenderDevice()) device->Clear(kClearColourAndDepth);
    }
    PointerRecord* pointer = nullptr;
    if (pointerVisibility >= 0) {
        Control* owner = capture != nullptr ? capture : hover != nullptr ? hover : root;
        if (owner != nullptr && owner->brush != nullptr) pointer = owner->brush->pointer;
    }
    DrawWidgetTree(*target);
    if (pointer == nullptr) return;
    target->offsetX = -pointer->hotX;
    target->offsetY = -pointer->hotY;
    if (target->viewSet == 0) target->ResetView();
    DrawQuad(target, pointerX, pointerY, pointer->width, pointer->height, &pointer->brush, 0.0f);
}
