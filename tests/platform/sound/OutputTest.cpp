// The outputs HANDSET_AUDIO names: the variable's forms, a 440 Hz sample captured by the wave
// output at its pitch and level (paced by a manual clock, so the capture's length is the
// time the clock moved), the null output, SDL's dummy driver, and a bad value.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/base/Clock.h"
#include "platform/sound/AudioOutput.h"
#include "platform/sound/SoundPlatform.h"
#include "platform/sound/WaveFileWriter.h"
#include "tests/platform/sound/SoundTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace sound_test;
using platform::sound::OutputKind;

// Sets HANDSET_AUDIO for one test and puts it back.
class AudioVariable {
public:
    explicit AudioVariable(const char* value) {
        if (const char* before = getenv("HANDSET_AUDIO")) before_ = before, hadValue_ = true;
        if (value != nullptr)
            setenv("HANDSET_AUDIO", value, 1);
        else
            unsetenv("HANDSET_AUDIO");
    }
    ~AudioVariable() {
        if (hadValue_)
            setenv("HANDSET_AUDIO", before_.c_str(), 1);
        else
            unsetenv("HANDSET_AUDIO");
    }

private:
    std::string before_;
    bool hadValue_ = false;
};

TEST(AudioOutput, TheVariableNamesSdlNullOrAWaveFile) {
    struct Case {
        const char* value;
        bool valid;
        OutputKind kind;
        const char* path;
    };
    const Case cases[] = {
        {nullptr, true, OutputKind::Sdl, ""},         {"", true, OutputKind::Sdl, ""},
        {"SDL", true, OutputKind::Sdl, ""},           {"null", true, OutputKind::Null, ""},
        {"Null", true, OutputKind::Null, ""},         {"wav:out.wav", true, OutputKind::Wave, "out.wav"},
        {"WAV:/tmp/a b.wav", true, OutputKind::Wave, "/tmp/a b.wav"},
        {"wav:", false, OutputKind::Sdl, ""},         {"alsa", false, OutputKind::Sdl, ""},
        {"nullx", false, OutputKind::Sdl, ""},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.value == nullptr ? "(unset)" : each.value);
        AudioVariable variable(each.value);
        platform::sound::OutputSpec spec;
        std::string error;
        EXPECT_EQ(platform::sound::ReadAudioVariable(spec, error), each.valid);
        if (each.valid) {
            EXPECT_EQ(spec.kind, each.kind);
            EXPECT_EQ(spec.path, each.path);
        } else {
            EXPECT_NE(error.find("HANDSET_AUDIO"), std::string::npos) << error;
        }
    }
}

class ClockedOutputTest : public ::testing::Test {
protected:
    void SetUp() override { platform::clock::UseManualClock(1000, 0); }
    void TearDown() override { platform::clock::UseRealClock(); }

    handset_test::TempHandsetRoot root_;
};

TEST_F(ClockedOutputTest, TheWaveOutputCapturesWhatPlaysAsTheClockMoves) {
    const std::string file = root_.Path() + "/capture.wav";
    AudioVariable variable(("wav:" + file).c_str());
    ASSERT_EQ(FSOUND_Init(kRate, 32, 0), 1);
    FSOUND_SAMPLE* tone = MakeSample(Sine(440, 1.0, 20000), 1, FSOUND_LOOP_NORMAL);
    const int channel = FSOUND_PlaySound(FSOUND_FREE, tone);
    ASSERT_EQ(channel, 0);
    ASSERT_EQ(FSOUND_SetVolume(channel, 128), 1);
    platform::clock::Advance(1500);
    FSOUND_Close();

    int rate = 0;
    const std::vector<std::int16_t> captured = WaveFileFrames(file, rate);
    EXPECT_EQ(rate, kRate);
    ASSERT_EQ(captured.size(), static_cast<std::size_t>(kRate) * 3) << "1.5 s of stereo frames";
    for (int side = 0; side < 2; ++side) {
        const std::vector<std::int16_t> heard = ChannelOf(captured, side);
        EXPECT_NEAR(PitchHz(heard), 440.0, 2.0);
        EXPECT_NEAR(Peak(heard), 20000 * 128 / 255, 3);
    }

    // Opened again, the library goes on writing the same file.
    ASSERT_EQ(FSOUND_Init(kRate, 32, 0), 1);
    platform::clock::Advance(100);
    FSOUND_Close();
    const std::vector<std::int16_t> more = WaveFileFrames(file, rate);
    EXPECT_EQ(more.size(), captured.size() + static_cast<std::size_t>(kRate) / 10 * 2);
    EXPECT_EQ(Peak(std::vector<std::int16_t>(more.begin() + static_cast<std::ptrdiff_t>(captured.size()), more.end())), 0)
        << "closing stopped the tone";
    FSOUND_Sample_Free(tone);
}

