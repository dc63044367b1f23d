// The level's meshes in the data as the data build packs it: every name the tile grid looks up
// (tile types, spikes, decorations) and every level object's model loads; and decorations
// drawn headless on small levels, each plant showing on its tile and on the side its line
// names.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/core/math/MatrixMath.h"
#include "engine/core/memory/StandardErrorLog.h"
#include "engine/core/node/KNode.h"
#include "game/world/level/Level.h"
#include "game/world/level/LevelTile.h"
#include "game/world/services/ModelSource.h"
#include "tests/support/ReferenceImage.h"
#include "tools/kelview/LevelFixture.h"
#include "tools/kelview/ViewSession.h"
#include "tools/qvn_play/LevelRun.h"

namespace {

namespace fs = std::filesystem;

// The pictures, square: the session draws on one window of this size.
constexpr int kSize = 256;

// The lone tile's level, with a flower on the given side (none: bare).
std::string LoneTile(const std::string& side) {
    std::string text = "LEVEL\n{\nSIZE 3 3\nROW 99 99 99\nROW 99 1 99\nROW 99 99 99\nSPAWNPOINT 0 0\n"
                       "LIGHT AMBIENCE [0.5 0.5 0.5 1]\n";
    if (!side.empty()) text += "FLOWER " + side + " 1 1\n";
    return text + "}\n";
}

// The fixture without its decoration lines.
std::string WithoutDecorations(const std::string& text) {
    std::string bare;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        const std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end + 1 - at);
        if (line.find(" UP ") == std::string::npos) bare += line;
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return bare;
}

class DecorationsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        SetLogStream(&StandardErrorLog());
        folder_ = new fs::path(fs::temp_directory_path() / ("decorations-test-" + std::to_string(getpid())));
        fs::remove_all(*folder_);
        fs::create_directories(*folder_ / "levels");
        // Every level is written before the session starts: its data folder shows what is there then.
        fs::copy_file(DECORATIONS_FIXTURE, *folder_ / "levels" / "decorations.qvn");
        std::ifstream in(DECORATIONS_FIXTURE);
        WriteLevel("bare", WithoutDecorations(std::string(std::istreambuf_iterator<char>(in), {})));
        WriteLevel("lone", LoneTile(""));
        for (const char* side : {"UP", "DOWN", "LEFT", "RIGHT"}) WriteLevel(std::string("lone_") + side, LoneTile(side));
        view_ = new kelview::ViewOptions();
        view_->dataFolder = folder_->string();
        view_->archives.push_back(DEMO_ARCHIVE);
        view_->width = view_->height = kSize;
        session_ = new kelview::ViewSession();
        std::string error;
        started_ = session_->Start(*view_, &error) && session_->StartDevice(*view_, &error);
        if (!started_) std::fprintf(stderr, "decorations test: %s\n", error.c_str());
    }
    static void TearDownTestSuite() {
        delete session_;
        delete view_;
        std::error_code ignored;
        fs::remove_all(*folder_, ignored);
        delete folder_;
    }

    void SetUp() override { ASSERT_TRUE(started_) << "the data of " << DEMO_ARCHIVE << " did not start"; }

    // A level file of the test's own in the data's levels/ folder.
    static void WriteLevel(const std::string& name, const std::string& text) {
        std::ofstream(*folder_ / "levels" / (name + ".qvn"), std::ios::trunc) << text;
    }

    // The level at its start, seen from straight above the point (x, y).
    static bool Picture(const std::string& level, float x, float y, float height, platform::screen::Image& image) {
        qvn_play::LevelRun run;
        std::string error;
        if (!run.Load("levels/" + level, error)) {
            ADD_FAILURE() << error;
            return false;
        }
        kelview::ViewOptions view = *view_;
        view.eyeGiven = view.targetGiven = true;
        // Straight down, the far side of the grid (growing y) at the top of the picture.
        view.eye = {x, y - 0.5f, height};
        view.target = {x, y, 0.0f};
        const bool drawn = qvn_play::RenderLevelRun(*session_, run, view, image, error);
        EXPECT_TRUE(drawn) << error;
        return drawn;
    }

    static fs::path* folder_;
    static kelview::ViewOptions* view_;
    static kelview::ViewSession* session_;
    static bool started_;
};

