// The game program as shipped, installed with its own configuration file and started
// headless: the game object's loop runs until Esc, and a screenshot on the way shows its
// frame. And the game's frames in a desktop window on a 24-bit X server: what the X server
// shows in the window is the frame the screenshot holds.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/screen/PngFile.h"
#include "platform/user/Window.h"
#include "tests/integration/RunInstalled.h"
#include "tests/integration/XWindowCapture.h"
#include "tests/support/Launch.h"
#include "tests/support/ReferenceImage.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A screenshot the game wrote; an empty image when there is none or it cannot be read.
platform::screen::Image ReadShot(const fs::path& path) {
    platform::screen::Image image;
    if (!platform::screen::ReadPng(path.string(), image)) image = {};
    return image;
}

// The sum of the red, green and blue of the pixel at (x, y).
int Brightness(const platform::screen::Image& image, int x, int y) {
    const std::uint8_t* pixel = image.PixelAt(x, y);
    return pixel[0] + pixel[1] + pixel[2];
}

TEST(QuorvaneGameLoop, TheShippedGameRunsItsLoopShowsItsFrameAndEndsOnControlQ) {
    handset_test::TempHandsetRoot root;
    const fs::path folder = fs::path(root.Path()) / "fs" / "Program Files" / "Quorvane";
    fs::create_directories(folder);
    fs::copy_file(QUORVANE_PROGRAM, folder / "quorvane");
    fs::copy_file(QUORVANE_SHIPPED_INI, folder / "Quorvane.ini");
    const fs::path shot = fs::path(root.Path()) / "frame.png";
    const fs::path script = fs::path(root.Path()) / "script.txt";
    std::ofstream(script) << "at 200 screenshot " << shot.string() << "\nat 400 key down CONTROL\nat 410 key press Q\n";

    // On the manual clock time moves only as the loop pumps and sleeps, so the screenshot
    // at 200 ms is taken only when the game's frames keep going.
    const int exitCode = handset_test::RunInstalled(folder / "quorvane",
                                    {"HANDSET_ROOT=" + root.Path(), "HANDSET_DISPLAY=headless",
                                     "HANDSET_CLOCK=manual:1", "HANDSET_SCRIPT=" + script.string(),
                                     "EGL_PLATFORM=surfaceless", "SDL_AUDIODRIVER=dummy"},
                                    30s);
    ASSERT_NE(exitCode, -1) << "Ctrl+Q did not end the game";
    EXPECT_EQ(exitCode, 0);

    const platform::screen::Image frame = ReadShot(shot);
    ASSERT_FALSE(frame.rgba.empty()) << "no screenshot of the frame";
    EXPECT_EQ(frame.width, 480);
    EXPECT_EQ(frame.height, 800);
    // Until the game draws its screens its frame is the device's clear: black.
    EXPECT_EQ(Brightness(frame, frame.width / 2, frame.height / 2), 0);
}

// The shipped game from start-up: the logos pass by themselves, a tap leaves the title, and
// the pages take their default commands (play with sound, start a game), so a fresh player
// goes through the intro comic to the loading of the first level; leaving play saves the
// profile, which then records that the intro was started.
TEST(QuorvaneGameLoop, TheGameGoesFromStartUpToLevelLoadingAndSavesTheProfile) {
    handset_test::TempHandsetRoot root;
    const fs::path folder = fs::path(root.Path()) / "fs" / "Program Files" / "Quorvane";
    fs::create_directories(folder);
    fs::copy_file(QUORVANE_PROGRAM, folder / "quorvane");
    std::ofstream(folder / "Quorvane.ini") << "Render=OpenGLRender.NullRenderDevice\nEngine=Quorvane.GameEngine\nLanguageSetup=1\n";
    const fs::path script = fs::path(root.Path()) / "script.txt";
    // A tap leaves the title; the intro comic's pages are skipped by a tap in its top right
    // corner (game point (700, 50) on the turned display), which loads the first level.
    std::ofstream(script) << "at 12000 tap 240 400\nat 15000 tap 430 700\nat 22000 close\n";

    const int exitCode = handset_test::RunInstalled(folder / "quorvane",
                                    {"HANDSET_ROOT=" + root.Path(), "HANDSET_DISPLAY=headless",
                                     "HANDSET_CLOCK=manual:1", "HANDSET_SCRIPT=" + script.string(),
                                     "EGL_PLATFORM=surfaceless", "SDL_AUDIODRIVER=dummy", "LANG=de_DE.UTF-8"},
                                    60s);
    ASSERT_NE(exitCode, -1) << "closing did not end the game";
    EXPECT_EQ(exitCode, 0);

    std::ifstream file(folder / "save" / "user.sav", std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), {}};
    ASSERT_EQ(bytes.size(), 3080u) << "the key and the 3072-byte record";
    constexpr std::size_t kRecord = 8 + 52;  // the save record after the file's key and header
    EXPECT_EQ(bytes[8], 1) << "format word";
    EXPECT_EQ(bytes[kRecord], 6) << "save record version";
    const unsigned worldOne = bytes[kRecord + 6] | bytes[kRecord + 7] << 8;
    EXPECT_EQ(worldOne & 0x1000u, 0x1000u) << "the intro was started, and the profile saved after play";
    EXPECT_EQ(worldOne & 0x4000u, 0x4000u);
    EXPECT_EQ(bytes[kRecord + 764 + 4 * 3], 2) << "the language came from LANG: German";
}

