// The shipped game with its demo data, installed and started headless: it opens on the
// start-up page with its sound question, the answer "Yes" leads through the logos and the
// title to the main menu (the back area there asks before leaving the game),
// and taps and keys played by HANDSET_SCRIPT move between the pages, down the world and level
// lists into play. Each page's screenshot matches its reference and differs from the others.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
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

TEST(QuorvaneMenus, TapsAndKeysMoveBetweenThePagesAndEachPageShowsItsTexts) {
    ASSERT_TRUE(fs::is_directory(fs::path(QUORVANE_DATA) / "data"))
        << QUORVANE_DATA << " has no demo data: build the demo_data target first";
    handset_test::TempHandsetRoot root;
    const fs::path folder = handset_test::InstallGame(root.Path(), handset_test::kMenuTestIni);

    // The landscape pages are turned onto the portrait display: a page's point (x, y) is
    // the screen's (480 - y, x).
    const fs::path shots = fs::path(root.Path());
    const char* const pages[] = {"startup",     "main",          "settings",      "main_again",  "howtoplay",
                                 "main_by_key", "main_question", "main_after_no", "worldselect", "levelselect"};
    std::ofstream(shots / "script.txt")
        << "at 1500 screenshot " << (shots / "startup.png").string() << "\n"
        << "at 2000 tap 170 400\n"     // Yes, with sound: logos, then the title
        << "at 12000 tap 240 400\n"    // the title: the main menu
        << "at 14000 screenshot " << (shots / "main.png").string() << "\n"
        << "at 14500 tap 220 400\n"    // Settings
        << "at 16000 screenshot " << (shots / "settings.png").string() << "\n"
        << "at 16500 tap 50 705\n"     // Back
        << "at 18000 screenshot " << (shots / "main_again.png").string() << "\n"
        << "at 18500 tap 140 400\n"    // How to play
        << "at 20000 screenshot " << (shots / "howtoplay.png").string() << "\n"
        << "at 20500 key press ESCAPE\n"  // the back key
        << "at 22000 screenshot " << (shots / "main_by_key.png").string() << "\n"
        << "at 22500 down 60 50\n"     // a touch held on the back area: the exit question
        << "at 22600 up 60 50\n"
        << "at 23500 screenshot " << (shots / "main_question.png").string() << "\n"
        << "at 24000 tap 89 400\n"     // No: back to the menu
        << "at 25000 screenshot " << (shots / "main_after_no.png").string() << "\n"
        << "at 25500 tap 380 400\n"    // Play: the worlds, with the tutorial hint
        << "at 26500 tap 89 400\n"     // OK: the hint closes
        << "at 28000 screenshot " << (shots / "worldselect.png").string() << "\n"
        << "at 28500 tap 335 400\n"    // World 1: its levels
        << "at 30000 screenshot " << (shots / "levelselect.png").string() << "\n"
        << "at 30500 tap 430 400\n"    // its first level: the game starts
        << "at 33000 screenshot " << (shots / "playing.png").string() << "\n"
        << "at 34000 close\n";
    const int exitCode = handset_test::RunInstalled(folder / "quorvane",
                                      {"HANDSET_ROOT=" + root.Path(), "HANDSET_DISPLAY=headless",
                                       "HANDSET_CLOCK=manual:1", "HANDSET_SCRIPT=" + (shots / "script.txt").string(),
                                       "EGL_PLATFORM=surfaceless", "SDL_AUDIODRIVER=dummy", "LANG=en_GB.UTF-8"},
                                      120s);
    ASSERT_NE(exitCode, -1) << "closing did not end the game";
    EXPECT_EQ(exitCode, 0);

    std::vector<platform::screen::Image> images;
    for (const char* page : pages) {
        SCOPED_TRACE(page);
        platform::screen::Image image;
        ASSERT_TRUE(platform::screen::ReadPng((shots / (std::string(page) + ".png")).string(), image));
        // The main menu looks the same every time it comes back: one reference for all.
        const std::string reference = std::string(page).rfind("main", 0) == 0 && std::string(page) != "main_question"
                                          ? "main"
                                          : page;
        EXPECT_TRUE(handset_test::MatchesReference(image, QUORVANE_MENU_REFERENCES, "menu_" + reference));
        images.push_back(image);
    }
    // Each page differs from every other one. The main menu comes back as it was each time
    // (its buttons fly in, so the focus starts on the first); with its question open it
    // differs from itself.
    const auto isMainMenu = [](const std::string& page) {
        return page.rfind("main", 0) == 0 && page != "main_question";
    };
    for (std::size_t i = 0; i < images.size(); ++i)
        for (std::size_t j = i + 1; j < images.size(); ++j) {
            if (isMainMenu(pages[i]) && isMainMenu(pages[j])) continue;
            EXPECT_GT(handset_test::CountDifferences(images[i], images[j]), 500) << pages[i] << " and " << pages[j];
        }
    platform::screen::Image playing;
    ASSERT_TRUE(platform::screen::ReadPng((shots / "playing.png").string(), playing));
    EXPECT_GT(handset_test::CountDifferences(playing, images.back()), 10000) << "the first level of world 1 left the menus";
}

