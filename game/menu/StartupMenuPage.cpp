// The start-up page: the sound question, and the start once it is answered.
#include "engine/core/text/TextCompare.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "game/flow/profile/PlayerProfile.h"
#include "game/flow/services/GameServices.h"
#include "game/flow/sound/SoundManager.h"
#include "game/menu/QuestionPages.h"

namespace {

constexpr QuestionSetup kAudioQuestion{kCommandQuit, "UFM_ENABLE_AUDIO", {150.0f, 148.0f}, {400.0f, 272.0f},
                                       {560.0f, 381.0f}, 0};
// The volume an answer of "yes" gives a volume that was off, in tenths.
constexpr std::int32_t kDefaultVolume = 5;

// Volumes follow the profile's options, in tenths.
void ApplyVolumes(const PlayerProfile& profile) {
    if (SoundManager* sound = GetSoundManager()) {
        sound->SetMusicVolume(static_cast<float>(profile.Option(kOptionMusicVolume)) * 0.1f);
        sound->SetEffectsVolume(static_cast<float>(profile.Option(kOptionEffectsVolume)) * 0.1f);
    }
}

}  // namespace

void StartupMenuPage::OnShow(int shown, int unused) {
    if (shown != 0) {
        HidePopup();
        SetupQuestion(kAudioQuestion);
        Overlay().AddUpdateWidget(this);
        OpenPopup();
    } else {
        ListReset(ownPopupButtons);
        Overlay().RemoveUpdateWidget(this);
    }
    UFMMenuPage::OnShow(shown, unused);
}

void StartupMenuPage::Update(DWORD elapsedMilliseconds) {
    // The answer's close animation is over: the game starts.
    if (popupSet != 0 && pageButtonsEnabled != 0 && (flags & kControlModal) != 0) EndModal(this, kCommandStart);
    UFMMenuPage::Update(elapsedMilliseconds);
}

std::int32_t StartupMenuPage::OnButton(Control* control, const char* command, const char* argument,
                                       std::int32_t value) {
    if (TakeHookControl(control, command, false) != 0) return 0;
    if (command == nullptr) return 0;
    PlayerProfile* profile = GetProfile();
    if (CompareNoCase(command, "EnableAudio") == 0) {
        ClosePopup();
        if (profile != nullptr) {
            for (const std::int32_t option : {kOptionMusicVolume, kOptionEffectsVolume})
                if (profile->Option(option) == 0) profile->SetOption(option, kDefaultVolume);
            ApplyVolumes(*profile);
        }
        Overlay().soundFlag = 1;
        PlaySoundEffect(kSoundMenuSelect, 0, 0);
        return 0;
    }
    if (CompareNoCase(command, "DisableAudio") == 0) {
        // The choice is heard before the sound goes off.
        PlaySoundEffect(kSoundMenuSelect, 0, 0);
        ClosePopup();
        if (profile != nullptr) {
            for (const std::int32_t option : {kOptionMusicVolume, kOptionEffectsVolume})
                if (profile->Option(option) != 0) profile->SetOption(option, 0);
            ApplyVolumes(*profile);
        }
        Overlay().soundFlag = 0;
        return 0;
    }
    return UFMMenuPage::OnButton(control, command, argument, value);
}
