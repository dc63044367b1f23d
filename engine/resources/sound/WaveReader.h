// The wave loader: ".wav" files read into SoundSample resources and handed to the sound
// device. A device that decodes whole files itself (WantsRawSoundFile) gets the file as it
// is; any other gets the "fmt " chunk's format and the "data" chunk's samples.
#pragma once

#include "engine/sound/SoundSample.h"
#include "platform/base/Types.h"

class FileStream;

// The sample the device accepted (reference count 0, the caller's), or null: for a file
// that is not a RIFF WAVE file with a "fmt " chunk before its "data" chunk, for a chunk
// that runs past the end of the file, a format other than PCM (tag 1), IMA ADPCM (17) or
// tag 105, 0 bits per sample, a short read, no sound device, or a device that refuses the
// sample. `deviceFlags` becomes the sample's flags; `path` its name and extension.
SoundSample* ReadWave(FileStream& stream, DWORD deviceFlags, DWORD reserved, const char* path);

// Opens `path` as a binary stream (the archives first, then the data folder) and reads it
// with ReadWave; null when it cannot be opened or read.
SoundSample* LoadSound(const char* path);
