// PlayerCharacter: BRAM, the character the player steers across a level. It holds its models
// and 22 animations, turns the controller's input bits into jumps and quarter turns, runs the
// per-frame animation and motion state machine (walking, jumping, falling, landing, dying, the
// ghost flying back to the last checkpoint, the exit into the portal, the scripted message and
// item scenes), draws itself and grants the exit awards.
//
// The rules of movement and the character-and-level pass read and change its motion fields
// directly: they are public on purpose.
//
// Sections: constants; the character; the per-frame update.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "platform/base/Types.h"

class Animation;
class KNode;
class NodeDrawer;

// [SECTION] Constants.
constexpr int kCharacterAnimationCount = 22;

enum CharacterAnimation : std::int32_t {
    kAnimIdle = 0,
    kAnimRun = 1,
    kAnimAir = 2,
    kAnimJump = 3,
    kAnimLand = 4,
    kAnimFall = 5,
    kAnimDeath = 6,
    kAnimClimb = 7,
    kAnimGhost = 8,
    kAnimDeathFall = 9,
    kAnimHardFall = 10,
    kAnimAngry = 11,
    kAnimAngry2 = 12,
    kAnimHappy = 13,
    kAnimScared = 14,
    kAnimConfused = 15,
    kAnimListen = 16,
    kAnimReceiveItem = 17,
    kAnimMessagePickup = 18,
    kAnimMessageRead = 19,
    kAnimMessageThrow = 20,
    kAnimMessageListen = 21,
};

// The animation of each slot, by name in the animation cache.
extern const char* const kCharacterAnimationNames[kCharacterAnimationCount];

// Input bits of ApplyInput.
constexpr std::uint32_t kInputJumpLeft = 0x1;
constexpr std::uint32_t kInputJumpRight = 0x2;
constexpr std::uint32_t kInputJumpUp = 0x4;  // against the fall direction
constexpr std::uint32_t kInputTurnLeft = 0x10;
constexpr std::uint32_t kInputTurnRight = 0x20;

// Above this height the character is leaving through the exit portal.
constexpr float kExitHeight = 4.9f;
// Speeds within this of zero count as still.
constexpr float kStillSpeed = 0.00001f;
constexpr float kJumpLockTime = 0.2f;   // after landing, before an upward jump
constexpr float kTurnLockTime = 1.9f;   // between two turns
constexpr float kStepSoundTime = 0.4f;  // between two running steps
constexpr float kTurnHopSpeed = -3.36f;
constexpr float kUpJumpSpeed = -40.6f;
constexpr float kSideJumpSpeed = 22.4f;
constexpr float kPushSpeed = 11.2f;
constexpr float kFallSpeedLimit = 32.0f;
constexpr std::int32_t kNoTurn = 4;

// Award bits of the player profile, with their floating texts.
constexpr DWORD kAwardManyTurns = 64;  // "AWARD_NAME_5"
constexpr DWORD kAwardNoSideJump = 8;  // "AWARD_NAME_7"
constexpr DWORD kAwardNine = 4;        // "AWARD_NAME_9"

// [SECTION] The character.
class PlayerCharacter {
public:
    // No models and no animations; then Reset.
    PlayerCharacter();
    // Releases the animations (the resource cache owns them) and deletes the held item.
    ~PlayerCharacter();
    PlayerCharacter(const PlayerCharacter&) = delete;
    PlayerCharacter& operator=(const PlayerCharacter&) = delete;

    // The models from the model source (loaded when absent), the held item cloned into the
    // hand, the 22 animations from the resource cache. Missing pieces are skipped: every model
    // operation checks for its model. True.
    bool LoadModel();
    // Back to the start position with every flag, counter, distance and speed cleared.
    void Reset();
    // The input step: jumps, pushes and quarter turns from the input bits.
    void ApplyInput(std::uint32_t inputBits);
    // The per-frame state machine; dt in seconds.
    void Update(float dt);
    // Switches the animated model's animation (scripted scenes); nothing for the same index.
    void SetAnimation(std::int32_t index);
    // Back to the checkpoint after a death; restarts the level when no move was made yet.
    void Respawn();
    void SetGrounded(bool on);
    void StopLoopSound();
    void SaveCheckpoint();
    // Attached to (or released from) a damper, by its model's identifier.
    void SetStandingOn(bool on, std::int32_t objectId);

    // Draw passes.
    void Draw(NodeDrawer& drawer);
    void DrawExtraNodes(NodeDrawer& drawer);

    // Predicates.
    bool IsMoving() const;  // fall speed beyond the still limit
    bool IsFallingWhileTurning() const { return IsMoving() && turnAmount != 0.0f; }
    bool IsWalking() const;
    bool IsInTransfer() const { return transferState == 1 || transferState == 2; }
    bool IsInDeep() const { return position.z > kExitHeight; }
    bool IsMovingLeft() const { return lateralSpeed < -0.1f; }
    bool IsMovingRight() const { return lateralSpeed > 0.1f; }
    bool IsRising() const { return fallSpeed < -0.1f; }
    bool IsFalling() const { return fallSpeed > 0.1f; }
    bool IsDead() const { return dead != 0; }
    bool IsStandingOn(std::int32_t objectId) const { return onDamper != 0 && damperId == objectId; }
    bool IsStandingOnObject() const { return onDamper != 0; }
    // Moving, not turning, and fallen more than 30 (short) or 60 units along the facing.
    bool HasFallenFar(bool shortFall) const;
    // Moving sideways and more than 40 units across the facing.
    bool HasWalkedFar() const;

