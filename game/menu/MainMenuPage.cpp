// The main menu: the exit question behind the back area, and the return to the title after
// a minute without a key.
#include "engine/core/text/TextCompare.h"
#include "game/flow/sound/SoundManager.h"
#include "game/menu/QuestionPages.h"

namespace {

constexpr QuestionSetup kExitQuestion{kCommandQuit, "UFM_EXIT_GAME", {150.0f, 180.0f}, {400.0f, 272.0f},
                                      {560.0f, 381.0f}, 1};

}  // namespace

void MainMenuPage::OnShow(int shown, int unused) {
    UFMMenuPage::OnShow(shown, unused);
    if (shown == 0) {
        DropControls();
        return;
    }
    OverrideFlyInSpeed();
    HidePopup();
    SetupQuestion(kExitQuestion);
    idleTime = 0.0f;
}

void MainMenuPage::Update(DWORD elapsedMilliseconds) {
    AskOnBackArea();
    UFMMenuPage::Update(elapsedMilliseconds);
    idleTime += static_cast<float>(elapsedMilliseconds) * 0.001f;
    if (idleTime > kMainMenuIdleSeconds && (flags & kControlModal) != 0) EndModal(this, kCommandTitle);
}

void MainMenuPage::OnKeyDown(std::int32_t key, std::int32_t value, std::int32_t extra) {
    idleTime = 0.0f;
    DefaultMenuPage::OnKeyDown(key, value, extra);
}

void MainMenuPage::OnKeyUp(std::int32_t key, std::int32_t extra) {
    idleTime = 0.0f;
    DefaultMenuPage::OnKeyUp(key, extra);
}

std::int32_t MainMenuPage::OnButton(Control* control, const char* command, const char* argument,
                                    std::int32_t value) {
    if (TakeHookControl(control, command, true) != 0) return 0;
    if (command == nullptr) return 0;
    if (CompareNoCase(command, "Quit") == 0) return kCommandQuit;
    if (CompareNoCase(command, "YesExit") == 0) {
        PlaySoundEffect(kSoundMenuSelect, 0, 0);
        return kCommandQuit;
    }
    if (CompareNoCase(command, "NoExit") == 0) {
        PlaySoundEffect(kSoundMenuBack, 0, 0);
        ClosePopup();
        return 0;
    }
    return UFMMenuPage::OnButton(control, command, argument, value);
}
