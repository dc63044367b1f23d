// The sound cache's side of the resource cache: its loader (LoadSound) and the name of a
// cached sound sample.
#pragma once

// Sets the cache's sound loader and teaches its name hook sound samples, keeping what the
// hooks do for the other kinds. Calling it again changes nothing.
void InstallSoundResourceHooks();
