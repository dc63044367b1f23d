// The shipped game with its demo data, installed and started headless on the manual clock,
// played from start-up by a script of touches on the on-screen buttons: the logos pass, a tap
// leaves the title, the menus take their default commands and a fresh player goes through the
// intro and the first world's cut-scene (ended in its corner, after which BRAM walks out
// through the stage's portal) into the tutorial's three levels, which are played to their
// exits; the fourth tutorial is left through the pause menu for the main menu, where "Play",
// "World 1" and its first level are chosen, and that level is played to its exit, its results
// page left by its "next" button. Leaving each
// level saves the profile: "user.sav" then records the levels as done.
//
// The script's times follow the flow's own durations (four seconds a logo, two of level
// loading, one of leaving a level) on the manual clock, where they repeat exactly.
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

#include "platform/screen/PngFile.h"
#include "tests/integration/SaveRecord.h"
#include "tests/support/ReferenceImage.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

using handset_test::kLevelRecords;
using handset_test::kRecord;
using handset_test::kWorldFlags;

// What the player sees of world 1's first level, each a screenshot at a time after the
// level's inputs began: the level's opening with its title, play with the HUD, the
// notification banner of the spheres left, and the results page.
struct Shot {
    const char* name;
    int at;
};
constexpr Shot kLevelShots[] = {
    {"play_briefing", 63800}, {"play_hud", 67200}, {"play_banner", 71200}, {"play_results", 88200}};

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

// A touch held at a point of the game's screen from `from` to `to` (script milliseconds).
void Hold(std::ostringstream& script, int from, int to, int gameX, int gameY) {
    script << "at " << from << " down " << ScreenPoint(gameX, gameY) << "\n";
    script << "at " << to << " up " << ScreenPoint(gameX, gameY) << "\n";
}
void Tap(std::ostringstream& script, int at, int gameX, int gameY) { Hold(script, at, at + 100, gameX, gameY); }

// The on-screen buttons the levels need (the HUD's layout), and the places that end a
// cut-scene and leave the results page.
constexpr int kStepRight[] = {752, 240};
constexpr int kForwardRight[] = {656, 96};
constexpr int kTurnRight[] = {176, 360};
constexpr int kTurnLeft[] = {624, 360};
constexpr int kCorner[] = {740, 40};
constexpr int kNext[] = {630, 398};
// The HUD's menu button, and the pause menu's "Leave the level" and its question's "Yes".
constexpr int kMenu[] = {725, 455};
constexpr int kLeaveLevel[] = {400, 360};
constexpr int kYes[] = {400, 310};

// How much later than the title's tap play begins: the start-up page, the main menu, the
// world page and the tutorial list come first.
constexpr int kAfterMenus = 5500;
// The second tutorial's page comes this much later again: the first tutorial's walk and
// fall take that long in the real world.
constexpr int kTutorialTwo = kAfterMenus + 2800;
// World 1's timeline: the fourth tutorial is left through the pause menu, the main menu's
// "Play", "World 1" and its first level follow, and that level shows its title at
// kWorldOne + 63300; its inputs begin five seconds later.
constexpr int kWorldOne = kTutorialTwo + 7700;

