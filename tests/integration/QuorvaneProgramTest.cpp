// Tests that start the game program as the run command installs it, in a fresh handset
// root, headless: a test build with a game module that quits after a number of frames or
// runs until it is told to end, the quit keys played by HANDSET_SCRIPT, a second start
// handing over to the running game, a missing configuration file or one that is a FIFO, and a
// malformed script.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/screen/PngFile.h"
#include "platform/user/Window.h"
#include "tests/platform/sound/SoundTestSupport.h"
#include "tests/support/Launch.h"
#include "tests/support/TestSupport.h"
#include "tools/make_wave/WaveEncode.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A finished run of the program, with what it wrote to stdout and stderr.
struct Finished : handset_test::Finished {
    std::string out;
    std::string err;
};

std::string ReadText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

int CountLines(const std::string& text, const std::string& line) {
    int count = 0;
    std::istringstream lines(text);
    for (std::string each; std::getline(lines, each);)
        if (each == line) ++count;
    return count;
}

class InstalledQuorvane : public ::testing::Test {
protected:
    fs::path ProgramFolder() const { return fs::path(root_.Path()) / "fs" / "Program Files" / "Quorvane"; }

    // As the run command installs it: the binary as "quorvane" in the program folder, with
    // its configuration file (none when `ini` is empty).
    void Install(const char* binary, const std::string& ini) {
        fs::create_directories(ProgramFolder());
        fs::copy_file(binary, ProgramFolder() / "quorvane", fs::copy_options::overwrite_existing);
        if (!ini.empty()) std::ofstream(ProgramFolder() / "Quorvane.ini", std::ios::binary) << ini;
    }

    // Starts the installed program headless; `script` (when not empty) is played into it,
    // `manualClock` makes its clock move only as it sleeps and pumps.
    pid_t Start(const std::string& script, bool manualClock) {
        const int run = runs_++;
        handset_test::Launch launch{.program = ProgramFolder() / "quorvane",
                                    .environment = {"HANDSET_ROOT=" + root_.Path(), "HANDSET_DISPLAY=headless",
                                                    "EGL_PLATFORM=surfaceless", "SDL_AUDIODRIVER=dummy"},
                                    .output = OutPath(run, "out"),
                                    .errors = OutPath(run, "err")};
        if (manualClock) launch.environment.push_back("HANDSET_CLOCK=manual:1");
        launch.environment.insert(launch.environment.end(), extraEnvironment_.begin(), extraEnvironment_.end());
        if (!script.empty()) {
            const fs::path scriptPath = fs::path(root_.Path()) / ("script" + std::to_string(run) + ".txt");
            std::ofstream(scriptPath) << script;
            launch.environment.push_back("HANDSET_SCRIPT=" + scriptPath.string());
        }
        handset_test::Process process(launch);
        const pid_t pid = process.Pid();
        started_.emplace(pid, Started{std::move(process), run});
        return pid;
    }

    Finished Wait(pid_t pid, std::chrono::milliseconds timeout = 20000ms) {
        Finished finished;
        const auto found = started_.find(pid);
        if (found == started_.end()) return finished;
        static_cast<handset_test::Finished&>(finished) = found->second.process.Wait(timeout);
        finished.out = ReadText(OutPath(found->second.run, "out"));
        finished.err = ReadText(OutPath(found->second.run, "err"));
        started_.erase(found);
        return finished;
    }

    Finished Run(const std::string& script, bool manualClock = true) { return Wait(Start(script, manualClock)); }

    std::string GameLog() const { return ReadText(ProgramFolder() / "testgame.log"); }

    // A program still running when the test ends is killed with it.
    void TearDown() override { started_.clear(); }

    fs::path OutPath(int run, const char* stream) const {
        return fs::path(root_.Path()) / ("run" + std::to_string(run) + "." + stream);
    }

    handset_test::TempHandsetRoot root_;
    std::vector<std::string> extraEnvironment_;  // "NAME=value" for the next starts
    int runs_ = 0;
    struct Started {
        handset_test::Process process;
        int run;
    };
    std::map<pid_t, Started> started_;
};

