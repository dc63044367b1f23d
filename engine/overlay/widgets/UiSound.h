// The widgets' UI sounds: a click when a button is released over itself. They play while the
// widget's own click-sound switch and the overlay's sound flag are both on.
#pragma once

constexpr const char kButtonClickSound[] = "sound/pb_btnclick_sound.wav";

// Plays the sound of that name once at full volume: loaded through the sound cache and played
// on the sound device. Nothing for a null or empty name, a sound that does not load or a
// missing device.
void PlayUiSound(const char* name);

// Where the UI sounds go; null restores the sound device. Tools and tests listen here.
using UiSoundPlayer = void (*)(const char* name);
void SetUiSoundPlayer(UiSoundPlayer player);
