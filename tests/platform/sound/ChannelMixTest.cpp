// The mixer through the library's channel calls, mixed by hand: pitch and level of what a
// channel plays (16-bit, 8-bit, stereo, IMA ADPCM), volume, frequency, pause, looping and
// the end of a sound, the channel limit, and freeing a sample that plays.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/sound/ImaAdpcm.h"
#include "platform/sound/SoundPlatform.h"
#include "tests/platform/sound/SoundTestSupport.h"
#include "tools/make_wave/WaveEncode.h"

namespace {

using namespace sound_test;

class ChannelMixTest : public MixingTest {
protected:
    void TearDown() override {
        for (FSOUND_SAMPLE* sample : samples_) FSOUND_Sample_Free(sample);
        MixingTest::TearDown();
        EXPECT_EQ(platform::sound::Counts().samples, 0);
    }
    FSOUND_SAMPLE* Keep(FSOUND_SAMPLE* sample) {
        samples_.push_back(sample);
        return sample;
    }

    std::vector<FSOUND_SAMPLE*> samples_;
};

TEST_F(ChannelMixTest, A440HzSampleMixesAtItsPitchAndLevelOnBothSides) {
    FSOUND_SAMPLE* tone = Keep(MakeSample(Sine(440, 1.0, 16000), 1));
    ASSERT_EQ(FSOUND_PlaySound(FSOUND_FREE, tone), 0);
    const std::vector<std::int16_t> mixed = Mix(kRate);
    for (int side = 0; side < 2; ++side) {
        const std::vector<std::int16_t> heard = ChannelOf(mixed, side);
        EXPECT_NEAR(PitchHz(heard), 440.0, 2.0);
        EXPECT_NEAR(Peak(heard), 16000, 2);
        EXPECT_NEAR(Rms(heard), 16000 / std::sqrt(2.0), 40.0);
    }
}

TEST_F(ChannelMixTest, VolumeFrequencyAndPauseChangeWhatTheChannelPlays) {
    FSOUND_SAMPLE* tone = Keep(MakeSample(Sine(440, 1.0, 16000), 1, FSOUND_LOOP_NORMAL));
    const int channel = FSOUND_PlaySound(FSOUND_FREE, tone);
    ASSERT_EQ(channel, 0);
    ASSERT_EQ(FSOUND_SetVolume(channel, 128), 1);
    EXPECT_NEAR(Peak(ChannelOf(Mix(4410), 0)), 16000 * 128 / 255, 2);
    ASSERT_EQ(FSOUND_SetVolume(channel, 256), 1);  // plays as 255
    int volume = 0, frequency = 0;
    ASSERT_TRUE(platform::sound::ChannelSettings(channel, volume, frequency));
    EXPECT_EQ(volume, 255);
    EXPECT_EQ(frequency, kRate);

    ASSERT_EQ(FSOUND_SetFrequency(channel, 2 * kRate), 1);
    EXPECT_NEAR(PitchHz(ChannelOf(Mix(kRate), 0)), 880.0, 3.0);
    EXPECT_EQ(FSOUND_SetFrequency(channel, 0), 0);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);

    ASSERT_EQ(FSOUND_SetPaused(channel, 1), 1);
    const unsigned int heldAt = FSOUND_GetCurrentPosition(channel);
    EXPECT_EQ(Peak(Mix(1000)), 0);
    EXPECT_EQ(FSOUND_GetCurrentPosition(channel), heldAt);
    EXPECT_EQ(FSOUND_IsPlaying(channel), 1) << "a paused channel still plays";
    ASSERT_EQ(FSOUND_SetPaused(channel, 0), 1);
    EXPECT_GT(Peak(Mix(1000)), 15000);
}

TEST_F(ChannelMixTest, ASoundEndsUnlessItLoops) {
    // 44 whole cycles, so that the loop joins smoothly.
    FSOUND_SAMPLE* once = Keep(MakeSample(Sine(440, 0.1, 8000), 1));
    FSOUND_SAMPLE* looped = Keep(MakeSample(Sine(440, 0.1, 8000), 1));
    ASSERT_EQ(FSOUND_Sample_SetMode(looped, FSOUND_LOOP_NORMAL), 1);
    const int first = FSOUND_PlaySound(FSOUND_FREE, once);
    const int second = FSOUND_PlaySound(FSOUND_FREE, looped);
    ASSERT_EQ(second, 1);
    Mix(2205 + 1000);
    EXPECT_EQ(FSOUND_IsPlaying(first), 0);
    EXPECT_EQ(FSOUND_IsPlaying(second), 1);
    EXPECT_EQ(FSOUND_GetCurrentPosition(second), 1000u) << "the loop starts again from the sample's start";
    // The looped sound goes on evenly across its end: its pitch holds.
    EXPECT_NEAR(PitchHz(ChannelOf(Mix(kRate), 0)), 440.0, 2.0);

    ASSERT_EQ(FSOUND_SetCurrentPosition(second, 100), 1);
    EXPECT_EQ(FSOUND_GetCurrentPosition(second), 100u);
    EXPECT_EQ(FSOUND_SetCurrentPosition(second, 2205), 0) << "beyond the end";
    EXPECT_EQ(FSOUND_Sample_SetMode(looped, FSOUND_LOOP_NORMAL | FSOUND_LOOP_OFF), 0);
}