// The null render device, except where a test looks at the frame.
constexpr const char* kTestIni = "Render=OpenGLRender.NullRenderDevice\nEngine=TestGame.GameEngine\n";
constexpr const char* kGlTestIni = "Render=OpenGLRender.OpenGLRenderDevice\nEngine=TestGame.GameEngine\n";

// The RGB of a PNG file's pixel; all -1 when the file cannot be read.
std::array<int, 3> PngPixel(const fs::path& path, int x, int y) {
    platform::screen::Image image;
    if (!platform::screen::ReadPng(path.string(), image) || x >= image.width || y >= image.height) return {-1, -1, -1};
    const std::uint8_t* pixel = image.PixelAt(x, y);
    return {pixel[0], pixel[1], pixel[2]};
}

TEST_F(InstalledQuorvane, AGameThatQuitsAfterItsFramesEndsTheProgramCleanly) {
    Install(QUORVANE_TEST_BUILD, std::string(kGlTestIni) + "TestGameFrames=20\n");
    const fs::path shot = fs::path(root_.Path()) / "shot.png";
    const Finished run = Run("at 100 tap 240 400\nat 200 screenshot " + shot.string() + "\n");
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.find("exception:"), std::string::npos) << run.out;
    const std::string log = GameLog();
    EXPECT_EQ(CountLines(log, "init"), 1) << log;
    EXPECT_EQ(CountLines(log, "quit after 20 frames"), 1) << log;
    EXPECT_EQ(CountLines(log, "shutdown"), 1) << log;
    // The tap reached the game as pen down and pen up.
    EXPECT_EQ(CountLines(log, "event 0"), 1) << log;
    EXPECT_EQ(CountLines(log, "event 2"), 1) << log;
    // The game's frames reach the screen: its clear colour (0, 0.5, 1) in RGB565.
    const std::array<int, 3> pixel = PngPixel(shot, 240, 400);
    EXPECT_LE(pixel[0], 8);
    EXPECT_NEAR(pixel[1], 128, 6);
    EXPECT_GE(pixel[2], 247);
}

TEST_F(InstalledQuorvane, EscapeReachesTheGameAsAKeyAndControlQEndsIt) {
    Install(QUORVANE_TEST_BUILD, kTestIni);
    const Finished run =
        Run("at 200 key press ESCAPE\nat 300 key down CONTROL\nat 320 key press Q\nat 340 key up CONTROL\n");
    ASSERT_FALSE(run.timedOut) << "the game did not end";
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::string log = GameLog();
    EXPECT_EQ(CountLines(log, "event 6 key 27"), 1) << "Esc is the game's key 27\n" << log;
    EXPECT_NE(log.find("run ended after"), std::string::npos) << log;
    EXPECT_EQ(log.find("quit after"), std::string::npos) << log;
    EXPECT_EQ(log.find("event 6 key 81"), std::string::npos) << "Q was a hot key, not a game key\n" << log;
    EXPECT_EQ(CountLines(log, "shutdown"), 1) << log;
}

