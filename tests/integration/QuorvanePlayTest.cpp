// The shipped game with its demo data, installed and started headless on the manual clock,
// played from start-up by a script: the logos pass, a tap leaves the title, the menus take
// their default commands and a fresh player goes through the intro and the first world's
// cut-scene (skipped in its corner, after which BRAM walks out through the stage's portal)
// into the first level, where the held step-right button walks BRAM over the sphere into the
// exit portal. Leaving the level saves the profile: "user.sav" then records the level as done.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Where the save record starts in "user.sav": after the file's key and header.
constexpr std::size_t kRecord = 8 + 52;
// The record's progress halfwords of worlds 0-9, then the 45 level records of 16 bytes.
constexpr std::size_t kWorldFlags = 4;
constexpr std::size_t kLevelRecords = 24;

// A point of the game's landscape screen (800 x 480) as the user sees the portrait display
// (480 x 800) that shows it turned a quarter.
std::string ScreenPoint(int gameX, int gameY) {
    return std::to_string(480 - gameY) + " " + std::to_string(gameX);
}

struct Played {
    int exitCode = -1;  // -1 when the game did not end in time
    std::string err;
    std::vector<unsigned char> save;
};

class InstalledGameWithData : public ::testing::Test {
protected:
    fs::path ProgramFolder() const { return fs::path(root_.Path()) / "fs" / "Program Files" / "Quorvane"; }

    // The program and the demo data as the run command installs them.
    bool Install() {
        if (!fs::is_directory(QUORVANE_BUILT_DATA)) return false;
        fs::create_directories(ProgramFolder());
        fs::copy(QUORVANE_BUILT_DATA, ProgramFolder(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        fs::copy_file(QUORVANE_PROGRAM, ProgramFolder() / "quorvane", fs::copy_options::overwrite_existing);
        return true;
    }

    Played Play(const std::string& script) {
        const fs::path scriptPath = fs::path(root_.Path()) / "script.txt";
        std::ofstream(scriptPath) << script;
        const fs::path errPath = fs::path(root_.Path()) / "game.err";
        std::vector<std::string> environment;
        for (char** variable = environ; *variable != nullptr; ++variable) {
            const std::string entry = *variable;
            if (entry.rfind("HANDSET_", 0) == 0 || entry.rfind("EGL_PLATFORM=", 0) == 0 || entry.rfind("LANG=", 0) == 0)
                continue;
            environment.push_back(entry);
        }
        for (const char* added : {"HANDSET_DISPLAY=headless", "HANDSET_CLOCK=manual:1", "EGL_PLATFORM=surfaceless",
                                  "SDL_AUDIODRIVER=dummy", "HANDSET_AUDIO=null", "LANG=en_GB.UTF-8"})
            environment.emplace_back(added);
        environment.push_back("HANDSET_ROOT=" + root_.Path());
        environment.push_back("HANDSET_SCRIPT=" + scriptPath.string());
        std::vector<char*> envp;
        for (std::string& entry : environment) envp.push_back(entry.data());
        envp.push_back(nullptr);
        const std::string program = (ProgramFolder() / "quorvane").string();
        const pid_t pid = fork();
        if (pid == 0) {
            if (!freopen(errPath.c_str(), "w", stderr)) _exit(126);
            char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
            execve(program.c_str(), argv, envp.data());
            _exit(127);
        }
        Played played;
        const auto deadline = std::chrono::steady_clock::now() + 240s;
        int status = 0;
        pid_t done = 0;
        while ((done = waitpid(pid, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(20ms);
        if (done == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
        } else {
            played.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::ifstream err(errPath);
        played.err.assign(std::istreambuf_iterator<char>(err), {});
        std::ifstream save(ProgramFolder() / "save" / "user.sav", std::ios::binary);
        played.save.assign(std::istreambuf_iterator<char>(save), {});
        return played;
    }

    handset_test::TempHandsetRoot root_;
};

TEST_F(InstalledGameWithData, AScriptPlaysTheFirstLevelFromStartUpToItsExitAndTheSaveRecordsIt) {
    ASSERT_TRUE(Install()) << "no demo data at " << QUORVANE_BUILT_DATA << ": run scripts/build_data.sh first";
    std::ostringstream script;
    // The title waits for a tap; the intro comic passes by itself.
    script << "at 12000 tap 240 400\n";
    // The world's cut-scene: taps in its top right corner end it (any that come early or late
    // meet a screen that ignores them there).
    for (int at = 17000; at <= 23000; at += 500) script << "at " << at << " tap " << ScreenPoint(740, 40) << "\n";
    // The first level: one long touch on the step-right button passes the level's page and
    // then walks to the exit.
    script << "at 24000 down " << ScreenPoint(200, 384) << "\n";
    script << "at 40000 up " << ScreenPoint(200, 384) << "\n";
    script << "at 42000 close\n";
    const Played played = Play(script.str());
    ASSERT_NE(played.exitCode, -1) << "the game did not end\n" << played.err;
    EXPECT_EQ(played.exitCode, 0) << played.err;
    EXPECT_NE(played.err.find("levels/levelcut"), std::string::npos) << played.err;
    EXPECT_NE(played.err.find("levels/level01"), std::string::npos) << played.err;

    ASSERT_EQ(played.save.size(), 3080u) << "the key and the 3072-byte record\n" << played.err;
    EXPECT_EQ(played.save[kRecord], 6) << "save record version";
    const unsigned tutorial = played.save[kRecord + kWorldFlags] | played.save[kRecord + kWorldFlags + 1] << 8;
    EXPECT_EQ(tutorial & 0x1u, 0x1u) << "the first level is done";
    EXPECT_EQ(tutorial & 0x2000u, 0x2000u) << "the first world's cut-scene was seen";
    (void)kLevelRecords;
}

}  // namespace