TEST_F(ClockedOutputTest, TheNullOutputPlaysSoundsToTheirEndWithoutASound) {
    AudioVariable variable("null");
    ASSERT_EQ(FSOUND_Init(kRate, 32, 0), 1);
    FSOUND_SAMPLE* tone = MakeSample(Sine(440, 0.2, 20000), 1);
    const int channel = FSOUND_PlaySound(FSOUND_FREE, tone);
    EXPECT_EQ(FSOUND_IsPlaying(channel), 1);
    std::int16_t frames[8];
    EXPECT_FALSE(platform::sound::MixFrames(frames, 4)) << "an output mixes, not the test";
    // Every call first mixes what the clock has made due.
    platform::clock::Advance(150);
    EXPECT_EQ(FSOUND_IsPlaying(channel), 1) << "150 ms into 200";
    platform::clock::Advance(100);
    EXPECT_EQ(FSOUND_IsPlaying(channel), 0);
    FSOUND_Close();
    FSOUND_Sample_Free(tone);
}

TEST(AudioOutput, SdlPlaysThroughItsDummyDriverAndABadVariableKeepsTheLibraryClosed) {
    AudioVariable variable("sdl");
    const char* driver = getenv("SDL_AUDIODRIVER");
    if (driver == nullptr || std::string(driver) != "dummy") GTEST_SKIP() << "the tests run SDL's dummy audio driver";
    ASSERT_EQ(FSOUND_Init(kRate, 32, 0), 1);
    FSOUND_SAMPLE* tone = MakeSample(Sine(440, 0.05, 20000), 1);
    const int channel = FSOUND_PlaySound(FSOUND_FREE, tone);
    for (int wait = 0; wait < 400 && FSOUND_IsPlaying(channel) == 1; ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(FSOUND_IsPlaying(channel), 0) << "SDL's audio thread mixed it to its end";
    FSOUND_Close();
    FSOUND_Sample_Free(tone);

    AudioVariable bad("speakers");
    EXPECT_EQ(FSOUND_Init(kRate, 32, 0), 0);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INIT);
    EXPECT_EQ(FSOUND_IsPlaying(0), 0);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_UNINITIALIZED);
}

// Runs in a child whose threads each ask for more stack than the address space holds, so that
// no thread can start.
TEST(AudioOutputChild, AThreadThatCannotStartLeavesTheSoundOff) {
    if (!handset_test::InChildRole()) GTEST_SKIP() << "runs as a child of AThreadThatCannotStartIsReported";
    AudioVariable variable("null");
    platform::sound::OutputSpec spec;
    std::string error;
    ASSERT_TRUE(platform::sound::ReadAudioVariable(spec, error)) << error;
    platform::sound::WaveFileWriter file;
    const auto output = platform::sound::OpenOutput(spec, kRate, [](std::int16_t*, std::uint32_t) {}, file, error);
    EXPECT_EQ(output, nullptr);
    EXPECT_NE(error.find("thread cannot start"), std::string::npos) << error;
    EXPECT_EQ(FSOUND_Init(kRate, 32, 0), 0);
}

TEST(AudioOutput, AThreadThatCannotStartIsReported) {
    // glibc sizes a new thread's stack by the stack limit the program started with.
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_STACK, &before), 0);
    rlimit huge = before;
    huge.rlim_cur = rlim_t{1} << 46;
    if (huge.rlim_max != RLIM_INFINITY && huge.rlim_max < huge.rlim_cur) GTEST_SKIP() << "the stack limit cannot rise";
    ASSERT_EQ(setrlimit(RLIMIT_STACK, &huge), 0);
    const int status = handset_test::RunChild("AudioOutputChild.AThreadThatCannotStartLeavesTheSoundOff");
    ASSERT_EQ(setrlimit(RLIMIT_STACK, &before), 0);
    EXPECT_EQ(status, 0);
}

}  // namespace
