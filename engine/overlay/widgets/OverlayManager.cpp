// The overlay manager: start and shutdown, the brush table, pointer records, and how focus,
// capture and hover move among the widgets.
#include "engine/overlay/widgets/OverlayManager.h"

#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/text/GlyphRun.h"
#include "engine/overlay/widgets/Control.h"
#include "engine/overlay/widgets/WidgetTree.h"
#include "engine/resources/font/BitmapFont.h"

namespace {

void FreeEntry(void* item) { EngineFree(item); }

// The pointer texture's quarters: record n shows quarter n (top-left, top-right,
// bottom-left, bottom-right).
constexpr float kQuarterLeft[4] = {0.0f, 0.5f, 0.0f, 0.5f};
constexpr float kQuarterTop[4] = {0.0f, 0.0f, 0.5f, 0.5f};
constexpr float kPointerSize = 32.0f;
constexpr float kPointerHotSpot = 15.0f;

// The overlay's own brush entries, both with the default pointer image: id 0 is the root's.
constexpr BrushId kOwnBrushIds[2] = {0, 1};

}  // namespace

bool IsEmptyBrush(const Brush& brush) {
    if (brush.flags != 0 || brush.texture != nullptr) return false;
    for (DWORD colour : brush.colours) {
        if (colour != 0) return false;
    }
    return true;
}

OverlayManager& Overlay() {
    static OverlayManager overlay;
    return overlay;
}

OverlayManager::OverlayManager() { Clear(); }

OverlayManager::~OverlayManager() {
    // At exit the engine heaps may be gone already; then there is nothing left to give back.
    if (!HeapIsInitialised()) return;
    Shutdown();
    ListDestroy(widgets);
    ListDestroy(brushes);
    ListDestroy(secondList);
    ListDestroy(updateList);
}

void OverlayManager::Clear() {
    ListDeleteAll(brushes, FreeEntry);
    ListReset(widgets);
    pointerX = pointerY = 0.0f;
    focus = capture = hover = nullptr;
    pointerVisibility = 0;
    modalRedrawCount = 0;
    canvas = nullptr;
    reservedFloat = 2.0f;
    reservedWord = 1;
}

int OverlayManager::Init(Canvas2D* target) {
    Clear();
    canvas = target;
    if (systemFont == nullptr) {
        systemFont = new BitmapFont;
        // Without its image the font has no glyphs: text then shows nothing, which is no
        // reason to stop the program.
        if (systemFont != nullptr) systemFont->LoadFont(kSystemFontName, 256, 256, 16, 16, 16, 16, 0);
    }
    SetSystemFont(systemFont);

    for (int record = 0; record < 4; ++record) {
        PointerRecord& pointer = pointers[record];
        if (record > 0) {
            pointer.brush.flags = pointers[0].brush.flags;
            pointer.brush.texture = pointers[0].brush.texture;
        }
        const float left = kQuarterLeft[record];
        const float top = kQuarterTop[record];
        const float corners[8] = {left, top, left + 0.5f, top, left + 0.5f, top + 0.5f, left, top + 0.5f};
        for (int i = 0; i < 8; ++i) pointer.brush.corners[i] = corners[i];
        for (DWORD& colour : pointer.brush.colours) colour = 0xFFFFFFFF;
        pointer.width = pointer.height = kPointerSize;
        pointer.hotX = pointer.hotY = kPointerHotSpot;
    }

    for (BrushId id : kOwnBrushIds) {
        BrushEntry entry;
        entry.pointer = &pointers[0];
        entry.id = id;
        if (AddBrush(entry) == 0) return 1;
    }

    root = new Control;
    if (root == nullptr) return 1;
    const Overlay2DState& screen = Overlay2D();
    const TextRef noText;
    if (root->Create(nullptr, &noText, 0, 0.0f, 0.0f, static_cast<float>(screen.screenWidth),
                     static_cast<float>(screen.screenHeight), nullptr, 0) == 0) {
        delete root;
        root = nullptr;
        return 1;
    }
    root->flags |= kControlModal;
    return 0;
}

void OverlayManager::Shutdown() {
    ListReset(secondList);
    ListReset(updateList);
    if (SystemFont() == systemFont) SetSystemFont(nullptr);
    delete systemFont;
    systemFont = nullptr;
    if (Control* widget = root) {
        widget->Destroy(0);
        delete widget;
        root = nullptr;
    }
    Clear();
}

