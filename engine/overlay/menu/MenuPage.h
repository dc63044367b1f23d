// MenuPage: the abstract page of the menus, a container built from one page description.
// Creating the page makes one child control per control description; opening it runs the
// controls' "ON_INIT" scripts; a control's event runs the matching script's action (go
// back, go to a page, return a command, or a command of the page's button handler).
#pragma once

#include <cstdint>

#include "engine/core/containers/KDLList.h"
#include "engine/core/text/EngineString.h"
#include "engine/overlay/canvas/Brush.h"
#include "engine/overlay/widgets/ControlContainer.h"
#include "engine/overlay/widgets/OverlayManager.h"

class ControlDescription;
class PageDescription;
struct EventScript;

class MenuPage : public ControlContainer {
public:
    explicit MenuPage(PageDescription* pageDescription);
    // Frees the brush copies, the back-page name and the page's brush entry.
    ~MenuPage() override;

    void Draw(Canvas2D* canvas) override;
    // A report of one of the page's controls runs the first script of that control whose
    // event kind matches; anything else goes to the parent.
    std::int32_t Notify(std::int32_t code, DWORD controlId, std::int32_t kind, std::int32_t value) override;
    // One control per description, in order; a button whose click goes to a missing page is
    // disabled; "ON_CREATE" scripts run. 0 when a control cannot be made.
    int OnCreate() override;
    // Every "ON_INIT" script, in order. 1.
    int OnOpen(std::int32_t a, std::int32_t b) override;

    // The command id of a RETURN keyword.
    virtual std::int32_t CommandId(const char* keyword) = 0;
    // The widget for one description, as a child of the page; null for an unknown kind or a
    // widget that cannot be made.
    virtual Control* CreateChildControls(ControlDescription* control);
    // A command of the page's button handler: 0 keeps the page open, 1 closes it as "OK",
    // other values close it with that result. The base knows no command.
    virtual std::int32_t OnButton(Control* control, const char* command, const char* argument, std::int32_t value);
    // The control of the first description with that NAME (case ignored), or null.
    virtual Control* FindControlByName(const char* controlName);
    // Carries out one script of a control.
    virtual std::int32_t RunAction(ControlDescription* control, EventScript* script, std::int32_t value);

    // The page's brush entry (its background from the style's "BACKGROUND" brush) and the
    // container over the whole screen, hidden, under the overlay root. 1 / 0.
    int Build();
    // Hidden, result 0, modal loop ended: the menu manager opens the pending page next.
    void CloseWithoutResult();
    // The page's name: its file's base name.
    const char* Name() const;

    PageDescription* description = nullptr;  // the menu manager's
    BrushEntry classEntry;
    Brush background;
    KDLList brushCopies;  // Brush, owned: the static images' brushes
    EngineString backName;

private:
    // A copy owned by the page of the style brush (or a plain one), with its own texture.
    Brush* CopyStyleBrush(const char* brushName, const EngineString& image);
};

// A control the pages "hide" (a value button at the end of its range) stays in place and
// drawn, disabled: the flag that hides it is the disabled one, so pointer and focus keys
// pass it by. 1 when it changed.
int HidePageControl(Control* control);
// Whether such a control is hidden, that is disabled (itself or an ancestor).
bool IsPageControlHidden(const Control* control);
