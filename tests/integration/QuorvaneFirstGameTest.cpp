// A player's first game, played headless by one HANDSET_SCRIPT on the installed game from a
// fresh profile: the sound question, the title, the main menu, the worlds with the tutorial
// hint, the tutorials, the intro comic (skipped in its corner), the first world's cut-scene
// (ended in its corner), the first three tutorials from their briefings to their exits, the
// fourth left through the pause menu, then "Play", "World 1" and its first level, played to its
// exit, its award, its results page counting up and then showing the medal, and its "Menu"
// button back to the main menu. Every screen's shot matches its reference and differs from the
// one before; the game's log names every level it loaded, and the save file records the three
// tutorials, the cut-scene seen and the level with its medal.
//
// The taps of the second and third tutorials and of the level come from qvn_solve's scripts at
// test time: whatever way the solver takes through a level is the way the script plays. The
// solver steps the world at the game's fixed step of 33 ms, so the game runs on a manual clock
// of 33 ms a frame without refresh pacing: at other frame lengths the world's remainder steps
// move the character a little differently, and the solver's timings drift off its resting
// points.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/screen/PngFile.h"
#include "tests/integration/RunInstalled.h"
#include "tests/integration/SaveRecord.h"
#include "tests/support/Launch.h"
#include "tests/support/ReferenceImage.h"
#include "tests/support/TestSupport.h"
#include "tools/qvn_play/PlayScript.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

using handset_test::kLevelRecords;
using handset_test::kRecord;
using handset_test::kWorldFlags;
constexpr int kGoldMedal = 4;

// The script's time of the solver's frame 0: the level's title is up and play takes input.
constexpr int kLevelInputs = 56500;
constexpr int kFrameMilliseconds = 33;

// A point of the game's landscape screen (800 x 480) as the portrait display shows it.
std::string At(int gameX, int gameY) { return std::to_string(480 - gameY) + " " + std::to_string(gameX); }

// The HUD button that gives the solver's command bits (side jumps 1 and 2, up 4, turns 16
// and 32, with the default control layout), or false for bits no button gives.
bool ButtonFor(std::uint32_t bits, int& x, int& y) {
    struct Button {
        std::uint32_t bits;
        int x, y;
    };
    static constexpr Button kButtons[] = {
        {1, 48, 240}, {2, 752, 240}, {4, 400, 48}, {5, 144, 96}, {6, 656, 96}, {16, 624, 360}, {32, 176, 360},
    };
    for (const Button& button : kButtons)
        if (button.bits == bits) {
            x = button.x;
            y = button.y;
            return true;
        }
    return false;
}

// qvn_solve's way through the level, as held touches from `start` on.
::testing::AssertionResult SolverTouches(const fs::path& work, const std::string& level, int start, std::string& touches) {
    const fs::path play = work / (level + ".play");
    const fs::path err = work / "qvn_solve.err";
    const handset_test::Finished solved =
        handset_test::Run({.program = QVN_SOLVE, .arguments = {QUORVANE_DEMO_DATA, level, "--output", play.string()}, .errors = err},
                          120s);
    std::ifstream errors(err);
    const std::string said((std::istreambuf_iterator<char>(errors)), {});
    if (solved.timedOut || solved.exitCode != 0)
        return ::testing::AssertionFailure() << "qvn_solve " << level << " failed (" << solved.exitCode << ")\n" << said;
    std::ifstream in(play);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    std::vector<qvn_play::ScriptLine> lines;
    std::string error;
    if (!qvn_play::ParsePlayScript(text, lines, error)) return ::testing::AssertionFailure() << error << "\n" << text;
    std::ostringstream script;
    for (const qvn_play::ScriptLine& line : lines) {
        int x = 0;
        int y = 0;
        if (!ButtonFor(line.bits, x, y))
            return ::testing::AssertionFailure() << "no HUD button gives the commands " << line.bits << "\n" << text;
        script << "at " << start + line.first * kFrameMilliseconds << " down " << At(x, y) << "\n";
        script << "at " << start + (line.last + 1) * kFrameMilliseconds << " up " << At(x, y) << "\n";
    }
    touches = script.str();
    return ::testing::AssertionSuccess() << lines.size() << " commands";
}

