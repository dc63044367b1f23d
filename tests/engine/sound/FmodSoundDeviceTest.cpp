// The sound device against the sound library: the version gate, samples handed over and
// played on channel handles from 1, channel settings, suspending and resuming, songs loaded
// once and started by Update, streams counted as playing from their opening, the memory
// callbacks, and the failures the device reports.
#include <gtest/gtest.h>

#include "engine/core/memory/KDLLink.h"
#include "engine/sound/FmodCallbacks.h"
#include "engine/sound/FmodSoundDevice.h"
#include "engine/sound/NullSoundDevice.h"
#include "platform/sound/SoundLibrary.h"
#include "tests/engine/sound/SoundDeviceTestSupport.h"
#include "tests/platform/sound/SoundTestSupport.h"
#include "tools/make_wave/WaveEncode.h"

namespace {

using namespace sound_device_test;
using sound_test::Peak;
using sound_test::Sine;

constexpr const char* kSong = R"(title test
channels 2
speed 3
instrument tone square volume 48
pattern a
C-4 tone | ---
--- | ---
pattern b
E-4 tone | ---
--- | ---
order a b a b a b
)";

class FmodSoundDeviceTest : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        device_ = new FmodSoundDevice;
        ASSERT_EQ(device_->Init(nullptr), 0u);
    }
    void TearDown() override {
        for (SoundSample* sample : samples_) delete sample;
        device_->Shutdown();
        device_->Release();
        EXPECT_EQ(platform::sound::Counts().samples, 0);
        EXPECT_EQ(platform::sound::Counts().songs, 0);
        EXPECT_EQ(platform::sound::Counts().streams, 0);
        SoundTest::TearDown();
    }
    SoundSample* Uploaded(const std::vector<std::int16_t>& frames) {
        SoundSample* sample = MakeSoundSample(frames);
        samples_.push_back(sample);
        EXPECT_EQ(device_->CreateSample(sample), 1);
        return sample;
    }

    FmodSoundDevice* device_ = nullptr;
    std::vector<SoundSample*> samples_;
};

TEST(FmodSoundDeviceVersion, ALibraryOlderThan375IsNotUsed) {
    ASSERT_EQ(HeapInit(), 0);
    platform::sound::UseManualMixing(true);
    auto* device = new FmodSoundDevice;
    platform::sound::SetReportedVersion(3.74f);
    EXPECT_EQ(device->Init(nullptr), 1u);
    EXPECT_EQ(FSOUND_IsPlaying(0), 0);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_UNINITIALIZED) << "the library was not opened";
    platform::sound::SetReportedVersion(3.75f);
    EXPECT_EQ(device->Init(nullptr), 0u);
    EXPECT_STREQ(device->GetTypeName(), "FmodSoundDevice");
    EXPECT_TRUE(device->IsKindOf(SoundDevice::StaticTypeId()));
    device->Shutdown();
    device->Release();
    platform::sound::SetReportedVersion(0.0f);
    platform::sound::UseManualMixing(false);
    HeapTeardown();
}

TEST_F(FmodSoundDeviceTest, SamplesPlayOnChannelHandlesFromOne) {
    SoundSample* tone = Uploaded(Sine(440, 0.5, 16000));
    EXPECT_EQ(tone->data, nullptr) << "the device freed the data it copied";
    ASSERT_NE(FmodSampleHandle(tone), nullptr);
    EXPECT_EQ(device_->PlaySample(tone, 0), 1) << "channel 0";
    EXPECT_EQ(device_->PlaySample(tone, 1), 2);
    EXPECT_EQ(device_->IsChannelPlaying(1), 1);
    EXPECT_EQ(device_->IsChannelPlaying(0), 0) << "handle 0 is no channel";
    EXPECT_EQ(device_->IsChannelPlaying(-1), 0);
    EXPECT_EQ(device_->PlaySample(nullptr, 0), 0);

    int volume = 0, frequency = 0;
    EXPECT_EQ(device_->SetChannelVolume(1, 0.5f), 1);
    ASSERT_TRUE(platform::sound::ChannelSettings(0, volume, frequency));
    EXPECT_EQ(volume, 128);
    EXPECT_EQ(device_->SetChannelVolume(1, 1.0f), 1);
    ASSERT_TRUE(platform::sound::ChannelSettings(0, volume, frequency));
    EXPECT_EQ(volume, 255) << "256 plays at full volume";
    EXPECT_EQ(device_->SetChannelFrequency(2, 11025), 1);
    ASSERT_TRUE(platform::sound::ChannelSettings(1, volume, frequency));
    EXPECT_EQ(frequency, 11025);
    EXPECT_EQ(device_->SetChannelVolume(0, 1.0f), 0);
    EXPECT_EQ(device_->SetChannelFrequency(0, 11025), 0);

    std::vector<std::int16_t> mixed(2 * 1000);
    ASSERT_TRUE(platform::sound::MixFrames(mixed.data(), 1000));
    EXPECT_EQ(device_->GetChannelPosition(1), 1000u);
    EXPECT_EQ(device_->GetChannelPosition(2), 500u) << "at half the frequency";
    EXPECT_EQ(device_->SetChannelPosition(1, 10), 1);
    EXPECT_EQ(device_->GetChannelPosition(1), 10u);

    EXPECT_EQ(device_->StopChannel(1), 1);
    EXPECT_EQ(device_->IsChannelPlaying(1), 0);
    EXPECT_EQ(device_->StopChannel(0), 0);
    EXPECT_EQ(device_->IsChannelPlaying(2), 1) << "the looping one plays on";
    ASSERT_TRUE(platform::sound::MixFrames(mixed.data(), 1000));
    EXPECT_EQ(device_->IsChannelPlaying(2), 1);

    // With every channel busy there is none to hand out.
    for (int more = 0; more < 31; ++more) device_->PlaySample(tone, 0);
    EXPECT_EQ(device_->PlaySample(tone, 0), 0);
    EXPECT_EQ(device_->StopAllSounds(), 1);
    EXPECT_EQ(device_->IsChannelPlaying(32), 0);
}

