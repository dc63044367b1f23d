// The silent sound device's creator.
#include "engine/sound/NullSoundDevice.h"

Interface* CreateNullSoundDevice() { return new NullSoundDevice(); }
