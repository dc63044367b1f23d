// The glow pass: a camera-facing quad at each glow node, pulsing with the game's time, none for
// an object whose tile a blocking object covers, and the fireflies of each swarm.
#include <cmath>
#include <string>
#include <vector>

#include "engine/render/NullRenderDevice.h"
#include "game/world/level/FireflySwarm.h"
#include "game/world/level/Level.h"
#include "game/world/levelfile/LevelFile.h"
#include "game/world/objects/LevelObject.h"
#include "game/world/player/PlayerCharacter.h"
#include "game/world/update/LevelGlowDraw.h"
#include "game/world/update/LevelUpdate.h"
#include "tests/game/world/WorldTestSupport.h"

namespace world_test {
namespace {

// Keeps every triangle pair drawn.
class RecordingDevice : public NullRenderDevice {
public:
    int DrawPrimitives(DWORD type, DWORD count, const ImmediateVertex* vertices) override {
        if (type == kDrawTriangles && count == 2) quads.emplace_back(vertices, vertices + 6);
        return 1;
    }
    std::vector<std::vector<ImmediateVertex>> quads;
};

class LevelGlowTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        WriteObjectPaths();
        AddObjectModels();
        models_->Add("key_01", {"glow"})->SetPosition(Vector3{5, 5, 2});
        models_->Add("tile1a");
        level = new Level();
        character = new PlayerCharacter();
        level->character = character;
        device = new RecordingDevice();
        device->SetViewMatrix(kIdentityMatrix34);
    }
    void TearDown() override {
        Unload(*level);
        delete level;
        delete character;
        device->Release();
        WorldTest::TearDown();
    }
    Level* level = nullptr;
    PlayerCharacter* character = nullptr;
    RecordingDevice* device = nullptr;
};

TEST_F(LevelGlowTest, GlowQuadsFaceTheCameraAndSkipCoveredTiles) {
    ASSERT_EQ(LoadLevelText(*level, "LEVEL\n{\nSIZE 3 1\nROW 1 1 1\nKEY 0 0\nKEY 2 0\nSPIKECUBE 2 0\n}\n", "glow"), 1);
    ASSERT_EQ(level->glowList.count, 2u);
    const auto* key = static_cast<LevelObject*>(level->glowList.head->item);
    DrawFireflies(*level, *device, nullptr, 0.0f);
    ASSERT_EQ(device->quads.size(), 1u);
    // At time 0 the pulse adds nothing: corners at the glow node +- size along right and up.
    const float s = key->flare.baseSize * key->scale;
    const std::vector<ImmediateVertex>& quad = device->quads[0];
    EXPECT_NEAR(quad[0].position.x, 5.0f - s, 1e-4f);
    EXPECT_NEAR(quad[0].position.y, 5.0f + s, 1e-4f);
    EXPECT_NEAR(quad[0].position.z, 2.0f, 1e-4f);
    EXPECT_NEAR(quad[2].position.x, 5.0f + s, 1e-4f);
    EXPECT_NEAR(quad[2].position.y, 5.0f - s, 1e-4f);
    EXPECT_EQ(quad[0].colour[3], 0xAA);
    EXPECT_EQ(quad[0].colour[0], 0xFF);
}

TEST_F(LevelGlowTest, ThePulseFollowsTheGameTimeAndEachFireflyGetsAQuad) {
    Vector3 corners[4];
    // sin(6 x 0.25) x 0.5 + 2 along right (1, 0, 0) and up (0, 0, 1).
    GlowSpriteCorners(Vector3{10, 0, 0}, Vector3{1, 0, 0}, Vector3{0, 0, 1}, 2.0f, 0.5f, 0.25f, corners);
    const float s = std::sin(1.5f) * 0.5f + 2.0f;
    EXPECT_NEAR(corners[3].x, 10.0f + s, 1e-5f);
    EXPECT_NEAR(corners[3].z, s, 1e-5f);
    EXPECT_NEAR(corners[1].x, 10.0f - s, 1e-5f);
    EXPECT_NEAR(corners[1].z, -s, 1e-5f);

    std::string body = "LEVEL\n{\nSIZE 4 4\n";
    for (int row = 0; row < 4; ++row) body += "ROW 99 99 99 99\n";
    ASSERT_EQ(LoadLevelText(*level, (body + "}\n").c_str(), "fireflies"), 1);
    ASSERT_EQ(level->fireflySwarmCount, 1);
    DrawFireflies(*level, *device, nullptr, 0.0f);
    ASSERT_EQ(device->quads.size(), static_cast<std::size_t>(level->fireflySwarms[0]->count));
    const Vector3 first = level->fireflySwarms[0]->FireflyPosition(0);
    EXPECT_NEAR(device->quads[0][0].position.x, first.x - 1.0f, 1e-4f);
    EXPECT_NEAR(device->quads[0][0].position.z, first.z, 1e-4f);
}

}  // namespace
}  // namespace world_test
