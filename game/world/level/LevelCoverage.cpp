// Which tiles the level objects cover: a spike cube its own tile, an open blocker door or a
// bridge the tiles it spans, a living TESK its tile and the one it faces.
#include "game/world/level/Level.h"
#include "game/world/objects/BlockerDoorObject.h"
#include "game/world/objects/BridgeObject.h"
#include "game/world/objects/TeskObject.h"

namespace {

struct Offset {
    float x, y;
};

struct Footprint {
    const Offset* offsets;
    int count;
};

constexpr Offset kBlockerUp[] = {{0, -10}, {0, -20}};
constexpr Offset kBlockerDown[] = {{-10, 0}, {-10, 10}, {-10, 20}};
constexpr Offset kBlockerLeft[] = {{0, 0}, {10, 0}};
constexpr Offset kBlockerRight[] = {{-10, -10}, {-20, -10}};
const Footprint kBlockerFootprints[] = {{kBlockerUp, 2}, {kBlockerDown, 3}, {kBlockerLeft, 2}, {kBlockerRight, 2}};

// Per bridge code: the tiles while its down flag is clear, then while it is set.
constexpr Offset kBridgeUp[] = {{0, -10}, {0, -20}};
constexpr Offset kBridgeDown[] = {{0, 10}, {0, 20}};
constexpr Offset kBridgeLeftOver[] = {{-10, 0}, {-20, 0}};
constexpr Offset kBridgeRightOver[] = {{10, 0}, {20, 0}};
const Footprint kBridgeFootprints[4][2] = {{{kBridgeUp, 2}, {kBridgeRightOver, 2}},
                                           {{kBridgeDown, 2}, {kBridgeLeftOver, 2}},
                                           {{kBridgeUp, 2}, {kBridgeLeftOver, 2}},
                                           {{kBridgeDown, 2}, {kBridgeRightOver, 2}}};

constexpr Offset kOwnTile[] = {{0, 0}};
constexpr Offset kTeskUp[] = {{0, 0}, {0, -10}};
constexpr Offset kTeskDown[] = {{0, 0}, {0, 10}};
constexpr Offset kTeskLeft[] = {{0, 0}, {-10, 0}};
constexpr Offset kTeskRight[] = {{0, 0}, {10, 0}};
const Footprint kTeskFootprints[] = {{kTeskUp, 2}, {kTeskDown, 2}, {kTeskLeft, 2}, {kTeskRight, 2}};

// The tiles the object covers now; none while a door is closed or a TESK is dead.
Footprint FootprintOf(const LevelObject& object) {
    const std::uint32_t kind = object.kind;
    if (const DoorState* door = object.Door();
        door != nullptr && kind >= kObjectFirstBlocker && kind <= kObjectLastBlocker) {
        if (door->closed != 0) return {nullptr, 0};
        return kBlockerFootprints[kind - kObjectFirstBlocker];
    }
    if (const BridgeState* bridge = object.Bridge();
        bridge != nullptr && kind >= kObjectFirstBridge && kind <= kObjectLastBridge)
        return kBridgeFootprints[kind - kObjectFirstBridge][bridge->swung != 0 ? 1 : 0];
    if (const TeskObject* tesk = object.Tesk();
        tesk != nullptr && kind >= kObjectFirstTesk && kind <= kObjectLastTesk) {
        if (!tesk->IsAlive()) return {nullptr, 0};
        return kTeskFootprints[(kind - kObjectFirstTesk) % 4];
    }
    return {kOwnTile, 1};
}

}  // namespace

bool Level::ObjectCovers(const Vector2& tile, int& isSpikeCube) const {
    const LevelObject* object = CoveringObject(tile, nullptr);
    isSpikeCube = object != nullptr && object->kind == kObjectSpikeCube ? 1 : 0;
    return object != nullptr;
}

const LevelObject* Level::CoveringObject(const Vector2& tile, const LevelObject* skip) const {
    for (KDLListIterator it(const_cast<KDLList&>(activeObjects)); !it.AtEnd(); it.Next()) {
        const auto* object = static_cast<const LevelObject*>(it.Item());
        if (object == skip || (object->flags & kObjectCoversTiles) == 0) continue;
        // A spike cube covers the tile of its world position; every other object counts from
        // its base position.
        const bool spikeCube = object->kind == kObjectSpikeCube;
        const Vector3 base = spikeCube ? object->GetWorldPosition() : object->position;
        const Footprint footprint = FootprintOf(*object);
        for (int i = 0; i < footprint.count; ++i) {
            const Offset& offset = footprint.offsets[i];
            const Vector2 covered = WorldToTile(Vector3{base.x + offset.x, base.y + offset.y, base.z});
            if (covered.x == tile.x && covered.y == tile.y) return object;
        }
    }
    return nullptr;
}

bool Level::IsWalkable(const Vector2& tile) const {
    if (IsSolidAt(tile)) return true;
    int isSpikeCube = 0;
    return ObjectCovers(tile, isSpikeCube);
}
