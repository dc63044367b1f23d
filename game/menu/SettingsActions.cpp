// The settings operations on the profile, the sound manager, the controller and the page.
#include "game/menu/SettingsActions.h"

#include <cstdio>

#include "engine/app/Application.h"
#include "engine/core/text/EngineWString.h"
#include "engine/core/text/TextCompare.h"
#include "engine/overlay/menu/MenuPage.h"
#include "engine/overlay/text/TextTable.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "engine/overlay/widgets/SimpleWidgets.h"
#include "engine/overlay/widgets/WidgetTree.h"
#include "game/flow/ingame/IngameController.h"
#include "game/flow/profile/PlayerProfile.h"
#include "game/flow/services/GameServices.h"
#include "game/flow/sound/SoundManager.h"
#include "game/menu/DefaultMenuPage.h"
#include "game/menu/MenuSettingsHook.h"

namespace {

constexpr std::int32_t kVolumeMaximum = 10;
constexpr std::int32_t kAlphaMaximum = 100;
constexpr std::int32_t kAlphaStep = 20;
constexpr std::int32_t kLastLanguage = kLanguageCount - 1;

// The profile's text of a key, or an empty text when there is no table.
EngineWString TableText(const char* key) {
    TextTable* table = GlobalTextTable();
    return table != nullptr ? EngineWString(TextTableFind(table, key, nullptr)) : EngineWString();
}

EngineWString Number(std::int32_t value) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%i", static_cast<int>(value));
    return EngineWString::FromUtf8(digits);
}

EngineWString VolumeText(std::int32_t volume) {
    if (volume >= kVolumeMaximum) return TableText("MENU_SOUND_MAX");
    if (volume <= 0) return TableText("MENU_OFF");
    return Number(volume);
}

// A control that is of no use at the end of its range is hidden; a call that finds it in the
// wanted state changes nothing.
void ShowControl(Control* control, bool show) {
    if (control == nullptr || IsPageControlHidden(control) != show) return;
    if (show) {
        SetEnabled(control, 1);
    } else {
        HidePageControl(control);
    }
}

void ApplyArrows(Control* decrease, Control* increase, std::int32_t value, std::int32_t maximum) {
    ShowControl(decrease, value > 0);
    ShowControl(increase, value < maximum);
}

// The button-click sounds play while either volume is above 0.
void ApplyClickSounds(const PlayerProfile& profile) {
    const bool any = profile.Option(kOptionMusicVolume) > 0 || profile.Option(kOptionEffectsVolume) > 0;
    Overlay().soundFlag = any ? 1 : 0;
}

void ShowMusic(DefaultMenuPage& page, PlayerProfile& profile) {
    const std::int32_t volume = profile.Option(kOptionMusicVolume);
    page.firstSoundLabel.text = VolumeText(volume);
    ApplyArrows(page.musicDecrease, page.musicIncrease, volume, kVolumeMaximum);
    ApplyClickSounds(profile);
    if (SoundManager* sound = GetSoundManager()) sound->SetMusicVolume(static_cast<float>(volume) * 0.1f);
}

void ShowEffects(DefaultMenuPage& page, PlayerProfile& profile) {
    const std::int32_t volume = profile.Option(kOptionEffectsVolume);
    page.secondSoundLabel.text = VolumeText(volume);
    ApplyArrows(page.effectsDecrease, page.effectsIncrease, volume, kVolumeMaximum);
    ApplyClickSounds(profile);
    if (SoundManager* sound = GetSoundManager()) sound->SetEffectsVolume(static_cast<float>(volume) * 0.1f);
}

void ShowAlpha(DefaultMenuPage& page, PlayerProfile& profile) {
    const std::int32_t alpha = profile.Option(kOptionControllerOpacity);
    page.gameSettingsLabel.text = Number(alpha);
    ApplyArrows(page.alphaDecrease, page.alphaIncrease, alpha, kAlphaMaximum);
    const float fraction = static_cast<float>(alpha) * 0.01f;
    if (IngameController* controller = GetController()) controller->controllerAlpha = fraction;
    page.alphaGauge = fraction;
}

