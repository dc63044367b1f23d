// The software mixer: up to 32 channels, each playing a sound source at its own frequency
// and volume, looping or once, resampled by linear interpolation and summed into stereo.
// It knows nothing of threads: the library holds its lock around every call.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/sound/SoundSource.h"

namespace platform::sound {

constexpr int kMaxMixerChannels = 32;
constexpr std::int32_t kFullVolume = 255;

struct Voice {
    const SoundSource* source = nullptr;
    bool active = false;  // playing or paused; cleared when a sound that does not loop ends
    bool paused = false;
    bool loop = false;
    std::uint64_t position = 0;  // in source frames, 32.32 fixed point
    std::uint64_t step = 0;      // source frames per output frame, 32.32 fixed point
    std::int32_t frequency = 0;
    std::int32_t volume = kFullVolume;  // 0..255
    // IMA ADPCM: the decoded block and, after its frames, the frame that follows it.
    std::int16_t* blockCache = nullptr;
    std::int64_t cachedBlock = -1;
    std::uint32_t cachedFrames = 0;
};

class Mixer {
public:
    Mixer(std::uint32_t rate, std::uint32_t channelCount);

    std::uint32_t Rate() const { return rate_; }
    int ChannelCount() const { return static_cast<int>(voices_.size()); }

    // Plays the source on `channel`, or on the first free channel for -1. The channel index,
    // or -1 when the index is out of range or no channel is free.
    int Start(int channel, const SoundSource* source, std::int32_t frequency, std::int32_t volume, bool loop,
              bool paused);
    // Null for an index out of range.
    Voice* At(int channel);
    void Stop(int channel);
    void StopAll();
    // Stops every channel that plays `source` (before its data goes away).
    void StopSource(const SoundSource* source);
    // False for a frequency of 0 or less or above the mixer's limit.
    bool SetFrequency(int channel, std::int32_t frequency);
    // False for a frame beyond the source's end.
    bool SetPosition(int channel, std::uint32_t frame);

    // Adds `frames` stereo frames of every active, unpaused channel to `sum` (two values a
    // frame); a full-scale sample at volume 255 adds 32767 * 255.
    void MixChannels(std::int32_t* sum, std::uint32_t frames);

    static constexpr std::int32_t kMaxFrequency = 705600;

private:
    void MixVoice(Voice& voice, std::int32_t* sum, std::uint32_t frames);
    void DecodeBlock(Voice& voice, std::uint64_t block);

    std::uint32_t rate_;
    std::vector<Voice> voices_;
    std::vector<std::int16_t> blockCaches_;
};

// The sum of MixChannels (and of songs added at the same scale) as 16-bit stereo, clipped.
void SumToPcm16(const std::int32_t* sum, std::int16_t* out, std::uint32_t frames);

}  // namespace platform::sound