TEST_F(FmodSoundDeviceTest, FreeingADeviceSampleFreesItsLibrarySampleOnce) {
    SoundSample* tone = Uploaded(Sine(440, 0.1, 1000));
    EXPECT_EQ(platform::sound::Counts().samples, 1);
    EXPECT_EQ(device_->FreeSample(tone), 1);
    EXPECT_EQ(platform::sound::Counts().samples, 0);
    EXPECT_EQ(device_->FreeSample(tone), 0) << "no handle left";
    EXPECT_EQ(device_->PlaySample(tone, 0), 0);
    SoundSample bare(nullptr, 0, kRate, 16, 1);
    EXPECT_EQ(device_->FreeSample(&bare), 0) << "no device sample";
}

TEST_F(FmodSoundDeviceTest, ARefusedSampleReportsFailureAndKeepsItsData) {
    struct Case {
        const char* what;
        DWORD bits;
        DWORD channels;
        DWORD formatCode;
        DWORD blockAlign;
    };
    const Case refused[] = {
        {"24-bit PCM", 24, 1, kSoundFormatPcm, 0},
        {"three channels", 16, 3, kSoundFormatPcm, 0},
        {"format tag 105", 4, 1, kSoundFormatTag105, 0},
        {"IMA ADPCM without a block size", 4, 1, kSoundFormatImaAdpcm, 0},
    };
    for (const Case& each : refused) {
        SCOPED_TRACE(each.what);
        SoundSample* sample = MakeSoundSample(Sine(440, 0.1, 1000));
        samples_.push_back(sample);
        sample->bitsPerSample = each.bits;
        sample->channelCount = each.channels;
        sample->formatCode = each.formatCode;
        sample->blockAlign = each.blockAlign;
        BYTE* data = sample->data;
        EXPECT_EQ(device_->CreateSample(sample), 0);
        EXPECT_EQ(sample->data, data) << "the data stays with the sample";
        EXPECT_EQ(sample->deviceSample, nullptr);
    }
    // More than the engine heap can give: the library's memory callback fails.
    SoundSample* huge = MakeSoundSample(Sine(440, 0.1, 1000));
    samples_.push_back(huge);
    huge->dataSize = 0x0FFFFFF0;
    EXPECT_EQ(device_->CreateSample(huge), 0);
    EXPECT_NE(huge->data, nullptr);
    EXPECT_EQ(platform::sound::Counts().samples, 0);
}

TEST_F(FmodSoundDeviceTest, ASuspendedDeviceRefusesItsOperationsUntilResumed) {
    SoundSample* tone = Uploaded(Sine(440, 0.5, 16000));
    WriteData("music/test.xm", sound_test::SongFile(kSong));
    ASSERT_EQ(device_->PlaySample(tone, 1), 1);
    ASSERT_EQ(device_->Suspend(), 1);
    EXPECT_FALSE(device_->IsActive());
    EXPECT_TRUE(device_->IsRestartPending());
    EXPECT_EQ(device_->PlaySample(tone, 0), 0);
    EXPECT_EQ(device_->IsChannelPlaying(1), 0);
    EXPECT_EQ(device_->SetChannelVolume(1, 1.0f), 0);
    EXPECT_EQ(device_->SetChannelFrequency(1, 8000), 0);
    EXPECT_EQ(device_->SetChannelPosition(1, 0), 0);
    EXPECT_EQ(device_->GetChannelPosition(1), 0u);
    EXPECT_EQ(device_->PlayMusic("music/test.xm", 0), 1) << "answered, not done";
    EXPECT_EQ(platform::sound::Counts().songs, 0);
    EXPECT_EQ(device_->IsMusicPlaying(), 0);
    EXPECT_EQ(device_->StopChannel(1), 1) << "StopChannel alone does not look at the state";
    device_->Update();
    EXPECT_FALSE(device_->IsRestartPending());

    EXPECT_EQ(device_->Resume(), 1);
    EXPECT_TRUE(device_->IsActive());
    EXPECT_TRUE(device_->IsRestartPending());
    EXPECT_EQ(device_->PlaySample(tone, 0), 1) << "the sample survived the closed library";
    device_->Update();
    EXPECT_FALSE(device_->IsRestartPending());
    EXPECT_EQ(device_->IsChannelPlaying(1), 1);
}

