// kelview run as a program on the demo data of the build (the demo_data target): the lit,
// textured picture of an edge tile against its reference, the same picture from the packed
// archive (where the baked cache is read) as from the staged folder, and what the cache bake
// writes.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/screen/PngFile.h"
#include "tests/engine/render/RenderTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

// Runs a command line; its exit status (-1 when it could not run).
int RunCommand(const std::string& command) {
    const int status = std::system((command + " > /dev/null").c_str());
    return status == -1 ? -1 : WEXITSTATUS(status);
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

class KelviewTest : public ::testing::Test {
protected:
    // The data build's own output: the game's data folder with the packed archives, and the
    // startup folder as it was staged for packing (its text meshes beside their caches). The
    // pictures go into a folder of this process.
    static void SetUpTestSuite() {
        folder_ = new fs::path(fs::temp_directory_path() / ("kelview-test-" + std::to_string(getpid())));
        fs::remove_all(*folder_);
        fs::create_directories(*folder_);
    }
    static void TearDownTestSuite() {
        std::error_code ignored;
        fs::remove_all(*folder_, ignored);
        delete folder_;
    }
    void SetUp() override {
        ASSERT_TRUE(fs::is_regular_file(fs::path(DEMO_DATA_FOLDER) / "startup.par"))
            << "no demo data in " << DEMO_DATA_FOLDER << ": build the demo_data target";
    }

    // kelview's picture of an object from the given data; false when it did not write one.
    bool Picture(const std::string& dataOptions, const std::string& object, platform::screen::Image& image,
                 const std::string& size = "128x96") {
        const fs::path picture = *folder_ / (object + std::to_string(pictures_++) + ".png");
        if (RunCommand(std::string(KELVIEW_PROGRAM) + " --size " + size + " " + dataOptions + " " + object + " " +
                       Quoted(picture)) != 0)
            return false;
        return platform::screen::ReadPng(picture.string(), image);
    }

    static fs::path* folder_;
    const fs::path data_ = DEMO_DATA_FOLDER;
    const fs::path staged_ = DEMO_STAGED_STARTUP;
    int pictures_ = 0;
};

fs::path* KelviewTest::folder_ = nullptr;

TEST_F(KelviewTest, ALitTexturedEdgeTileMatchesItsReference) {
    platform::screen::Image fromArchive;
    ASSERT_TRUE(Picture("--data " + Quoted(data_), "tile2a", fromArchive));
    EXPECT_TRUE(render_test::MatchesReference(fromArchive, "tile2a"));

    // The staged folder itself (its text mesh next to the cache) gives the same picture.
    platform::screen::Image fromFolder;
    ASSERT_TRUE(Picture("--data " + Quoted(staged_), "tile2a", fromFolder));
    EXPECT_EQ(fromFolder.rgba, fromArchive.rgba);
}

TEST_F(KelviewTest, TheBakeWritesCachesThatTheArchiveCarries) {
    // The data build baked every object; a bake of its staged folder without the caches
    // writes only those named.
    EXPECT_TRUE(fs::is_regular_file(staged_ / "objects/tile2a.kgc"));
    const fs::path again = *folder_ / "startup";
    fs::copy(staged_, again, fs::copy_options::recursive);
    for (const auto& entry : fs::directory_iterator(again / "objects"))
        if (entry.path().extension() == ".kgc" || entry.path().extension() == ".ksk") fs::remove(entry.path());
    ASSERT_EQ(RunCommand(std::string(KELVIEW_PROGRAM) + " --bake --data " + Quoted(again) + " tile2a tile1a"), 0);
    EXPECT_TRUE(fs::is_regular_file(again / "objects/tile2a.kgc"));
    EXPECT_TRUE(fs::is_regular_file(again / "objects/tile1a.kgc"));
    EXPECT_FALSE(fs::exists(again / "objects/tile3a.kgc")) << "only the objects named are baked";
    // An archive given on the command line over an empty data folder.
    fs::create_directories(*folder_ / "empty");
    platform::screen::Image image;
    EXPECT_TRUE(Picture("--data " + Quoted(*folder_ / "empty") + " --archive " + Quoted(data_ / "startup.par"),
                        "tile1a", image));
    EXPECT_EQ(image.width, 128);
    EXPECT_EQ(image.height, 96);
    // What is not there is a failure, not a picture.
    EXPECT_FALSE(Picture("--data " + Quoted(*folder_ / "empty"), "tile1a", image));
    EXPECT_EQ(RunCommand(std::string(KELVIEW_PROGRAM) + " --bake --data " + Quoted(*folder_ / "empty") +
                         " nothing 2>/dev/null"),
              1);
}

// Pixels of two pictures of one size that differ clearly, counted by region: the top quarter
// of the picture (the head) and its lowest two fifths (the legs).
struct DifferenceByRegion {
    int head = 0;
    int legs = 0;
};
DifferenceByRegion Differences(const platform::screen::Image& a, const platform::screen::Image& b) {
    DifferenceByRegion count;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * a.width + x) * 4;
            bool differs = false;
            for (int c = 0; c < 3; ++c) differs |= std::abs(a.rgba[at + c] - b.rgba[at + c]) > 16;
            if (differs && y < a.height / 4) ++count.head;
            if (differs && y >= a.height * 3 / 5) ++count.legs;
        }
    return count;
}

