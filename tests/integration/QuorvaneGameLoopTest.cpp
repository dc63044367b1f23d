// The game program as shipped: installed with its own configuration file and started
// headless, and in a desktop window on a 24-bit X server, the game object's loop runs until
// Esc, and a screenshot on the way shows its frame.
#include <gtest/gtest.h>
#include <png.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Runs `program` with `environment` added to this process's own (without its HANDSET_
// variables); the exit code, or -1 when it did not end within the time given.
int RunProgram(const std::string& program, const std::vector<std::string>& added, std::chrono::seconds timeout) {
    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string entry = *variable;
        if (entry.rfind("HANDSET_", 0) != 0 && entry.rfind("EGL_PLATFORM=", 0) != 0) environment.push_back(entry);
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

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, shot.c_str())) << "no screenshot of the frame";
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
    EXPECT_EQ(image.width, 480u);
    EXPECT_EQ(image.height, 800u);
    // Until the game draws its screens its frame is the device's clear: black.
    const std::size_t centre = (static_cast<std::size_t>(image.height / 2) * image.width + image.width / 2) * 3;
    EXPECT_EQ(pixels[centre] + pixels[centre + 1] + pixels[centre + 2], 0);
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

TEST(QuorvaneGameLoop, OnA24BitDesktopTheGameShowsItsFrameInAWindow) {
    PrivateXServer server;
    if (server.Display().empty()) GTEST_SKIP() << "no X server could be started";
    handset_test::TempHandsetRoot root;
    const fs::path folder = fs::path(root.Path()) / "fs" / "Program Files" / "Quorvane";
    fs::create_directories(folder);
    fs::copy_file(QUORVANE_PROGRAM, folder / "quorvane");
    fs::copy_file(QUORVANE_SHIPPED_INI, folder / "Quorvane.ini");
    const fs::path shot = fs::path(root.Path()) / "frame.png";
    const fs::path script = fs::path(root.Path()) / "script.txt";
    std::ofstream(script) << "at 300 screenshot " << shot.string() << "\nat 600 key down CONTROL\nat 610 key press Q\n";
    // The desktop's own libraries (D-Bus, reached through SDL) keep a buffer for the life of
    // the process; that is theirs, not the game's.
    const fs::path suppressions = fs::path(root.Path()) / "lsan.supp";
    std::ofstream(suppressions) << "leak:libdbus-1.so\n";

    const int exitCode = RunProgram((folder / "quorvane").string(),
                                    {"HANDSET_ROOT=" + root.Path(), "HANDSET_DISPLAY=sdl",
                                     "DISPLAY=" + server.Display(), "HANDSET_SCRIPT=" + script.string(),
                                     "SDL_AUDIODRIVER=dummy", "LSAN_OPTIONS=suppressions=" + suppressions.string()},
                                    30s);
    ASSERT_NE(exitCode, -1) << "Ctrl+Q did not end the game";
    EXPECT_EQ(exitCode, 0);

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, shot.c_str())) << "no screenshot of the frame";
    EXPECT_EQ(image.width, 480u);
    EXPECT_EQ(image.height, 800u);
    png_image_free(&image);
}

}  // namespace
