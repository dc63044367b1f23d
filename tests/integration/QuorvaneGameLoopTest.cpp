// The game program as shipped, installed with its own configuration file and started
// headless: the game object's loop runs until Esc, and a screenshot on the way shows its
// frame. And the game's frames in a desktop window on a 24-bit X server: what the X server
// shows in the window is the frame the screenshot holds.
#include <gtest/gtest.h>
#include <png.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/user/Window.h"
#include "tests/integration/XWindowCapture.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Starts `program` with `added` joined to this process's environment (without its HANDSET_
// variables, and without those that `added` gives again).
pid_t StartProgram(const std::string& program, const std::vector<std::string>& added) {
    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string entry = *variable;
        // A variable given in `added` replaces this process's own.
        const std::string name = entry.substr(0, entry.find('=') + 1);
        const bool replaced = std::any_of(added.begin(), added.end(),
                                          [&name](const std::string& each) { return each.rfind(name, 0) == 0; });
        if (entry.rfind("HANDSET_", 0) != 0 && entry.rfind("EGL_PLATFORM=", 0) != 0 && !replaced)
            environment.push_back(entry);
    }
    environment.insert(environment.end(), added.begin(), added.end());
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
        execve(program.c_str(), argv, envp.data());
        _exit(127);
    }
    return pid;
}

