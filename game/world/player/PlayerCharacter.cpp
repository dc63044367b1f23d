// The player character's life outside the per-frame update: models and animations, reset,
// respawn, landing, checkpoints, awards and drawing.
#include "game/world/player/PlayerCharacter.h"

#include <cmath>

#include "engine/core/math/QuaternionMath.h"
#include "engine/core/node/Animation.h"
#include "engine/core/node/KNode.h"
#include "game/world/objects/ObjectParts.h"
#include "game/world/player/NodeDrawer.h"
#include "game/world/services/ModelSource.h"
#include "game/world/services/PlayerLocation.h"
#include "game/world/services/WorldServices.h"

const char* const kCharacterAnimationNames[kCharacterAnimationCount] = {
    "character_02_idle",        "character_02_run",          "character_02_air",
    "character_02_jump",        "character_02_land",         "character_02_fall",
    "character_02_death02",     "character_02_climb",        "character_02_ghost",
    "character_02_deathfall",   "character_02_hardfall",     "character_02_angry",
    "character_02_angry2",      "character_02_happy",        "character_02_scared",
    "character_02_confused",    "character_02_listen",       "bram_receivetwizturn",
    "character_02_messagepickup", "character_02_messageread", "character_02_messagethorw",
    "character_02_messagelisten",
};

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
constexpr DWORD kNodeHidden = 0x2000000;
const Vector3 kMessageInHand{-0.5f, 1.5f, 0.6f};
constexpr std::int32_t kMessageWorld = 3;
// Worlds 1 to 9 grant the exit awards.
constexpr std::int32_t kFirstAwardWorld = 1;
constexpr std::int32_t kLastAwardWorld = 9;
constexpr std::int32_t kWorldLimit = 10;
constexpr std::uint32_t kManyTurns = 5;

float SnapToTileCentre(float value) {
    return std::round((std::round(value) + 5.0f) * 0.1f) * 10.0f - 5.0f;
}

void SetHidden(KNode* node, bool hidden) {
    if (node != nullptr) node->SetFlagBits(kNodeHidden, hidden);
}

}  // namespace

PlayerCharacter::PlayerCharacter() { Reset(); }

PlayerCharacter::~PlayerCharacter() {
    // The resource cache owns the animations: give back the references LoadModel took.
    for (Animation*& animation : animations) ReleaseAnimation(animation);
    if (heldItem != nullptr) {
        if (KNode* parent = heldItem->Parent()) parent->RemoveChild(heldItem);
        heldItem->Release();
        heldItem = nullptr;
    }
    if (messageModel != nullptr && messageModel->Parent() == handJoint && handJoint != nullptr)
        handJoint->RemoveChild(messageModel);
}

bool PlayerCharacter::LoadModel() {
    mainModel = FindOrLoadModel("bram_cutscene");
    animatedModel = mainModel;
    exitModel = FindOrLoadModel("character_02_jumper");
    ghostModel = FindOrLoadModel("bram_ghost");
    messageModel = FindOrLoadModel("message1");
    handJoint = mainModel != nullptr ? FindNodeByName(mainModel, "joint6") : nullptr;
    if (heldItem == nullptr && handJoint != nullptr) {
        heldItem = CloneModel("twizturn01");
        if (heldItem != nullptr) {
            heldItem->SetFlagBits(kNodeInheritTransform | kNodeHidden, true);
            handJoint->AddChildEx(heldItem, false);
        }
    }
    for (int i = 0; i < kCharacterAnimationCount; ++i)
        if (animations[i] == nullptr) animations[i] = CachedAnimation(kCharacterAnimationNames[i]);
    Reset();
    return true;
}

