// Whether a leap along the facing may stand: the first floor along the fall, and the objects
// on the way that forbid the leap.
#include <cstdlib>

#include "game/world/level/Level.h"
#include "game/world/objects/LevelObject.h"
#include "game/world/player/PlayerCharacter.h"
#include "game/world/rules/MovementRules.h"

namespace {

std::int32_t Column(const Vector2& tile) { return static_cast<std::int32_t>(tile.x); }
std::int32_t Row(const Vector2& tile) { return static_cast<std::int32_t>(tile.y); }

bool InsideGrid(const Level& level, std::int32_t column, std::int32_t row) {
    return column >= 0 && row >= 0 && column < level.width && row < level.height;
}

// A spike cube between the character's tile (inclusive) and the floor (exclusive).
bool SpikeCubeOnTheWay(std::int32_t facing, const Vector2& t, const Vector2& f, const Vector2& o) {
    switch (facing) {
    case 0: return Column(o) == Column(t) && Row(f) < Row(o) && Row(o) <= Row(t);
    case 1: return Row(o) == Row(t) && Column(t) <= Column(o) && Column(o) < Column(f);
    case 2: return Column(o) == Column(t) && Row(t) <= Row(o) && Row(o) < Row(f);
    case 3: return Row(o) == Row(t) && Column(f) < Column(o) && Column(o) <= Column(t);
    default: return false;
    }
}

bool WithinTwo(std::int32_t distance) { return distance > 0 && distance <= 2; }

// A blocker door one or two tiles ahead in the character's column or row, for its one facing.
bool DoorAhead(std::uint32_t kind, std::int32_t facing, const Vector2& t, const Vector2& o) {
    switch (kind - kObjectFirstBlocker) {
    case 0: return facing == 2 && Column(o) == Column(t) && WithinTwo(Row(o) - Row(t));
    case 1: return facing == 0 && Column(o) == Column(t) && WithinTwo(Row(t) - Row(o));
    case 2: return facing == 3 && Row(o) == Row(t) && WithinTwo(Column(t) - Column(o));
    case 3: return facing == 1 && Row(o) == Row(t) && WithinTwo(Column(o) - Column(t));
    default: return false;
    }
}

// A bridge at most one tile to the side and one or two tiles away, by bridge and facing.
bool BridgeAhead(std::uint32_t kind, std::int32_t facing, const Vector2& t, const Vector2& o) {
    const std::int32_t dc = Column(o) - Column(t);
    const std::int32_t dr = Row(o) - Row(t);
    const bool columnNear = std::abs(dc) <= 1;
    const bool rowNear = std::abs(dr) <= 1;
    const bool lowFacings = facing == 0 || facing == 3;  // "UP" and "DOWN" split 0,3 from 1,2
    const bool firstFacings = facing == 0 || facing == 1;  // "LEFT" and "RIGHT" split 0,1 from 2,3
    if (facing < 0 || facing > 3) return false;
    switch (kind - kObjectFirstBridge) {
    case 0: return lowFacings ? rowNear && WithinTwo(-dc) : columnNear && WithinTwo(dr);
    case 1: return lowFacings ? columnNear && WithinTwo(-dr) : rowNear && WithinTwo(dc);
    case 2: return firstFacings ? rowNear && WithinTwo(dc) : columnNear && WithinTwo(dr);
    case 3: return firstFacings ? columnNear && WithinTwo(-dr) : rowNear && WithinTwo(-dc);
    default: return false;
    }
}

}  // namespace

Vector2 FacingStep(std::int32_t facing) {
    switch (facing) {
    case 0: return {0.0f, -10.0f};
    case 1: return {10.0f, 0.0f};
    case 2: return {0.0f, 10.0f};
    case 3: return {-10.0f, 0.0f};
    default: return {0.0f, 0.0f};
    }
}

Vector2 FirstFloorAlong(const Level& level, const Vector2& tile, std::int32_t facing, bool* offGrid) {
    if (offGrid != nullptr) *offGrid = false;
    const Vector2 step = FacingStep(facing);
    std::int32_t column = Column(tile);
    std::int32_t row = Row(tile);
    const std::int32_t dc = static_cast<std::int32_t>(step.x / 10.0f);
    const std::int32_t dr = static_cast<std::int32_t>(step.y / 10.0f);
    // The walk ends at a floor, or at the first tile past the grid's edge: beyond it there is
    // no floor, and a grid whose tile (0, 0) is empty would otherwise be walked into forever.
    for (;;) {
        if (!InsideGrid(level, column, row)) {
            if (offGrid != nullptr) *offGrid = true;
            break;
        }
        if (level.TileAt(column, row)->IsNotEmpty() || (dc == 0 && dr == 0)) break;
        column += dc;
        row += dr;
    }
    return Vector2{static_cast<float>(column), static_cast<float>(row)};
}

int ResolveMove(const Level& level, const PlayerCharacter& character) {
    if (character.blocked != 0) return 0;
    const std::int32_t facing = character.facing;
    const Vector2 t = WorldToTile(character.position);
    const Vector2 f = FirstFloorAlong(level, t, facing);
    for (const KDLLink* link = level.activeObjects.head; link != nullptr; link = link->next) {
        const auto* object = static_cast<const LevelObject*>(link->item);
        if (object == nullptr) continue;
        const std::uint32_t kind = object->kind;
        const Vector2 o = WorldToTile(object->GetWorldPosition());
        if (kind == kObjectSpikeCube) {
            if (SpikeCubeOnTheWay(facing, t, f, o)) return 0;
        } else if (kind >= kObjectFirstBlocker && kind <= kObjectLastBlocker) {
            if (DoorAhead(kind, facing, t, o)) return 0;
        } else if (kind >= kObjectFirstBridge && kind <= kObjectLastBridge) {
            if (BridgeAhead(kind, facing, t, o)) return 0;
        }
    }
    return 1;
}
