// Where the player character stands, for the level objects that measure their distance to it
// (a door or a landing spike cube shakes the handset only when the character is near). The
// character's update keeps it current.
#pragma once

#include "engine/core/math/MathTypes.h"

const Vector3& PlayerPosition();
void SetPlayerPosition(const Vector3& position);

// Squared distance below which a nearby door, bridge or spike cube starts the vibration.
constexpr float kRumbleDistanceSquared = 1300.0f;
// The vibration, when the player is within that distance of the point.
void RumbleWhenPlayerNear(const Vector3& point);
