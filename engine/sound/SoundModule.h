// The sound module "FmodSound": creates the sound device over the handset's sound library by
// class name ("Sound=FmodSound.FmodSoundDevice").
#pragma once

// Registers "FmodSound" with its table ("Create_FmodSoundDevice", "EnumerateInterfaces");
// 0 on success, 1 when the module could not be allocated.
int RegisterSoundModule();
