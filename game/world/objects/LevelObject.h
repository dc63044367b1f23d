// LevelObject: the base of every interactive thing on a level's tiles (keys, pickups, portals,
// the spawn effect, spike cubes, dampers, blocker doors, bridges, TESK and ODILE). The level
// owns them; the factory creates one per placement by its type code. Every class has the same
// six operations: Init, SaveState, its destructor, Reset, RestoreState and Update.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/text/EngineString.h"
#include "platform/base/Types.h"

class KNode;
struct BridgeState;
class TeskObject;
struct DoorState;

// Object type codes.
constexpr std::uint32_t kObjectKey = 0;
constexpr std::uint32_t kObjectFirstSphere = 1;
constexpr std::uint32_t kObjectLastSphere = 8;
constexpr std::uint32_t kObjectFirstPortal = 9;
constexpr std::uint32_t kObjectLastPortal = 13;
constexpr std::uint32_t kObjectSpikeCube = 14;
constexpr std::uint32_t kObjectFirstDamper = 15;
constexpr std::uint32_t kObjectLastDamper = 18;
constexpr std::uint32_t kObjectFirstBlocker = 19;
constexpr std::uint32_t kObjectLastBlocker = 22;
constexpr std::uint32_t kObjectFirstBridge = 23;
constexpr std::uint32_t kObjectLastBridge = 26;
constexpr std::uint32_t kObjectFirstTesk = 27;
constexpr std::uint32_t kObjectLastTesk = 34;
constexpr std::uint32_t kObjectSpawnEffect = 35;
constexpr std::uint32_t kObjectOdile = 36;
constexpr std::uint32_t kObjectNone = 37;

// Object flags. Bits 2, 4 and 8 belong to the rules of movement; 4 makes an object cover
// tiles (Level::ObjectCovers).
constexpr DWORD kObjectSliding = 0x1;
constexpr DWORD kObjectCoversTiles = 0x4;
constexpr DWORD kObjectCollected = 0x10;

// The motion's second component a sliding object never exceeds.
constexpr float kSlideSpeedLimit = 48.0f;

// A camera-facing glow drawn at the model's "glow" node.
struct FlareSprite {
    float baseSize = 0.0f;
    float amplitude = 0.0f;
    float intensity = 1.0f;  // 0 or less: not drawn
    DWORD spare[3] = {0, 0, 0};
    KNode* glowNode = nullptr;  // not owned
    EngineString texture{"gfx/fx/Flare1.dds"};
};

class LevelObject : public EngineAllocated {
public:
    LevelObject() = default;
    // Deletes the model.
    virtual ~LevelObject();
    LevelObject(const LevelObject&) = delete;
    LevelObject& operator=(const LevelObject&) = delete;

    // Loads the model (a clone of the named object) and the class's resources. False when a
    // model is already there or the code is not the class's; a code of 37 or more succeeds
    // without a model, as does a model that cannot be found (the factory drops such objects).
    virtual bool Init(std::uint32_t typeCode);
    // A checkpoint: the current position and motion become the saved ones.
    virtual void SaveState(std::int32_t attemptId);
    // Back to the level placement.
    virtual void Reset();
    // Back to the saved copy.
    virtual void RestoreState();
    // One frame, dt in seconds. Every class begins with this clamp of a sliding motion.
    virtual void Update(float dt);

    Vector3 GetWorldPosition() const;
    // Asked of blocker doors by the rules of movement: false for any other object and for a
    // door that is not moving; then whether its open time lies in (0.3, 0.33), or is at least
    // 0.33.
    bool IsInActionWindow() const;
    bool IsPastActionWindow() const;
    // Flags and initial flags both.
    void SetFlags(DWORD value) {
        flags = value;
        initialFlags = value;
    }
    void SetFlag(DWORD mask, bool on) { flags = on ? flags | mask : flags & ~mask; }

    KNode* model = nullptr;  // owned
    Vector3 position{0, 0, 0};
    Vector3 placement{0, 0, 0};
    Vector3 savedPosition{0, 0, 0};
    Vector3 motion{0, 0, 0};
    Vector3 savedMotion{0, 0, 0};
    Vector3 offset{0, 0, 0};
    float scale = 1.0f;
    std::uint32_t kind = kObjectNone;
    DWORD flags = 0;
    DWORD initialFlags = 0;
    std::int32_t attemptId = -1;
    FlareSprite flare;

    // The state of a blocker door, of a bridge, and the TESK; null for every other class.
    virtual const DoorState* Door() const { return nullptr; }
    virtual const BridgeState* Bridge() const { return nullptr; }
    virtual const TeskObject* Tesk() const { return nullptr; }

protected:
    // Init's shared steps: the model of `modelName` for codes below 37.
    bool InitModel(std::uint32_t typeCode, const char* modelName);
};

// The object of the code's class, constructed but not initialised; a plain LevelObject for a
// negative code, null for 37 or more and when memory runs out.
LevelObject* NewLevelObject(std::int32_t typeCode);
