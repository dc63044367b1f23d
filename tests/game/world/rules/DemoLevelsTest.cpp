// The demo levels as the rules need them: every tag reads, the character starts on an empty tile
// with a floor below it along its first facing, there are keys, and the exit portal stands on an
// empty tile.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "game/world/levelfile/LevelFile.h"
#include "game/world/rules/MovementRules.h"
#include "game/world/update/LevelUpdate.h"
#include "tests/game/world/CharacterTestSupport.h"

namespace world_test {
namespace {

using DemoLevelsTest = CharacterTest;

TEST_F(DemoLevelsTest, EveryDemoLevelReadsWholeWithAStartKeysAndAnExit) {
    const std::filesystem::path folder = std::filesystem::path(HANDSET_SOURCE_DIR) / "data/game/archives/startup/levels";
    for (const char* name : {"level01", "level02", "level03", "level09", "level10"}) {
        std::ifstream file(folder / (std::string(name) + ".qvn"));
        ASSERT_TRUE(file.good()) << name;
        std::stringstream text;
        text << file.rdbuf();
        Level level;
        PlayerCharacter character;
        level.character = &character;
        ASSERT_EQ(LoadLevelText(level, text.str().c_str(), name), 1) << name;
        EXPECT_GE(level.keyTotal, 1) << name;
        ASSERT_NE(level.exitPortal, nullptr) << name;
        const Vector2 exit = WorldToTile(level.exitPortal->GetWorldPosition());
        EXPECT_FALSE(level.IsSolidAt(exit)) << name;
        const Vector2 start = WorldToTile(character.position);
        EXPECT_FALSE(level.IsSolidAt(start)) << name;
        const Vector2 below{start.x + FacingStep(0).x / 10.0f, start.y + FacingStep(0).y / 10.0f};
        EXPECT_TRUE(level.IsSolidAt(below)) << name;
        Unload(level);
    }
}

}  // namespace
}  // namespace world_test
