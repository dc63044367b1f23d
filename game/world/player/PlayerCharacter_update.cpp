// The per-frame state machine of the player character: death and the ghost, the climb, the
// exit, the air, walking, standing, and the scripted scenes of the cut-scenes.
#include <cmath>

#include "engine/core/math/QuaternionMath.h"
#include "engine/core/node/Animation.h"
#include "engine/core/node/KNode.h"
#include "game/world/objects/ObjectParts.h"
#include "game/world/player/PlayerCharacter.h"
#include "game/world/services/PlayerLocation.h"
#include "game/world/services/WorldServices.h"

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kPi = 3.14159265f;
constexpr DWORD kNodeHidden = 0x2000000;
// The climb's motion ends at this frame of the climb.
constexpr float kClimbFrames = 20.0f;

Vector3 StepToward(const Vector3& from, const Vector3& to, float maximum) {
    Vector3 out{to.x - from.x, to.y - from.y, to.z - from.z};
    const float length = std::sqrt(out.x * out.x + out.y * out.y + out.z * out.z);
    if (length <= maximum) return out;
    const float scale = maximum / length;
    return Vector3{out.x * scale, out.y * scale, out.z * scale};
}

Quaternion OrientationOf(float tilt, float yaw) {
    Quaternion q;
    QuaternionFromEuler(Vector3{0.0f, tilt * kDegreesToRadians, yaw * kDegreesToRadians}, q);
    return q;
}

void Place(KNode* node, const Vector3& position, const Quaternion& orientation) {
    if (node == nullptr) return;
    node->SetPosition(position);
    node->SetRotation(orientation);
}

float Toward(float value, float target, float step) {
    if (value < target) return std::fmin(value + step, target);
    return std::fmax(value - step, target);
}

}  // namespace

void UpdatePlayer(PlayerCharacter& character, float dt) { character.Update(dt); }

void PlayerCharacter::PlayMain(std::int32_t index, float fade, bool loop) {
    currentAnimation = index;
    animationStart = stateTime;
    if (mainModel == nullptr) return;
    mainModel->StopAnimations(fade);
    playId = PlayOnNode(mainModel, animations[index], fade, loop);
}

bool PlayerCharacter::MainAnimationEnded() const {
    // A once-played animation gives its channel back at its end; no model or animation: ended.
    if (mainModel == nullptr || playId < 0 || mainModel->IsAnimationId(playId) == 0) return true;
    const Animation* animation = currentAnimation >= 0 && currentAnimation < kCharacterAnimationCount
                                     ? animations[currentAnimation]
                                     : nullptr;
    if (animation == nullptr || !(animation->FrameRate() > 0.0f)) return true;
    const float length = static_cast<float>(animation->FrameCount()) / animation->FrameRate();
    return stateTime - animationStart >= length;
}

void PlayerCharacter::Update(float dt) {
    stateTime += dt;
    timeSinceLanding += dt;
    timeSinceTurn += dt;
    stepTimer += dt;

    if (dead != 0) {
        StartGhostOrDeath(dt);
        SetPlayerPosition(position);
        return;
    }
    walking = 0;
    if (IsInTransfer()) {
        UpdateClimb();
    } else if (IsInDeep()) {
        UpdateExit(dt);
    } else if (IsMoving()) {
        if (!UpdateAirborne(dt)) {
            SetPlayerPosition(position);
            return;
        }
    } else if (lateralSpeed != 0.0f) {
        UpdateWalking(dt);
    } else if (animationChanged == 0) {
        UpdateStanding();
    }

    if (currentAnimation != kAnimIdle) {
        if (lateralSpeed < -0.1f) {
            if (tilt < -80.0f) tilt = 80.0f;
            tilt = Toward(tilt, 90.0f, 900.0f * dt);
        } else if (lateralSpeed > 0.1f) {
            if (tilt > 80.0f) tilt = -80.0f;
            tilt = Toward(tilt, -90.0f, 900.0f * dt);
        }
    }
    if (fallSpeed > kFallSpeedLimit) fallSpeed = kFallSpeedLimit;
    const Vector3 moved{position.x - previousPosition.x, position.y - previousPosition.y,
                        position.z - previousPosition.z};
    walkedDistance += std::sqrt(moved.x * moved.x + moved.y * moved.y + moved.z * moved.z);
    previousPosition = position;
    orientation = OrientationOf(tilt, yaw);
    if (animationChanged == 0) Place(mainModel, position, orientation);
    if (animationChanged != 0) UpdateScripted();
    SetPlayerPosition(position);
}

