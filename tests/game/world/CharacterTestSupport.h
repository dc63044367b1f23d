// Fixtures of the character's and the rules' tests: grids drawn as text, the character's
// models as named nodes, its animations as path animations in the data folder, and services
// that also record the awards granted.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "game/world/level/Level.h"
#include "game/world/objects/LevelObject.h"
#include "game/world/player/PlayerCharacter.h"
#include "tests/game/world/WorldTestSupport.h"

namespace world_test {

class AwardServices : public RecordingServices {
public:
    void GrantProfileAward(DWORD awardBit, const char* textName) override {
        awards.emplace_back(awardBit, textName);
    }
    std::vector<std::pair<DWORD, std::string>> awards;
};

class CharacterTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        SetWorldServices(&awardServices_);
        WriteObjectPaths();
        AddObjectModels();
    }
    void TearDown() override {
        SetWorldServices(nullptr);
        WorldTest::TearDown();
    }

    // Rows of text, top row first (row 0): '#' a floor tile, '^' a floor with spikes facing
    // down (met by a fall toward -y), anything else empty.
    static void DrawGrid(Level& level, const std::vector<std::string>& rows) {
        const auto height = static_cast<std::int32_t>(rows.size());
        const auto width = static_cast<std::int32_t>(rows.empty() ? 0 : rows[0].size());
        ASSERT_TRUE(level.AllocateGrid(width, height));
        for (std::int32_t row = 0; row < height; ++row)
            for (std::int32_t column = 0; column < width; ++column) {
                const char cell = rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
                if (cell == '#' || cell == '^') level.TileAt(column, row)->type = 5;
                if (cell == '^') level.TileAt(column, row)->SetFlags(kTileSpikesDown);
            }
    }
    // An object of that code, initialised, at the tile's corner as the factory places it; the
    // level owns it.
    static LevelObject* Place(Level& level, std::uint32_t code, std::int32_t column, std::int32_t row) {
        LevelObject* object = NewLevelObject(static_cast<std::int32_t>(code));
        EXPECT_NE(object, nullptr);
        if (object == nullptr) return nullptr;
        object->Init(code);
        object->kind = code;
        object->position = object->placement = {10.0f * static_cast<float>(column),
                                                 10.0f * static_cast<float>(row), 0.0f};
        // The tests place objects by their tile: the offsets inside it do not move them off it.
        object->offset = {5.0f, 5.0f, 0.0f};
        EXPECT_TRUE(level.AddObject(object));
        return object;
    }
    // The centre of a tile, where the rules put a standing character.
    static Vector3 Centre(std::int32_t column, std::int32_t row) {
        return {10.0f * static_cast<float>(column) + 5.0f, 10.0f * static_cast<float>(row) + 5.0f, 0.0f};
    }
    void AddCharacterModels() {
        models_->Add("bram_cutscene", {"joint6"});
        models_->Add("character_02_jumper");
        models_->Add("bram_ghost");
        models_->Add("message1");
    }
    void WriteCharacterAnimations() const {
        for (const char* name : kCharacterAnimationNames) WritePath(name, 20, {0, 0, 0}, {0, 0, 1});
    }

    AwardServices awardServices_;
};

}  // namespace world_test
