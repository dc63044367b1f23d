// The game material table: names found without regard to case, the default index 0 with a
// log line for an unknown name or an empty table, and growth past the first 64 entries.
#include <gtest/gtest.h>

#include <string>

#include "engine/resources/gamemat/GameMaterialTable.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

class GameMaterialTableTest : public engine_test::HeapTest {};

TEST_F(GameMaterialTableTest, NamesAreFoundWithoutRegardToCaseAndUnknownOnesGiveTheDefault) {
    engine_test::CapturedLog log;
    auto* table = new GameMaterialTable;
    EXPECT_EQ(GetGameMaterialTableIndex(table, "Ice"), 0u);
    EXPECT_TRUE(log.Contains("Failed to find game material 'Ice', using default")) << log.Text();
    EXPECT_EQ(GetGameMaterialTableIndex(nullptr, "Ice"), 0u);

    for (const char* name : {"Default", "Ice", "Stone", "ice"}) AddGameMaterial(*table, name);
    EXPECT_EQ(GetGameMaterialTableIndex(table, "ICE"), 1u) << "the first match";
    EXPECT_EQ(GetGameMaterialTableIndex(table, "stone"), 2u);
    const int before = log.Count("Failed to find game material");
    EXPECT_EQ(GetGameMaterialTableIndex(table, "Lava"), 0u);
    EXPECT_EQ(log.Count("Failed to find game material 'Lava'"), 1);
    EXPECT_EQ(log.Count("Failed to find game material"), before + 1);
    delete table;
    EXPECT_EQ(EngineBlockCount(), 0u);
}

TEST_F(GameMaterialTableTest, TheTableGrowsBySixtyFourEntries) {
    GameMaterialTable table;
    EXPECT_EQ(table.materials.capacity, 64u);
    EXPECT_EQ(table.materials.growth, 64u);
    for (int i = 0; i < 130; ++i) ASSERT_EQ(AddGameMaterial(table, ("material" + std::to_string(i)).c_str()), i);
    EXPECT_EQ(table.materials.capacity, 192u);
    EXPECT_EQ(GetGameMaterialTableIndex(&table, "MATERIAL129"), 129u);
    EXPECT_EQ(GetGameMaterialTableIndex(&table, "material64"), 64u);
}

}  // namespace
