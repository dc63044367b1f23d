// kelview run as a program on the startup archive's demo data, built as the data build
// builds it: the lit, textured picture of an edge tile against its reference, the same
// picture from the packed archive (where the baked cache is read) as from the folder, and
// what the cache bake writes.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
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
    // The startup folder staged as the data build stages it, and packed.
    static void SetUpTestSuite() {
        folder_ = new fs::path(fs::temp_directory_path() / ("kelview-test-" + std::to_string(getpid())));
        fs::remove_all(*folder_);
        const fs::path staged = *folder_ / "startup";
        fs::create_directories(*folder_ / "data");
        fs::copy(fs::path(HANDSET_SOURCE_DIR) / "data/game/archives/startup", staged, fs::copy_options::recursive);
        for (const auto& entry : fs::recursive_directory_iterator(staged)) {
            const fs::path path = entry.path();
            std::string command;
            if (path.extension() == ".image")
                command = std::string(MAKE_IMAGE_PROGRAM) + " " + Quoted(path) + " " +
                          Quoted(fs::path(path).replace_extension(".tga"));
            if (path.extension() == ".shapes")
                command = std::string(MAKE_MESH_PROGRAM) + " " + Quoted(path) + " " + Quoted(path.parent_path());
            if (!command.empty()) {
                ASSERT_EQ(RunCommand(command), 0) << command;
            }
        }
        ASSERT_EQ(RunCommand(std::string(KELVIEW_PROGRAM) + " --bake --data " + Quoted(staged) + " tile2a tile1a"), 0);
        ASSERT_EQ(RunCommand(std::string(PACK_ARCHIVE_PROGRAM) + " " + Quoted(staged) + " " +
                             Quoted(*folder_ / "data" / "startup.par")),
                  0);
    }
    static void TearDownTestSuite() {
        std::error_code ignored;
        fs::remove_all(*folder_, ignored);
        delete folder_;
    }

    // kelview's picture of a tile from the given data; false when it did not write one.
    bool Picture(const std::string& dataOptions, const std::string& object, platform::screen::Image& image) {
        const fs::path picture = *folder_ / (object + std::to_string(pictures_++) + ".png");
        if (RunCommand(std::string(KELVIEW_PROGRAM) + " --size 128x96 " + dataOptions + " " + object + " " +
                       Quoted(picture)) != 0)
            return false;
        return platform::screen::ReadPng(picture.string(), image);
    }

    static fs::path* folder_;
    int pictures_ = 0;
};

fs::path* KelviewTest::folder_ = nullptr;

TEST_F(KelviewTest, ALitTexturedEdgeTileMatchesItsReference) {
    platform::screen::Image fromArchive;
    ASSERT_TRUE(Picture("--data " + Quoted(*folder_ / "data"), "tile2a", fromArchive));
    EXPECT_TRUE(render_test::MatchesReference(fromArchive, "tile2a"));

    // The staged folder itself (its text mesh next to the cache) gives the same picture.
    platform::screen::Image fromFolder;
    ASSERT_TRUE(Picture("--data " + Quoted(*folder_ / "startup"), "tile2a", fromFolder));
    EXPECT_EQ(fromFolder.rgba, fromArchive.rgba);
}

TEST_F(KelviewTest, TheBakeWritesCachesThatTheArchiveCarries) {
    EXPECT_TRUE(fs::is_regular_file(*folder_ / "startup/objects/tile2a.kgc"));
    EXPECT_TRUE(fs::is_regular_file(*folder_ / "startup/objects/tile1a.kgc"));
    EXPECT_FALSE(fs::exists(*folder_ / "startup/objects/tile3a.kgc")) << "only the objects named are baked";
    // An archive given on the command line over an empty data folder.
    fs::create_directories(*folder_ / "empty");
    platform::screen::Image image;
    EXPECT_TRUE(Picture("--data " + Quoted(*folder_ / "empty") + " --archive " + Quoted(*folder_ / "data/startup.par"),
                        "tile1a", image));
    EXPECT_EQ(image.width, 128);
    EXPECT_EQ(image.height, 96);
    // What is not there is a failure, not a picture.
    EXPECT_FALSE(Picture("--data " + Quoted(*folder_ / "empty"), "tile1a", image));
    EXPECT_EQ(RunCommand(std::string(KELVIEW_PROGRAM) + " --bake --data " + Quoted(*folder_ / "empty") +
                         " nothing 2>/dev/null"),
              1);
}

}  // namespace