TEST_F(InstalledQuorvane, TermAndInterruptSignalsShutTheGameDownAsClosingItsWindowDoes) {
    for (const int number : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(number);
        Install(QUORVANE_TEST_BUILD, kTestIni);
        fs::remove(ProgramFolder() / "testgame.log");
        const pid_t pid = Start("", false);
        for (auto deadline = std::chrono::steady_clock::now() + 20s;
             std::chrono::steady_clock::now() < deadline && GameLog().find("init") == std::string::npos;)
            std::this_thread::sleep_for(20ms);
        ASSERT_NE(GameLog().find("init"), std::string::npos) << "the game did not start";
        ASSERT_EQ(kill(pid, number), 0);
        const Finished run = Wait(pid);
        ASSERT_FALSE(run.timedOut) << "the game did not end";
        EXPECT_EQ(run.exitCode, 0) << run.err;
        const std::string log = GameLog();
        EXPECT_NE(log.find("run ended after"), std::string::npos) << log;
        EXPECT_EQ(CountLines(log, "shutdown"), 1) << log;
    }
    // The program itself ends cleanly too.
    Install(QUORVANE_PROGRAM, ReadText(QUORVANE_SHIPPED_INI) + "Render=OpenGLRender.NullRenderDevice\n");
    const pid_t pid = Start("", false);
    for (auto deadline = std::chrono::steady_clock::now() + 20s;
         std::chrono::steady_clock::now() < deadline && FindWindowW(u"KelWClass", u"Quorvane") == nullptr;)
        std::this_thread::sleep_for(20ms);
    std::this_thread::sleep_for(300ms);  // into its frame loop
    ASSERT_EQ(kill(pid, SIGTERM), 0);
    const Finished shipped = Wait(pid);
    ASSERT_FALSE(shipped.timedOut);
    EXPECT_EQ(shipped.exitCode, 0) << shipped.err;
}

TEST_F(InstalledQuorvane, ASecondStartBringsTheRunningGameToTheFront) {
    Install(QUORVANE_TEST_BUILD, kTestIni);
    const pid_t first = Start("", false);
    HWND game = nullptr;
    for (auto deadline = std::chrono::steady_clock::now() + 20s;
         std::chrono::steady_clock::now() < deadline && GameLog().find("init") == std::string::npos;)
        std::this_thread::sleep_for(20ms);
    game = FindWindowW(u"KelWClass", u"Quorvane");
    ASSERT_NE(game, nullptr) << "the first game did not start";

    // Something else comes to the front; then the second start hands over to the first.
    WNDCLASSW otherClass{};
    otherClass.lpfnWndProc = DefWindowProcW;
    otherClass.lpszClassName = u"IntegrationOther";
    RegisterClassW(&otherClass);
    HWND other = CreateWindowExW(0, u"IntegrationOther", u"Other", WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                 nullptr);
    ASSERT_TRUE(SetForegroundWindow(other));
    ASSERT_EQ(GetForegroundWindow(), other);

    const Finished second = Wait(Start("", false));
    ASSERT_FALSE(second.timedOut);
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(GetForegroundWindow(), game);

    ASSERT_TRUE(PostMessageW(game, WM_CLOSE, 0, 0));
    const Finished run = Wait(first);
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::string log = GameLog();
    EXPECT_EQ(CountLines(log, "init"), 1) << "the second start made no game\n" << log;
    const std::size_t deactivated = log.find("event 12");
    ASSERT_NE(deactivated, std::string::npos) << log;
    EXPECT_NE(log.find("event 13", deactivated), std::string::npos) << "activated again\n" << log;
    DestroyWindow(other);
    UnregisterClassW(u"IntegrationOther", nullptr);
}

TEST_F(InstalledQuorvane, AFailedStartUpSaysWhatWentWrongOnStandardErrorAndFails) {
    Install(QUORVANE_TEST_BUILD, "");
    const Finished run = Run("");
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.out.find("exception: LoadConfig\n"), std::string::npos) << run.out;
    EXPECT_FALSE(fs::exists(ProgramFolder() / "testgame.log"));

    // The program itself: without its configuration file, and with a render class that
    // does not exist. Each says why on standard error, as it happens and in the list of
    // what went wrong, and ends with a failure.
    const std::pair<std::string, std::string> failures[] = {
        {"", "The configuration file \\Program Files\\Quorvane\\Quorvane.ini cannot be read."},
        {ReadText(QUORVANE_SHIPPED_INI) + "Render=OpenGLRender.NoSuchDevice\n",
         "The render device OpenGLRender.NoSuchDevice of the configuration's Render= line cannot be created"},
    };
    for (const auto& [ini, message] : failures) {
        SCOPED_TRACE(message);
        fs::remove(ProgramFolder() / "Quorvane.ini");
        Install(QUORVANE_PROGRAM, ini);
        const Finished bare = Run("");
        ASSERT_FALSE(bare.timedOut);
        EXPECT_EQ(bare.exitCode, 1) << bare.err;
        EXPECT_NE(bare.err.find("Exception: "), std::string::npos) << bare.err;
        EXPECT_NE(bare.err.find(message), std::string::npos) << bare.err;
        EXPECT_NE(bare.err.find("Quorvane did not start. What went wrong:\n"), std::string::npos) << bare.err;
    }
    // With its configuration the program runs the game until it is told to stop (here on
    // the null device, named by a later line; the game loop test runs it on GL and looks
    // at its frame).
    Install(QUORVANE_PROGRAM, ReadText(QUORVANE_SHIPPED_INI) + "Render=OpenGLRender.NullRenderDevice\n");
    const Finished shipped = Run("at 300 key down CONTROL\nat 310 key press Q\n");
    ASSERT_FALSE(shipped.timedOut);
    EXPECT_EQ(shipped.exitCode, 0) << shipped.err;
}