TEST_F(FmodSoundDeviceTest, AResumeWhoseLibraryDoesNotOpenLeavesTheDeviceSuspended) {
    SoundSample* tone = Uploaded(Sine(440, 0.5, 16000));
    ASSERT_EQ(device_->Suspend(), 1);
    platform::sound::SetReportedVersion(3.5f);
    EXPECT_EQ(device_->Resume(), 0);
    EXPECT_FALSE(device_->IsActive());
    EXPECT_EQ(device_->PlaySample(tone, 0), 0);
    EXPECT_EQ(device_->IsChannelPlaying(1), 0);
    platform::sound::SetReportedVersion(0.0f);
    EXPECT_EQ(device_->Resume(), 1);
    EXPECT_EQ(device_->PlaySample(tone, 0), 1);
}

TEST_F(FmodSoundDeviceTest, TheSameSongIsLoadedOnceAndUpdateStartsANewOne) {
    WriteData("music/test.xm", sound_test::SongFile(kSong));
    WriteData("music/other.xm", sound_test::SongFile(kSong));
    const int loads = platform::sound::Counts().songLoads;
    EXPECT_EQ(device_->GetMusicVolume(), -1) << "no song yet";
    EXPECT_EQ(device_->SetMusicOrder(1), 0);
    EXPECT_EQ(device_->GetMusicOrder(), 0);

    ASSERT_EQ(device_->PlayMusic("music/test.xm", 2), 1);
    EXPECT_EQ(platform::sound::Counts().songLoads, loads + 1);
    EXPECT_EQ(device_->IsMusicPlaying(), 0) << "a new song waits for Update";
    EXPECT_EQ(device_->GetMusicOrder(), 2) << "it waits at the order asked for";
    device_->Update();
    EXPECT_EQ(device_->IsMusicPlaying(), 1);
    EXPECT_EQ(device_->GetMusicOrder(), 2);
    EXPECT_EQ(device_->SetMusicVolume(100), 1);
    EXPECT_EQ(device_->GetMusicVolume(), 100);

    EXPECT_EQ(device_->PlayMusic("MUSIC/TEST.XM", 4), 1) << "the same song, whatever the case";
    EXPECT_EQ(platform::sound::Counts().songLoads, loads + 1);
    EXPECT_EQ(device_->GetMusicOrder(), 4);
    EXPECT_EQ(device_->GetMusicVolume(), 100);

    EXPECT_EQ(device_->StopMusic(), 1);
    EXPECT_EQ(device_->IsMusicPlaying(), 0);
    device_->Update();
    EXPECT_EQ(device_->IsMusicPlaying(), 0) << "not wanted after StopMusic";
    EXPECT_EQ(device_->PlayMusicFromStart("music/test.xm"), 1);
    EXPECT_EQ(device_->IsMusicPlaying(), 1) << "the stopped song starts again at once";
    EXPECT_EQ(platform::sound::Counts().songLoads, loads + 1);
    EXPECT_EQ(device_->SetMusicOrder(9), 0) << "the song has six orders";

    EXPECT_EQ(device_->PlayMusic("music/other.xm", 0), 1);
    EXPECT_EQ(platform::sound::Counts().songLoads, loads + 2);
    EXPECT_EQ(platform::sound::Counts().songs, 1) << "the old song was freed";
    EXPECT_EQ(device_->PlayMusic("music/missing.xm", 0), 0);
    EXPECT_EQ(device_->IsMusicPlaying(), 0);
    EXPECT_EQ(device_->GetMusicVolume(), -1);
}

