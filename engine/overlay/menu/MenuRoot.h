// MenuRoot: the full-screen widget behind the menus, first under the overlay root so that
// the pages, created after it, are drawn over it. Each frame of a modal run its Update
// steps the game's screen state machine and its Draw renders the game's frame.
#pragma once

#include "engine/overlay/widgets/ControlContainer.h"

class Canvas2D;

constexpr const char kGameWindowClass[] = "GameWindowWndClass";

// What the menu root asks of the game.
class MenuRootHost {
public:
    virtual ~MenuRootHost() = default;
    // One step of the screen state machine.
    virtual void UpdateScreenState() = 0;
    // The game's frame under the menus: the game's render operation, unless that frame is
    // being drawn already (its pass draws the widget tree, and with it the root).
    virtual void DrawGameFrame(Canvas2D* canvas) = 0;
};

class MenuRoot : public ControlContainer {
public:
    MenuRoot() = default;
    // No longer the game's menu root.
    ~MenuRoot() override;

    // The class brush (registered when missing), the root over the whole screen, not shown,
    // under the overlay root, and in the update list. 1, or 0 when the overlay refuses the
    // brush.
    int Setup(MenuRootHost* host);

    // Focus traversal as any control: Enter and Escape on the root are no notifications.
    void OnKeyDown(std::int32_t key, std::int32_t value, std::int32_t extra) override;
    // Counted among the visible top-level widgets while shown.
    void OnShow(int shown, int unused) override;
    void Draw(Canvas2D* canvas) override;
    void Update(DWORD elapsedMilliseconds) override;
    // Joins the update list once; the pointer counter goes down each call. 1.
    int OnCreate() override;

    MenuRootHost* host = nullptr;

private:
    bool drawingFrame_ = false;
};

// The game's menu root, set by Setup; null before.
MenuRoot* GetMenuRoot();
