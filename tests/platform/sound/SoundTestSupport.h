// Helpers of the sound library's tests: tones as 16-bit frames, samples made from them, and
// what a test measures in mixed sound (pitch and level).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/sound/SoundLibrary.h"

namespace sound_test {

constexpr int kRate = 22050;

// The library open at 22,050 Hz with 32 channels, mixed by hand (Mix); closed after.
class MixingTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// `seconds` of a sine of `hz` at `amplitude`, `channels` interleaved (the second channel,
// when there is one, at `rightAmplitude`).
std::vector<std::int16_t> Sine(double hz, double seconds, int amplitude, int channels = 1, int rightAmplitude = 0);

// A sample of the frames: 16-bit signed, or 8-bit (the frames' high bytes) with `eightBits`.
FSOUND_SAMPLE* MakeSample(const std::vector<std::int16_t>& frames, int channels, unsigned int extraMode = 0,
                          bool eightBits = false);
// A sample holding `bytes` as they are, with the given mode.
FSOUND_SAMPLE* MakeRawSample(const std::vector<std::uint8_t>& bytes, unsigned int mode);

// Mixed stereo frames (interleaved) from the library opened for mixing by hand.
std::vector<std::int16_t> Mix(std::size_t frames);

// One channel (0 left, 1 right) of interleaved stereo frames.
std::vector<std::int16_t> ChannelOf(const std::vector<std::int16_t>& stereo, int channel);
// Rising zero crossings a second.
double PitchHz(const std::vector<std::int16_t>& samples, int rate = kRate);
int Peak(const std::vector<std::int16_t>& samples);
double Rms(const std::vector<std::int16_t>& samples);

// The .xm file of a song description (the .xm writer's text).
std::vector<std::uint8_t> SongFile(const char* text);

// A file's bytes, and writing bytes to a file.
std::vector<std::uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// The 16-bit stereo frames of a wave file written by the wave output; empty when the file
// is not one.
std::vector<std::int16_t> WaveFileFrames(const std::string& path, int& rate);

}  // namespace sound_test