int OverlayManager::AddBrush(const BrushEntry& entry) {
    if (FindBrush(entry.id) != nullptr) return 0;
    auto* copy = static_cast<BrushEntry*>(EngineAlloc(sizeof(BrushEntry)));
    if (copy == nullptr) return 0;
    *copy = entry;
    if (ListAppend(brushes, copy) == nullptr) {
        EngineFree(copy);
        return 0;
    }
    return 1;
}

BrushEntry* OverlayManager::FindBrush(BrushId id) {
    for (KDLLink* link = brushes.head; link != nullptr; link = link->next) {
        auto* entry = static_cast<BrushEntry*>(link->item);
        if (entry->id == id) return entry;
    }
    return nullptr;
}

PointerRecord* OverlayManager::GetPointerRecord(int index) {
    return index >= 1 && index <= 3 ? &pointers[index] : nullptr;
}

Control* OverlayManager::SetFocus(Control* widget) {
    Control* old = focus;
    if (old == widget) return old;
    focus = widget;
    if (old != nullptr) old->OnLoseFocus(widget);
    if (widget != nullptr) widget->OnGainFocus(old);
    return old;
}

void OverlayManager::SetCapture(Control* widget) {
    Control* previous = capture;
    if (previous != nullptr && previous != widget) previous->OnCaptureLost(widget);
    capture = widget;
}

void OverlayManager::ReleaseCapture() {
    Control* previous = capture;
    capture = nullptr;
    if (previous != nullptr) previous->OnCaptureLost(nullptr);
}

void OverlayManager::ReleaseWidgetInput(Control* widget, int shown) {
    if (shown == 0 && widget != nullptr && widget == root) {
        focus = capture = hover = nullptr;
        return;
    }
    if (shown == 0) {
        if (Control* holder = focus; holder != nullptr && IsWithin(holder, widget)) {
            focus = nullptr;
            holder->OnLoseFocus(nullptr);
        }
        if (Control* holder = capture; holder != nullptr && IsWithin(holder, widget)) {
            capture = nullptr;
            holder->OnCaptureLost(nullptr);
        }
    }
    FindHover();
}

void OverlayManager::FindHover() {
    if (root == nullptr) return;
    Control* found = HitTestWindow(root, pointerX - WindowAbsX(root), pointerY - WindowAbsY(root), 0);
    if (found == hover) return;
    Control* old = hover;
    hover = found;
    if (old != nullptr) old->OnPointerLeave(found);
    if (found != nullptr) found->OnPointerEnter(old);
}

void OverlayManager::RemoveBrush(BrushId id) {
    for (KDLLink* link = brushes.head; link != nullptr; link = link->next) {
        if (static_cast<BrushEntry*>(link->item)->id == id) {
            EngineFree(ListUnlink(brushes, link));
            return;
        }
    }
}

void OverlayManager::RemoveWidget(Control* widget) {
    if (widget == nullptr) return;
    if (focus == widget) focus = nullptr;
    if (capture == widget) capture = nullptr;
    if (hover == widget) hover = nullptr;
    RemoveUpdateWidget(widget);
    for (KDLLink* link = widgets.head; link != nullptr; link = link->next) {
        if (link->item == widget) {
            ListUnlink(widgets, link);
            return;
        }
    }
}

void OverlayManager::CountModalRedraw(int more) { modalRedrawCount += more != 0 ? 1 : -1; }

void OverlayManager::EndRootModal() {
    if (root == nullptr) return;
    root->flags &= ~kControlModal;
    root->modalResult = 0;
}

bool OverlayManager::AddUpdateWidget(Control* widget) {
    if (widget == nullptr) return false;
    for (KDLLink* link = updateList.head; link != nullptr; link = link->next) {
        if (link->item == widget) return false;
    }
    return ListAppend(updateList, widget) != nullptr;
}

void OverlayManager::RemoveUpdateWidget(Control* widget) {
    for (KDLLink* link = updateList.head; link != nullptr; link = link->next) {
        if (link->item == widget) {
            ListUnlink(updateList, link);
            return;
        }
    }
}