void ShowLanguage(DefaultMenuPage& page) {
    char key[32];
    std::snprintf(key, sizeof key, "%s%i", "MENU_LANGUAGE_", static_cast<int>(page.pendingLanguage));
    page.languageLabel.name.Assign(key);
}

// The control's caption becomes the text of that key; the control owns the key.
void SetCaptionKey(Control* control, const char* key) {
    if (control == nullptr) return;
    EngineString* owned = EngineString::New(key);
    if (owned == nullptr) return;
    ReleaseTextRef(control->text);
    control->text = TextRefFromKey(owned, 1);
}

// Changes an option by `delta` within 0..maximum, or wraps to 0 when `wrapAtTop` finds it at
// the top; then `show` brings the page in line.
template <typename Show>
void Step(DefaultMenuPage& page, std::int32_t option, std::int32_t delta, std::int32_t maximum, bool wrapAtTop,
          Show show) {
    PlayerProfile* profile = GetProfile();
    if (profile == nullptr) return;
    const std::int32_t value = profile->Option(option);
    if (wrapAtTop && value >= maximum) {
        profile->SetOption(option, 0);
    } else if ((delta > 0 && value < maximum) || (delta < 0 && value > 0)) {
        profile->SetOption(option, value + delta);
    }
    show(page, *profile);
}

}  // namespace

std::int32_t NextLanguageIndex(std::int32_t language, DWORD languageSetup) {
    const std::int32_t next = language + 1;
    if (languageSetup == 1) return next >= kLanguageEnglish + 1 ? 0 : next;
    if (languageSetup == 0) return next > kLastLanguage ? kLanguageEnglish : next;
    return next > kLastLanguage || next < 0 ? 0 : next;
}

std::int32_t PreviousLanguageIndex(std::int32_t language, DWORD languageSetup) {
    const std::int32_t previous = language - 1;
    if (languageSetup == 1) return previous < 0 ? kLanguageEnglish : previous;
    if (languageSetup == 0) return previous < kLanguageEnglish ? kLastLanguage : previous;
    return previous < 0 || previous > kLastLanguage ? kLastLanguage : previous;
}

void IncreaseMusicVolume(DefaultMenuPage& page) { Step(page, kOptionMusicVolume, 1, kVolumeMaximum, false, ShowMusic); }
void DecreaseMusicVolume(DefaultMenuPage& page) { Step(page, kOptionMusicVolume, -1, kVolumeMaximum, false, ShowMusic); }
void ToggleMusicVolume(DefaultMenuPage& page) { Step(page, kOptionMusicVolume, 1, kVolumeMaximum, true, ShowMusic); }
void IncreaseSFXVolume(DefaultMenuPage& page) { Step(page, kOptionEffectsVolume, 1, kVolumeMaximum, false, ShowEffects); }
void DecreaseSFXVolume(DefaultMenuPage& page) {
    Step(page, kOptionEffectsVolume, -1, kVolumeMaximum, false, ShowEffects);
}
void ToggleSoundVolume(DefaultMenuPage& page) { Step(page, kOptionEffectsVolume, 1, kVolumeMaximum, true, ShowEffects); }

void IncreaseControllerAlpha(DefaultMenuPage& page) {
    Step(page, kOptionControllerOpacity, kAlphaStep, kAlphaMaximum, false, ShowAlpha);
}
void DecreaseControllerAlpha(DefaultMenuPage& page) {
    Step(page, kOptionControllerOpacity, -kAlphaStep, kAlphaMaximum, false, ShowAlpha);
}
void ToggleControllerAlpha(DefaultMenuPage& page) {
    Step(page, kOptionControllerOpacity, kAlphaStep, kAlphaMaximum, true, ShowAlpha);
}

void RefreshControllerAlpha(DefaultMenuPage& page) {
    PlayerProfile* profile = GetProfile();
    if (profile == nullptr) return;
    const std::int32_t alpha = profile->Option(kOptionControllerOpacity);
    page.gameSettingsLabel.text = Number(alpha);
    ApplyArrows(page.alphaDecrease, page.alphaIncrease, alpha, kAlphaMaximum);
    if (page.alphaDisplay != nullptr) SetVisible(page.alphaDisplay, 0);
}

