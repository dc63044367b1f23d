// The demo's sound sources in data/game/audio: every ".tone" description renders into a
// wave file that streams and sounds, and the game's song loads into libxmp with the three
// parts the game starts at orders 0, 17 and 34, each of them heard.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/sound/SoundPlatform.h"
#include "platform/sound/WaveImage.h"
#include "tests/platform/sound/SoundTestSupport.h"
#include "tools/make_wave/WaveEncode.h"
#include "tools/make_wave/WaveSynth.h"
#include "tools/make_xm/XmSong.h"
#include "tools/make_xm/XmWrite.h"
#include "tools/source_text/SourceText.h"

namespace {

using namespace sound_test;
namespace fs = std::filesystem;

const fs::path kAudio = fs::path(HANDSET_SOURCE_DIR) / "data/game/audio";

class DemoAudioTest : public MixingTest {};

TEST_F(DemoAudioTest, EverySoundDescriptionMakesAWaveThatSounds) {
    int sounds = 0;
    for (const auto& entry : fs::directory_iterator(kAudio / "sound")) {
        SCOPED_TRACE(entry.path().filename().string());
        ASSERT_EQ(entry.path().extension(), ".tone");
        std::string text, error;
        WaveDescription description;
        ASSERT_TRUE(ReadSourceFile(entry.path().string(), text, error)) << error;
        ASSERT_TRUE(ParseWaveDescription(text, entry.path().filename().string(), description, error)) << error;
        const std::vector<std::int16_t> frames = RenderWave(description);
        const bool ima = description.format == WaveFormat::Ima;
        const std::uint32_t bits = description.format == WaveFormat::Pcm8 ? 8 : 16;
        std::vector<std::uint8_t> file =
            ima ? EncodeImaWave(frames, description.channels, description.rate,
                                DefaultImaBlockBytes(description.rate, description.channels))
                : EncodePcmWave(frames, description.channels, description.rate, bits);
        platform::sound::WaveImage wave;
        ASSERT_TRUE(platform::sound::ReadWaveImage(file.data(), file.size(), wave));
        EXPECT_GE(wave.source.frames, frames.size() / description.channels);
        const unsigned int layout = ima ? FSOUND_IMAADPCM : bits == 8 ? FSOUND_8BITS : FSOUND_16BITS;
        FSOUND_SAMPLE* sample =
            MakeRawSample(std::vector<std::uint8_t>(wave.source.data, wave.source.data + wave.source.bytes),
                          layout | (description.channels == 2 ? FSOUND_STEREO : FSOUND_MONO));
        if (ima) {
            ASSERT_TRUE(platform::sound::SetSampleBlockBytes(sample, wave.source.blockBytes));
        }
        ASSERT_EQ(FSOUND_PlaySound(FSOUND_FREE, sample), 0);
        const int peak = Peak(Mix(wave.source.frames));
        EXPECT_GT(peak, 2000) << "it is heard";
        EXPECT_LT(peak, 32767) << "it is not clipped";
        FSOUND_Sample_Free(sample);
        ++sounds;
    }
    EXPECT_GE(sounds, 5);
}

TEST_F(DemoAudioTest, TheSongHasTheGamesThreePartsAndEachIsHeard) {
    std::string text, error;
    XmSong song;
    ASSERT_TRUE(ReadSourceFile((kAudio / "music/quorvane.song").string(), text, error)) << error;
    ASSERT_TRUE(ParseXmSong(text, "quorvane.song", song, error)) << error;
    const std::vector<std::uint8_t> file = WriteXm(song);
    FMUSIC_MODULE* module = FMUSIC_LoadSongEx(reinterpret_cast<const char*>(file.data()), 0,
                                              static_cast<int>(file.size()), FSOUND_LOADMEMORY, nullptr, 0);
    ASSERT_NE(module, nullptr);
    for (int order : {0, 17, 34}) {
        SCOPED_TRACE(order);
        ASSERT_EQ(FMUSIC_SetOrder(module, order), 1);
        ASSERT_EQ(FMUSIC_PlaySong(module), 1);
        EXPECT_GT(Peak(Mix(kRate)), 2000);
        EXPECT_EQ(FMUSIC_GetOrder(module), order) << "a second into the part";
        ASSERT_EQ(FMUSIC_StopSong(module), 1);
    }
    EXPECT_EQ(FMUSIC_FreeSong(module), 1);
}

}  // namespace
