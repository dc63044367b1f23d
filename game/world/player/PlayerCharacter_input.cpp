// The input step: the controller's bits become jumps, pushes and quarter turns.
#include <cmath>

#include "game/world/level/Level.h"
#include "game/world/player/PlayerCharacter.h"
#include "game/world/services/WorldServices.h"

namespace {
constexpr float kUpJumpFromSide = -33.6f;
constexpr float kSideJumpDrift = 5.6f;
}  // namespace

Vector2 LocalToWorld(float lateral, float along, float yawDegrees) {
    const float angle = yawDegrees * 0.017453292f;
    const float sine = std::sin(angle);
    const float cosine = std::cos(angle);
    // Local (x, y) with y along the fall: the fall of facing 0 goes toward -y.
    const float x = lateral;
    const float y = -along;
    return Vector2{x * cosine - y * sine, x * sine + y * cosine};
}

void PlayerCharacter::AimLeapAtTileCentre() {
    const Vector2 tile = WorldToTile(position);
    if (facing == 0 || facing == 2)
        leapVector.x = tile.x * 10.0f + 5.0f - position.x;
    else
        leapVector.y = tile.y * 10.0f + 5.0f - position.y;
}

void PlayerCharacter::ApplyInput(std::uint32_t bits) {
    if (IsInDeep() || dead != 0 || IsFallingWhileTurning() || IsInTransfer()) return;
    if (bits != 0) inputSeen = 1;
    const bool falling = IsMoving();
    const bool sideJump = (bits & (kInputJumpLeft | kInputJumpRight)) != 0;
    if (falling || waiting != 0 || sideJump) {
        pushed = 0;
    } else if (pushed != 0 && grounded != 0) {
        fallSpeed = depthSpeed = 0.0f;
        lateralSpeed = pushDirection == 0 ? kPushSpeed : -kPushSpeed;
    }

    if (!falling && currentAnimation != kAnimHardFall && (grounded != 0 || leaping != 0)) {
        const bool up = (bits & kInputJumpUp) != 0;
        const bool upAllowed = timeSinceLanding > kJumpLockTime;
        if (sideJump) {
            const float sign = (bits & kInputJumpLeft) != 0 ? -1.0f : 1.0f;
            ++lateralJumps;
            ++moves;
            lateralSpeed = sign * kSideJumpSpeed;
            fallSpeed = depthSpeed = 0.0f;
            if (up && upAllowed) {
                lateralSpeed += sign * kSideJumpDrift;
                fallSpeed += kUpJumpFromSide;
                airborne = 1;
                ++upwardJumps;
            }
        } else if (up && upAllowed) {
            ++moves;
            ++upwardJumps;
            fallSpeed = kUpJumpSpeed;
            lateralSpeed = depthSpeed = 0.0f;
            airborne = 1;
        } else if (pushed == 0) {
            lateralSpeed = fallSpeed = depthSpeed = 0.0f;
        }
        if (fallSpeed != 0.0f) {
            GetWorldServices().PlaySoundEffect(kSoundJump, false, false);
            lateralReference = position;
            timeSinceLanding = 0.0f;
            pendingLeap = 1;
            savedLeapVector = leapVector;
            leapVector = Vector3{0, 0, 0};
            AimLeapAtTileCentre();
            lateralDistance = fallDistance = 0.0f;
        } else {
            lateralDistance = fallDistance = 0.0f;
            fallReference = position;
        }
    }
    if (fallSpeed < -0.1f) fallReference = position;

    const bool turnLeft = (bits & kInputTurnLeft) != 0;
    const bool turnRight = (bits & kInputTurnRight) != 0;
    if ((turnLeft || turnRight) && timeSinceTurn > kTurnLockTime && targetFacing == kNoTurn) {
        turnAmount = turnLeft ? -90.0f : 90.0f;
        targetFacing = (facing + (turnLeft ? 3 : 1)) % 4;
        if (!IsMoving()) {
            // A standing character hops so that it turns in the air.
            fallSpeed = kTurnHopSpeed;
            airborne = 1;
            pendingLeap = 1;
            grounded = 0;
            lateralSpeed = 0.0f;
            savedLeapVector = leapVector;
            leapVector = Vector3{0, 0, 0};
            AimLeapAtTileCentre();
        } else {
            ++turnsWhileFalling;
        }
        ++moves;
        GetWorldServices().PlaySoundEffect(kSoundRotate, false, false);
        turnProgress = 0.0f;
        timeSinceTurn = 0.0f;
        fallDistance += std::fabs((facing == 0 || facing == 2) ? position.y - fallReference.y
                                                               : position.x - fallReference.x);
        lateralDistance += std::fabs((facing == 0 || facing == 2) ? position.x - lateralReference.x
                                                                  : position.y - lateralReference.y);
        fallReference = position;
        lateralReference = position;
    }
}
