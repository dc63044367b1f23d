// The player's position as the character's update last set it.
#include "game/world/services/PlayerLocation.h"

#include "engine/core/math/VectorMath.h"
#include "game/world/services/WorldServices.h"

namespace {
Vector3 g_playerPosition{0, 0, 0};
}  // namespace

const Vector3& PlayerPosition() { return g_playerPosition; }

void SetPlayerPosition(const Vector3& position) { g_playerPosition = position; }

void RumbleWhenPlayerNear(const Vector3& point) {
    Vector3 apart;
    Vector3Sub(g_playerPosition, point, apart);
    if (Vector3LengthSquared(apart) < kRumbleDistanceSquared) GetWorldServices().TriggerRumble();
}