TEST_F(KelviewTest, TheRunningCharacterMovesItsLegsBetweenTwoFrames) {
    const std::string data = "--data " + Quoted(data_) + " --animation character_02_run";
    platform::screen::Image stride;
    platform::screen::Image other;
    ASSERT_TRUE(Picture(data + " --frame 0", "bram_cutscene", stride, "96x128"));
    ASSERT_TRUE(Picture(data + " --frame 12", "bram_cutscene", other, "96x128"));
    EXPECT_TRUE(render_test::MatchesReference(stride, "bram_run_0"));
    EXPECT_TRUE(render_test::MatchesReference(other, "bram_run_12"));
    // The legs swap over; the head barely moves.
    const DifferenceByRegion changed = Differences(stride, other);
    EXPECT_GT(changed.legs, 200);
    EXPECT_GT(changed.legs, 4 * changed.head) << changed.head << " head pixels changed";
    // An animation for another skeleton is refused.
    platform::screen::Image refused;
    EXPECT_FALSE(Picture("--data " + Quoted(data_) + " --animation tesk1_idle", "bram_cutscene", refused));
}

// The fixture level with one object of each class on its floor, open portal and flaring spawn
// point included, seen from above its first row.
TEST_F(KelviewTest, AFixtureLevelShowsOneObjectOfEachClass) {
    const fs::path picture = *folder_ / "fixture_level.png";
    const std::string command = std::string(KELVIEW_PROGRAM) + " --size 400x300 --data " + Quoted(data_) +
                                " --eye 30,-38,46 --target 30,22,0 --level " +
                                Quoted(fs::path(HANDSET_SOURCE_DIR) / "tests/tools/kelview/fixture.level") + " " +
                                Quoted(picture);
    ASSERT_EQ(RunCommand(command), 0) << command;
    platform::screen::Image image;
    ASSERT_TRUE(platform::screen::ReadPng(picture.string(), image));
    EXPECT_TRUE(render_test::MatchesReference(image, "fixture_level"));
    // A fixture whose object has no model in the data is refused.
    const fs::path broken = *folder_ / "broken.level";
    std::FILE* file = std::fopen(broken.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("size 2 1\nrow 0 1 1\nobject 3 1 7\n", file);
    std::fclose(file);
    EXPECT_EQ(RunCommand(std::string(KELVIEW_PROGRAM) + " --data " + Quoted(data_) + " --level " +
                         Quoted(broken) + " " + Quoted(*folder_ / "broken.png") + " 2>/dev/null"),
              1);
}

}  // namespace
