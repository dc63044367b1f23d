// The menu root's set-up and its ties to the game loop.
#include "engine/overlay/menu/MenuRoot.h"

#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "engine/overlay/widgets/WidgetTree.h"

namespace {

MenuRoot* menuRoot = nullptr;

}  // namespace

MenuRoot* GetMenuRoot() { return menuRoot; }

MenuRoot::~MenuRoot() {
    if (menuRoot == this) menuRoot = nullptr;
}

int MenuRoot::Setup(MenuRootHost* gameHost) {
    OverlayManager& overlay = Overlay();
    if (overlay.FindBrush(BrushIdOf(kGameWindowClass)) == nullptr) {
        BrushEntry entry;
        entry.pointer = overlay.GetPointerRecord(1);
        entry.id = BrushIdOf(kGameWindowClass);
        if (overlay.AddBrush(entry) == 0) return 0;
    }
    host = gameHost;
    menuRoot = this;
    flags = kControlModal;
    x = 0.0f;
    y = 0.0f;
    parent = nullptr;
    const Overlay2DState& screen = Overlay2D();
    width = static_cast<float>(screen.screenWidth);
    height = static_cast<float>(screen.screenHeight);
    brush = overlay.FindBrush(BrushIdOf(kGameWindowClass));
    font = overlay.systemFont;
    if (overlay.root != nullptr && overlay.root != this && created == 0) ListAppend(overlay.root->children, this);
    created = 1;
    return OnCreate() != 0 ? 1 : 0;
}

void MenuRoot::OnKeyDown(std::int32_t key, std::int32_t value, std::int32_t extra) {
    Control::OnKeyDown(key, value, extra);
}

void MenuRoot::OnShow(int shown, int /*unused*/) {
    OverlayManager& overlay = Overlay();
    overlay.CountModalRedraw(shown);
    if (shown != 0) {
        ListAppend(overlay.secondList, this);
        return;
    }
    for (KDLLink* link = overlay.secondList.head; link != nullptr; link = link->next) {
        if (link->item == this) {
            ListUnlink(overlay.secondList, link);
            return;
        }
    }
}

void MenuRoot::Draw(Canvas2D* canvas) {
    // The game's frame draws the overlay tree, this root included: a draw of the root from
    // inside that frame must not start the frame again.
    if (host == nullptr || drawingFrame_) return;
    drawingFrame_ = true;
    host->DrawGameFrame(canvas);
    drawingFrame_ = false;
}

void MenuRoot::Update(DWORD /*elapsedMilliseconds*/) {
    if (host != nullptr) host->UpdateScreenState();
}

int MenuRoot::OnCreate() {
    OverlayManager& overlay = Overlay();
    overlay.AddUpdateWidget(this);
    --overlay.pointerVisibility;
    return 1;
}