// The program's exit code, or -1 when it did not end within the time given (it is then
// killed).
int WaitProgram(pid_t pid, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    pid_t done = 0;
    while ((done = waitpid(pid, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    if (done == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int RunProgram(const std::string& program, const std::vector<std::string>& added, std::chrono::seconds timeout) {
    return WaitProgram(StartProgram(program, added), timeout);
}

// A PNG file's pixels as RGB rows, top first; empty when the file cannot be read whole.
std::vector<png_byte> ReadPngRgb(const fs::path& path, png_uint_32& width, png_uint_32& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    width = image.width;
    height = image.height;
    return pixels;
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
    const int exitCode = RunProgram((folder / "quorvane").string(),
                                    {"HANDSET_ROOT=" + root.Path(), "HANDSET_DISPLAY=headless",
                                     "HANDSET_CLOCK=manual:1", "HANDSET_SCRIPT=" + script.string(),
                                     "EGL_PLATFORM=surfaceless", "SDL_AUDIODRIVER=dummy"},
                                    30s);
    ASSERT_NE(exitCode, -1) << "Ctrl+Q did not end the game";
    EXPECT_EQ(exitCode, 0);

    png_uint_32 width = 0;
    png_uint_32 height = 0;
    const std::vector<png_byte> pixels = ReadPngRgb(shot, width, height);
    ASSERT_FALSE(pixels.empty()) << "no screenshot of the frame";
    EXPECT_EQ(width, 480u);
    EXPECT_EQ(height, 800u);
    // Until the game draws its screens its frame is the device's clear: black.
    const std::size_t centre = (static_cast<std::size_t>(height / 2) * width + width / 2) * 3;
    EXPECT_EQ(pixels[centre] + pixels[centre + 1] + pixels[centre + 2], 0);
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

    const int exitCode = RunProgram((folder / "quorvane").string(),
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
    const int exitCode = RunProgram((folder / "quorvane").string(),
                                    {"HANDSET_ROOT=" + root.Path(), "HANDSET_DISPLAY=headless",
                                     "HANDSET_CLOCK=manual:1", "HANDSET_SCRIPT=" + script.string(),
                                     "EGL_PLATFORM=surfaceless", "SDL_AUDIODRIVER=dummy"},
                                    60s);
    ASSERT_NE(exitCode, -1) << "closing did not end the game";
    EXPECT_EQ(exitCode, 0);
    std::vector<std::vector<png_byte>> shots;
    for (const char* name : names) {
        png_uint_32 width = 0;
        png_uint_32 height = 0;
        shots.push_back(ReadPngRgb(fs::path(root.Path()) / (std::string(name) + ".png"), width, height));
        ASSERT_FALSE(shots.back().empty()) << "no screenshot of the " << name;
        EXPECT_EQ(width, 480u);
        EXPECT_EQ(height, 800u);
        std::size_t lit = 0;
        for (std::size_t i = 0; i + 2 < shots.back().size(); i += 3)
            if (shots.back()[i] + shots.back()[i + 1] + shots.back()[i + 2] > 48) ++lit;
        EXPECT_GT(lit, shots.back().size() / 3 / 10) << "the " << name << " shows little but black";
    }
    for (std::size_t a = 0; a < shots.size(); ++a)
        for (std::size_t b = a + 1; b < shots.size(); ++b) EXPECT_NE(shots[a], shots[b]) << names[a] << " " << names[b];
}

// An X server of its own for one test, 24 bits deep like a desktop: no 5-6-5 window
// configuration exists there, so the game must draw off screen and show its frames.
class PrivateXServer {
public:
    PrivateXServer() {
        if (access("/usr/bin/Xvfb", X_OK) != 0) return;
        for (int attempt = 0; attempt < 20 && pid_ <= 0; ++attempt) {
            const int number = 200 + static_cast<int>((getpid() + attempt * 37) % 700);
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            if (access(socket.c_str(), F_OK) == 0) continue;
            const std::string display = ":" + std::to_string(number);
            const pid_t pid = fork();
            if (pid == 0) {
                if (!freopen("/dev/null", "w", stderr)) _exit(126);
                execl("/usr/bin/Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1024x900x24", "-nolisten", "tcp",
                      static_cast<char*>(nullptr));
                _exit(127);
            }
            for (int wait = 0; wait < 500 && access(socket.c_str(), F_OK) != 0; ++wait)
                std::this_thread::sleep_for(10ms);
            if (access(socket.c_str(), F_OK) == 0) {
                pid_ = pid;
                display_ = display;
            } else {
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
            }
        }
    }
    ~PrivateXServer() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    const std::string& Display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

// The screenshot and what the X server shows in the window differ by more than the
// tolerance of 5-6-5 pixels at this many pixels.
long CountDifferences(const std::vector<png_byte>& shot, const integration_test::WindowPixels& window) {
    long differences = 0;
    constexpr int kTolerance[3] = {8, 4, 8};
    for (int y = 0; y < window.height; ++y) {
        for (int x = 0; x < window.width; ++x) {
            const png_byte* expected = shot.data() + (static_cast<std::size_t>(y) * window.width + x) * 3;
            const std::uint8_t* shown = window.PixelAt(x, y);
            for (int c = 0; c < 3; ++c) {
                if (std::abs(expected[c] - shown[c]) > kTolerance[c]) {
                    ++differences;
                    break;
                }
            }
        }
    }
    return differences;
}

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

    const pid_t game = StartProgram((folder / "quorvane").string(),
                                    {"HANDSET_ROOT=" + root.Path(), "HANDSET_DISPLAY=sdl",
                                     "DISPLAY=" + server.Display(), "HANDSET_SCRIPT=" + script.string(),
                                     "SDL_AUDIODRIVER=dummy", "LSAN_OPTIONS=suppressions=" + suppressions.string()});
    // A game left running by a failed assertion is ended with the test.
    struct Reaper {
        pid_t pid;
        ~Reaper() {
            if (pid <= 0) return;
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    } reaper{game};
    // The clear colour (0, 0.5, 1) in 5-6-5.
    const auto showsTheFrame = [](const std::vector<png_byte>& rgb) {
        return !rgb.empty() && rgb[0] <= 8 && std::abs(rgb[1] - 128) <= 6 && rgb[2] >= 247;
    };
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    std::vector<png_byte> pixels;
    for (int at = 500; at <= 20000 && !showsTheFrame(pixels); at += 500) {
        const fs::path shot = fs::path(root.Path()) / ("frame" + std::to_string(at) + ".png");
        pixels.clear();
        for (auto deadline = std::chrono::steady_clock::now() + 10s;
             pixels.empty() && std::chrono::steady_clock::now() < deadline;) {
            std::this_thread::sleep_for(20ms);
            if (fs::exists(shot)) pixels = ReadPngRgb(shot, width, height);
        }
    }
    ASSERT_TRUE(showsTheFrame(pixels)) << "no screenshot shows the game's frame";
    ASSERT_EQ(width, 480u);
    ASSERT_EQ(height, 800u);

    // The window shows the display at its own size; it may lag a frame behind the screenshot.
    integration_test::WindowPixels window;
    std::string error;
    long differences = -1;
    for (auto deadline = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < deadline;) {
        ASSERT_TRUE(integration_test::CaptureLargestWindow(server.Display(), window, error)) << error;
        ASSERT_EQ(window.width, 480);
        ASSERT_EQ(window.height, 800);
        differences = CountDifferences(pixels, window);
        if (differences == 0) break;
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_EQ(differences, 0) << "pixels of the X window that differ from the screenshot";

    HWND main = FindWindowW(u"KelWClass", u"Quorvane");
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(PostMessageW(main, WM_CLOSE, 0, 0));
    reaper.pid = -1;
    EXPECT_EQ(WaitProgram(game, 30s), 0);
}

}  // namespace
