// Reading a level file's tags into the level.
#include "game/world/levelfile/LevelFile.h"

#include <cstring>

#include "engine/core/containers/KDLList.h"
#include "engine/core/files/TagFile.h"
#include "engine/core/math/ColorMath.h"
#include "engine/core/math/VectorMath.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/node/KNode.h"
#include "engine/core/node/NodeTransform.h"
#include "engine/core/text/TextCompare.h"
#include "engine/render/RenderTypes.h"
#include "game/world/factory/LevelObjectFactory.h"
#include "game/world/level/Level.h"
#include "game/world/objects/LevelObject.h"
#include "game/world/player/PlayerCharacter.h"

namespace {

// Light colours in the file are brightened by this much.
constexpr float kLightBoost = 1.5f;
constexpr float kDefaultFarRange = 100.0f;

const char* const kDirectionWords[4] = {"UP", "DOWN", "LEFT", "RIGHT"};
const char* const kCameraNames[kCameraSlotCount] = {"BRAM_FAR_1", "BRAM_NEAR_1", "ODILE_FAR_1", "ODILE_NEAR_1", "BOTH_FAR",
                                                    "BIRD",       "FROG",        "PORTAL",      "OVERVIEW"};

enum class TagResult { kRead, kFailed };

struct ReadState {
    Level& level;
    const char* source;
    std::int32_t nextRow = 0;
};

bool Is(const TagFileTag& tag, const char* name) { return CompareNoCase(tag.name.Text(), name) == 0; }

// 0 to 3 for the direction words, 4 for any other word.
std::int32_t DirectionIndex(const TagFileTag& tag) {
    EngineString word;
    if (tag.GetString(0, word) == 0) return 4;
    for (std::int32_t i = 0; i < 4; ++i)
        if (CompareNoCase(word.Text(), kDirectionWords[i]) == 0) return i;
    return 4;
}

TagResult Fail(const ReadState& state, const TagFileTag& tag, const char* why) {
    LogException("%s: %s %s.", KEL_SOURCE_FILE, __LINE__, state.source, tag.name.Text(), why);
    return TagResult::kFailed;
}

TagResult ReadSize(ReadState& state, const TagFileTag& tag) {
    Level& level = state.level;
    std::int32_t width = 0;
    std::int32_t height = 0;
    if (tag.GetInt(0, width) == 0 || tag.GetInt(1, height) == 0) return Fail(state, tag, "needs a width and a height");
    if (level.HasGrid()) return Fail(state, tag, "comes after the grid was already sized");
    if (width < 1 || height < 1 || width > kLevelFileMaximumSide || height > kLevelFileMaximumSide) {
        LogException("%s: SIZE %d %d is outside 1 to %d tiles a side.", KEL_SOURCE_FILE, __LINE__, state.source, width,
                     height, kLevelFileMaximumSide);
        return TagResult::kFailed;
    }
    if (!level.AllocateGrid(width, height)) return Fail(state, tag, "could not have its grid allocated");
    return TagResult::kRead;
}

TagResult RowFails(const ReadState& state, const char* why) {
    LogException("%s: ROW %d %s.", KEL_SOURCE_FILE, __LINE__, state.source, state.nextRow, why);
    return TagResult::kFailed;
}

TagResult ReadRow(ReadState& state, const TagFileTag& tag) {
    Level& level = state.level;
    if (!level.HasGrid()) return RowFails(state, "comes before SIZE");
    if (tag.ValueCount() < static_cast<std::uint32_t>(level.width)) return RowFails(state, "is shorter than SIZE");
    // Rows past the height are ignored; values past the width are not read.
    if (state.nextRow >= level.height) {
        LogException("%s: ROW %d lies below the grid's %d rows; left out.", KEL_SOURCE_FILE, __LINE__, state.source,
                     state.nextRow++, level.height);
        return TagResult::kRead;
    }
    if (tag.ValueCount() > static_cast<std::uint32_t>(level.width))
        LogException("%s: ROW %d is longer than SIZE; the first %d types are used.", KEL_SOURCE_FILE, __LINE__,
                     state.source, state.nextRow, level.width);
    const std::int32_t row = state.nextRow++;
    for (std::int32_t column = 0; column < level.width; ++column) {
        std::int32_t type = 0;
        if (tag.GetInt(static_cast<std::uint32_t>(column), type) == 0) {
            --state.nextRow;
            return RowFails(state, "has a tile type that is not a number");
        }
        LevelTile* tile = level.TileAt(column, row);
        tile->AssignType(static_cast<std::uint32_t>(type));
        if (KNode* node = tile->node) {
            node->SetPosition(Vector3{kTileSize * static_cast<float>(column), kTileSize * static_cast<float>(row), 0});
            BuildTransformDefault(node->Transform());
        }
    }
    return TagResult::kRead;
}

// A light record with the file's colour brightened; null when memory runs out.
RenderLight* NewLight(std::uint32_t kind, const Color& colour) {
    auto* light = static_cast<RenderLight*>(EngineAlloc(sizeof(RenderLight)));
    if (light == nullptr) return nullptr;
    std::memset(light, 0, sizeof(RenderLight));
    light->kind = kind;
    ColorScaleRGB(colour, kLightBoost, light->diffuse);
    light->ambient = Color{0, 0, 0, 1};
    light->specular = Color{0, 0, 0, 1};
    light->direction = Vector3{0, 0, -1};
    light->farRange = kDefaultFarRange;
    return light;
}

void AppendLight(Level& level, RenderLight* light) {
    if (light != nullptr && !ListPushBack(level.lights, light)) EngineFree(light);
}

TagResult ReadLight(ReadState& state, const TagFileTag& tag) {
    Level& level = state.level;
    EngineString kind;
    if (tag.GetString(0, kind) == 0) return TagResult::kRead;
    Color colour{1, 1, 1, 1};
    if (CompareNoCase(kind.Text(), "AMBIENCE") == 0) {
        if (tag.GetColor(1, colour) != 0) ColorScaleRGB(colour, kLightBoost, level.ambience);
    } else if (CompareNoCase(kind.Text(), "OMNI") == 0) {
        Vector3 position{0, 0, 0};
        float nearRange = 0.0f;
        float farRange = 0.0f;
        if (tag.GetVector3(1, position) == 0 || tag.GetColor(2, colour) == 0 || tag.GetFloat(3, nearRange) == 0 ||
            tag.GetFloat(4, farRange) == 0)
            return TagResult::kRead;
        RenderLight* light = NewLight(0, colour);
        if (light != nullptr) {
            light->position = position;
            light->nearRange = nearRange;
            light->farRange = farRange;
        }
        AppendLight(level, light);
    } else if (CompareNoCase(kind.Text(), "DIR") == 0) {
        Vector3 direction{0, 0, 0};
        if (tag.GetVector3(1, direction) == 0 || tag.GetColor(2, colour) == 0) return TagResult::kRead;
        RenderLight* light = NewLight(2, colour);
        if (light != nullptr) {
            if (Vector3Length(direction) > 0.0f) Vector3Normalize(direction);
            light->direction = direction;
        }
        AppendLight(level, light);
    }
    return TagResult::kRead;
}

TagResult ReadCamera(ReadState& state, const TagFileTag& tag) {
    EngineString name;
    Vector3 eye{0, 0, 0};
    Vector3 target{0, 0, 0};
    if (tag.GetString(0, name) == 0 || tag.GetVector3(1, eye) == 0 || tag.GetVector3(2, target) == 0)
        return TagResult::kRead;
    for (int slot = 0; slot < kCameraSlotCount; ++slot)
        if (CompareNoCase(name.Text(), kCameraNames[slot]) == 0) {
            state.level.cameraEyes[slot] = eye;
            state.level.cameraTargets[slot] = target;
        }
    return TagResult::kRead;
}

// Column and row at two value indexes; objects are only placed on the grid.
bool ReadTile(const TagFileTag& tag, std::uint32_t first, std::int32_t& column, std::int32_t& row) {
    return tag.GetInt(first, column) != 0 && tag.GetInt(first + 1, row) != 0;
}

TagResult PlaceObject(ReadState& state, const TagFileTag& tag, std::int32_t typeCode, std::int32_t column,
                      std::int32_t row) {
    Level& level = state.level;
    if (level.TileAt(column, row) == nullptr) {
        LogException("%s: %s at column %d, row %d lies outside the grid; left out.", KEL_SOURCE_FILE, __LINE__,
                     state.source, tag.name.Text(), column, row);
        return TagResult::kRead;
    }
    const int created = CreateLevelObjects(level, typeCode, column, row);
    if (created != 0 && typeCode == static_cast<std::int32_t>(kObjectKey)) ++level.keyTotal;
    return TagResult::kRead;
}

TagResult ReadStart(ReadState& state, const TagFileTag& tag, std::uint32_t typeCode) {
    std::int32_t column = 0;
    std::int32_t row = 0;
    if (!ReadTile(tag, 0, column, row)) return Fail(state, tag, "needs a column and a row");
    Level& level = state.level;
    level.startColumn = static_cast<float>(column);
    level.startRow = static_cast<float>(row);
    if (typeCode == kObjectSpawnEffect && level.character != nullptr)
        level.character->startPosition = Vector3{kTileSize * static_cast<float>(column) + 5.0f,
                                                 kTileSize * static_cast<float>(row + 1) - kStartInsetAlongRow, 0};
    return PlaceObject(state, tag, static_cast<std::int32_t>(typeCode), column, row);
}

TagResult ReadPlainObject(ReadState& state, const TagFileTag& tag, std::uint32_t typeCode) {
    std::int32_t column = 0;
    std::int32_t row = 0;
    if (!ReadTile(tag, 0, column, row)) return Fail(state, tag, "needs a column and a row");
    return PlaceObject(state, tag, static_cast<std::int32_t>(typeCode), column, row);
}

// A direction word, then column and row: four consecutive codes of a family.
TagResult ReadDirectedObject(ReadState& state, const TagFileTag& tag, std::uint32_t firstCode) {
    std::int32_t column = 0;
    std::int32_t row = 0;
    if (tag.ValueCount() < 1 || !ReadTile(tag, 1, column, row))
        return Fail(state, tag, "needs a direction, a column and a row");
    const std::int32_t direction = DirectionIndex(tag);
    if (direction > 3) return TagResult::kRead;  // an unknown word creates nothing
    return PlaceObject(state, tag, static_cast<std::int32_t>(firstCode) + direction, column, row);
}

// A direction word, then column and row: one of four bits of the tile's flags or decoration.
TagResult ReadTileBits(ReadState& state, const TagFileTag& tag, DWORD firstBit, bool decoration) {
    std::int32_t column = 0;
    std::int32_t row = 0;
    if (tag.ValueCount() < 1 || !ReadTile(tag, 1, column, row))
        return Fail(state, tag, "needs a direction, a column and a row");
    const std::int32_t direction = DirectionIndex(tag);
    LevelTile* tile = state.level.TileAt(column, row);
    if (direction > 3 || tile == nullptr) return TagResult::kRead;
    const DWORD bit = firstBit << direction;
    if (decoration)
        tile->SetDecoration(bit);
    else
        tile->SetFlags(bit);
    return TagResult::kRead;
}

TagResult ReadStatistic(const TagFileTag& tag, float& out) {
    std::int32_t value = 0;
    if (tag.GetInt(0, value) != 0) out = static_cast<float>(value);
    return TagResult::kRead;
}

struct DirectedTag {
    const char* name;
    std::uint32_t firstCode;
};
const DirectedTag kDirectedObjects[] = {{"EXITPOINT", 10}, {"DAMPER", 15},  {"BLOCKER", 19},
                                        {"BRIDGE", 23},    {"TESK_L", 27},  {"TESK_R", 31}};

struct BitTag {
    const char* name;
    DWORD firstBit;
};
const BitTag kDecorations[] = {{"FLOWER", 0x1},       {"PLANT", 0x10},       {"LIGHTPLANT", 0x100},
                               {"LEAF", 0x1000},      {"BIGPLANT", 0x10000}, {"BIGPLANT2", 0x100000},
                               {"ROOTPLANT", 0x1000000}, {"GRASS", 0x10000000}};

TagResult ReadTag(ReadState& state, const TagFileTag& tag) {
    if (Is(tag, "SIZE")) return ReadSize(state, tag);
    if (Is(tag, "ROW")) return ReadRow(state, tag);
    if (Is(tag, "LIGHT")) return ReadLight(state, tag);
    if (Is(tag, "CAM")) return ReadCamera(state, tag);
    if (Is(tag, "SPAWNPOINT")) return ReadStart(state, tag, kObjectSpawnEffect);
    if (Is(tag, "ODILE")) return ReadStart(state, tag, kObjectOdile);
    if (Is(tag, "KEY")) return ReadPlainObject(state, tag, kObjectKey);
    if (Is(tag, "SPIKECUBE")) return ReadPlainObject(state, tag, kObjectSpikeCube);
    for (const DirectedTag& directed : kDirectedObjects)
        if (Is(tag, directed.name)) return ReadDirectedObject(state, tag, directed.firstCode);
    if (Is(tag, "SPIKES")) return ReadTileBits(state, tag, kTileSpikesUp, false);
    for (const BitTag& decoration : kDecorations)
        if (Is(tag, decoration.name)) return ReadTileBits(state, tag, decoration.firstBit, true);
    if (Is(tag, "STATSTIME")) return ReadStatistic(tag, state.level.referenceTime);
    if (Is(tag, "STATSLOGIC")) return ReadStatistic(tag, state.level.referenceLogic);
    return TagResult::kRead;
}

int LoadParsed(Level& level, TagFile* root, const char* source) {
    if (CompareNoCase(root->name.Text(), "LEVEL") != 0) {
        LogException("%s: the file's top node is not LEVEL.", KEL_SOURCE_FILE, __LINE__, source);
        delete root;
        return 0;
    }
    const int result = ReadLevelTags(level, *root, source);
    delete root;
    PrepareLevel(level);
    return result;
}

}  // namespace