void PlayerCharacter::Reset() {
    position = previousPosition = checkpointPosition = fallReference = climbStart = trackingPoint =
        lateralReference = startPosition;
    dead = spare1 = inputSeen = exitStarted = transferState = animationChanged = messageAttached = 0;
    ghostArrived = ghostMode = waiting = pushDirection = pushed = ledgeCatchPending = 0;
    ledgeTarget = 0.0f;
    grounded = turnFinished = onDamper = airborne = 0;
    damperId = -1;
    turnsWhileFalling = upwardJumps = lateralJumps = award9 = spare2 = moves = 0;
    stateTime = 0.0f;
    timeSinceLanding = kJumpLockTime;
    timeSinceTurn = kTurnLockTime;
    stepTimer = kStepSoundTime;
    stepToggle = 0;
    playId = animatedPlayId = ghostPlayId = -1;
    currentAnimation = kAnimIdle;
    walkedDistance = fallDistance = lateralDistance = 0.0f;
    exitScale = 1.0f;
    lateralSpeed = fallSpeed = depthSpeed = 0.0f;
    firstAngle = tilt = 0.0f;
    facing = 0;
    targetFacing = kNoTurn;
    for (int i = 0; i < 4; ++i) facingYaws[i] = 90.0f * static_cast<float>(i);
    yaw = facingYaws[0];
    orientation = Quaternion{0, 0, 0, 1};
    turnAmount = turnProgress = 0.0f;
    leapVector = savedLeapVector = Vector3{0, 0, 0};
    leaping = pendingLeap = leapAlong = blocked = walking = 0;
    checkpointFacing = 0;
    checkpointAngles[0] = checkpointAngles[1] = 0.0f;
    checkpointAngles[2] = yaw;
    loopSound = 0;
    if (mainModel != nullptr) {
        mainModel->StopAnimations(0.0f);
        playId = PlayOnNode(mainModel, animations[kAnimIdle], 5.0f, true);
    }
    if (animatedModel != nullptr && animatedModel != mainModel) animatedModel->StopAnimations(0.0f);
    SetHidden(heldItem, true);
    if (messageModel != nullptr) {
        if (KNode* parent = messageModel->Parent()) parent->RemoveChild(messageModel);
    }
    SetPlayerPosition(position);
}

void PlayerCharacter::SetAnimation(std::int32_t index) {
    if (animatedModel == nullptr || index == currentAnimation || index < 0 || index >= kCharacterAnimationCount)
        return;
    if (index == kAnimMessageRead && messageAttached == 0 && messageModel != nullptr && handJoint != nullptr) {
        handJoint->AddChildEx(messageModel, false);
        messageModel->SetPosition(kMessageInHand);
        messageAttached = 1;
    }
    if (currentAnimation == kAnimMessageThrow) SetHidden(messageModel, true);
    if (currentAnimation == kAnimReceiveItem) SetHidden(heldItem, false);
    Animation* animation = animations[index];
    if (index == kAnimReceiveItem) {
        animatedModel->StopAnimations(3.0f);
        animatedPlayId = animatedModel->PlayAnimation(animation, 1.0f, 0, 3.0f, 10.0f);
    } else if (index == kAnimMessagePickup || index == kAnimMessageThrow) {
        animatedModel->StopAnimations(3.0f);
        animatedPlayId = PlayOnNode(animatedModel, animation, 3.0f, false);
    } else {
        animatedModel->StopAnimations(15.0f);
        animatedPlayId = PlayOnNode(animatedModel, animation, 15.0f, true);
    }
    currentAnimation = index;
    animationChanged = 1;
}

void PlayerCharacter::HideMessageOnLanding() {
    const ControllerRecord& controller = GetWorldServices().Controller();
    if (controller.playState == kPlayStatePlaying && WorldOfLevel(controller) == kMessageWorld)
        SetHidden(messageModel, true);
}

void PlayerCharacter::Respawn() {
    if (moves == 0) {
        GetWorldServices().RestartLevel();
        return;
    }
    dead = ghostMode = ghostArrived = pendingLeap = pushed = 0;
    currentAnimation = kAnimIdle;
    lateralSpeed = fallSpeed = depthSpeed = 0.0f;
    position = Vector3{checkpointPosition.x + leapVector.x, checkpointPosition.y + leapVector.y,
                       checkpointPosition.z + leapVector.z};
    position.x = SnapToTileCentre(position.x);
    position.y = SnapToTileCentre(position.y);
    previousPosition = checkpointPosition = fallReference = trackingPoint = position;
    facing = checkpointFacing;
    targetFacing = kNoTurn;
    turnAmount = turnProgress = 0.0f;
    firstAngle = checkpointAngles[0];
    tilt = checkpointAngles[1];
    yaw = checkpointAngles[2];
    transferState = 0;
    leapVector = Vector3{0, 0, 0};
    timeSinceTurn = kTurnLockTime;
    fallDistance = lateralDistance = 0.0f;
    turnsWhileFalling = moves = award9 = 0;
    if (grounded == 0) {
        GetWorldServices().PlaySoundEffect(kSoundLand, false, false);
        HideMessageOnLanding();
        StopLoopSound();
    }
    grounded = 1;
    ledgeCatchPending = airborne = 0;
    if (mainModel != nullptr) {
        mainModel->StopAnimations(0.0f);
        playId = PlayOnNode(mainModel, animations[kAnimIdle], 5.0f, true);
    }
    SetPlayerPosition(position);
}

