// dialogshot: its command line, and the fixture dialogs of the demo pack (a list that scrolls,
// an overlay over content) shot by the program from the pack folder and from the pack file
// the data build makes of it, and compared with the references kept beside this test.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
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
