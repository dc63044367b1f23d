// The sound manager over a recording device: the effect pool, loops, handles, the two groups,
// the volumes and the samples' release.
#include <gtest/gtest.h>

#include "game/flow/sound/SoundManager.h"
#include "tests/game/flow/FlowFakes.h"

namespace {

using flow_test::FakeSoundOutput;

class SoundManagerTest : public ::testing::Test {
protected:
    SoundManagerTest() { EXPECT_EQ(sound_.LoadAllSounds(), 1); }
    FakeSoundOutput output_;
    SoundManager sound_{output_};
};

TEST_F(SoundManagerTest, TheEleventhEffectPlaysNothingUntilUpdateFreesAFinishedOne) {
    std::vector<std::uint32_t> handles;
    for (int i = 0; i < 10; ++i) handles.push_back(sound_.PlaySoundEffect(static_cast<std::uint32_t>(i), 0, 0));
    EXPECT_EQ(handles, (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(sound_.PlaySoundEffect(12, 0, 0), 0u);
    EXPECT_EQ(output_.lastChannel, 10) << "nothing reached the device";
    sound_.Update();
    EXPECT_EQ(sound_.PlaySoundEffect(12, 0, 0), 0u) << "all still playing";
    output_.playing[4] = false;
    sound_.Update();
    EXPECT_EQ(sound_.PlaySoundEffect(12, 0, 0), 11u);
}

TEST_F(SoundManagerTest, ALoopSurvivesUpdateAfterItsChannelEndsUntilItIsStopped) {
    const std::uint32_t loop = sound_.PlaySoundEffect(18, 1, 0);
    const std::uint32_t once = sound_.PlaySoundEffect(3, 0, 0);
    output_.playing[1] = false;
    output_.playing[2] = false;
    sound_.Update();
    ASSERT_EQ(sound_.PlayingEffects(0).size(), 1u);
    EXPECT_EQ(sound_.PlayingEffects(0)[0].handle, loop);
    EXPECT_FALSE(sound_.IsPlaying(once));
    sound_.StopSound(loop);
    EXPECT_TRUE(sound_.PlayingEffects(0).empty());
    EXPECT_EQ(sound_.FreeEffectCount(), 10u);
    sound_.StopSound(0);  // nothing
    EXPECT_EQ(output_.stopped, (std::vector<std::int32_t>{1}));
}

TEST_F(SoundManagerTest, HandlesRunOnAndTheOneAfterTheLastIsOne) {
    sound_.SetNextHandle(0xFFFFFFFFu);
    EXPECT_EQ(sound_.PlaySoundEffect(1, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(sound_.PlaySoundEffect(1, 0, 0), 1u);
    EXPECT_EQ(sound_.PlaySoundEffect(1, 0, 0), 2u);
}

TEST_F(SoundManagerTest, EffectsPlayAtTheEffectsVolumeAndTheGroupsPitchUnlessTheFrequencyIsFixed) {
    sound_.SetEffectsVolume(0.5f);
    sound_.PlaySoundEffect(2, 0, 0);
    EXPECT_FLOAT_EQ(output_.volumes[1], 0.5f);
    EXPECT_EQ(output_.frequencies[1], 22050u);
    sound_.PlaySoundEffect(33, 0, 1);
    EXPECT_EQ(output_.frequencies.count(2), 0u);
}

TEST_F(SoundManagerTest, EffectsAtVolumeZeroPlayNothingAndRaisingItResumesThePausedOnes) {
    sound_.PlaySoundEffect(5, 1, 0);
    sound_.SetEffectsVolume(0.0f);
    EXPECT_FALSE(sound_.EffectsEnabled());
    EXPECT_EQ(sound_.PlayingEffects(0)[0].channel, 0) << "paused";
    EXPECT_EQ(sound_.PlayingEffects(0)[0].savedPosition, 1234u);
    EXPECT_EQ(sound_.PlaySoundEffect(5, 0, 0), 0u);
    sound_.SetEffectsVolume(0.3f);
    EXPECT_TRUE(sound_.EffectsEnabled());
    const std::int32_t channel = sound_.PlayingEffects(0)[0].channel;
    EXPECT_NE(channel, 0);
    EXPECT_EQ(output_.positions[channel], 1234u);
    EXPECT_FLOAT_EQ(output_.volumes[channel], 0.3f);
}

TEST_F(SoundManagerTest, MusicOfTheSameOrderIsNotRestartedWithoutAsking) {
    EXPECT_EQ(sound_.PlayMusic(kMusicMenus, 1), 1u);
    EXPECT_EQ(sound_.PlayMusic(kMusicMenus, 0), 1u);
    EXPECT_EQ(output_.musicStarts, (std::vector<std::int32_t>{0}));
    EXPECT_EQ(sound_.PlayMusic(kMusicMenus, 1), 1u);
    EXPECT_EQ(output_.musicStarts, (std::vector<std::int32_t>{0, 0}));
    sound_.SetMusicVolume(0.5f);
    EXPECT_EQ(output_.masterVolume, 128);
    sound_.SetMusicVolume(0.0f);
    EXPECT_FALSE(sound_.MusicEnabled());
    EXPECT_EQ(sound_.PlayMusic(kMusicComic, 0), 1u) << "disabled music is recorded, not played";
    EXPECT_EQ(output_.musicStarts.size(), 2u);
}

TEST_F(SoundManagerTest, SwitchingToPlayStopsTheMenuMusicAndBackPausesPlaysEffects) {
    sound_.PlayMusic(kMusicMenus, 1);
    sound_.SetGroup(kSoundGroupPlay);
    EXPECT_TRUE(sound_.MusicOrders(kSoundGroupMenus).empty());
    sound_.PlaySoundEffect(12, 1, 0);
    sound_.SetGroup(kSoundGroupMenus);
    EXPECT_EQ(sound_.PlayingEffects(kSoundGroupPlay)[0].channel, 0) << "paused, kept";
    sound_.StopGroup1Effects();
    EXPECT_TRUE(sound_.PlayingEffects(kSoundGroupPlay).empty());
    EXPECT_EQ(sound_.Group(), kSoundGroupMenus);
}

TEST_F(SoundManagerTest, SuspendClosesTheDeviceOnceAndResumeReopensIt) {
    sound_.PlaySoundEffect(1, 1, 0);
    sound_.Suspend();
    sound_.Suspend();
    EXPECT_EQ(output_.closes, 1);
    EXPECT_EQ(sound_.PlaySoundEffect(1, 0, 0), 0u);
    sound_.Resume();
    EXPECT_EQ(output_.reopens, 1);
    EXPECT_NE(sound_.PlayingEffects(0)[0].channel, 0);
}

TEST(SoundManager, EachLoadedSampleIsReleasedOnceAndAMissingOneFailsTheLoad) {
    FakeSoundOutput output;
    output.missing["sound/medal.wav"] = 1;
    {
        SoundManager sound(output);
        EXPECT_EQ(sound.LoadAllSounds(), 0);
        EXPECT_EQ(sound.Sample(31), nullptr);
        EXPECT_NE(sound.Sample(30), nullptr);
        EXPECT_EQ(sound.PlaySoundEffect(31, 0, 0), 0u);
        sound.ReleaseSounds();
        sound.ReleaseSounds();
    }
    EXPECT_EQ(output.released.size(), 33u);
    for (const auto& [sample, count] : output.released) EXPECT_EQ(count, 1);
    EXPECT_STREQ(SoundFileName(33), "sound/loading_spin.wav");
    EXPECT_EQ(SoundFileName(34), nullptr);
}

}  // namespace