void PlayerCharacter::StartGhostOrDeath(float dt) {
    if (ghostMode == 0) {
        if (currentAnimation != kAnimDeath) {
            tilt = 0.0f;
            PlayMain(kAnimDeath, 2.0f, false);
        }
        orientation = OrientationOf(tilt, yaw);
        if (mainModel != nullptr) mainModel->SetRotation(orientation);
        return;
    }
    if (currentAnimation != kAnimGhost) {
        if (ghostModel != nullptr) {
            ghostModel->StopAnimations(0.0f);
            ghostPlayId = PlayOnNode(ghostModel, animations[kAnimGhost], 20.0f, true);
        }
        currentAnimation = kAnimGhost;
        position.z = -10.0f;
        checkpointPosition.z = -10.0f;
        checkpointAngles[1] = 0.0f;
        if (yaw - checkpointAngles[2] > 180.0f)
            checkpointAngles[2] += 360.0f;
        else if (checkpointAngles[2] - yaw > 180.0f)
            checkpointAngles[2] -= 360.0f;
    }
    const Vector3 target{checkpointPosition.x + leapVector.x, checkpointPosition.y + leapVector.y,
                         checkpointPosition.z + leapVector.z};
    const Vector3 gap{target.x - position.x, target.y - position.y, target.z - position.z};
    const float distanceSquared = gap.x * gap.x + gap.y * gap.y + gap.z * gap.z;
    const Vector3 step = StepToward(position, target, 10.0f);
    position = Vector3{position.x + step.x * 2.0f * dt, position.y + step.y * 2.0f * dt,
                       position.z + step.z * 2.0f * dt};
    const Vector3 angles{firstAngle, tilt, yaw};
    const Vector3 turn = StepToward(angles, Vector3{checkpointAngles[0], checkpointAngles[1], checkpointAngles[2]}, 40.0f);
    firstAngle += turn.x * 4.0f * dt;
    tilt += turn.y * 4.0f * dt;
    yaw += turn.z * 4.0f * dt;
    if (distanceSquared < 40.0f && checkpointPosition.z < -0.01f) checkpointPosition.z = 0.0f;
    if (distanceSquared < 0.5f) ghostArrived = 1;
    orientation = OrientationOf(tilt, yaw);
    Place(ghostModel, position, orientation);
    Place(mainModel, position, orientation);
}

void PlayerCharacter::UpdateClimb() {
    if (currentAnimation != kAnimClimb) {
        PlayMain(kAnimClimb, 5.0f, false);
        climbStart = position;
    }
    tilt = transferState == 1 ? -90.0f : 90.0f;
    // The climb runs on the character's own clock at the animation rate, so that it carries
    // the character over the corner whether or not a climb animation plays.
    const float t = (stateTime - animationStart) * kDefaultFrameRate;
    if (t < kClimbFrames || !MainAnimationEnded()) {
        const Vector2 along = LocalToWorld(0.0f, 1.0f, FacingYaw());
        const Vector2 across = LocalToWorld(transferState == 1 ? 1.0f : -1.0f, 0.0f, FacingYaw());
        const float forward = t < 18.0f ? std::fmin(0.77f * t, 10.0f) : 10.0f;
        const float side = t > 10.0f ? std::fmin(0.77f * (t - 10.0f), 0.77f * 10.0f) : 0.0f;
        // The climb goes up against the fall and over the edge beside.
        position.x = climbStart.x - along.x * forward + across.x * side;
        position.y = climbStart.y - along.y * forward + across.y * side;
        return;
    }
    lateralSpeed = fallSpeed = depthSpeed = 0.0f;
    PlayMain(kAnimIdle, 5.0f, true);
    transferState = 0;
    tilt = 0.0f;
    SetGrounded(true);
}

void PlayerCharacter::UpdateExit(float dt) {
    if (currentAnimation != kAnimRun) PlayMain(kAnimRun, 5.0f, true);
    if (exitStarted == 0) {
        exitStarted = 1;
        GrantExitAwards();
        GetWorldServices().PlaySoundEffect(kSoundExit, false, false);
    }
    tilt = std::fmax(tilt - 900.0f * dt, -180.0f);
    exitScale = std::fmax(exitScale - 0.8f * dt, 0.0f);
}