TEST_F(ChannelMixTest, EightBitStereoAndImaAdpcmSamplesPlayLikeTheirSixteenBitSource) {
    const std::vector<std::int16_t> mono = Sine(440, 0.5, 16000);
    FSOUND_SAMPLE* eight = Keep(MakeSample(mono, 1, 0, true));
    ASSERT_EQ(FSOUND_PlaySound(FSOUND_FREE, eight), 0);
    std::vector<std::int16_t> heard = ChannelOf(Mix(kRate / 2), 0);
    EXPECT_NEAR(Peak(heard), 16000, 256);
    EXPECT_NEAR(PitchHz(heard), 440.0, 3.0);

    FSOUND_SAMPLE* stereo = Keep(MakeSample(Sine(440, 0.5, 12000, 2, 3000), 2));
    ASSERT_EQ(FSOUND_PlaySound(FSOUND_FREE, stereo), 0);
    const std::vector<std::int16_t> both = Mix(kRate / 2);
    EXPECT_NEAR(Peak(ChannelOf(both, 0)), 12000, 2);
    EXPECT_NEAR(Peak(ChannelOf(both, 1)), 3000, 2);

    for (int channels = 1; channels <= 2; ++channels) {
        SCOPED_TRACE(channels);
        const std::vector<std::int16_t> source = Sine(440, 0.5, 12000, channels, 12000);
        const std::uint32_t blockBytes = 256 * static_cast<std::uint32_t>(channels);
        FSOUND_SAMPLE* ima = Keep(MakeRawSample(EncodeImaBlocks(source, static_cast<std::uint32_t>(channels), blockBytes),
                                                FSOUND_IMAADPCM | (channels == 2 ? FSOUND_STEREO : FSOUND_MONO)));
        EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, ima), -1) << "an IMA ADPCM sample needs its block size first";
        EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_PLAY);
        ASSERT_TRUE(platform::sound::SetSampleBlockBytes(ima, blockBytes));
        ASSERT_EQ(FSOUND_PlaySound(FSOUND_FREE, ima), 0);
        // The last block is filled up to a whole group of eight frames.
        const std::size_t frames = source.size() / static_cast<std::size_t>(channels);
        const std::vector<std::int16_t> decoded = Mix(frames + 8);
        // The decoder follows the source within a few percent of full scale, block after block.
        double error = 0.0;
        for (std::size_t frame = 0; frame < frames; ++frame) {
            for (int side = 0; side < 2; ++side) {
                const std::int16_t expected = source[frame * static_cast<std::size_t>(channels) +
                                                     static_cast<std::size_t>(channels == 2 ? side : 0)];
                error = std::max(error, std::abs(static_cast<double>(decoded[frame * 2 + static_cast<std::size_t>(side)]) - expected));
            }
        }
        EXPECT_LT(error, 1500.0);
        EXPECT_NEAR(PitchHz(ChannelOf(decoded, 0)), 440.0, 3.0);
        EXPECT_EQ(FSOUND_IsPlaying(0), 0) << "played to its end, over every block";
    }
    EXPECT_FALSE(platform::sound::SetSampleBlockBytes(eight, 256)) << "not an IMA ADPCM sample";
}

TEST_F(ChannelMixTest, ThirtyTwoChannelsPlayAndTheNextSoundFindsNone) {
    FSOUND_SAMPLE* quiet = Keep(MakeSample(Sine(100, 0.2, 500), 1));
    for (int expected = 0; expected < 32; ++expected) ASSERT_EQ(FSOUND_PlaySound(FSOUND_FREE, quiet), expected);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, quiet), -1);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_CHANNEL_ALLOC);
    EXPECT_NEAR(Peak(ChannelOf(Mix(2000), 0)), 32 * 500, 40) << "all 32 are summed";
    ASSERT_EQ(FSOUND_StopSound(5), 1);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, quiet), 5) << "a stopped channel is free again";
    EXPECT_EQ(FSOUND_PlaySound(7, quiet), 7) << "a named channel is taken over";
    EXPECT_EQ(FSOUND_PlaySound(32, quiet), -1);
    ASSERT_EQ(FSOUND_StopSound(FSOUND_ALL), 1);
    for (int channel = 0; channel < 32; ++channel) EXPECT_EQ(FSOUND_IsPlaying(channel), 0);
    EXPECT_EQ(FSOUND_IsPlaying(32), 0);
}