TEST(QuorvaneMenus, YourLevelsListsTheCustomLevelsByNameAndPlaysTheChosenOne) {
    ASSERT_TRUE(fs::is_directory(fs::path(QUORVANE_DATA) / "data"))
        << QUORVANE_DATA << " has no demo data: build the demo_data target first";
    handset_test::TempHandsetRoot root;
    const fs::path folder = handset_test::InstallGame(root.Path(), handset_test::kMenuTestIni);
    // One level of the player's own, its name in UTF-8.
    const fs::path custom = folder / "data" / "customlevels";
    fs::create_directories(custom);
    fs::copy_file(fs::path(QUORVANE_LEVEL_SOURCES) / "level09.qvn", custom / "Ma\xC3\xB1" "ana.qvn");

    const fs::path shots = fs::path(root.Path());
    std::ofstream(shots / "script.txt")
        << "at 2000 tap 170 400\n"     // Yes, with sound: logos, then the title
        << "at 12000 tap 240 400\n"    // the title: the main menu
        << "at 14000 tap 300 400\n"    // Your levels
        << "at 16000 screenshot " << (shots / "customselect.png").string() << "\n"
        << "at 16500 tap 430 400\n"    // the first one: the intro comic comes first
        << "at 18000 tap 440 740\n"    // the comic's skip corner: the level loads
        << "at 21000 screenshot " << (shots / "customplay.png").string() << "\n"
        << "at 22000 close\n";
    const int exitCode = handset_test::RunInstalled(folder / "quorvane",
                                      {"HANDSET_ROOT=" + root.Path(), "HANDSET_DISPLAY=headless",
                                       "HANDSET_CLOCK=manual:1", "HANDSET_SCRIPT=" + (shots / "script.txt").string(),
                                       "EGL_PLATFORM=surfaceless", "SDL_AUDIODRIVER=dummy", "LANG=en_GB.UTF-8"},
                                      120s);
    ASSERT_NE(exitCode, -1) << "closing did not end the game";
    EXPECT_EQ(exitCode, 0);
    platform::screen::Image list;
    platform::screen::Image play;
    ASSERT_TRUE(platform::screen::ReadPng((shots / "customselect.png").string(), list));
    ASSERT_TRUE(platform::screen::ReadPng((shots / "customplay.png").string(), play));
    EXPECT_TRUE(handset_test::MatchesReference(list, QUORVANE_MENU_REFERENCES, "menu_customselect"));
    EXPECT_TRUE(handset_test::MatchesReference(play, QUORVANE_MENU_REFERENCES, "menu_customplay"));
    EXPECT_GT(handset_test::CountDifferences(list, play), 10000) << "the custom level left the menus";
}

}  // namespace
