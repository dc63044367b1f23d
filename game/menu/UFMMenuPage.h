// UFMMenuPage: a page that can put a modal question over itself. A dark underlay opens from
// the centre, the question fades in and one or two answer buttons slide in from the edges.
// While the question is shown only its answer buttons (the popup buttons) react, otherwise
// only the page's own buttons.
#pragma once

#include <cstdint>

#include "engine/core/containers/KDLList.h"
#include "engine/core/math/MathTypes.h"
#include "engine/core/text/EngineString.h"
#include "engine/core/text/EngineWString.h"
#include "game/menu/AnimatedMenuPage.h"

// The timer value of a popup at rest.
constexpr float kPopupAtRest = 20.0f;
// Each of the three steps of the open and close animations takes 1 / 8 s.
constexpr float kPopupStepRate = 8.0f;

// A 2D point or size.
struct PopupVector {
    float x;
    float y;
};

class UFMMenuPage : public AnimatedMenuPage {
public:
    explicit UFMMenuPage(PageDescription* pageDescription);
    ~UFMMenuPage() override;

    // The page, then the question while it is visible.
    void PostDraw(Canvas2D* canvas) override;
    // The back keys while the question is shown end the page with the mode (1 as OK, 2 as
    // cancel); the key then goes on to the default handling.
    void OnKeyUp(std::int32_t key, std::int32_t extra) override;
    // Hidden: the popup set-up and both button groups are dropped.
    void OnShow(int shown, int unused) override;
    // Runs the open and close animations.
    void Update(DWORD elapsedMilliseconds) override;
    std::int32_t OnButton(Control* control, const char* command, const char* argument, std::int32_t value) override;

    // The question's parts and geometry; the popup is left at rest, closed.
    void SetupPopup(Control* underlayControl, const KDLList& pageList, const KDLList& popupList,
                    std::int32_t resultMode, const char* key, PopupVector textAt, PopupVector centre,
                    PopupVector size, std::uint32_t focus);
    void OpenPopup();
    // Ignored while a close runs.
    void ClosePopup();
    // Closed at once, no animation.
    void HidePopup();
    void SetPageButtonsEnabled(int on);
    void SetPopupButtonsEnabled(int on);

    // Where popup button `index` (0 or 1) sits at fraction `c` of its slide.
    PopupVector PopupButtonPlace(std::uint32_t index, float c) const;

    DWORD popupSet = 0;
    DWORD closing = 0;
    std::uint32_t focusIndex = 0;
    EngineString messageKey;
    EngineWString wideText;
    Color textColour{1.0f, 1.0f, 1.0f, 0.0f};
    Color shadowColour{0.0f, 0.0f, 0.0f, 0.0f};
    PopupVector textPosition{150.0f, 88.0f};
    PopupVector textBoxSize{500.0f, 0.0f};
    float textScale = 1.0f;
    Control* underlay = nullptr;
    PopupVector underlayCentre{400.0f, 265.0f};
    PopupVector underlaySize{800.0f, 487.0f};
    float widthFactor = 0.0f;
    float heightFactor = 0.0f;
    KDLList pageButtons;   // Control, not owned
    KDLList popupButtons;  // Control, not owned; the first two slide in
    float timer = kPopupAtRest;
    DWORD popupButtonsEnabled = 0;
    DWORD pageButtonsEnabled = 0;
    std::int32_t mode = 0;

private:
    void PlaceUnderlay() const;
    void PlacePopupButtons(float c) const;
};

// Copies the controls of `from` onto the end of `into` (emptied first).
void CopyControlList(KDLList& into, const KDLList& from);
