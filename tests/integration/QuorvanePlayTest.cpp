// The shipped game with its demo data, installed and started headless on the manual clock,
// played from start-up by a script of touches and handset events: a player with the tilt
// controls plays the first tutorial by tipping the handset, with TV-out plugged in and out.
// (The whole path from start-up through the tutorial to world 1's first level is
// QuorvaneFirstGame's.)
//
// The script's times follow the flow's own durations (four seconds a logo, two of level
// loading, one of leaving a level) on the manual clock, where they repeat exactly.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tests/integration/SaveRecord.h"
#include "tests/support/Launch.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

using handset_test::kRecord;

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
        const handset_test::Finished finished = handset_test::Run(
            {.program = ProgramFolder() / "quorvane",
             .environment = {"HANDSET_DISPLAY=headless", "HANDSET_CLOCK=manual:1", "EGL_PLATFORM=surfaceless",
                             "SDL_AUDIODRIVER=dummy", "HANDSET_AUDIO=null", "LANG=en_GB.UTF-8",
                             "HANDSET_ROOT=" + root_.Path(), "HANDSET_SCRIPT=" + scriptPath.string()},
             .errors = errPath},
            240s);
        Played played;
        if (!finished.timedOut) played.exitCode = finished.exitCode;
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

// The place that ends a cut-scene and passes a level's page.
constexpr int kCorner[] = {740, 40};

// How much later than the title's tap play begins: the start-up page, the main menu, the
// world page and the tutorial list come first.
constexpr int kAfterMenus = 5500;

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
