// Wave streams: read whole through the file callbacks, played on a channel (paused first, as
// the game starts them), looping or to their end; their position; other kinds of files
// refused with the library's error.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/sound/SoundPlatform.h"
#include "tests/platform/sound/SoundTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tools/make_wave/WaveEncode.h"

namespace {

using namespace sound_test;
namespace fs = std::filesystem;

class StreamTest : public MixingTest {
protected:
    void SetUp() override {
        fs::create_directories(Music());
        MixingTest::SetUp();
    }
    void TearDown() override {
        MixingTest::TearDown();
        EXPECT_EQ(platform::sound::Counts().streams, 0);
    }
    fs::path Music() const { return fs::path(root_.Path()) / "fs" / "music"; }

    handset_test::TempHandsetRoot root_;
};

TEST_F(StreamTest, AWaveStreamPlaysFromItsFileAndLoopsWhenAsked) {
    WriteBytes((Music() / "theme.wav").string(), EncodePcmWave(Sine(440, 0.1, 10000), 1, kRate, 16));
    // Handset paths, read by the library's own file access.
    FSOUND_STREAM* looped = FSOUND_Stream_Open("\\music\\theme.wav", FSOUND_LOOP_NORMAL | FSOUND_16BITS, 0, 0);
    ASSERT_NE(looped, nullptr);
    const int channel = FSOUND_Stream_PlayEx(FSOUND_FREE, looped, nullptr, 1);
    ASSERT_EQ(channel, 0);
    EXPECT_EQ(Peak(Mix(500)), 0) << "started paused";
    EXPECT_EQ(FSOUND_Stream_GetPosition(looped), 0u);
    ASSERT_EQ(FSOUND_SetPaused(channel, 0), 1);
    const std::vector<std::int16_t> heard = ChannelOf(Mix(kRate), 0);
    EXPECT_NEAR(PitchHz(heard), 440.0, 2.0);
    EXPECT_NEAR(Peak(heard), 10000, 2);
    Mix(100);
    EXPECT_EQ(FSOUND_Stream_GetPosition(looped), 200u) << "bytes of 16-bit data into its second second's loop";
    EXPECT_EQ(FSOUND_Stream_Close(looped), 1);
    EXPECT_EQ(FSOUND_IsPlaying(channel), 0);

    FSOUND_STREAM* once = FSOUND_Stream_Open("\\music\\theme.wav", FSOUND_16BITS, 0, 0);
    ASSERT_NE(once, nullptr);
    ASSERT_EQ(FSOUND_Stream_PlayEx(FSOUND_FREE, once, nullptr, 0), 0);
    Mix(3000);
    EXPECT_EQ(FSOUND_IsPlaying(0), 0);
    EXPECT_EQ(FSOUND_Stream_GetPosition(once), 0u) << "a stream that ended has no place";
    EXPECT_EQ(FSOUND_Stream_Close(once), 1);
    EXPECT_EQ(FSOUND_Stream_Close(once), 0) << "closed already";
}

TEST_F(StreamTest, ImaAdpcmAndEightBitStreamsPlayAndEmbeddedFilesOpenAtTheirOffset) {
    const std::vector<std::int16_t> tone = Sine(440, 0.5, 12000);
    std::vector<std::uint8_t> ima = EncodeImaWave(tone, 1, kRate, 512);
    std::vector<std::uint8_t> pack(37, 0x55);
    pack.insert(pack.end(), ima.begin(), ima.end());
    WriteBytes((Music() / "pack.bin").string(), pack);
    FSOUND_STREAM* stream = FSOUND_Stream_Open("\\music\\pack.bin", 0, 37, static_cast<int>(ima.size()));
    ASSERT_NE(stream, nullptr);
    ASSERT_EQ(FSOUND_Stream_PlayEx(FSOUND_FREE, stream, nullptr, 0), 0);
    std::vector<std::int16_t> heard = ChannelOf(Mix(kRate / 4), 0);
    EXPECT_NEAR(PitchHz(heard), 440.0, 4.0);
    EXPECT_NEAR(Peak(heard), 12000, 600);
    EXPECT_EQ(FSOUND_Stream_Close(stream), 1);

    WriteBytes((Music() / "eight.wav").string(), EncodePcmWave(tone, 1, kRate, 8));
    stream = FSOUND_Stream_Open("\\music\\eight.wav", 0, 0, 0);
    ASSERT_NE(stream, nullptr);
    ASSERT_EQ(FSOUND_Stream_PlayEx(3, stream, nullptr, 0), 3);
    heard = ChannelOf(Mix(kRate / 4), 0);
    EXPECT_NEAR(Peak(heard), 12000, 256);
    EXPECT_EQ(FSOUND_Stream_GetPosition(stream), static_cast<unsigned int>(kRate / 4)) << "one byte a frame";
    EXPECT_EQ(FSOUND_Stream_Close(stream), 1);

    // A chunk of odd size before the data leaves 16-bit samples at an odd offset.
    std::vector<std::uint8_t> odd = EncodePcmWave(tone, 1, kRate, 16);
    const std::uint8_t junk[] = {'j', 'u', 'n', 'k', 3, 0, 0, 0, 1, 2, 3};
    odd.insert(odd.begin() + 36, std::begin(junk), std::end(junk));
    odd[4] = static_cast<std::uint8_t>(odd[4] + sizeof junk);
    WriteBytes((Music() / "odd.wav").string(), odd);
    stream = FSOUND_Stream_Open("\\music\\odd.wav", 0, 0, 0);
    ASSERT_NE(stream, nullptr);
    ASSERT_EQ(FSOUND_Stream_PlayEx(FSOUND_FREE, stream, nullptr, 0), 0);
    EXPECT_NEAR(Peak(ChannelOf(Mix(kRate / 4), 0)), 12000, 2);
    EXPECT_EQ(FSOUND_Stream_Close(stream), 1);
}

TEST_F(StreamTest, FilesThatAreNotPlayableWaveStreamsAreRefusedWithTheLibrarysError) {
    std::vector<std::uint8_t> truncated = EncodePcmWave(Sine(440, 0.1, 1000), 1, kRate, 16);
    truncated.resize(truncated.size() - 10);
    std::vector<std::uint8_t> twelveBits = EncodePcmWave(Sine(440, 0.1, 1000), 1, kRate, 16);
    twelveBits[34] = 12;
    std::vector<std::uint8_t> noRate = EncodePcmWave(Sine(440, 0.1, 1000), 1, kRate, 16);
    noRate[24] = noRate[25] = noRate[26] = noRate[27] = 0;
    const std::pair<const char*, std::vector<std::uint8_t>> files[] = {
        {"song.mp3", {0xFF, 0xFB, 0x90, 0x00, 1, 2, 3, 4, 5, 6, 7, 8}},
        {"song.ogg", {'O', 'g', 'g', 'S', 0, 2, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"cut.wav", truncated},
        {"twelve.wav", twelveBits},
        {"norate.wav", noRate},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        WriteBytes((Music() / name).string(), bytes);
        EXPECT_EQ(FSOUND_Stream_Open((std::string("\\music\\") + name).c_str(), 0, 0, 0), nullptr);
        EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_FILE_FORMAT);
    }
    EXPECT_EQ(FSOUND_Stream_Open("\\music\\missing.wav", 0, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_FILE_NOTFOUND);
    EXPECT_EQ(FSOUND_Stream_Open("\\music\\song.mp3", 0, 0, 1000), nullptr) << "shorter than the length asked for";
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_FILE_BAD);
    EXPECT_EQ(FSOUND_Stream_PlayEx(FSOUND_FREE, nullptr, nullptr, 0), -1);
}

// The memory and file callbacks are the program's; a counting allocator shows every block
// goes back, and a large file is read in growing pieces through realloc.
int liveBlocks = 0;
int reallocations = 0;
void* CountedAlloc(unsigned int size) {
    ++liveBlocks;
    return std::malloc(size);
}
void* CountedRealloc(void* block, unsigned int size) {
    ++reallocations;
    if (block == nullptr) ++liveBlocks;
    return std::realloc(block, size);
}
void CountedFree(void* block) {
    if (block != nullptr) --liveBlocks;
    std::free(block);
}

TEST(SoundLibraryCallbacks, StreamsComeFromTheProgramsMemoryAndGoBackToIt) {
    handset_test::TempHandsetRoot root;
    fs::create_directories(fs::path(root.Path()) / "fs");
    WriteBytes(root.Path() + "/fs/long.wav", EncodePcmWave(Sine(440, 4.0, 1000), 1, kRate, 16));
    ASSERT_EQ(FSOUND_SetMemorySystem(nullptr, 0, CountedAlloc, CountedRealloc, CountedFree), 1);
    EXPECT_EQ(FSOUND_SetMemorySystem(reinterpret_cast<void*>(&liveBlocks), 16, CountedAlloc, CountedRealloc,
                                     CountedFree),
              0)
        << "no pools";
    platform::sound::UseManualMixing(true);
    ASSERT_EQ(FSOUND_Init(kRate, 4, 0), 1);
    FSOUND_STREAM* stream = FSOUND_Stream_Open("\\long.wav", 0, 0, 0);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(liveBlocks, 1);
    EXPECT_GE(reallocations, 1) << "176 KB read in pieces from 64 KB";
    FSOUND_Close();
    EXPECT_EQ(FSOUND_Stream_Close(stream), 1) << "streams outlive the output";
    EXPECT_EQ(liveBlocks, 0);
    platform::sound::UseManualMixing(false);
    ASSERT_EQ(FSOUND_SetMemorySystem(nullptr, 0, nullptr, nullptr, nullptr), 1);
}

}  // namespace
