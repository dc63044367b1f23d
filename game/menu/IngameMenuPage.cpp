// The pause menu: resume, restart, and leaving the level behind the quit question.
#include "engine/core/text/TextCompare.h"
#include "game/flow/sound/SoundManager.h"
#include "game/menu/QuestionPages.h"

namespace {

constexpr QuestionSetup kQuitQuestion{kCommandExitGame, "UFM_QUIT_GAME", {150.0f, 190.0f}, {400.0f, 272.0f},
                                      {560.0f, 381.0f}, 1};

}  // namespace

void IngameMenuPage::OnKeyUp(std::int32_t key, std::int32_t extra) { DefaultMenuPage::OnKeyUp(key, extra); }

void IngameMenuPage::OnShow(int shown, int unused) {
    UFMMenuPage::OnShow(shown, unused);
    if (shown == 0) {
        DropControls();
        return;
    }
    OverrideFlyInSpeed();
    HidePopup();
    SetupQuestion(kQuitQuestion);
}

void IngameMenuPage::Update(DWORD elapsedMilliseconds) {
    AskOnBackArea();
    UFMMenuPage::Update(elapsedMilliseconds);
}

std::int32_t IngameMenuPage::OnButton(Control* control, const char* command, const char* argument,
                                      std::int32_t value) {
    if (TakeHookControl(control, command, true) != 0) return 0;
    if (command == nullptr) return 0;
    const auto is = [command](const char* name) { return CompareNoCase(command, name) == 0; };
    if (is("YesExit")) {
        ClosePopup();
        PlaySoundEffect(kSoundMenuSelect, 0, 0);
        return kCommandExitGame;
    }
    if (is("NoExit")) {
        ClosePopup();
        PlaySoundEffect(kSoundMenuBack, 0, 0);
        return 0;
    }
    if (is("ResumeGame")) {
        PlaySoundEffect(kSoundMenuSelect, 0, 0);
        return kCommandResumeGame;
    }
    if (is("RestartLevel")) {
        PlaySoundEffect(kSoundMenuSelect, 0, 0);
        return kCommandRestartLevel;
    }
    if (is("ExitGame")) {
        if (popupButtonsEnabled == 0) OpenPopup();
        return 0;
    }
    if (is("ExitBack")) PlaySoundEffect(kSoundMenuBack, 0, 0);
    return UFMMenuPage::OnButton(control, command, argument, value);
}