fs::path* DecorationsTest::folder_ = nullptr;
kelview::ViewOptions* DecorationsTest::view_ = nullptr;
kelview::ViewSession* DecorationsTest::session_ = nullptr;
bool DecorationsTest::started_ = false;

TEST_F(DecorationsTest, EveryMeshTheGridAndTheObjectsLookUpLoads) {
    std::vector<std::string> names;
    for (std::uint32_t type = 0; TileMeshName(type) != nullptr; ++type) names.push_back(TileMeshName(type));
    for (std::size_t i = 0; SpikeMeshName(i) != nullptr; ++i) names.push_back(SpikeMeshName(i));
    std::size_t decorations = 0;
    for (; DecorationMeshName(decorations) != nullptr; ++decorations) names.push_back(DecorationMeshName(decorations));
    EXPECT_EQ(names.size(), 47u + 4u + 32u);
    EXPECT_EQ(decorations, 32u);
    names.push_back("tilebg");
    for (const std::string& name : names) EXPECT_NE(FindOrLoadModel(name.c_str()), nullptr) << name;

    // One object of every type code the factory makes, each on a floor tile of its own: the
    // fixture refuses an object whose model the data lacks.
    std::string fixture = "size 37 3\nrow 0";
    for (int column = 0; column < 37; ++column) fixture += " 1";
    fixture += "\nrow 1";
    for (int column = 0; column < 37; ++column) fixture += " 1";
    fixture += "\nrow 2";
    for (int column = 0; column < 37; ++column) fixture += " 1";
    fixture += "\n";
    for (int code = 0; code <= 36; ++code) fixture += "object " + std::to_string(code) + " " + std::to_string(code) + " 1\n";
    auto* level = new Level();
    std::string error;
    EXPECT_TRUE(kelview::BuildFixtureLevel(fixture, "every_object.level", *level, error)) << error;
    delete level;
}

// Each kind stands on its own tile of the row and changes the picture there, and nowhere
// else; the whole row matches its reference.
TEST_F(DecorationsTest, EachKindShowsOnItsOwnTile) {
    platform::screen::Image decorated;
    platform::screen::Image plain;
    // Seen from straight above the middle of the two rows: their four columns fill the width.
    ASSERT_TRUE(Picture("decorations", 20.0f, 25.0f, 48.0f, decorated));
    ASSERT_TRUE(Picture("bare", 20.0f, 25.0f, 48.0f, plain));
    EXPECT_TRUE(handset_test::MatchesReference(decorated, DECORATIONS_REFERENCES, "decorations"));
    // Each kind changes the picture in its own quarter of the width, in the lower half for
    // row 1 and the upper half for row 3.
    long changed[2][4] = {};
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            if (handset_test::PixelDiffers(decorated, plain, x, y)) ++changed[y < kSize / 2 ? 1 : 0][x * 4 / kSize];
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 4; ++column)
            EXPECT_GT(changed[row][column], 150) << "the plant of tile " << column << " on row " << 2 * row + 1;
}

