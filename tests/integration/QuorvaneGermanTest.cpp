// German chosen the way a player does it on the installed game (set up for the European
// languages, "LanguageSetup=1"): the settings' language page, its arrow on to German and
// "Apply". The texts and pages are made again at once: the main menu, the settings and the
// worlds with the tutorial hint are drawn in German, each matching its reference and showing
// German words where the English pages (the menu tests' and the first game's references)
// have theirs. The profile keeps the language, so the next start comes up in German.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/screen/PngFile.h"
#include "tests/integration/RunInstalled.h"
#include "tests/support/ReferenceImage.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The save record's options (32-bit words) begin here in "user.sav"; the language is the fourth.
constexpr std::size_t kLanguageOption = 8 + 52 + 764 + 3 * 4;
constexpr int kGerman = 2;

// A point of the game's landscape screen (800 x 480) as the portrait display shows it.
std::string At(int gameX, int gameY) { return std::to_string(480 - gameY) + " " + std::to_string(gameX); }

// The pixels that differ within a box of the game's landscape screen.
long DifferencesWithin(const platform::screen::Image& a, const platform::screen::Image& b, int left, int top, int right,
                       int bottom) {
    long count = 0;
    for (int gameY = top; gameY < bottom; ++gameY)
        for (int gameX = left; gameX < right; ++gameX)
            if (handset_test::PixelDiffers(a, b, 479 - gameY, gameX)) ++count;
    return count;
}

class QuorvaneGerman : public ::testing::Test {
protected:
    fs::path Folder() const { return fs::path(root_.Path()) / "fs" / "Program Files" / "Quorvane"; }

    void Install() {
        handset_test::InstallGame(root_.Path());
        std::ifstream shipped(QUORVANE_SHIPPED_INI);
        const std::string ini((std::istreambuf_iterator<char>(shipped)), {});
        std::ofstream(Folder() / "Quorvane.ini", std::ios::trunc) << ini << "LanguageSetup=1\n";
    }

    // One start of the game with the script; its exit code.
    int Run(const std::string& script) {
        const fs::path file = fs::path(root_.Path()) / "script.txt";
        std::ofstream(file, std::ios::trunc) << script;
        return handset_test::RunInstalled(Folder() / "quorvane",
                                          {"HANDSET_ROOT=" + root_.Path(), "HANDSET_DISPLAY=headless",
                                           "HANDSET_CLOCK=manual:1", "HANDSET_SCRIPT=" + file.string(),
                                           "EGL_PLATFORM=surfaceless", "SDL_AUDIODRIVER=dummy", "HANDSET_AUDIO=null",
                                           "LANG=en_GB.UTF-8"},
                                          120s);
    }

    std::string Shot(const std::string& name) const { return (fs::path(root_.Path()) / (name + ".png")).string(); }

    handset_test::TempHandsetRoot root_;
};

TEST_F(QuorvaneGerman, TheLanguagePageAppliesGermanToEveryMenuAndTheNextStartKeepsIt) {
    ASSERT_TRUE(fs::is_directory(fs::path(QUORVANE_DATA) / "data"))
        << QUORVANE_DATA << " has no demo data: build the demo_data target first";
    Install();
    const std::string script =
        "at 1000 tap " + At(400, 310) + "\n"      // "Yes", with sound: the logos, then the title
        "at 13000 tap " + At(400, 240) + "\n"     // the title: the main menu
        "at 14500 tap " + At(400, 260) + "\n"     // "Settings"
        "at 16000 tap " + At(270, 290) + "\n"     // "Language": English
        "at 17500 tap " + At(705, 100) + "\n"     // on to Czech, Danish and German
        "at 18000 tap " + At(705, 100) + "\n"
        "at 18500 tap " + At(705, 100) + "\n"
        "at 19500 screenshot " + Shot("language") + "\n"
        "at 20000 tap " + At(440, 250) + "\n"     // "Apply": the main menu in German
        "at 22000 screenshot " + Shot("main") + "\n"
        "at 22500 tap " + At(400, 260) + "\n"     // "Einstellungen"
        "at 24000 screenshot " + Shot("settings") + "\n"
        "at 24500 key press ESCAPE\n"             // back to the main menu
        "at 26000 tap " + At(400, 100) + "\n"     // "Spielen": the worlds with the tutorial hint
        "at 27500 screenshot " + Shot("worlds_hint") + "\n"
        "at 28000 close\n";
    const int first = Run(script);
    ASSERT_NE(first, -1) << "the game did not end";
    EXPECT_EQ(first, 0);

    std::ifstream saved(Folder() / "save" / "user.sav", std::ios::binary);
    const std::vector<unsigned char> save((std::istreambuf_iterator<char>(saved)), {});
    ASSERT_EQ(save.size(), 3080u);
    EXPECT_EQ(save[kLanguageOption], kGerman) << "the profile keeps the language chosen";

    const int second = Run("at 1000 tap " + At(400, 310) + "\n"
                           "at 13000 tap " + At(400, 240) + "\n"
                           "at 15500 screenshot " + Shot("main_again") + "\n"
                           "at 16000 close\n");
    ASSERT_NE(second, -1) << "the second start did not end";
    EXPECT_EQ(second, 0);

    // Each German page matches its reference and has German words where the English page has
    // its own: the page's title at the top left and its first button or the hint's text. (The
    // main menu made again after "Apply" and the one made at start differ in a few pixels of
    // their labels' edges, so each has its own reference.)
    struct Page {
        const char* shot;
        const char* reference;
        const char* english;  // the English page, a first-game reference
        int left, top, right, bottom;
    };
    const Page pages[] = {
        {"main", "german_main", "menu_main", 280, 70, 520, 130},
        {"settings", "german_settings", nullptr, 0, 0, 0, 0},
        {"worlds_hint", "german_worlds_hint", "first_worlds_hint", 240, 150, 560, 260},
        {"main_again", "german_main_restarted", "menu_main", 280, 70, 520, 130},
        {"language", "german_language", nullptr, 0, 0, 0, 0},
    };
    for (const Page& page : pages) {
        SCOPED_TRACE(page.shot);
        platform::screen::Image image;
        ASSERT_TRUE(platform::screen::ReadPng(Shot(page.shot), image));
        EXPECT_TRUE(handset_test::MatchesReference(image, QUORVANE_MENU_REFERENCES, page.reference));
        if (page.english == nullptr) continue;
        platform::screen::Image english;
        ASSERT_TRUE(platform::screen::ReadPng(std::string(QUORVANE_MENU_REFERENCES) + "/" + page.english + ".png", english));
        EXPECT_GT(DifferencesWithin(image, english, 0, 0, 300, 40), 100) << "the title";
        EXPECT_GT(DifferencesWithin(image, english, page.left, page.top, page.right, page.bottom), 200)
            << "the first button or the hint";
    }
}

}  // namespace