// A screen of the first game: its shot's time and its reference. The screens the menu tests
// see alike share their references. Those from kTutorialTwo on are timed from the fourth
// tutorial's briefing, since the solver's ways through the second and third tutorials set
// when that comes.
struct Shot {
    int at;
    const char* name;
};
constexpr int kTutorialTwo = 43500;
constexpr Shot kShots[] = {
    {1000, "menu_startup"},          {12500, "first_title"},         {14000, "menu_main"},
    {15000, "first_worlds_hint"},    {17000, "first_tutorials"},     {19000, "first_intro"},
    {24000, "first_cutscene"},       {32500, "first_tutorial_briefing"}, {35000, "first_tutorial_play"},
    {37000, "first_tutorial_done"},  {46000, "walk_pause"},          {47500, "first_leave_question"},
    {49500, "menu_main"},            {51000, "first_worlds"},        {52500, "menu_levelselect"},
    {56000, "first_level_title"},    {60000, "first_level_play"},    {65500, "first_award"},
    {71000, "first_results_count"},  {78000, "first_results_medal"}, {81000, "menu_main"},
};
// The shots of world 1's first level: each shows something, and no two alike.
constexpr int kFirstLevelShot = 15;
constexpr int kLastLevelShot = 19;

// After a tutorial's last input, the time by which BRAM has reached the portal and the next
// tutorial's briefing waits for its tap; its touches begin a second after that tap, BRAM
// standing still at the start.
constexpr int kToNextBriefing = 11000;
constexpr int kBriefingToInputs = 1000;

// The end of a script of touches: the time of its last line.
int EndOf(const std::string& touches) {
    int end = 0;
    std::istringstream lines(touches);
    for (std::string word, rest; lines >> word >> end && std::getline(lines, rest);) {
    }
    return end;
}