// A flower on each side of a lone tile: the picture changes on that side of the tile's middle.
TEST_F(DecorationsTest, AFlowerStandsOnTheSideItsLineNames) {
    platform::screen::Image plain;
    ASSERT_TRUE(Picture("lone", 15.0f, 15.0f, 30.0f, plain));
    struct Side {
        const char* word;
        int dx, dy;  // where the change lies from the picture's middle: -1, 0 or +1 on each axis
    };
    // The picture's top is the grid's growing y: the UP side (y = 10) is at the bottom.
    const Side sides[] = {{"UP", 0, 1}, {"DOWN", 0, -1}, {"LEFT", -1, 0}, {"RIGHT", 1, 0}};
    for (const Side& side : sides) {
        SCOPED_TRACE(side.word);
        platform::screen::Image flowered;
        ASSERT_TRUE(Picture(std::string("lone_") + side.word, 15.0f, 15.0f, 30.0f, flowered));
        double sumX = 0;
        double sumY = 0;
        long count = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                if (handset_test::PixelDiffers(flowered, plain, x, y)) {
                    sumX += x - kSize / 2.0;
                    sumY += y - kSize / 2.0;
                    ++count;
                }
        ASSERT_GT(count, 100) << "the flower does not show";
        const double meanX = sumX / static_cast<double>(count);
        const double meanY = sumY / static_cast<double>(count);
        // A clear lean toward the named side, and little across it.
        const double lean = side.dx != 0 ? meanX * side.dx : meanY * side.dy;
        const double across = side.dx != 0 ? meanY : meanX;
        EXPECT_GT(lean, kSize / 20.0) << meanX << ", " << meanY;
        EXPECT_LT(std::abs(across), kSize / 20.0) << meanX << ", " << meanY;
    }
}

// The big plants' ten animations are in the data, and each sways its plant: the top moves
// while the middle of the tile, which the plant turns about, stays put.
TEST_F(DecorationsTest, BigPlantAnimationsSwayThePlantAboutTheMiddleOfItsTile) {
    qvn_play::LevelRun run;
    std::string error;
    ASSERT_TRUE(run.Load("levels/decorations", error)) << error;
    struct Plant {
        int column;
        const char* node;
        int firstAnimation;  // its idle, then its four leans
    };
    for (const Plant& plant : {Plant{0, "bigplant_01_up", 0}, Plant{1, "bigplant_02_up", 5}}) {
        LevelTile* tile = run.level().TileAt(plant.column, 3);
        ASSERT_NE(tile, nullptr);
        KNode* node = tile->node != nullptr ? FindNodeByName(tile->node, plant.node) : nullptr;
        ASSERT_NE(node, nullptr) << plant.node;
        const Vector3 middle{5.0f, 5.0f, 0.0f};
        const Vector3 top{5.0f, 3.5f, 6.0f};
        Matrix34 rest;
        tile->node->GetWorldMatrix(rest);
        Vector3 restMiddle, restTop;
        Matrix34TransformPoint(rest, middle, restMiddle);
        Matrix34TransformPoint(rest, top, restTop);
        for (int a = plant.firstAnimation; a < plant.firstAnimation + 5; ++a) {
            SCOPED_TRACE(std::string(plant.node) + ", animation " + std::to_string(a));
            Animation* animation = run.level().bigPlantAnimations[a];
            ASSERT_NE(animation, nullptr);
            ASSERT_GE(node->PlayAnimation(animation, 1.0f, 0, 0.0f, 0.0f), 0);
            float topMoved = 0.0f;
            float middleMoved = 0.0f;
            for (int frame = 0; frame < 60; ++frame) {
                node->UpdateAnimation(1.0f / 30.0f);
                Matrix34 now;
                node->GetWorldMatrix(now);
                Vector3 m, t;
                Matrix34TransformPoint(now, middle, m);
                Matrix34TransformPoint(now, top, t);
                topMoved = std::fmax(topMoved, std::hypot(t.x - restTop.x, t.y - restTop.y, t.z - restTop.z));
                middleMoved =
                    std::fmax(middleMoved, std::hypot(m.x - restMiddle.x, m.y - restMiddle.y, m.z - restMiddle.z));
            }
            EXPECT_GT(topMoved, 0.15f) << "the plant stands still";
            EXPECT_LT(middleMoved, 0.05f) << "the plant turns about another point";
            node->StopAnimations(0.0f);
        }
    }
}

}  // namespace
