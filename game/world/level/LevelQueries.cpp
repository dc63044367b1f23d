// The queries on the grid: tiles of positions, bounds, free tiles, the tiles ahead of the
// character and the side of its tile it stands on.
#include <cmath>

#include "engine/core/math/Random.h"
#include "engine/core/math/VectorMath.h"
#include "game/world/level/Level.h"

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
// Ahead of the character, the ground is looked for this far.
constexpr float kGroundAheadDistance = 7.0f;
// Column and row draws that can still reach a new square (see RandomEmptyTile).
constexpr int kRandomTileAttempts = 512;

Vector2 TurnToFacing(const Vector3& localDirection, bool normalise, std::int32_t facing) {
    Vector3 direction = localDirection;
    if (normalise) Vector3Normalize(direction);
    Vector2 turned{direction.x, direction.y};
    Vector2Rotate(turned, static_cast<float>(facing * 90) * kDegreesToRadians);
    return turned;
}

std::int32_t StepOf(std::int32_t delta) { return delta < 0 ? -1 : 1; }

std::int32_t Magnitude(std::int32_t value) { return value < 0 ? -value : value; }

}  // namespace

Vector2 WorldToTile(const Vector3& position) {
    if (position.x < 0.0f || position.y < 0.0f) return {0.0f, 0.0f};
    return {std::trunc(position.x * 0.1f), std::trunc(position.y * 0.1f)};
}

bool SameTile(const Vector3& a, const Vector3& b) { return Vector2Equal(WorldToTile(a), WorldToTile(b)); }

bool Level::IsSolidAt(const Vector2& tile) const {
    const LevelTile* found = TileAtCoordinates(tile.x, tile.y);
    return found != nullptr && found->IsNotEmpty();
}

void Level::ComputeBounds() {
    std::int32_t minColumn = 0x7FFFFFFF, minRow = 0x7FFFFFFF, maxColumn = -1, maxRow = -1;
    for (std::int32_t row = 0; row < height; ++row) {
        for (std::int32_t column = 0; column < width; ++column) {
            if (!TileAt(column, row)->IsSolid()) continue;
            if (column < minColumn) minColumn = column;
            if (column > maxColumn) maxColumn = column;
            if (row < minRow) minRow = row;
            if (row > maxRow) maxRow = row;
        }
    }
    if (maxColumn < 0) {
        columnSpan = rowSpan = 1;
        firstColumn = firstRow = 0x7FFFFFFF;
        return;
    }
    columnSpan = maxColumn - minColumn;
    rowSpan = maxRow - minRow;
    firstColumn = minColumn;
    firstRow = minRow;
}

// Tiles of the search area that lie outside a smaller grid are not free: nothing is read there.
std::int32_t Level::CountFreeTiles() const {
    std::int32_t count = 0;
    for (std::int32_t row = 0; row < kFreeTileSearchSize; ++row) {
        for (std::int32_t column = 0; column < kFreeTileSearchSize; ++column) {
            const LevelTile* tile = TileAt(column, row);
            if (tile != nullptr && !tile->IsOccupied()) ++count;
        }
    }
    return count;
}

Vector3 Level::RandomEmptyTile() const {
    const std::int32_t freeTiles = CountFreeTiles();
    if (freeTiles == 0) return {0, 0, 0};
    const auto centre = [](std::int32_t column, std::int32_t row) {
        return Vector3{10.0f * static_cast<float>(column) + 5.0f, 10.0f * static_cast<float>(row) + 5.0f, 0.0f};
    };
    // The five bits drawn for a column or a row depend only on the seed's low ten bits, which
    // repeat every 1024 steps: after 512 pairs no new square can come, so a grid whose free
    // tiles the draws never reach would hold the game here forever.
    for (int attempt = 0; attempt < kRandomTileAttempts; ++attempt) {
        const auto column = static_cast<std::int32_t>(NextRandom() & 31);
        const auto row = static_cast<std::int32_t>(NextRandom() & 31);
        const LevelTile* tile = TileAt(column, row);
        if (tile != nullptr && !tile->IsOccupied()) return centre(column, row);
    }
    // Those draws missed every free tile: take one of them by a further draw, in row order.
    std::int32_t pick = static_cast<std::int32_t>(NextRandom() % static_cast<std::uint32_t>(freeTiles));
    for (std::int32_t row = 0; row < kFreeTileSearchSize; ++row) {
        for (std::int32_t column = 0; column < kFreeTileSearchSize; ++column) {
            const LevelTile* tile = TileAt(column, row);
            if (tile == nullptr || tile->IsOccupied()) continue;
            if (pick-- == 0) return centre(column, row);
        }
    }
    return {0, 0, 0};
}