TEST_F(FmodSoundDeviceTest, AStreamCountsAsPlayingFromItsOpeningToItsEnd) {
    WriteData("music/theme.wav", EncodePcmWave(Sine(440, 0.2, 8000), 1, kRate, 16));
    ASSERT_EQ(device_->PlayMusic("music/theme.WAV", 0), 1);
    EXPECT_EQ(device_->IsMusicPlaying(), 1) << "opened, not yet started";
    EXPECT_EQ(platform::sound::Counts().streams, 1);
    device_->Update();
    EXPECT_EQ(device_->IsMusicPlaying(), 1) << "started, not yet heard";
    std::vector<std::int16_t> mixed(2 * 2000);
    ASSERT_TRUE(platform::sound::MixFrames(mixed.data(), 2000));
    EXPECT_GT(Peak(mixed), 7000);
    EXPECT_EQ(device_->IsMusicPlaying(), 1);
    EXPECT_EQ(device_->StopMusic(), 1);
    EXPECT_EQ(platform::sound::Counts().streams, 0);
    EXPECT_EQ(device_->IsMusicPlaying(), 0);

    EXPECT_EQ(device_->PlayMusic("music/song.ogg", 0), 0) << "no Ogg decoder";
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_FILE_NOTFOUND);
    WriteData("music/song.ogg", {'O', 'g', 'g', 'S', 0, 2, 0, 0});
    EXPECT_EQ(device_->PlayMusic("music/song.ogg", 0), 0);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_FILE_FORMAT);
}

TEST_F(FmodSoundDeviceTest, ListenerAndToggleAreKept) {
    EXPECT_FLOAT_EQ(device_->ListenerA().z, 1.0f);
    EXPECT_FLOAT_EQ(device_->ListenerB().y, -1.0f);
    device_->SetListener(Vector3{1, 2, 3}, Vector3{0, 1, 0}, Vector3{0, 0, -1});
    EXPECT_FLOAT_EQ(device_->ListenerPosition().y, 2.0f);
    EXPECT_FLOAT_EQ(device_->ListenerA().y, 1.0f);
    EXPECT_FLOAT_EQ(device_->ListenerB().z, -1.0f);
    // The flag flips whenever the value differs from it; a value other than 0 or 1 always does.
    const std::pair<DWORD, DWORD> toggles[] = {{0, 0}, {5, 1}, {1, 1}, {0, 0}, {7, 1}, {7, 0}};
    for (const auto& [value, expected] : toggles) {
        device_->SetToggle(value);
        EXPECT_EQ(device_->Toggle(), expected) << value;
    }
    EXPECT_EQ(device_->Reinit(), 1);
}

TEST_F(FmodSoundDeviceTest, TheSilentDevicePutsNothingIntoTheMix) {
    NullSoundDevice silent;
    SoundSample* tone = MakeSoundSample(Sine(440, 0.5, 16000));
    samples_.push_back(tone);
    EXPECT_EQ(silent.CreateSample(tone), 1);
    EXPECT_EQ(silent.PlaySample(tone, 1), 0);
    EXPECT_EQ(silent.PlayMusic("music/test.xm", 0), 0);
    silent.Update();
    std::vector<std::int16_t> mixed(2 * 4000, 1);
    ASSERT_TRUE(platform::sound::MixFrames(mixed.data(), 4000));
    EXPECT_EQ(Peak(mixed), 0);
    EXPECT_EQ(platform::sound::Counts().samples, 0);
}

TEST(FmodMemoryCallbacks, ReallocCopiesWhatABlockHoldsAndKeepsItWhenNoNewBlockComes) {
    ASSERT_EQ(HeapInit(), 0);
    // A block of a link's size comes from the link pool, whose header holds no size.
    auto* link = static_cast<std::uint8_t*>(FmodMemoryAlloc(sizeof(KDLLink)));
    ASSERT_NE(link, nullptr);
    ASSERT_NE(EngineBlockHeader(link) & kLinkHeader, 0u);
    for (std::size_t i = 0; i < sizeof(KDLLink); ++i) link[i] = static_cast<std::uint8_t>(i + 1);
    auto* grown = static_cast<std::uint8_t*>(FmodMemoryRealloc(link, 100));
    ASSERT_NE(grown, nullptr);
    for (std::size_t i = 0; i < sizeof(KDLLink); ++i) EXPECT_EQ(grown[i], i + 1) << i;

    auto* shrunk = static_cast<std::uint8_t*>(FmodMemoryRealloc(grown, 4));
    ASSERT_NE(shrunk, nullptr);
    EXPECT_EQ(shrunk[3], 4);
    EXPECT_EQ(FmodMemoryRealloc(shrunk, 0xFFFFFFF0u), nullptr) << "more than the heap holds";
    EXPECT_EQ(shrunk[0], 1) << "the old block is kept";
    EXPECT_EQ(FmodMemoryRealloc(shrunk, 0), nullptr) << "size 0 frees";
    auto* fresh = static_cast<std::uint8_t*>(FmodMemoryRealloc(nullptr, 16));
    EXPECT_NE(fresh, nullptr);
    FmodMemoryFree(fresh);
    FmodMemoryFree(nullptr);
    EXPECT_EQ(FmodMemoryAlloc(0), nullptr);
    EXPECT_EQ(EngineBlockCount(), 0u);
    HeapTeardown();
}

}  // namespace