TEST_F(InstalledGameWithData, AScriptPlaysFromStartUpThroughTheTutorialToTheExitOfTheFirstLevelOfWorldOne) {
    ASSERT_TRUE(Install()) << "no demo data at " << QUORVANE_BUILT_DATA << ": build the demo_data target first";
    std::ostringstream script;
    // The start-up page asks about sound; the logos follow, then the title waits for a tap,
    // the main menu's "Play" opens the worlds, and the first tutorial starts a fresh player's
    // intro comic, which passes by itself.
    script << "at 1000 tap 170 400\n";   // "Yes", with sound
    script << "at 13000 tap 240 400\n";
    script << "at 14500 tap 380 400\n";  // "Play": the world page with its tutorial hint
    script << "at 15500 tap 89 400\n";   // the hint's "OK"
    script << "at 16500 tap 430 400\n";  // the tutorials
    script << "at 17500 tap 430 400\n";  // the first tutorial
    // The world's cut-scene: taps in its top right corner end it (those that come early or
    // late meet screens that ignore a touch there).
    for (int at = kAfterMenus + 12500; at <= kAfterMenus + 24000; at += 500) Tap(script, at, kCorner[0], kCorner[1]);
    // Tutorial 1: one long touch on step-right passes the level's page, then runs right over
    // the sphere into the portal.
    Hold(script, kAfterMenus + 24500, kAfterMenus + 28500, kStepRight[0], kStepRight[1]);
    // Tutorial 2: a tap passes the page; two right turns, the second once the turn lock has
    // run out, make BRAM fall right onto the sphere and then up into the portal.
    Tap(script, kTutorialTwo + 32400, kCorner[0], kCorner[1]);
    Tap(script, kTutorialTwo + 33300, kTurnRight[0], kTurnRight[1]);
    Tap(script, kTutorialTwo + 35900, kTurnRight[0], kTurnRight[1]);
    // Tutorial 3: run right to the step, jump up and right over its corner, turn right to fall
    // along the top, and step right into the portal.
    Tap(script, kTutorialTwo + 42300, kCorner[0], kCorner[1]);
    Hold(script, kTutorialTwo + 42800, kTutorialTwo + 44800, kStepRight[0], kStepRight[1]);
    Tap(script, kTutorialTwo + 45000, kForwardRight[0], kForwardRight[1]);
    Tap(script, kTutorialTwo + 46800, kTurnRight[0], kTurnRight[1]);
    Hold(script, kTutorialTwo + 48700, kTutorialTwo + 50700, kStepRight[0], kStepRight[1]);
    // Tutorial 4 loads next: a tap passes its page, the HUD's menu button pauses, "Leave the
    // level" and "Yes" go back to the main menu, and "Play", "World 1" and its first level
    // start world 1.
    Tap(script, kTutorialTwo + 59000, kCorner[0], kCorner[1]);
    Tap(script, kTutorialTwo + 60500, kMenu[0], kMenu[1]);
    Tap(script, kTutorialTwo + 62000, kLeaveLevel[0], kLeaveLevel[1]);
    Tap(script, kTutorialTwo + 63500, kYes[0], kYes[1]);
    script << "at " << kTutorialTwo + 65500 << " tap 380 400\n";  // "Play"
    script << "at " << kTutorialTwo + 67000 << " tap 335 400\n";  // "World 1"
    script << "at " << kTutorialTwo + 68500 << " tap 430 400\n";  // its first level
    // World 1, level 1: run right to the first sphere, three right turns fall up into the
    // right corner and then left to the second sphere, two left turns fall right into the
    // portal.
    Hold(script, kWorldOne + 68300, kWorldOne + 71300, kStepRight[0], kStepRight[1]);
    for (int at : {kWorldOne + 72000, kWorldOne + 74300, kWorldOne + 76600}) Tap(script, at, kTurnRight[0], kTurnRight[1]);
    for (int at : {kWorldOne + 79600, kWorldOne + 81900}) Tap(script, at, kTurnLeft[0], kTurnLeft[1]);
    // The results page: the first touch ends its animation, the next one goes on.
    Tap(script, kWorldOne + 90000, kNext[0], kNext[1]);
    Tap(script, kWorldOne + 91500, kNext[0], kNext[1]);
    for (const Shot& shot : kLevelShots)
        script << "at " << kWorldOne + shot.at << " screenshot " << (fs::path(root_.Path()) / shot.name).string()
               << ".png\n";
    script << "at " << kWorldOne + 95000 << " close\n";

    const Played played = Play(script.str());
    ASSERT_NE(played.exitCode, -1) << "the game did not end\n" << played.err;
    EXPECT_EQ(played.exitCode, 0) << played.err;
    for (const char* level : {"levels/levelcut is loaded", "levels/level01 is loaded", "levels/level03 is loaded",
                              "levels/level09 is loaded"})
        EXPECT_NE(played.err.find(level), std::string::npos) << level << "\n" << played.err;

    ASSERT_EQ(played.save.size(), 3080u) << "the key and the 3072-byte record\n" << played.err;
    EXPECT_EQ(played.save[kRecord], 6) << "save record version";
    auto halfword = [&played](std::size_t at) {
        return static_cast<unsigned>(played.save[kRecord + at] | played.save[kRecord + at + 1] << 8);
    };
    EXPECT_EQ(halfword(kWorldFlags) & 0x2007u, 0x2007u) << "the three tutorial levels done, the cut-scene seen";
    EXPECT_EQ(halfword(kWorldFlags + 2) & 0x1u, 0x1u) << "the first level of world 1 is done";
    EXPECT_GE(played.save[kRecord + kLevelRecords], 1) << "with its medal (1 for none)";

    // Each screenshot shows something, differs from the others, and matches its reference.
    platform::screen::Image empty;
    std::vector<platform::screen::Image> shots;
    for (const Shot& shot : kLevelShots) {
        SCOPED_TRACE(shot.name);
        platform::screen::Image image;
        ASSERT_TRUE(platform::screen::ReadPng((fs::path(root_.Path()) / shot.name).string() + ".png", image));
        if (empty.rgba.empty()) {
            empty = image;
            for (std::size_t i = 0; i < empty.rgba.size(); ++i) empty.rgba[i] = i % 4 == 3 ? 255 : 0;
        }
        EXPECT_GT(handset_test::CountDifferences(image, empty), 20000) << "an empty frame";
        EXPECT_TRUE(handset_test::MatchesReference(image, QUORVANE_MENU_REFERENCES, shot.name));
        shots.push_back(image);
    }
    for (std::size_t i = 0; i < shots.size(); ++i)
        for (std::size_t j = i + 1; j < shots.size(); ++j)
            EXPECT_GT(handset_test::CountDifferences(shots[i], shots[j]), 500) << kLevelShots[i].name << " and " << kLevelShots[j].name;
}

