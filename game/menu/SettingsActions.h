// The operations of the settings pages: music and effects volume, the on-screen controller's
// opacity, rumble, accelerometer control and the language chosen on the language page. Each
// changes one option of the player profile, applies it at once, and brings the page's value
// label and arrow buttons in line. Without a profile nothing happens.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

class DefaultMenuPage;

// The language after / before `language` among those a "LanguageSetup=" value offers:
// setup 1 the languages 0..19, setup 0 the languages 19..22; any other setup walks 0..22.
std::int32_t NextLanguageIndex(std::int32_t language, DWORD languageSetup);
std::int32_t PreviousLanguageIndex(std::int32_t language, DWORD languageSetup);

void IncreaseMusicVolume(DefaultMenuPage& page);
void DecreaseMusicVolume(DefaultMenuPage& page);
// One step up, from the top back to off.
void ToggleMusicVolume(DefaultMenuPage& page);
void IncreaseSFXVolume(DefaultMenuPage& page);
void DecreaseSFXVolume(DefaultMenuPage& page);
void ToggleSoundVolume(DefaultMenuPage& page);
// Steps of 20 percent; the toggle goes from 100 back to 0.
void IncreaseControllerAlpha(DefaultMenuPage& page);
void DecreaseControllerAlpha(DefaultMenuPage& page);
void ToggleControllerAlpha(DefaultMenuPage& page);
// The game settings page as it is shown: the alpha label and arrows; the alpha display
// control is hidden, as the page draws the gauge itself.
void RefreshControllerAlpha(DefaultMenuPage& page);
// The sound settings page as it is shown: both stored volumes applied to the sound manager,
// labels, arrows and the button-click sounds in line with them.
void RefreshSoundSettings(DefaultMenuPage& page);
// The pending language one step on or back, wrapping within the languages of the set-up;
// then the language label.
void NextLanguage(DefaultMenuPage& page);
void PrevLanguage(DefaultMenuPage& page);
// Switching rumble on gives one pulse as feedback; switching it off does not.
void ToggleRumble(DefaultMenuPage& page);
void ShowRumbleSetting(DefaultMenuPage& page);
void ToggleAccelerometer(DefaultMenuPage& page);
void ShowAccelerometerSetting(DefaultMenuPage& page);

// The operation of that name (as the page's command handling passes it, case ignored) on
// the page; false for a name that is no settings operation.
bool RunSettingsOperation(DefaultMenuPage& page, const char* operation);
// Makes RunSettingsOperation the page commands' settings hook.
void InstallSettingsActions();
