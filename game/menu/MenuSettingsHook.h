// Where the settings pages' value operations (volumes, controller alpha, language, rumble,
// accelerometer) are carried out. The page's command handling plays the click and calls the
// hook with the operation's name; the settings code installs the hook.
#pragma once

class DefaultMenuPage;

// Operation names: "NextLanguage", "PrevLanguage", "ToggleMusicVolume",
// "DecreaseMusicVolume", "IncreaseMusicVolume", "ToggleSoundVolume", "DecreaseSFXVolume",
// "IncreaseSFXVolume", "ToggleControllerAlpha", "DecreaseControllerAlpha",
// "IncreaseControllerAlpha", "ToggleRumble", "ShowRumbleSetting", "ToggleAccelerometer",
// "ShowAccelerometerSetting".
using MenuSettingsAction = void (*)(DefaultMenuPage& page, const char* operation);

// Null removes the hook; the operations then do nothing.
void SetMenuSettingsAction(MenuSettingsAction action);
MenuSettingsAction GetMenuSettingsAction();
