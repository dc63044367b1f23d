// Building and showing a fixture level.
#include "tools/kelview/LevelFixture.h"

#include <vector>

#include "engine/core/node/KNode.h"
#include "game/world/factory/LevelObjectFactory.h"
#include "game/world/level/Level.h"
#include "game/world/objects/PortalObjects.h"
#include "game/world/services/WorldServices.h"
#include "tools/source_text/SourceText.h"

namespace kelview {

namespace {

constexpr long kMaximumSide = 64;
// Long enough for a portal's effect to open fully and a spawn effect to be at its largest.
constexpr float kPortalShowTime = 1.0f;
constexpr float kSpawnShowTime = 0.25f;
constexpr float kShowStep = 1.0f / 30.0f;

struct Placement {
    long code, column, row;
};

void Show(LevelObject& object) {
    float seconds = 0.0f;
    if (object.kind >= kObjectFirstPortal && object.kind <= kObjectLastPortal) {
        static_cast<ExitPortalObject&>(object).Open(false);
        seconds = kPortalShowTime;
    } else if (object.kind == kObjectSpawnEffect) {
        seconds = kSpawnShowTime;
    }
    object.Update(0.0f);
    for (float time = 0.0f; time < seconds; time += kShowStep) object.Update(kShowStep);
}

}  // namespace

bool BuildFixtureLevel(const std::string& text, const std::string& fileName, Level& level, std::string& error) {
    long columns = 0, rows = 0, levelIndex = 8;
    std::vector<std::vector<long>> types;
    std::vector<Placement> objects;
    for (const SourceLine& line : SplitSourceLines(text)) {
        SourceReader reader(fileName, line);
        const std::string& word = line.words[0];
        if (word == "size" && line.words.size() == 3 && columns == 0) {
            columns = reader.Integer(line.words[1], 1, kMaximumSide, "the column count");
            rows = reader.Integer(line.words[2], 1, kMaximumSide, "the row count");
            types.assign(static_cast<std::size_t>(rows),
                         std::vector<long>(static_cast<std::size_t>(columns), kTileEmpty));
        } else if (word == "row" && columns > 0 && line.words.size() >= 2) {
            const long row = reader.Integer(line.words[1], 0, rows - 1, "the row");
            if (static_cast<long>(line.words.size()) - 2 > columns) reader.Fail("the row is longer than the size");
            for (std::size_t i = 2; i < line.words.size() && !reader.Failed(); ++i)
                types[static_cast<std::size_t>(row)][i - 2] =
                    line.words[i] == "." ? kTileEmpty : reader.Integer(line.words[i], 0, kTileEmpty, "a tile type");
        } else if (word == "object" && columns > 0 && line.words.size() == 4) {
            Placement placement{reader.Integer(line.words[1], 0, kObjectNone - 1, "the object's type code"),
                                reader.Integer(line.words[2], 0, columns - 1, "the object's column"),
                                reader.Integer(line.words[3], 0, rows - 1, "the object's row")};
            objects.push_back(placement);
        } else if (word == "level" && line.words.size() == 2) {
            levelIndex = reader.Integer(line.words[1], 0, 1000, "the level index");
        } else {
            reader.Fail("\"" + word +
                        "\" is not a line of a fixture level here (size first, then row, object and level)");
        }
        if (reader.Failed()) {
            error = reader.Error();
            return false;
        }
    }
    if (columns == 0 || !level.AllocateGrid(static_cast<std::int32_t>(columns), static_cast<std::int32_t>(rows))) {
        error = fileName + ": the fixture level has no size.";
        return false;
    }
    for (std::int32_t row = 0; row < rows; ++row) {
        for (std::int32_t column = 0; column < columns; ++column) {
            LevelTile& tile = *level.TileAt(column, row);
            tile.AssignType(
                static_cast<std::uint32_t>(types[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]));
            if (tile.node == nullptr) continue;
            tile.node->SetPosition(Vector3{10.0f * static_cast<float>(column), 10.0f * static_cast<float>(row), 0.0f});
            BuildTransform(tile.node->Transform());
        }
    }
    GetWorldServices().Controller().levelIndex = static_cast<std::int32_t>(levelIndex);
    for (const Placement& placement : objects) {
        if (CreateLevelObjects(level, static_cast<std::int32_t>(placement.code),
                               static_cast<std::int32_t>(placement.column),
                               static_cast<std::int32_t>(placement.row)) == 0) {
            error = fileName + ": the object of type " + std::to_string(placement.code) + " has no model in the data.";
            return false;
        }
        Show(*static_cast<LevelObject*>(level.activeObjects.tail->item));
    }
    return true;
}

void AttachFixtureLevel(Level& level, KNode& root) {
    for (std::int32_t row = 0; row < level.height; ++row)
        for (std::int32_t column = 0; column < level.width; ++column)
            if (KNode* node = level.TileAt(column, row)->node) root.AddChildEx(node, false);
    for (KDLListIterator it(level.activeObjects); !it.AtEnd(); it.Next())
        if (KNode* model = static_cast<LevelObject*>(it.Item())->model) root.AddChildEx(model, false);
}

void DetachFixtureLevel(KNode& root) {
    while (KNode* child = root.FirstChild()) root.RemoveChild(child);
}

}  // namespace kelview