void PlayerCharacter::SetGrounded(bool on) {
    if (on && grounded == 0) {
        GetWorldServices().PlaySoundEffect(kSoundLand, false, false);
        StopLoopSound();
        HideMessageOnLanding();
    }
    grounded = on ? 1 : 0;
    if (on) {
        fallReference = position;
        ledgeCatchPending = airborne = turnsWhileFalling = award9 = 0;
        fallDistance = 0.0f;
    }
}

void PlayerCharacter::StopLoopSound() {
    if (loopSound != 0) GetWorldServices().StopSound(loopSound);
    loopSound = 0;
}

void PlayerCharacter::SaveCheckpoint() {
    checkpointPosition = position;
    checkpointFacing = facing;
    checkpointAngles[0] = firstAngle;
    checkpointAngles[1] = tilt;
    checkpointAngles[2] = yaw;
}

void PlayerCharacter::SetStandingOn(bool on, std::int32_t objectId) {
    if (onDamper == 0) {
        WorldServices& services = GetWorldServices();
        if (turnsWhileFalling >= kManyTurns && WorldOfLevel(services.Controller()) < kWorldLimit)
            services.GrantProfileAward(kAwardManyTurns, "AWARD_NAME_5");
        StopLoopSound();
        fallReference = position;
        fallDistance = 0.0f;
        services.PlaySoundEffect(kSoundLandMushroom, true, false);
    }
    damperId = objectId;
    onDamper = on ? 1 : 0;
}

void PlayerCharacter::GrantExitAwards() {
    WorldServices& services = GetWorldServices();
    const std::int32_t world = WorldOfLevel(services.Controller());
    if (world < kFirstAwardWorld || world > kLastAwardWorld) return;
    if (turnsWhileFalling >= kManyTurns) services.GrantProfileAward(kAwardManyTurns, "AWARD_NAME_5");
    if (lateralJumps == 0) services.GrantProfileAward(kAwardNoSideJump, "AWARD_NAME_7");
    if (award9 != 0) services.GrantProfileAward(kAwardNine, "AWARD_NAME_9");
}

bool PlayerCharacter::IsMoving() const { return fallSpeed > kStillSpeed || fallSpeed < -kStillSpeed; }

bool PlayerCharacter::IsWalking() const {
    return !IsMoving() && (lateralSpeed > kStillSpeed || lateralSpeed < -kStillSpeed);
}

float PlayerCharacter::FacingYaw() const { return facingYaws[facing & 3]; }

namespace {

// Distance along (true) or across the facing axis between two points.
float AxisDistance(const Vector3& a, const Vector3& b, std::int32_t facing, bool along) {
    const bool yAxis = (facing == 0 || facing == 2) == along;
    return std::fabs(yAxis ? a.y - b.y : a.x - b.x);
}

}  // namespace

bool PlayerCharacter::HasFallenFar(bool shortFall) const {
    if (!IsMoving() || turnAmount != 0.0f) return false;
    const float fallen = fallDistance + AxisDistance(position, fallReference, facing, true);
    return fallen > (shortFall ? 30.0f : 60.0f);
}

bool PlayerCharacter::HasWalkedFar() const {
    if (!IsMoving() || (lateralSpeed <= 0.1f && lateralSpeed >= -0.1f)) return false;
    return lateralDistance + AxisDistance(position, lateralReference, facing, false) > 40.0f;
}

void PlayerCharacter::Draw(NodeDrawer& drawer) {
    KNode* model = nullptr;
    if (IsInDeep()) {
        model = exitModel;
        if (model != nullptr) {
            model->SetPosition(position);
            model->SetRotation(orientation);
            model->SetScale(Vector3{exitScale, exitScale, exitScale});
        }
    } else {
        model = ghostMode != 0 ? ghostModel : mainModel;
    }
    if (model != nullptr) drawer.DrawTree(*model);
}

void PlayerCharacter::DrawExtraNodes(NodeDrawer& drawer) {
    if (animatedModel != nullptr && animatedModel != mainModel) drawer.DrawTree(*animatedModel);
    const ControllerRecord& controller = GetWorldServices().Controller();
    const bool thirdWorld = controller.customLevel != 0 ? controller.customWorld == kMessageWorld
                                                        : WorldOfLevel(controller) == kMessageWorld;
    if (messageModel != nullptr && messageAttached == 0 && thirdWorld) drawer.DrawTree(*messageModel);
}
