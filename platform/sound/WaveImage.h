// Wave files held in memory, as streams play them: the "fmt " and "data" chunks of a RIFF
// WAVE image, every size checked against the image.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/sound/SoundSource.h"

namespace platform::sound {

struct WaveImage {
    SoundSource source;
    std::uint32_t rate = 0;
};

// Reads the image's format and finds its data: PCM of 8 or 16 bits (format tag 1) or IMA
// ADPCM (tag 17), one or two channels, a rate of 1 Hz to 705,600 Hz. False for anything
// else, for a chunk that runs past the image, or for data without a whole frame. The
// source points into `image`, which is changed: data that starts at an odd offset is moved
// one byte down, so that 16-bit samples are aligned, and 8-bit samples (unsigned in wave
// files) are made signed.
bool ReadWaveImage(std::uint8_t* image, std::size_t size, WaveImage& wave);

}  // namespace platform::sound
