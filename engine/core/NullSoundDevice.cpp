// The silent sound device's creator.
#include "engine/core/NullSoundDevice.h"

Interface* CreateNullSoundDevice() { return new NullSoundDevice(); }