int ReadLevelTags(Level& level, TagFile& root, const char* source) {
    level.ambience = Color{0, 0, 0, 1};
    ListFreeAll(level.lights);
    ReadState state{level, source != nullptr ? source : "level", 0};
    for (KDLListIterator it(root.tags); !it.AtEnd(); it.Next())
        if (ReadTag(state, *static_cast<const TagFileTag*>(it.Item())) == TagResult::kFailed) return 0;
    return 1;
}

int LoadLevelFile(Level& level, const char* folder, const char* name) {
    if (name == nullptr || level.HasGrid()) return 0;
    const EngineString path = EngineString::Format("%s%s.qvn", folder != nullptr ? folder : "", name);
    auto* root = new TagFile();
    if (root == nullptr) return 0;
    if (root->Load(path.Text(), 0) != 0) {
        LogException("%s: the level file could not be read.", KEL_SOURCE_FILE, __LINE__, path.Text());
        delete root;
        return 0;
    }
    return LoadParsed(level, root, path.Text());
}

int LoadLevelText(Level& level, const char* text, const char* source) {
    if (text == nullptr || level.HasGrid()) return 0;
    auto* root = new TagFile();
    if (root == nullptr) return 0;
    if (root->ParseText(text) != 0) {
        delete root;
        return 0;
    }
    return LoadParsed(level, root, source != nullptr ? source : "level text");
}
