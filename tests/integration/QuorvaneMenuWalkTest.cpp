// The installed game walked headless through every page a player reaches from the menus:
// start-up, main, settings with its sound, controls and language pages (another language
// chosen there), the awards with one award chosen, the credits, the how-to-play book, the
// player's own levels (one installed, its name beyond ASCII), the worlds and a world's
// levels, and the pause menu during play and back to the game. Each page's screenshot shows its texts,
// matches its reference, and differs from every other one.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/screen/PngFile.h"
#include "tests/support/ReferenceImage.h"
#include "tests/integration/RunInstalled.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// One step of the walk: at `at` ms a tap at a point of the landscape page (turned onto the
// portrait display: the screen's (480 - y, x)), a key, or a screenshot named `shot`.
struct Step {
    int at;
    const char* what;  // "tap", "key" or "shot"
    int x = 0;
    int y = 0;
    const char* name = nullptr;  // the key, or the screenshot
};

std::string Script(const std::vector<Step>& steps, const fs::path& shots) {
    std::ostringstream script;
    for (const Step& step : steps) {
        const std::string what = step.what;
        script << "at " << step.at << " ";
        if (what == "tap") {
            script << "tap " << 480 - step.y << " " << step.x << "\n";
        } else if (what == "key") {
            script << "key press " << step.name << "\n";
        } else if (what == "down" || what == "up") {
            script << what << " " << 480 - step.y << " " << step.x << "\n";
        } else {
            script << "screenshot " << (shots / (std::string(step.name) + ".png")).string() << "\n";
        }
    }
    return script.str();
}

TEST(QuorvaneMenuWalk, AScriptVisitsEveryPageAndEachShowsItsOwnTexts) {
    ASSERT_TRUE(fs::is_directory(fs::path(QUORVANE_DATA) / "data"))
        << QUORVANE_DATA << " has no demo data: build the demo_data target first";
    handset_test::TempHandsetRoot root;
    const fs::path folder = handset_test::InstallGame(root.Path(), handset_test::kMenuTestIni);
    // One level of the player's own, with a name beyond ASCII.
    fs::create_directories(folder / "data" / "customlevels");
    fs::copy_file(fs::path(QUORVANE_LEVEL_SOURCES) / "level09.qvn",
                  folder / "data" / "customlevels" / u8"Café Garden.qvn");

    const std::vector<Step> walk = {
        {1500, "shot", 0, 0, "startup"},
        {2000, "tap", 400, 310},   // "Yes", with sound: the logos, then the title
        {12000, "tap", 400, 240},  // the title: the main menu
        {14000, "shot", 0, 0, "main"},
        {14500, "tap", 400, 260},  // Settings
        {16000, "shot", 0, 0, "settings"},
        {16500, "tap", 270, 130},  // Sound
        {18000, "tap", 585, 95},   // music one step down
        {19000, "shot", 0, 0, "sound"},
        {19500, "key", 0, 0, "ESCAPE"},  // back to the settings
        {21000, "tap", 270, 210},        // Controls
        {22500, "tap", 714, 200},        // opacity one step down: 80 becomes 60
        {23500, "shot", 0, 0, "controls"},
        {24000, "key", 0, 0, "ESCAPE"},
        {25500, "tap", 270, 290},  // Language
        {27000, "shot", 0, 0, "language"},
        {27500, "tap", 705, 100},  // the next language
        {28500, "shot", 0, 0, "language_next"},
        {29000, "key", 0, 0, "ESCAPE"},
        {30500, "tap", 590, 130},  // Awards
        {32000, "shot", 0, 0, "awards"},
        {32500, "tap", 352, 72},  // the first award's badge: its name and description
        {33500, "shot", 0, 0, "awards_chosen"},
        {34000, "key", 0, 0, "ESCAPE"},
        {35500, "tap", 590, 210},  // Credits: the studio's mark first
        {38000, "shot", 0, 0, "credits"},
        {42500, "shot", 0, 0, "credits_title"},  // the second entry with its heading
        {43000, "tap", 700, 430},                // Continue: the main menu
        {44500, "tap", 400, 340},                // How to play
        {46000, "shot", 0, 0, "howtoplay"},
        {46500, "tap", 555, 430},  // Next page
        {48000, "shot", 0, 0, "howtoplay_next"},
        {48500, "key", 0, 0, "ESCAPE"},  // back to the main menu
        {50000, "tap", 400, 180},        // Own levels: the one installed
        {51500, "shot", 0, 0, "customlevels"},
        {52000, "key", 0, 0, "ESCAPE"},
        {53500, "tap", 400, 100},  // Play: the worlds, with the tutorial hint
        {54500, "tap", 400, 391},  // OK: the hint closes
        {56000, "shot", 0, 0, "worldselect"},
        {56500, "tap", 400, 145},  // World 1: its levels
        {58000, "shot", 0, 0, "levelselect"},
        {58500, "tap", 400, 50},  // its first level: the game starts
        {60000, "tap", 750, 50},  // the comic's skip corner
        {66000, "shot", 0, 0, "playing"},  // the world's cut-scene
        {66500, "key", 0, 0, "ESCAPE"},     // the pause menu
        {68000, "shot", 0, 0, "pause"},
        {68500, "tap", 400, 120},  // Resume: back to the game
        {70000, "shot", 0, 0, "resumed"},
    };
    const fs::path shots = fs::path(root.Path());
    std::ofstream(shots / "script.txt") << Script(walk, shots) << "at 71000 close\n";
    const int exitCode = handset_test::RunInstalled(folder / "quorvane",
                                      {"HANDSET_ROOT=" + root.Path(), "HANDSET_DISPLAY=headless",
                                       "HANDSET_CLOCK=manual:1", "HANDSET_SCRIPT=" + (shots / "script.txt").string(),
                                       "EGL_PLATFORM=surfaceless", "SDL_AUDIODRIVER=dummy", "LANG=en_GB.UTF-8"},
                                      240s);
    ASSERT_NE(exitCode, -1) << "closing did not end the game";
    EXPECT_EQ(exitCode, 0);

    std::vector<std::string> names;
    std::vector<platform::screen::Image> images;
    for (const Step& step : walk) {
        if (std::string(step.what) != "shot") continue;
        SCOPED_TRACE(step.name);
        platform::screen::Image image;
        ASSERT_TRUE(platform::screen::ReadPng((shots / (std::string(step.name) + ".png")).string(), image));
        EXPECT_TRUE(handset_test::MatchesReference(image, QUORVANE_MENU_REFERENCES, std::string("walk_") + step.name));
        names.push_back(step.name);
        images.push_back(image);
    }
    // No two pages alike; the language page differs from itself only in the language's name.
    for (std::size_t i = 0; i < images.size(); ++i)
        for (std::size_t j = i + 1; j < images.size(); ++j) {
            const bool small = names[j] == "language_next";
            EXPECT_GT(handset_test::CountDifferences(images[i], images[j]), small ? 100 : 500)
                << names[i] << " and " << names[j];
        }
}

}  // namespace