bool PlayerCharacter::UpdateAirborne(float dt) {
    if (ledgeCatchPending != 0) {
        float& across = (facing == 0 || facing == 2) ? position.x : position.y;
        const float gap = ledgeTarget - across;
        across += 5.0f * dt * gap;
        if (currentAnimation != kAnimAir) PlayMain(kAnimAir, 5.0f, true);
        Place(mainModel, position, orientation);
        if (std::fabs(gap) < 2.0f) ledgeCatchPending = grounded = leaping = 0;
        return false;
    }
    timeSinceLanding = 0.0f;
    if (HasFallenFar(true)) {
        if (HasFallenFar(false)) {
            if (currentAnimation != kAnimDeathFall) PlayMain(kAnimDeathFall, 5.0f, true);
        } else if (currentAnimation != kAnimFall && currentAnimation != kAnimDeathFall) {
            PlayMain(kAnimFall, 5.0f, true);
            if (loopSound == 0) loopSound = GetWorldServices().PlaySoundEffect(kSoundFallTooFar, true, false);
        }
    } else if (currentAnimation != kAnimJump && currentAnimation != kAnimAir) {
        GetWorldServices().PlaySoundEffect(kSoundJump, false, false);
        PlayMain(kAnimJump, 5.0f, false);
        grounded = 0;
    } else if (currentAnimation == kAnimJump && MainAnimationEnded()) {
        PlayMain(kAnimAir, 5.0f, true);
    }
    if (targetFacing != kNoTurn) {
        turnProgress = std::fmin(turnProgress + 2.0f * dt, 1.0f);
        yaw = facingYaws[facing & 3] + turnAmount * std::sin(turnProgress * kPi * 0.5f);
        if (turnProgress >= 1.0f) {
            facing = targetFacing;
            targetFacing = kNoTurn;
            yaw = facingYaws[facing & 3];
            turnAmount = 0.0f;
            turnFinished = 1;
            fallReference = position;
        }
    }
    return true;
}

void PlayerCharacter::UpdateWalking(float) {
    walking = 1;
    if (currentAnimation == kAnimIdle) {
        PlayMain(kAnimRun, 5.0f, true);
    } else if (currentAnimation == kAnimRun) {
        if (stepTimer > kStepSoundTime) {
            GetWorldServices().PlaySoundEffect(stepToggle == 0 ? kSoundRunB : kSoundRunA, false, false);
            stepToggle ^= 1;
            stepTimer = 0.0f;
        }
    } else if (currentAnimation == kAnimAir || currentAnimation == kAnimJump || currentAnimation == kAnimLand ||
               currentAnimation == kAnimHardFall) {
        PlayMain(kAnimIdle, 5.0f, true);
        SetGrounded(true);
    }
}

void PlayerCharacter::UpdateStanding() {
    switch (currentAnimation) {
    case kAnimAir:
        PlayMain(kAnimLand, 2.0f, false);
        break;
    case kAnimFall:
        PlayMain(kAnimHardFall, 2.0f, false);
        break;
    case kAnimLand:
    case kAnimHardFall:
        if (MainAnimationEnded()) PlayMain(kAnimIdle, 5.0f, true);
        break;
    case kAnimIdle:
    case kAnimDeath:
        break;
    default:
        PlayMain(kAnimIdle, 5.0f, true);
        break;
    }
    tilt *= 0.7f;
    if (tilt > -0.1f && tilt < 0.1f) tilt = 0.0f;
}

void PlayerCharacter::UpdateScripted() {
    if (animatedModel == nullptr) return;
    Quaternion turned;
    QuaternionFromEuler(Vector3{0.0f, kPi * 0.25f, 0.0f}, turned);
    Place(animatedModel, position, turned);
    const bool ended = animatedPlayId < 0 || animatedModel->IsAnimationId(animatedPlayId) == 0;
    const float time = animatedPlayId >= 0 ? animatedModel->GetAnimationTime(animatedPlayId) : -1.0f;
    if (currentAnimation == kAnimMessageThrow) {
        if (time > 22.5f && messageModel != nullptr) messageModel->SetFlagBits(kNodeHidden, true);
        if (ended) {
            animatedModel->StopAnimations(30.0f);
            PlayOnNode(animatedModel, animations[kAnimIdle], 30.0f, true);
            animatedPlayId = PlayOnNode(animatedModel, animations[kAnimConfused], 30.0f, true);
            currentAnimation = kAnimListen;
        }
    } else if (currentAnimation == kAnimReceiveItem) {
        if (time > 12.0f && heldItem != nullptr) {
            heldItem->SetFlagBits(kNodeHidden, false);
            heldItem->SetPosition(Vector3{-1.76f, 1.98f, -0.24f});
            Quaternion itemTurn;
            QuaternionFromEuler(Vector3{0.5585f, 2.9147f, 0.5236f}, itemTurn);
            heldItem->SetRotation(itemTurn);
        }
        if (ended) {
            animatedPlayId = PlayOnNode(animatedModel, animations[kAnimListen], 15.0f, true);
            currentAnimation = kAnimListen;
        }
    } else if (currentAnimation == kAnimMessagePickup) {
        if (time > 15.0f && messageModel != nullptr && handJoint != nullptr && messageAttached == 0) {
            handJoint->AddChildEx(messageModel, false);
            messageModel->SetPosition(Vector3{-0.5f, 1.5f, 0.6f});
            Quaternion inHand;
            QuaternionFromAxisAngle(Vector3{0, 1, 0}, -0.4363f, inHand);
            messageModel->SetRotation(inHand);
            messageAttached = 1;
        }
        if (ended) {
            animatedPlayId = PlayOnNode(animatedModel, animations[kAnimMessageRead], 15.0f, true);
            currentAnimation = kAnimMessageRead;
        }
    }
}