TEST_F(ChannelMixTest, FreeingAPlayingSampleSilencesItsChannelAndStaleHandlesAreIgnored) {
    FSOUND_SAMPLE* tone = MakeSample(Sine(440, 1.0, 8000), 1);
    const int channel = FSOUND_PlaySound(FSOUND_FREE, tone);
    Mix(100);
    FSOUND_Sample_Free(tone);
    EXPECT_EQ(FSOUND_IsPlaying(channel), 0);
    EXPECT_EQ(Peak(Mix(1000)), 0);
    FSOUND_Sample_Free(tone);  // freed already: nothing happens
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, tone), -1);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
}

TEST_F(ChannelMixTest, SampleArgumentsAreChecked) {
    const unsigned int pcm16 = FSOUND_16BITS | FSOUND_MONO | FSOUND_SIGNED;
    struct Case {
        const char* what;
        int index;
        int length;
        unsigned int mode;
        int frequency;
    };
    const Case refused[] = {
        {"a managed index", 0, 100, pcm16, kRate},
        {"no length", FSOUND_UNMANAGED, 0, pcm16, kRate},
        {"8 and 16 bits at once", FSOUND_UNMANAGED, 100, pcm16 | FSOUND_8BITS, kRate},
        {"IMA ADPCM and 16 bits", FSOUND_UNMANAGED, 100, FSOUND_IMAADPCM | FSOUND_16BITS, kRate},
        {"mono and stereo", FSOUND_UNMANAGED, 100, pcm16 | FSOUND_STEREO, kRate},
        {"no frequency", FSOUND_UNMANAGED, 100, pcm16, 0},
    };
    for (const Case& each : refused) {
        SCOPED_TRACE(each.what);
        EXPECT_EQ(FSOUND_Sample_Alloc(each.index, each.length, each.mode, each.frequency, 255, -1, 255), nullptr);
        EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
    }
    FSOUND_SAMPLE* sample = Keep(FSOUND_Sample_Alloc(FSOUND_UNMANAGED, 100, pcm16, kRate, 255, -1, 255));
    ASSERT_NE(sample, nullptr);
    void* first = nullptr;
    unsigned int length = 0;
    EXPECT_EQ(FSOUND_Sample_Lock(sample, 50, 51, &first, nullptr, &length, nullptr), 0) << "beyond the end";
    EXPECT_EQ(FSOUND_Sample_Lock(sample, -1, 10, &first, nullptr, &length, nullptr), 0);
    EXPECT_EQ(FSOUND_Sample_Lock(sample, 50, 50, &first, nullptr, &length, nullptr), 1);
    EXPECT_EQ(length, 50u);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, sample), 0) << "a new sample plays its silence";
    EXPECT_EQ(Peak(Mix(50)), 0);
}

TEST(SoundLibrary, ChannelCallsNeedTheLibraryOpen) {
    EXPECT_EQ(FSOUND_IsPlaying(0), 0);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_UNINITIALIZED);
    EXPECT_EQ(FSOUND_SetVolume(0, 10), 0);
    EXPECT_EQ(FSOUND_StopSound(FSOUND_ALL), 0);
    std::int16_t frames[4];
    EXPECT_FALSE(platform::sound::MixFrames(frames, 2));
    EXPECT_EQ(FSOUND_Init(4000, 32, 0), 0) << "the rate is 8000 to 48000 Hz";
    EXPECT_EQ(FSOUND_Init(kRate, 33, 0), 0) << "at most 32 channels";
    platform::sound::UseManualMixing(true);
    ASSERT_EQ(FSOUND_Init(kRate, 8, 0), 1);
    EXPECT_EQ(FSOUND_Init(kRate, 8, 0), 0) << "open already";
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INIT);
    EXPECT_EQ(FSOUND_SetMemorySystem(nullptr, 0, nullptr, nullptr, nullptr), 0) << "only before FSOUND_Init";
    FSOUND_Close();
    FSOUND_Close();
    platform::sound::UseManualMixing(false);
    EXPECT_FLOAT_EQ(FSOUND_GetVersion(), 3.75f);
    platform::sound::SetReportedVersion(3.74f);
    EXPECT_FLOAT_EQ(FSOUND_GetVersion(), 3.74f);
    platform::sound::SetReportedVersion(0.0f);
}

}  // namespace