TEST_F(InstalledQuorvane, TheShippedConfigurationPlaysThroughTheSoundLibraryAndRunsSilentlyHeadless) {
    // The test build reports which sound device started; SDL's dummy driver stands in for a
    // sound card, HANDSET_AUDIO=null for none at all.
    const std::string shippedSound = "Sound=FmodSound.FmodSoundDevice\n";
    ASSERT_NE(ReadText(QUORVANE_SHIPPED_INI).find("Sound=FmodSound.FmodSoundDevice"), std::string::npos);
    Install(QUORVANE_TEST_BUILD, std::string(kTestIni) + shippedSound + "TestGameFrames=5\n");
    Finished run = Run("");
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(GameLog().find("sound device FmodSoundDevice"), std::string::npos) << GameLog() << run.err;

    extraEnvironment_ = {"HANDSET_AUDIO=null"};
    Install(QUORVANE_PROGRAM, ReadText(QUORVANE_SHIPPED_INI) + "Render=OpenGLRender.NullRenderDevice\n");
    run = Run("at 300 key down CONTROL\nat 310 key press Q\n");
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err.find("HANDSET_AUDIO"), std::string::npos) << run.err;

    // A value that names no output leaves the game on the silent device.
    extraEnvironment_ = {"HANDSET_AUDIO=speakers"};
    std::filesystem::remove(ProgramFolder() / "testgame.log");
    Install(QUORVANE_TEST_BUILD, std::string(kTestIni) + shippedSound + "TestGameFrames=5\n");
    run = Run("");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("HANDSET_AUDIO='speakers'"), std::string::npos) << run.err;
    EXPECT_NE(GameLog().find("sound device NullSoundDevice"), std::string::npos) << GameLog();
}

TEST_F(InstalledQuorvane, HandsetAudioWavCapturesWhatTheGamePlays) {
    const fs::path capture = fs::path(root_.Path()) / "capture.wav";
    extraEnvironment_ = {"HANDSET_AUDIO=wav:" + capture.string()};
    // 44 whole cycles of 440 Hz, looped; about a second of the manual clock.
    fs::create_directories(ProgramFolder() / "data" / "sound");
    sound_test::WriteBytes((ProgramFolder() / "data" / "sound" / "tone.wav").string(),
                           EncodePcmWave(sound_test::Sine(440, 0.1, 12000), 1, sound_test::kRate, 16));
    Install(QUORVANE_TEST_BUILD,
            std::string(kTestIni) + "Sound=FmodSound.FmodSoundDevice\nTestGameFrames=30\nTestGameSound=sound/tone.wav\n");
    const Finished run = Run("");
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(GameLog().find("sound sound/tone.wav on channel 1"), std::string::npos) << GameLog();
    int rate = 0;
    const std::vector<std::int16_t> captured = sound_test::WaveFileFrames(capture.string(), rate);
    EXPECT_EQ(rate, sound_test::kRate);
    ASSERT_GT(captured.size(), static_cast<std::size_t>(sound_test::kRate)) << "more than half a second";
    // The library catches its output up with the clock at every call, so the capture holds
    // the tone from the game's start to its end.
    const std::vector<std::int16_t> heard = sound_test::ChannelOf(captured, 1);
    EXPECT_NEAR(sound_test::PitchHz(heard), 440.0, 3.0);
    EXPECT_NEAR(sound_test::Peak(heard), 12000, 2);
}

