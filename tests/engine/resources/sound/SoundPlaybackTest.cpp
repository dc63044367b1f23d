// A wave file from the data folder played by the sound device through the whole engine: the
// loader reads it (16-bit, 8-bit or IMA ADPCM), the device hands it to the sound library,
// and the library's wave output (HANDSET_AUDIO=wav:<file>, paced by a manual clock) holds
// the 440 Hz tone at its level.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>

#include "engine/core/files/DataFolder.h"
#include "engine/core/object/Module.h"
#include "engine/resources/sound/WaveReader.h"
#include "engine/sound/SoundDevice.h"
#include "engine/sound/SoundModule.h"
#include "platform/base/Clock.h"
#include "tests/engine/support/EngineTestSupport.h"
#include "tests/platform/sound/SoundTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tools/make_wave/WaveEncode.h"

namespace {

using namespace sound_test;

class SoundPlaybackTest : public engine_test::HeapTest {
protected:
    void SetUp() override {
        HeapTest::SetUp();
        platform::clock::UseManualClock(1000, 0);
        SetDataFolder("\\data\\");
        std::filesystem::create_directories(root_.Path() + "/fs/data/sound");
        setenv("HANDSET_AUDIO", ("wav:" + Capture()).c_str(), 1);
        ASSERT_EQ(RegisterSoundModule(), 0);
        const SoundSettings settings{"Quorvane", 44100};
        ASSERT_EQ(CreateSoundDevice("FmodSound", "FmodSoundDevice", &settings), 0);
    }
    void TearDown() override {
        DestroySoundDevice();
        ShutdownModules();
        unsetenv("HANDSET_AUDIO");
        SetDataFolder(nullptr);
        platform::clock::UseRealClock();
        HeapTest::TearDown();
    }
    std::string Capture() const { return root_.Path() + "/capture.wav"; }

    // Plays the file for one second of the clock and gives the left channel of what the
    // wave output captured.
    std::vector<std::int16_t> PlayForOneSecond(const std::string& name, const std::vector<std::uint8_t>& file) {
        WriteBytes(root_.Path() + "/fs/data/sound/" + name, file);
        SoundSample* sample = LoadSound(("sound/" + name).c_str());
        EXPECT_NE(sample, nullptr);
        if (sample == nullptr) return {};
        EXPECT_EQ(GetSoundDevice()->PlaySample(sample, 1), 1);
        platform::clock::Advance(1000);
        DestroySoundDevice();
        delete sample;
        int rate = 0;
        const std::vector<std::int16_t> captured = WaveFileFrames(Capture(), rate);
        EXPECT_EQ(rate, kRate);
        EXPECT_EQ(captured.size(), static_cast<std::size_t>(2 * kRate));
        return ChannelOf(captured, 0);
    }

    handset_test::TempHandsetRoot root_;
};

TEST_F(SoundPlaybackTest, ASixteenBitWaveIsHeardAtItsPitchAndLevel) {
    // A tenth of a second, looped by the play flag: 44 whole cycles.
    const std::vector<std::int16_t> heard = PlayForOneSecond("tone16.wav", EncodePcmWave(Sine(440, 0.1, 20000), 1, kRate, 16));
    EXPECT_NEAR(PitchHz(heard), 440.0, 2.0);
    EXPECT_NEAR(Peak(heard), 20000, 2);
}

TEST_F(SoundPlaybackTest, AnEightBitWaveIsHeardAtItsPitchAndLevel) {
    const std::vector<std::int16_t> heard = PlayForOneSecond("tone8.wav", EncodePcmWave(Sine(440, 0.1, 20000), 1, kRate, 8));
    EXPECT_NEAR(PitchHz(heard), 440.0, 2.0);
    EXPECT_NEAR(Peak(heard), 20000, 256);
}

TEST_F(SoundPlaybackTest, AnImaAdpcmWaveIsHeardAtItsPitchAndLevel) {
    const std::vector<std::int16_t> heard = PlayForOneSecond("tone.wav", EncodeImaWave(Sine(440, 0.5, 20000), 1, kRate, 512));
    EXPECT_NEAR(PitchHz(heard), 440.0, 3.0);
    EXPECT_NEAR(Peak(heard), 20000, 1000);
    EXPECT_NEAR(Rms(heard), 20000 / std::sqrt(2.0), 500);
}

}  // namespace
