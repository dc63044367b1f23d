// The hooks and set-up shared by the start-up, main and pause pages.
#include "engine/core/text/TextCompare.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/widgets/WidgetTree.h"
#include "game/flow/sound/SoundManager.h"
#include "game/menu/QuestionPages.h"

namespace {

// A page opened again while still shown runs its hooks again: each control joins once.
void AppendOnce(KDLList& list, Control* control) {
    for (KDLLink* link = list.head; link != nullptr; link = link->next)
        if (link->item == control) return;
    ListAppend(list, control);
}

}  // namespace

QuestionPage::~QuestionPage() { DropControls(); }

int QuestionPage::TakeHookControl(Control* control, const char* command, bool pageButtons) {
    if (control == nullptr || command == nullptr) return 0;
    if (pageButtons && CompareNoCase(command, "InitPageButton") == 0) {
        AppendOnce(ownPageButtons, control);
        return 1;
    }
    if (CompareNoCase(command, "InitUFMButton") == 0) {
        AppendOnce(ownPopupButtons, control);
        SetEnabled(control, 0);
        return 1;
    }
    if (CompareNoCase(command, "InitUFMUnderlay") == 0) {
        ownUnderlay = control;
        return 1;
    }
    return 0;
}

void QuestionPage::SetupQuestion(const QuestionSetup& setup) {
    SetupPopup(ownUnderlay, ownPageButtons, ownPopupButtons, setup.mode, setup.key, setup.textPosition,
               setup.underlayCentre, setup.underlaySize, setup.focusIndex);
}

void QuestionPage::OverrideFlyInSpeed() {
    std::int32_t seen = 0;
    for (std::int32_t i = 0; i < buttonCount; ++i) {
        if (FlyingButton(i) == nullptr || ++seen < 4) continue;
        speed = Target(i) - kFlyInSpeedFactor * static_cast<float>(Overlay2D().screenWidth);
        return;
    }
}

void QuestionPage::DropControls() {
    ListReset(ownPopupButtons);
    ListReset(ownPageButtons);
}

void QuestionPage::AskOnBackArea() {
    if (backPressed == 0 || popupButtonsEnabled != 0) return;
    PlaySoundEffect(kSoundMenuBack, 0, 0);
    OpenPopup();
}