TEST(QuorvaneFirstGame, AScriptPlaysFromTheFirstScreenThroughTheTutorialAndWorldOnesFirstLevelBackToTheMenu) {
    ASSERT_TRUE(fs::is_directory(fs::path(QUORVANE_DATA) / "data"))
        << QUORVANE_DATA << " has no demo data: build the demo_data target first";
    handset_test::TempHandsetRoot root;
    const fs::path work = root.Path();
    const fs::path folder = handset_test::InstallGame(work);

    // The second and third tutorials and world 1's first level, each the solver's way.
    std::string tutorialTwo;
    ASSERT_TRUE(SolverTouches(work, "level02", kTutorialTwo + kBriefingToInputs, tutorialTwo));
    const int tutorialThree = EndOf(tutorialTwo) + kToNextBriefing;
    std::string tutorialThreeTouches;
    ASSERT_TRUE(SolverTouches(work, "level03", tutorialThree + kBriefingToInputs, tutorialThreeTouches));
    const int tutorialFour = EndOf(tutorialThreeTouches) + kToNextBriefing;
    // From the fourth tutorial's briefing on, the script runs as it would from the second's.
    const int later = tutorialFour - kTutorialTwo;
    std::string levelTouches;
    ASSERT_TRUE(SolverTouches(work, "level09", kLevelInputs + later, levelTouches));

    const auto shotTime = [later](const Shot& shot) { return shot.at < kTutorialTwo ? shot.at : shot.at + later; };
    std::ostringstream script;
    for (const Shot& shot : kShots)
        script << "at " << shotTime(shot) << " screenshot " << (work / (std::to_string(shot.at) + ".png")).string() << "\n";
    script << "at 1000 tap " << At(400, 310) << "\n"     // "Yes", with sound: the logos, then the title
           << "at 13000 tap " << At(400, 240) << "\n"    // the title: the main menu
           << "at 14500 tap " << At(400, 100) << "\n"    // "Play": the worlds with the tutorial hint
           << "at 15500 tap " << At(400, 391) << "\n"    // the hint's "OK"
           << "at 16500 tap " << At(400, 50) << "\n"     // the tutorials
           << "at 17500 tap " << At(400, 50) << "\n"     // the first one: a fresh player's intro comic
           << "at 20000 tap " << At(740, 40) << "\n";    // its skip corner: the first world's cut-scene
    for (int at = 25500; at <= 27000; at += 500) script << "at " << at << " tap " << At(740, 40) << "\n";  // ended
    script << "at 33000 tap " << At(740, 40) << "\n"     // the first tutorial's briefing passes
           << "at 33500 down " << At(752, 240) << "\n"   // run right over the sphere into the portal
           << "at 37500 up " << At(752, 240) << "\n"
           << "at " << kTutorialTwo << " tap " << At(740, 40) << "\n"  // the second tutorial's briefing passes
           << tutorialTwo                                             // played to its exit
           << "at " << tutorialThree << " tap " << At(740, 40) << "\n"  // the third's briefing passes
           << tutorialThreeTouches                                      // played to its exit
           << "at " << tutorialFour << " tap " << At(740, 40) << "\n"   // the fourth's briefing passes
           << "at " << 45000 + later << " tap " << At(725, 455) << "\n"  // the HUD's menu button: the pause menu
           << "at " << 46500 + later << " tap " << At(400, 360) << "\n"  // "Leave the level"
           << "at " << 48000 + later << " tap " << At(400, 310) << "\n"  // its question's "Yes": the main menu
           << "at " << 50000 + later << " tap " << At(400, 100) << "\n"  // "Play"
           << "at " << 51500 + later << " tap " << At(400, 145) << "\n"  // "World 1"
           << "at " << 53000 + later << " tap " << At(400, 50) << "\n"   // its first level
           << levelTouches                                               // played to the exit: award, results
           << "at " << 79000 + later << " tap " << At(170, 398) << "\n"  // the results page's "Menu"
           << "at " << 82000 + later << " close\n";
    std::ofstream(work / "script.txt") << script.str();
    const fs::path errPath = work / "game.err";
    const handset_test::Finished played = handset_test::Run(
        {.program = folder / "quorvane",
         .environment = {"HANDSET_ROOT=" + root.Path(), "HANDSET_DISPLAY=headless", "HANDSET_CLOCK=manual:33",
                         "HANDSET_REFRESH=0", "HANDSET_SCRIPT=" + (work / "script.txt").string(),
                         "EGL_PLATFORM=surfaceless", "SDL_AUDIODRIVER=dummy", "HANDSET_AUDIO=null", "LANG=en_GB.UTF-8"},
         .errors = errPath},
        240s);
    std::ifstream errors(errPath);
    const std::string err((std::istreambuf_iterator<char>(errors)), {});
    ASSERT_FALSE(played.timedOut) << "the game did not end\n" << script.str() << err;
    EXPECT_EQ(played.exitCode, 0) << err;
    for (const char* level : {"levels/levelcut is loaded", "levels/level01 is loaded", "levels/level02 is loaded",
                              "levels/level03 is loaded", "levels/level04 is loaded", "levels/level09 is loaded"})
        EXPECT_NE(err.find(level), std::string::npos) << level << "\n" << err;

    std::ifstream saved(folder / "save" / "user.sav", std::ios::binary);
    const std::vector<unsigned char> save((std::istreambuf_iterator<char>(saved)), {});
    ASSERT_EQ(save.size(), 3080u) << "the key and the 3072-byte record";
    EXPECT_EQ(save[kRecord], 6) << "save record version";
    const auto halfword = [&save](std::size_t at) { return save[kRecord + at] | save[kRecord + at + 1] << 8; };
    EXPECT_EQ(halfword(kWorldFlags) & 0x2007, 0x2007) << "the first three tutorials are done, the cut-scene seen";
    EXPECT_EQ(halfword(kWorldFlags) & 0x8, 0) << "the fourth was left";
    EXPECT_EQ(halfword(kWorldFlags + 2) & 1, 1) << "world 1's first level is done";
    EXPECT_EQ(save[kRecord + kLevelRecords], kGoldMedal) << "the solver's way earns gold";

    std::vector<platform::screen::Image> images;
    for (const Shot& shot : kShots) {
        SCOPED_TRACE(shot.name + (" at " + std::to_string(shotTime(shot))));
        platform::screen::Image image;
        ASSERT_TRUE(platform::screen::ReadPng((work / (std::to_string(shot.at) + ".png")).string(), image));
        EXPECT_TRUE(handset_test::MatchesReference(image, QUORVANE_MENU_REFERENCES, shot.name));
        if (!images.empty()) {
            EXPECT_GT(handset_test::CountDifferences(images.back(), image), 2000) << (&shot)[-1].name << " and " << shot.name;
        }
        images.push_back(image);
    }
    platform::screen::Image black = images.front();
    for (std::size_t i = 0; i < black.rgba.size(); ++i) black.rgba[i] = i % 4 == 3 ? 255 : 0;
    for (int i = kFirstLevelShot; i <= kLastLevelShot; ++i) {
        EXPECT_GT(handset_test::CountDifferences(images[i], black), 20000) << kShots[i].name << " is an empty frame";
        for (int j = i + 1; j <= kLastLevelShot; ++j)
            EXPECT_GT(handset_test::CountDifferences(images[i], images[j]), 500) << kShots[i].name << " and " << kShots[j].name;
    }
}

}  // namespace
