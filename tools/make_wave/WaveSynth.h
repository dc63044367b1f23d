// The wave synthesiser's source and sound: a text description of tones (shape, frequency or
// sweep, length, start, volume, attack and release, pan) rendered into frames.
//
//   # Jump: a quick rising blip.
//   format pcm16        # pcm8, pcm16 or ima
//   rate 22050          # 8000 to 48000
//   channels 1          # 1 or 2
//   block 512           # ima only: bytes per block (default: 256 per channel per 11025 Hz)
//   tone sine 300..900 0.12 volume 0.7 attack 0.005 release 0.04
//   silence 0.05
//   tone noise 0 0.1 at 0.02 volume 0.3
//
// A tone plays from `at` seconds, or else where the previous tone (or silence) ended; its
// frequency glides linearly from the first value to the second. Shapes: sine, square,
// triangle, saw, noise (the frequency is ignored).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/waveform/Waveform.h"

enum class WaveFormat { Pcm8, Pcm16, Ima };

struct ToneSpec {
    WaveShape shape = WaveShape::Sine;
    double fromHz = 440.0;
    double toHz = 440.0;
    double start = 0.0;
    double seconds = 0.0;
    double volume = 1.0;
    double attack = 0.005;
    double release = 0.01;
    double pan = 0.0;  // -1 left .. 1 right, for two channels
};

struct WaveDescription {
    WaveFormat format = WaveFormat::Pcm16;
    std::uint32_t rate = 22050;
    std::uint32_t channels = 1;
    std::uint32_t blockBytes = 0;  // ima: 0 chooses the usual size for the rate
    double seconds = 0.0;          // where the last tone or silence ends
    std::vector<ToneSpec> tones;
};

// False with a sentence naming the file and line in `error` on the first mistake.
bool ParseWaveDescription(const std::string& text, const std::string& fileName, WaveDescription& description,
                          std::string& error);

// Interleaved 16-bit frames; tones are summed and clipped.
std::vector<std::int16_t> RenderWave(const WaveDescription& description);

// The block size IMA ADPCM files use for this rate and channel count.
std::uint32_t DefaultImaBlockBytes(std::uint32_t rate, std::uint32_t channels);