void RefreshSoundSettings(DefaultMenuPage& page) {
    PlayerProfile* profile = GetProfile();
    if (profile == nullptr) return;
    ShowMusic(page, *profile);
    ShowEffects(page, *profile);
}

void NextLanguage(DefaultMenuPage& page) {
    if (GetProfile() == nullptr) return;
    page.pendingLanguage = NextLanguageIndex(page.pendingLanguage, App().languageSetup);
    ShowLanguage(page);
}

void PrevLanguage(DefaultMenuPage& page) {
    if (GetProfile() == nullptr) return;
    page.pendingLanguage = PreviousLanguageIndex(page.pendingLanguage, App().languageSetup);
    ShowLanguage(page);
}

void ShowRumbleSetting(DefaultMenuPage& page) {
    const PlayerProfile* profile = GetProfile();
    if (profile == nullptr) return;
    SetCaptionKey(page.FindControlByName("BTN_RUMBLESETTING"),
                  profile->Option(kOptionRumble) != 0 ? "MENU_RUMBLE_ON" : "MENU_RUMBLE_OFF");
}

void ToggleRumble(DefaultMenuPage& page) {
    PlayerProfile* profile = GetProfile();
    if (profile == nullptr) return;
    const bool on = profile->Option(kOptionRumble) == 0;
    profile->SetOption(kOptionRumble, on ? 1 : 0);
    ShowRumbleSetting(page);
    // The controller gives the pulse only where the game would rumble.
    if (on) {
        if (IngameController* controller = GetController()) controller->TriggerRumble();
    }
}

void ShowAccelerometerSetting(DefaultMenuPage& page) {
    const PlayerProfile* profile = GetProfile();
    if (profile == nullptr) return;
    SetCaptionKey(page.FindControlByName("BTN_ACCELEROMETERSETTING"),
                  profile->Option(kOptionAccelerometer) != 0 ? "MENU_ACCELEROMETER_ON" : "MENU_ACCELEROMETER_OFF");
}

void ToggleAccelerometer(DefaultMenuPage& page) {
    PlayerProfile* profile = GetProfile();
    if (profile == nullptr) return;
    profile->SetOption(kOptionAccelerometer, profile->Option(kOptionAccelerometer) == 0 ? 1 : 0);
    ShowAccelerometerSetting(page);
}

bool RunSettingsOperation(DefaultMenuPage& page, const char* operation) {
    if (operation == nullptr) return false;
    struct Entry {
        const char* name;
        void (*run)(DefaultMenuPage&);
    };
    static constexpr Entry kOperations[] = {
        {"NextLanguage", NextLanguage},
        {"PrevLanguage", PrevLanguage},
        {"ToggleMusicVolume", ToggleMusicVolume},
        {"DecreaseMusicVolume", DecreaseMusicVolume},
        {"IncreaseMusicVolume", IncreaseMusicVolume},
        {"ToggleSoundVolume", ToggleSoundVolume},
        {"DecreaseSFXVolume", DecreaseSFXVolume},
        {"IncreaseSFXVolume", IncreaseSFXVolume},
        {"ToggleControllerAlpha", ToggleControllerAlpha},
        {"DecreaseControllerAlpha", DecreaseControllerAlpha},
        {"IncreaseControllerAlpha", IncreaseControllerAlpha},
        {"ToggleRumble", ToggleRumble},
        {"ShowRumbleSetting", ShowRumbleSetting},
        {"ToggleAccelerometer", ToggleAccelerometer},
        {"ShowAccelerometerSetting", ShowAccelerometerSetting},
    };
    for (const Entry& entry : kOperations) {
        if (CompareNoCase(operation, entry.name) != 0) continue;
        entry.run(page);
        return true;
    }
    return false;
}

void InstallSettingsActions() {
    SetMenuSettingsAction([](DefaultMenuPage& page, const char* operation) { RunSettingsOperation(page, operation); });
}