// The installed game with the demo data: the maker's logo, the studio's logo, the title and
// the intro comic each show on the turned screen, none black and no two alike. Needs the data
// build (the demo_data target); without it the test is skipped.
TEST(QuorvaneGameLoop, TheInstalledGameShowsItsLogosTitleAndIntroComic) {
    const fs::path data = QUORVANE_DEMO_DATA;
    if (!fs::exists(data / "startup.par")) GTEST_SKIP() << "no demo data in " << data << ": build the demo_data target";
    handset_test::TempHandsetRoot root;
    const fs::path folder = fs::path(root.Path()) / "fs" / "Program Files" / "Quorvane";
    fs::create_directories(folder / "data");
    fs::copy_file(QUORVANE_PROGRAM, folder / "quorvane");
    fs::copy_file(QUORVANE_SHIPPED_INI, folder / "Quorvane.ini");
    fs::copy(data, folder / "data", fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    // The start-up page asks about sound ("Yes": landscape (400, 310), on the portrait display
    // (170, 400)); the logos follow it, four seconds each, then the title. A tap on the title
    // opens the main menu; its "Play", the hint's "OK", the tutorials and the first tutorial
    // start a fresh player's intro comic.
    const char* names[] = {"maker", "studio", "title", "intro"};
    const int times[] = {3000, 7000, 12000, 15600};
    const fs::path script = fs::path(root.Path()) / "script.txt";
    {
        std::ofstream out(script);
        out << "at 1000 tap 170 400\n";
        for (int i = 0; i < 4; ++i) {
            // Play, the tutorial hint's OK, the tutorials, the first tutorial.
            if (i == 3)
                out << "at 13000 tap 240 400\nat 13500 tap 380 400\nat 14000 tap 89 400\nat 14500 tap 430 400\n"
                       "at 15000 tap 430 400\n";
            out << "at " << times[i] << " screenshot " << (fs::path(root.Path()) / names[i]).string() << ".png\n";
        }
        out << "at 16000 close\n";
    }
    const int exitCode = handset_test::RunInstalled(folder / "quorvane",
                                    {"HANDSET_ROOT=" + root.Path(), "HANDSET_DISPLAY=headless",
                                     "HANDSET_CLOCK=manual:1", "HANDSET_SCRIPT=" + script.string(),
                                     "EGL_PLATFORM=surfaceless", "SDL_AUDIODRIVER=dummy"},
                                    60s);
    ASSERT_NE(exitCode, -1) << "closing did not end the game";
    EXPECT_EQ(exitCode, 0);
    std::vector<platform::screen::Image> shots;
    for (const char* name : names) {
        shots.push_back(ReadShot(fs::path(root.Path()) / (std::string(name) + ".png")));
        const platform::screen::Image& shot = shots.back();
        ASSERT_FALSE(shot.rgba.empty()) << "no screenshot of the " << name;
        EXPECT_EQ(shot.width, 480);
        EXPECT_EQ(shot.height, 800);
        long lit = 0;
        for (int y = 0; y < shot.height; ++y)
            for (int x = 0; x < shot.width; ++x)
                if (Brightness(shot, x, y) > 48) ++lit;
        EXPECT_GT(lit, static_cast<long>(shot.width) * shot.height / 10) << "the " << name << " shows little but black";
    }
    for (std::size_t a = 0; a < shots.size(); ++a)
        for (std::size_t b = a + 1; b < shots.size(); ++b) EXPECT_NE(shots[a].rgba, shots[b].rgba) << names[a] << " " << names[b];
}

// An X server of its own for one test, 24 bits deep like a desktop: no 5-6-5 window
// configuration exists there, so the game must draw off screen and show its frames.
class PrivateXServer {
public:
    PrivateXServer() {
        if (access("/usr/bin/Xvfb", X_OK) != 0) return;
        for (int attempt = 0; attempt < 20 && !server_; ++attempt) {
            const int number = 200 + static_cast<int>((getpid() + attempt * 37) % 700);
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            if (access(socket.c_str(), F_OK) == 0) continue;
            const std::string display = ":" + std::to_string(number);
            handset_test::Process server({.program = "/usr/bin/Xvfb",
                                          .arguments = {display, "-screen", "0", "1024x900x24", "-nolisten", "tcp"},
                                          .errors = "/dev/null"});
            for (int wait = 0; wait < 500 && access(socket.c_str(), F_OK) != 0; ++wait)
                std::this_thread::sleep_for(10ms);
            // A server that did not come up is killed as `server` goes.
            if (access(socket.c_str(), F_OK) == 0) {
                server_ = std::move(server);
                display_ = display;
            }
        }
    }
    // Asked to end rather than killed, the server removes its socket and lock file.
    ~PrivateXServer() {
        if (server_) server_->Terminate();
    }
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    const std::string& Display() const { return display_; }

private:
    std::optional<handset_test::Process> server_;
    std::string display_;
};

// The test build of the game on its GL device clears every frame to its colour; the X
// window must show that frame, as the screenshot does.
TEST(QuorvaneGameLoop, OnA24BitDesktopTheWindowShowsTheGamesFrame) {
    PrivateXServer server;
    if (server.Display().empty()) GTEST_SKIP() << "no X server could be started";
    handset_test::TempHandsetRoot root;
    const fs::path folder = fs::path(root.Path()) / "fs" / "Program Files" / "Quorvane";
    fs::create_directories(folder);
    fs::copy_file(QUORVANE_TEST_BUILD, folder / "quorvane");
    std::ofstream(folder / "Quorvane.ini") << "Render=OpenGLRender.OpenGLRenderDevice\nEngine=TestGame.GameEngine\n";
    // The game's first frame comes when its start-up is done, which takes its time on a
    // desktop: a screenshot every half second until one shows the frame.
    const fs::path script = fs::path(root.Path()) / "script.txt";
    {
        std::ofstream lines(script);
        for (int at = 500; at <= 20000; at += 500)
            lines << "at " << at << " screenshot " << root.Path() << "/frame" << at << ".png\n";
    }
    // The desktop's own libraries (D-Bus, reached through SDL) keep a buffer for the life of
    // the process; that is theirs, not the game's.
    const fs::path suppressions = fs::path(root.Path()) / "lsan.supp";
    std::ofstream(suppressions) << "leak:libdbus-1.so\n";

    // A game left running by a failed assertion is ended with the test.
    handset_test::Process game({.program = folder / "quorvane",
                                .environment = {"HANDSET_ROOT=" + root.Path(), "HANDSET_DISPLAY=sdl",
                                                "DISPLAY=" + server.Display(), "HANDSET_SCRIPT=" + script.string(),
                                                "SDL_AUDIODRIVER=dummy", "LSAN_OPTIONS=suppressions=" + suppressions.string()}});
    // The clear colour (0, 0.5, 1) in 5-6-5.
    const auto showsTheFrame = [](const platform::screen::Image& image) {
        if (image.rgba.empty()) return false;
        const std::uint8_t* pixel = image.PixelAt(0, 0);
        return pixel[0] <= 8 && std::abs(pixel[1] - 128) <= 6 && pixel[2] >= 247;
    };
    platform::screen::Image frame;
    for (int at = 500; at <= 20000 && !showsTheFrame(frame); at += 500) {
        const fs::path shot = fs::path(root.Path()) / ("frame" + std::to_string(at) + ".png");
        frame = {};
        for (auto deadline = std::chrono::steady_clock::now() + 10s;
             frame.rgba.empty() && std::chrono::steady_clock::now() < deadline;) {
            std::this_thread::sleep_for(20ms);
            if (fs::exists(shot)) frame = ReadShot(shot);
        }
    }
    ASSERT_TRUE(showsTheFrame(frame)) << "no screenshot shows the game's frame";
    ASSERT_EQ(frame.width, 480);
    ASSERT_EQ(frame.height, 800);

    // The window shows the display at its own size; it may lag a frame behind the screenshot.
    platform::screen::Image window;
    std::string error;
    long differences = -1;
    for (auto deadline = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < deadline;) {
        ASSERT_TRUE(integration_test::CaptureLargestWindow(server.Display(), window, error)) << error;
        ASSERT_EQ(window.width, 480);
        ASSERT_EQ(window.height, 800);
        differences = handset_test::CountDifferences(frame, window);
        if (differences == 0) break;
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_EQ(differences, 0) << "pixels of the X window that differ from the screenshot";

    HWND main = FindWindowW(u"KelWClass", u"Quorvane");
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(PostMessageW(main, WM_CLOSE, 0, 0));
    const handset_test::Finished finished = game.Wait(30s);
    EXPECT_FALSE(finished.timedOut);
    EXPECT_EQ(finished.exitCode, 0);
}

}  // namespace