// The shipped game plays its effects through its sound manager on the real device: leaving
// the title plays "sound/menu_select.wav", and the samples are given back once at the end.
TEST_F(InstalledQuorvane, TheGamesSoundManagerPlaysTheTitlesSelectSoundAndEndsCleanly) {
    const fs::path capture = fs::path(root_.Path()) / "capture.wav";
    extraEnvironment_ = {"HANDSET_AUDIO=wav:" + capture.string()};
    fs::create_directories(ProgramFolder() / "data" / "sound");
    sound_test::WriteBytes((ProgramFolder() / "data" / "sound" / "menu_select.wav").string(),
                           EncodePcmWave(sound_test::Sine(440, 0.5, 9000), 1, sound_test::kRate, 16));
    sound_test::WriteBytes((ProgramFolder() / "data" / "sound" / "Jump.wav").string(),
                           EncodePcmWave(sound_test::Sine(880, 0.1, 9000), 1, sound_test::kRate, 16));
    Install(QUORVANE_PROGRAM, ReadText(QUORVANE_SHIPPED_INI) + "Render=OpenGLRender.NullRenderDevice\n");
    // The logos and the loading screen take ten seconds; the tap leaves the title.
    const Finished run = Run("at 12000 tap 240 400\nat 12600 close\n");
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err.find("runtime error"), std::string::npos) << run.err;
    int rate = 0;
    const std::vector<std::int16_t> captured = sound_test::WaveFileFrames(capture.string(), rate);
    ASSERT_EQ(rate, sound_test::kRate);
    const std::vector<std::int16_t> heard = sound_test::ChannelOf(captured, 1);
    ASSERT_GT(heard.size(), static_cast<std::size_t>(12 * rate));
    const std::vector<std::int16_t> beforeTap(heard.begin() + 11 * rate, heard.begin() + 12 * rate - rate / 10);
    EXPECT_EQ(sound_test::Peak(beforeTap), 0) << "nothing plays on the title before the touch";
    // The tone, from its first sound after the touch, for most of its half second.
    auto start = std::find_if(heard.begin() + 12 * rate, heard.end(), [](std::int16_t sample) { return sample != 0; });
    ASSERT_GT(heard.end() - start, 2 * rate / 5) << "the select sound plays after the touch";
    const std::vector<std::int16_t> tone(start, start + 2 * rate / 5);
    EXPECT_NEAR(sound_test::PitchHz(tone), 440.0, 5.0);
}

// A FIFO where the configuration file belongs fails the start as a missing file does,
// instead of waiting forever for something to write into it.
TEST_F(InstalledQuorvane, AConfigurationFileThatIsAFifoFailsTheStartAtOnce) {
    Install(QUORVANE_TEST_BUILD, "");
    ASSERT_EQ(mkfifo((ProgramFolder() / "Quorvane.ini").c_str(), 0644), 0);
    const Finished run = Wait(Start("", true), 10000ms);
    ASSERT_FALSE(run.timedOut) << "the start-up waited on the FIFO";
    EXPECT_NE((run.out + run.err).find("LoadConfig"), std::string::npos) << run.out << run.err;
    EXPECT_FALSE(fs::exists(ProgramFolder() / "testgame.log"));
}

TEST_F(InstalledQuorvane, AMalformedScriptLineIsAnErrorThatNamesTheLine) {
    Install(QUORVANE_PROGRAM, "");
    const Finished run = Run("# input\nat 10 jump 3 4\n");
    ASSERT_FALSE(run.timedOut);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("script" + std::to_string(runs_ - 1) + ".txt:2:"), std::string::npos) << run.err;
}

}  // namespace