// A player whose profile has the tilt controls on (option 1), and nothing else played yet.
void WriteTiltPlayerSave(const fs::path& file) {
    std::vector<unsigned char> save(3080, 0);
    auto word = [&save](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) save[at + i] = static_cast<unsigned char>(value >> (8 * i));
    };
    word(8, 1);           // the file's format
    word(kRecord, 6);     // the save record's version
    const std::int32_t options[] = {1, 1, 1, -1, 5, 5, 80, 0, 0, 0};  // the language is not chosen yet
    for (std::size_t i = 0; i < std::size(options); ++i) word(kRecord + 764 + 4 * i, static_cast<std::uint32_t>(options[i]));
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(save.data()), static_cast<std::streamsize>(save.size()));
}

// Tilting the handset plays the first tutorial: after a tap passes the level's page, the
// handset held tipped to the right steps BRAM right over the sphere into the portal, and
// the second tutorial loads. TV-out plugged in meanwhile caps the frames at 20 a second
// (video mode 2) and unplugged lifts the cap, which the game logs.
TEST_F(InstalledGameWithData, TiltingTheHandsetPlaysTheFirstTutorialAndTvOutCapsTheFrames) {
    ASSERT_TRUE(Install()) << "no demo data at " << QUORVANE_BUILT_DATA << ": build the demo_data target first";
    WriteTiltPlayerSave(ProgramFolder() / "save" / "user.sav");
    std::ostringstream script;
    script << "at 500 tvout on 2\n";
    script << "at 1000 tap 170 400\n";   // "Yes", with sound
    script << "at 13000 tap 240 400\n";
    script << "at 14500 tap 380 400\n";  // "Play": the world page with its tutorial hint
    script << "at 15500 tap 89 400\n";   // the hint's "OK"
    script << "at 16500 tap 430 400\n";  // the tutorials
    script << "at 17500 tap 430 400\n";  // the first tutorial
    for (int at = kAfterMenus + 12500; at <= kAfterMenus + 24000; at += 500) Tap(script, at, kCorner[0], kCorner[1]);
    Tap(script, kAfterMenus + 24500, kCorner[0], kCorner[1]);
    // 0.4 g to the right and level otherwise: the tilt controls' step to the right.
    script << "at " << kAfterMenus + 25000 << " tilt 0.4 0 0\n";
    script << "at " << kAfterMenus + 29000 << " tilt 0 0 0\n";
    script << "at " << kAfterMenus + 30000 << " tvout off\n";
    script << "at " << kAfterMenus + 33000 << " close\n";

    const Played played = Play(script.str());
    ASSERT_NE(played.exitCode, -1) << "the game did not end\n" << played.err;
    EXPECT_EQ(played.exitCode, 0) << played.err;
    EXPECT_NE(played.err.find("levels/level01 is loaded"), std::string::npos) << played.err;
    EXPECT_NE(played.err.find("levels/level02 is loaded"), std::string::npos) << "the first tutorial was not finished\n"
                                                                             << played.err;
    const std::size_t capped = played.err.find("TV-out on, video mode 2: 20 frames a second");
    const std::size_t lifted = played.err.find("TV-out off: no frame cap");
    EXPECT_NE(capped, std::string::npos) << played.err;
    EXPECT_NE(lifted, std::string::npos) << played.err;
    EXPECT_LT(capped, lifted);
}

}  // namespace
