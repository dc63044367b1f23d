// dialogshot: its command line, and the fixture dialogs of the demo pack (a list that scrolls,
// an overlay over content) shot by the program from the pack folder and from the pack file
// the data build makes of it, and compared with the references kept beside this test; and the
// list shown in a window under a script of a finger and keys on the manual clock.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/screen/PngFile.h"
#include "tests/support/ReferenceImage.h"
#include "tests/support/TestSupport.h"
#include "tools/dialogshot/DialogShot.h"

namespace {

// Runs dialogshot with the arguments; its exit status.
int RunShot(const std::vector<std::string>& arguments) {
    std::string command = "'" DIALOGSHOT_PROGRAM "'";
    for (const std::string& argument : arguments) command += " '" + argument + "'";
    command += " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(DialogShotArguments, AreReadOrRefusedWithAReason) {
    struct Case {
        std::vector<const char*> arguments;
        bool accepted;
        int dpi;
        int width;
        int height;
    };
    const Case cases[] = {
        {{"pack", "Dialog", "out.png"}, true, 192, 480, 696},
        {{"pack", "--dpi", "96", "Dialog", "out.png", "--size", "240x348"}, true, 96, 240, 348},
        {{"pack", "Dialog"}, false, 0, 0, 0},
        {{"pack", "Dialog", "out.png", "extra"}, false, 0, 0, 0},
        {{"pack", "Dialog", "out.png", "--dpi"}, false, 0, 0, 0},
        {{"pack", "Dialog", "out.png", "--dpi", "12"}, false, 0, 0, 0},
        {{"pack", "Dialog", "out.png", "--dpi", "96x"}, false, 0, 0, 0},
        {{"pack", "Dialog", "out.png", "--size", "240"}, false, 0, 0, 0},
        {{"pack", "Dialog", "out.png", "--size", "240x99999"}, false, 0, 0, 0},
        {{"pack", "Dialog", "out.png", "--size", "-5x10"}, false, 0, 0, 0},
        {{"pack", "Dialog", "out.png", "--scale", "2"}, false, 0, 0, 0},
        {{"pack", "Dialog", "--window", "--dpi", "96"}, true, 96, 480, 696},
        {{"pack", "Dialog", "out.png", "--window"}, false, 0, 0, 0},
        {{"pack", "--window"}, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        ShotRequest request;
        std::string error;
        const bool accepted =
            ParseShotArguments(static_cast<int>(c.arguments.size()), c.arguments.data(), &request, &error);
        EXPECT_EQ(accepted, c.accepted) << c.arguments.size() << " arguments: " << error;
        if (!accepted) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        EXPECT_EQ(request.window, c.arguments.size() == 5);
        EXPECT_EQ(request.pack, "pack");
        EXPECT_EQ(request.dialog, "Dialog");
        EXPECT_EQ(request.dpi, c.dpi);
        EXPECT_EQ(request.width, c.width);
        EXPECT_EQ(request.height, c.height);
    }
}

TEST(DialogShot, TheFixtureDialogsMatchTheirReferences) {
    handset_test::TempHandsetRoot root;
    // The pack folder as it is kept, and the pack file that the data build installs from it.
    const std::string packFile = root.Path() + "/qa_layouts.dat";
    const std::string pack = "'" MAKE_SKIN_PACK_PROGRAM "' '" DIALOGSHOT_PACK "' '" + packFile + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(pack.c_str()), 0);
    for (const std::string& source : {std::string(DIALOGSHOT_PACK), packFile})
        for (const char* dialog : {"FixtureList", "FixtureOverlay"}) {
            SCOPED_TRACE(source + ": " + dialog);
            const std::string png = root.Path() + "/" + dialog + ".png";
            ASSERT_EQ(RunShot({source, dialog, png, "--dpi", "192", "--size", "480x696"}), 0);
            platform::screen::Image shot;
            ASSERT_TRUE(platform::screen::ReadPng(png, shot));
            EXPECT_TRUE(handset_test::MatchesReference(shot, DIALOGSHOT_REFERENCE_DIR, dialog));
        }
}

// The finger drags the list up 100 pixels (4 pixels every 16 ms), lets go while moving, and
// the list flings on and settles; then the Down key comes twice.
std::string FingerScript() {
    std::string script = "at 300 screenshot start.png\nat 400 down 120 300\n";
    int y = 300;
    int at = 400;
    for (int i = 1; i <= 25; ++i) {
        at += 16;
        y -= 4;
        script += "at " + std::to_string(at) + " move 120 " + std::to_string(y) + "\n";
        if (i == 13) script += "at " + std::to_string(at) + " screenshot dragging.png\n";
    }
    at += 16;
    script += "at " + std::to_string(at) + " up 120 " + std::to_string(y) + "\n";
    script += "at " + std::to_string(at + 16) + " screenshot fling-early.png\n";
    script += "at " + std::to_string(at + 400) + " screenshot fling-late.png\n";
    script += "at 3000 screenshot settled.png\nat 3500 screenshot settled-again.png\n"
              "at 4000 key press DOWN\nat 4200 screenshot keys1.png\n"
              "at 4300 key press DOWN\nat 4500 screenshot keys2.png\nat 4600 close\n";
    return script;
}

bool SameImage(const platform::screen::Image& a, const platform::screen::Image& b) {
    return a.width == b.width && a.height == b.height && a.rgba == b.rgba;
}

TEST(DialogShot, TheListScrollsFlingsAndTakesKeysInAWindow) {
    handset_test::TempHandsetRoot root;
    const std::string folder = root.Path() + "/run";
    ASSERT_EQ(std::system(("mkdir -p '" + folder + "'").c_str()), 0);
    {
        std::ofstream script(folder + "/finger.txt");
        script << FingerScript();
    }
    const std::string command = "cd '" + folder + "' && HANDSET_ROOT='" + root.Path() +
                                "' HANDSET_DISPLAY=headless HANDSET_SCREEN=240x348@96 HANDSET_CLOCK=manual:16 "
                                "HANDSET_SCRIPT=finger.txt '" DIALOGSHOT_PROGRAM "' '" DIALOGSHOT_PACK
                                "' FixtureList --window --dpi 96 --size 240x348 >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "closed by the script";
    std::map<std::string, platform::screen::Image> shots;
    for (const char* name :
         {"start", "dragging", "fling-early", "fling-late", "settled", "settled-again", "keys1", "keys2"}) {
        ASSERT_TRUE(platform::screen::ReadPng(folder + "/" + name + ".png", shots[name])) << name;
        EXPECT_TRUE(handset_test::MatchesReference(shots[name], DIALOGSHOT_REFERENCE_DIR,
                                                   std::string("FixtureListWindow-") + name));
    }
    EXPECT_FALSE(SameImage(shots["dragging"], shots["start"])) << "the list follows the finger";
    EXPECT_FALSE(SameImage(shots["fling-early"], shots["dragging"]));
    EXPECT_FALSE(SameImage(shots["fling-late"], shots["fling-early"])) << "it keeps moving after the finger left";
    EXPECT_FALSE(SameImage(shots["settled"], shots["fling-late"]));
    EXPECT_TRUE(SameImage(shots["settled-again"], shots["settled"])) << "and then it rests";
    EXPECT_FALSE(SameImage(shots["keys1"], shots["settled"])) << "Down highlights a row";
    EXPECT_FALSE(SameImage(shots["keys2"], shots["keys1"])) << "Down again moves the highlight";
}

TEST(DialogShot, ReportsWhatItCannotShoot) {
    handset_test::TempHandsetRoot root;
    const std::string png = root.Path() + "/none.png";
    EXPECT_EQ(RunShot({DIALOGSHOT_PACK, "NoSuchDialog", png}), 1);
    EXPECT_EQ(RunShot({root.Path() + "/missing.dat", "FixtureList", png}), 1);
    EXPECT_EQ(RunShot({DIALOGSHOT_PACK, "FixtureList"}), 2);
    platform::screen::Image none;
    EXPECT_FALSE(platform::screen::ReadPng(png, none)) << "nothing written";
}

}  // namespace
