// Tracker songs through libxmp: a song written by the .xm writer loads from memory and from
// a file, plays into the mix, stops, jumps between orders and follows its master volume;
// what is not a song is refused.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/sound/SoundPlatform.h"
#include "tests/platform/sound/SoundTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace sound_test;

// Four orders of one-note patterns: order 0 and 2 play A-4, orders 1 and 3 are silent.
constexpr const char* kSong = R"(title test
channels 2
speed 3
bpm 125
instrument tone sine volume 64
pattern note
A-4 tone | ---
---      | ---
---      | ---
---      | ---
pattern rest
off | ---
--- | ---
--- | ---
--- | ---
order note rest note rest
)";

class SongTest : public MixingTest {
protected:
    void SetUp() override {
        MixingTest::SetUp();
        bytes_ = SongFile(kSong);
    }
    void TearDown() override {
        MixingTest::TearDown();
        EXPECT_EQ(platform::sound::Counts().songs, 0);
    }
    FMUSIC_MODULE* LoadFromMemory() {
        return FMUSIC_LoadSongEx(reinterpret_cast<const char*>(bytes_.data()), 0, static_cast<int>(bytes_.size()),
                                 FSOUND_LOADMEMORY, nullptr, 0);
    }

    std::vector<std::uint8_t> bytes_;
};

TEST_F(SongTest, ASongPlaysIntoTheMixAndStops) {
    FMUSIC_MODULE* song = LoadFromMemory();
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(FMUSIC_IsPlaying(song), 0) << "loading does not start it";
    EXPECT_EQ(Peak(Mix(1000)), 0);
    ASSERT_EQ(FMUSIC_PlaySong(song), 1);
    EXPECT_EQ(FMUSIC_IsPlaying(song), 1);
    // A row lasts 3 ticks of 20 ms: the note's order sounds for 240 ms.
    const std::vector<std::int16_t> note = ChannelOf(Mix(kRate / 5), 0);
    EXPECT_GT(Peak(note), 1000);
    EXPECT_NEAR(PitchHz(note), 440.0, 25.0);
    EXPECT_EQ(FMUSIC_GetOrder(song), 0);
    Mix(kRate / 5);
    EXPECT_EQ(FMUSIC_GetOrder(song), 1) << "on to the rest";
    ASSERT_EQ(FMUSIC_StopSong(song), 1);
    EXPECT_EQ(FMUSIC_IsPlaying(song), 0);
    EXPECT_EQ(Peak(Mix(2000)), 0);
    EXPECT_EQ(FMUSIC_FreeSong(song), 1);
    EXPECT_EQ(FMUSIC_FreeSong(song), 0) << "freed already";
}

TEST_F(SongTest, OrdersAndMasterVolumeAreSetAndRead) {
    FMUSIC_MODULE* song = LoadFromMemory();
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(FMUSIC_GetMasterVolume(song), 256);
    EXPECT_EQ(FMUSIC_SetOrder(song, 2), 1) << "a song that waits starts where it is told";
    EXPECT_EQ(FMUSIC_GetOrder(song), 2);
    EXPECT_EQ(FMUSIC_SetOrder(song, 4), 0) << "the song has four orders";
    EXPECT_EQ(FMUSIC_SetOrder(song, -1), 0);
    ASSERT_EQ(FMUSIC_PlaySong(song), 1);
    EXPECT_EQ(FMUSIC_GetOrder(song), 2);
    const int loud = Peak(ChannelOf(Mix(kRate / 10), 0));
    EXPECT_GT(loud, 1000);
    EXPECT_EQ(FMUSIC_GetOrder(song), 2);

    ASSERT_EQ(FMUSIC_SetMasterVolume(song, 128), 1);
    EXPECT_EQ(FMUSIC_GetMasterVolume(song), 128);
    EXPECT_NEAR(Peak(ChannelOf(Mix(kRate / 20), 0)), loud / 2, loud / 8);
    EXPECT_EQ(FMUSIC_SetMasterVolume(song, 257), 0);
    ASSERT_EQ(FMUSIC_SetMasterVolume(song, 0), 1);
    EXPECT_EQ(Peak(Mix(1000)), 0);

    ASSERT_EQ(FMUSIC_SetOrder(song, 1), 1) << "a playing song jumps";
    EXPECT_EQ(FMUSIC_GetOrder(song), 1);
    Mix(100);
    EXPECT_EQ(FMUSIC_GetOrder(song), 1);
    EXPECT_EQ(FMUSIC_FreeSong(song), 1);
    EXPECT_EQ(FMUSIC_GetMasterVolume(song), -1) << "no such song";
}

TEST_F(SongTest, ASongFileLoadsThroughTheFileCallbacksAndGarbageIsRefused) {
    handset_test::TempHandsetRoot root;
    std::filesystem::create_directories(root.Path() + "/fs/music");
    WriteBytes(root.Path() + "/fs/music/test.xm", bytes_);
    WriteBytes(root.Path() + "/fs/music/noise.xm", std::vector<std::uint8_t>(600, 0x3C));
    const int loadsBefore = platform::sound::Counts().songLoads;
    FMUSIC_MODULE* song = FMUSIC_LoadSongEx("\\music\\test.xm", 0, 0, 0, nullptr, 0);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(platform::sound::Counts().songLoads, loadsBefore + 1);
    EXPECT_EQ(FMUSIC_FreeSong(song), 1);
    EXPECT_EQ(FMUSIC_LoadSongEx("\\music\\noise.xm", 0, 0, 0, nullptr, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_FILE_FORMAT);
    EXPECT_EQ(FMUSIC_LoadSongEx("\\music\\absent.xm", 0, 0, 0, nullptr, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_FILE_NOTFOUND);
    EXPECT_EQ(FMUSIC_LoadSongEx("\\music\\test.xm", 5, 0, 0, nullptr, 0), nullptr) << "an offset into the file";
    // A header of no channels: libxmp loads it, but its player never fills a buffer.
    bytes_[68] = bytes_[69] = 0;
    EXPECT_EQ(LoadFromMemory(), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_FILE_FORMAT);
    EXPECT_EQ(platform::sound::Counts().songLoads, loadsBefore + 1);
}

TEST_F(SongTest, ClosingTheLibraryStopsSongsThatStayLoaded) {
    FMUSIC_MODULE* song = LoadFromMemory();
    ASSERT_NE(song, nullptr);
    ASSERT_EQ(FMUSIC_PlaySong(song), 1);
    FSOUND_Close();
    EXPECT_EQ(FMUSIC_IsPlaying(song), 0);
    EXPECT_EQ(FMUSIC_PlaySong(song), 0) << "nothing plays while the library is closed";
    ASSERT_EQ(FSOUND_Init(kRate, 32, 0), 1);
    EXPECT_EQ(FMUSIC_PlaySong(song), 1);
    EXPECT_GT(Peak(Mix(2000)), 1000);
    EXPECT_EQ(FMUSIC_FreeSong(song), 1);
}

}  // namespace