const Vector3& Level::GetCameraEye(int slot) const {
    return cameraEyes[slot >= 0 && slot < kCameraSlotCount ? slot : 0];
}

const Vector3& Level::GetCameraTarget(int slot) const {
    return cameraTargets[slot >= 0 && slot < kCameraSlotCount ? slot : 0];
}

Vector2 Level::PointAhead(const Vector3& position, const Vector3& localDirection, float distance, bool normalise,
                          std::int32_t facing) const {
    const Vector2 direction = TurnToFacing(localDirection, normalise, facing);
    return WorldToTile(Vector3{position.x + distance * direction.x, position.y + distance * direction.y, position.z});
}

bool Level::GroundAhead(const Vector3& position, const Vector3& localDirection, std::int32_t facing) const {
    return IsSolidAt(PointAhead(position, localDirection, kGroundAheadDistance, true, facing));
}

int Level::SpikeAhead(const Vector3& position, const Vector3& localDirection, float distance, std::int32_t facing,
                      int& blocked) const {
    const Vector2 tilePosition = PointAhead(position, localDirection, distance, false, facing);
    const LevelTile* tile = TileAtCoordinates(tilePosition.x, tilePosition.y);
    if (tile == nullptr || !tile->IsNotEmpty()) return 0;
    const Vector2 direction = TurnToFacing(localDirection, false, facing);
    DWORD facingSpikes = 0;
    if (direction.y < -0.5f)
        facingSpikes = kTileSpikesDown;
    else if (direction.y > 0.5f)
        facingSpikes = kTileSpikesUp;
    else if (direction.x > 0.5f)
        facingSpikes = kTileSpikesLeft;
    else if (direction.x < -0.5f)
        facingSpikes = kTileSpikesRight;
    if ((tile->flags & facingSpikes) != 0) blocked = 1;
    return 1;
}

bool Level::SegmentHitsTile(const Vector3& from, const Vector3& localDirection, float distance, const Vector2& tile,
                            std::int32_t dx, std::int32_t dy, bool normalise, std::int32_t facing) const {
    Vector2 at = PointAhead(from, localDirection, distance, normalise, facing);
    if (Vector2Equal(at, tile)) return true;
    for (std::int32_t i = 0; i < Magnitude(dx); ++i) {
        at.x += static_cast<float>(StepOf(dx));
        if (Vector2Equal(at, tile)) return true;
    }
    for (std::int32_t i = 0; i < Magnitude(dy); ++i) {
        at.y += static_cast<float>(StepOf(dy));
        if (Vector2Equal(at, tile)) return true;
    }
    return false;
}

std::int32_t LateralSide(const Vector3& position, std::int32_t facing) {
    const bool acrossX = facing == 0 || facing == 2;
    float coordinate = acrossX ? position.x : position.y;
    if (!(std::fabs(coordinate) < 1e9f)) coordinate = 0.0f;
    const auto inside = static_cast<float>(static_cast<std::int64_t>(coordinate) % 10);
    if (inside > 3.9f && inside < 6.1f) return 0;
    if (facing == 0 || facing == 1) return inside > 5.0f ? 1 : -1;
    return inside < 5.0f ? 1 : -1;
}

void ClampToTileSide(Vector3& position, std::int32_t facing, std::int32_t side) {
    const Vector2 tile = WorldToTile(position);
    const float low[2] = {10.0f * tile.x + 3.0f, 10.0f * tile.y + 3.0f};
    const float high[2] = {10.0f * (tile.x + 1.0f) - 3.0f, 10.0f * (tile.y + 1.0f) - 3.0f};
    // Side 0 is the high edge for facings 0 and 1, the low one for 2 and 3; side 1 the other.
    const bool toHigh = (facing == 0 || facing == 1) == (side == 0);
    const int axis = facing == 0 || facing == 2 ? 0 : 1;
    (axis == 0 ? position.x : position.y) = toHigh ? high[axis] : low[axis];
}

void CentreOnTile(Vector3& position, std::int32_t facing) {
    const Vector2 tile = WorldToTile(position);
    if (facing == 0 || facing == 2)
        position.y = 10.0f * (tile.y + 1.0f) - 5.02f;
    else
        position.x = 10.0f * (tile.x + 1.0f) - 5.02f;
}
