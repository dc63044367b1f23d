// The game program as shipped: installed with its own configuration file and started
// headless, the game object's loop runs until Esc, and a screenshot on the way shows its
// frame.
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

TEST(QuorvaneGameLoop, TheShippedGameRunsItsLoopShowsItsFrameAndEndsOnEscape) {
    handset_test::TempHandsetRoot root;
    const fs::path folder = fs::path(root.Path()) / "fs" / "Program Files" / "Quorvane";
    fs::create_directories(folder);
    fs::copy_file(QUORVANE_PROGRAM, folder / "quorvane");
    fs::copy_file(QUORVANE_SHIPPED_INI, folder / "Quorvane.ini");
    const fs::path shot = fs::path(root.Path()) / "frame.png";
    const fs::path script = fs::path(root.Path()) / "script.txt";
    std::ofstream(script) << "at 200 screenshot " << shot.string() << "\nat 400 key press ESCAPE\n";

    // On the manual clock time moves only as the loop pumps and sleeps, so the screenshot
    // at 200 ms is taken only when the game's frames keep going.
    const int exitCode = RunProgram((folder / "quorvane").string(),
                                    {"HANDSET_ROOT=" + root.Path(), "HANDSET_DISPLAY=headless",
                                     "HANDSET_CLOCK=manual:1", "HANDSET_SCRIPT=" + script.string(),
                                     "EGL_PLATFORM=surfaceless", "SDL_AUDIODRIVER=dummy"},
                                    30s);
    ASSERT_NE(exitCode, -1) << "Esc did not end the game";
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

}  // namespace