    // Setters the rules use.
    void Push(std::uint32_t direction) {
        pushed = 1;
        pushDirection = direction;
    }
    void ClearStandingOn() { onDamper = 0; }
    void SetWaiting(std::uint32_t value) { waiting = value; }
    // The yaw of the current facing, in degrees.
    float FacingYaw() const;

    // [SECTION] Fields, in the order of the record.
    std::uint32_t dead = 0;
    std::uint32_t spare1 = 0;
    std::uint32_t inputSeen = 0;
    std::uint32_t exitStarted = 0;
    std::uint32_t transferState = 0;  // 1 or 2 while climbing
    std::uint32_t animationChanged = 0;
    std::uint32_t messageAttached = 0;
    std::uint32_t ghostArrived = 0;
    std::uint32_t ghostMode = 0;
    std::uint32_t waiting = 0;
    std::uint32_t pushDirection = 0;
    std::uint32_t pushed = 0;
    std::uint32_t ledgeCatchPending = 0;
    float ledgeTarget = 0.0f;
    std::uint32_t grounded = 0;
    std::uint32_t turnFinished = 0;
    std::uint32_t onDamper = 0;
    std::int32_t damperId = -1;
    std::uint32_t airborne = 0;
    std::uint32_t turnsWhileFalling = 0;
    std::uint32_t upwardJumps = 0;
    std::uint32_t lateralJumps = 0;
    std::uint32_t award9 = 0;
    std::uint32_t spare2 = 0;
    std::uint32_t moves = 0;
    float stateTime = 0.0f;
    float timeSinceLanding = kJumpLockTime;
    float timeSinceTurn = kTurnLockTime;
    float stepTimer = kStepSoundTime;
    std::uint32_t stepToggle = 0;
    DWORD loopSound = 0;
    std::int32_t playId = -1;
    std::int32_t animatedPlayId = -1;
    std::int32_t ghostPlayId = -1;
    std::int32_t currentAnimation = kAnimIdle;
    // The state time when the main model's animation started: a once-played animation has
    // ended by its length even where nothing advances the model's animations.
    float animationStart = 0.0f;

    KNode* mainModel = nullptr;      // the model source's, not owned
    KNode* animatedModel = nullptr;  // the same object
    KNode* exitModel = nullptr;      // not owned
    KNode* ghostModel = nullptr;     // not owned
    KNode* messageModel = nullptr;   // not owned
    KNode* handJoint = nullptr;      // "joint6" of the main model
    KNode* heldItem = nullptr;       // owned clone
    Animation* animations[kCharacterAnimationCount] = {};  // references held

    Vector3 position{0, 0, 0};
    Vector3 previousPosition{0, 0, 0};
    Vector3 startPosition{0, 0, 0};  // set by the level loader
    Vector3 checkpointPosition{0, 0, 0};
    Vector3 fallReference{0, 0, 0};
    Vector3 climbStart{0, 0, 0};
    float walkedDistance = 0.0f;
    float fallDistance = 0.0f;
    Vector3 trackingPoint{0, 0, 0};
    Vector3 lateralReference{0, 0, 0};
    float lateralDistance = 0.0f;
    float exitScale = 1.0f;
    // Speeds in the character's frame: across the facing, along it (positive falls), depth.
    float lateralSpeed = 0.0f;
    float fallSpeed = 0.0f;
    float depthSpeed = 0.0f;
    float firstAngle = 0.0f;
    float tilt = 0.0f;
    float yaw = 0.0f;
    Quaternion orientation{0, 0, 0, 1};
    float facingYaws[4] = {0.0f, 90.0f, 180.0f, 270.0f};
    float turnAmount = 0.0f;
    float turnProgress = 0.0f;
    std::int32_t facing = 0;
    std::int32_t targetFacing = kNoTurn;
    Vector3 leapVector{0, 0, 0};
    Vector3 savedLeapVector{0, 0, 0};
    std::uint32_t leaping = 0;
    std::uint32_t pendingLeap = 0;
    std::uint32_t leapAlong = 0;
    std::uint32_t blocked = 0;
    std::uint32_t walking = 0;
    std::int32_t checkpointFacing = 0;
    float checkpointAngles[3] = {0, 0, 0};
    // The cut-scene mood code of the last frame that followed the script.
    std::int32_t lastCutsceneCode = 0;

private:
    void StartGhostOrDeath(float dt);
    void UpdateClimb();
    void UpdateExit(float dt);
    bool UpdateAirborne(float dt);
    void UpdateWalking(float dt);
    void UpdateStanding();
    void UpdateScripted();
    // Plays a slot on the main model: stop all (fade), then play.
    void PlayMain(std::int32_t index, float fade, bool loop);
    bool MainAnimationEnded() const;
    // The leap vector toward the centre line of the character's tile.
    void AimLeapAtTileCentre();
    void HideMessageOnLanding();
    void GrantExitAwards();
};

// [SECTION] The per-frame update.
void UpdatePlayer(PlayerCharacter& character, float dt);

// The character's frame: its y axis points along the fall, turned by the yaw (degrees) so that
// facing 0 falls toward -y, 1 toward +x, 2 toward +y and 3 toward -x; its x axis is its right.
Vector2 LocalToWorld(float lateral, float along, float yawDegrees);
