// Helpers of the sound library's tests.
#include "tests/platform/sound/SoundTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numbers>

#include "platform/sound/SoundPlatform.h"
#include "tools/make_xm/XmSong.h"
#include "tools/make_xm/XmWrite.h"

namespace sound_test {

void MixingTest::SetUp() {
    platform::sound::UseManualMixing(true);
    ASSERT_EQ(FSOUND_Init(kRate, 32, 0), 1);
}

void MixingTest::TearDown() {
    FSOUND_Close();
    platform::sound::UseManualMixing(false);
}

std::vector<std::uint8_t> SongFile(const char* text) {
    XmSong song;
    std::string error;
    EXPECT_TRUE(ParseXmSong(text, "test.song", song, error)) << error;
    return WriteXm(song);
}

std::vector<std::int16_t> Sine(double hz, double seconds, int amplitude, int channels, int rightAmplitude) {
    const auto frames = static_cast<std::size_t>(seconds * kRate);
    std::vector<std::int16_t> out;
    for (std::size_t i = 0; i < frames; ++i) {
        const double value = std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / kRate);
        out.push_back(static_cast<std::int16_t>(std::lround(value * amplitude)));
        if (channels == 2) out.push_back(static_cast<std::int16_t>(std::lround(value * rightAmplitude)));
    }
    return out;
}

FSOUND_SAMPLE* MakeRawSample(const std::vector<std::uint8_t>& bytes, unsigned int mode) {
    FSOUND_SAMPLE* sample =
        FSOUND_Sample_Alloc(FSOUND_UNMANAGED, static_cast<int>(bytes.size()), mode, kRate, 255, -1, 255);
    EXPECT_NE(sample, nullptr);
    if (sample == nullptr) return nullptr;
    void* first = nullptr;
    void* second = nullptr;
    unsigned int firstLength = 0;
    unsigned int secondLength = 0;
    EXPECT_EQ(FSOUND_Sample_Lock(sample, 0, static_cast<int>(bytes.size()), &first, &second, &firstLength,
                                 &secondLength),
              1);
    EXPECT_EQ(firstLength, bytes.size());
    std::memcpy(first, bytes.data(), bytes.size());
    EXPECT_EQ(FSOUND_Sample_Unlock(sample, first, second, firstLength, secondLength), 1);
    return sample;
}

FSOUND_SAMPLE* MakeSample(const std::vector<std::int16_t>& frames, int channels, unsigned int extraMode,
                          bool eightBits) {
    std::vector<std::uint8_t> bytes;
    for (std::int16_t value : frames) {
        if (eightBits) {
            bytes.push_back(static_cast<std::uint8_t>(value >> 8));
        } else {
            bytes.push_back(static_cast<std::uint8_t>(value));
            bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(value) >> 8));
        }
    }
    const unsigned int mode = (eightBits ? FSOUND_8BITS : FSOUND_16BITS) | (channels == 2 ? FSOUND_STEREO : FSOUND_MONO) |
                              FSOUND_SIGNED | extraMode;
    return MakeRawSample(bytes, mode);
}

std::vector<std::int16_t> Mix(std::size_t frames) {
    std::vector<std::int16_t> out(frames * 2, 12345);
    EXPECT_TRUE(platform::sound::MixFrames(out.data(), frames));
    return out;
}

std::vector<std::int16_t> ChannelOf(const std::vector<std::int16_t>& stereo, int channel) {
    std::vector<std::int16_t> out;
    for (std::size_t i = static_cast<std::size_t>(channel); i < stereo.size(); i += 2) out.push_back(stereo[i]);
    return out;
}

double PitchHz(const std::vector<std::int16_t>& samples, int rate) {
    int crossings = 0;
    for (std::size_t i = 1; i < samples.size(); ++i)
        if (samples[i - 1] < 0 && samples[i] >= 0) ++crossings;
    return samples.empty() ? 0.0 : crossings * static_cast<double>(rate) / static_cast<double>(samples.size());
}

int Peak(const std::vector<std::int16_t>& samples) {
    int peak = 0;
    for (std::int16_t value : samples) peak = std::max(peak, std::abs(static_cast<int>(value)));
    return peak;
}

double Rms(const std::vector<std::int16_t>& samples) {
    double sum = 0.0;
    for (std::int16_t value : samples) sum += static_cast<double>(value) * value;
    return samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::int16_t> WaveFileFrames(const std::string& path, int& rate) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    auto read32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
                                          (static_cast<std::uint32_t>(bytes[at + 3]) << 24));
    };
    if (bytes.size() < 44 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 36, "data", 4) != 0)
        return {};
    rate = static_cast<int>(read32(24));
    const std::uint32_t dataBytes = read32(40);
    EXPECT_EQ(read32(4), bytes.size() - 8) << "the RIFF size is kept up to date";
    EXPECT_EQ(dataBytes, bytes.size() - 44);
    std::vector<std::int16_t> frames;
    for (std::size_t at = 44; at + 1 < bytes.size(); at += 2)
        frames.push_back(static_cast<std::int16_t>(bytes[at] | (bytes[at + 1] << 8)));
    return frames;
}

}  // namespace sound_test
