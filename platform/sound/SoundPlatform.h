// What the sound library offers besides the handset's calls: the IMA ADPCM block size of a
// sample, and hooks for tests (mixing by hand, the reported version, what is loaded).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/sound/SoundLibrary.h"

namespace platform::sound {

// An IMA ADPCM sample's block size in bytes (the wave file's block alignment); until it is
// set, the sample cannot play. False for a handle that is not an IMA ADPCM sample or a size
// its channels cannot have.
bool SetSampleBlockBytes(FSOUND_SAMPLE* sample, std::uint32_t blockBytes);

// With manual mixing the next FSOUND_Init opens no output: sound moves only when a test
// calls MixFrames. HANDSET_AUDIO is not read then.
void UseManualMixing(bool manual);
// Mixes `frames` stereo frames (interleaved 16-bit) of every playing channel and song into
// `out`; false (nothing written) unless the library is open with manual mixing.
bool MixFrames(std::int16_t* out, std::size_t frames);

// The version FSOUND_GetVersion reports; a value of 0 or less returns to the library's own.
void SetReportedVersion(float version);

// What is loaded now, for tests.
struct LibraryCounts {
    int samples = 0;
    int streams = 0;
    int songs = 0;
    int songLoads = 0;  // every successful FMUSIC_LoadSongEx of the process
};
LibraryCounts Counts();

// A channel's volume (0..255) and frequency, or false for an index out of range or a
// closed library.
bool ChannelSettings(int channel, int& volume, int& frequency);

}  // namespace platform::sound
