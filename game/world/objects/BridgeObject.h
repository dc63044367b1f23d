// The bridge: a plank that swings over to lie across the gap and back again. A swing lasts a
// second; a checkpoint restore turns an interrupted swing round from the mirrored time.
#pragma once

#include "game/world/objects/LevelObject.h"
#include "game/world/objects/ObjectParts.h"

class PathAnim;

constexpr float kBridgeSwingTime = 1.0f;

// The swung flag is the bridge's down flag: it decides which tiles the bridge covers.
struct BridgeState {
    std::uint32_t swung = 1;
    std::uint32_t swingingOver = 0;
    std::uint32_t swingingBack = 0;
    float swingBackTime = 0.0f;
    float swingOverTime = 0.0f;
};

class BridgeObject : public LevelObject {
public:
    BridgeObject();
    ~BridgeObject() override;
    bool Init(std::uint32_t typeCode) override;
    void SaveState(std::int32_t attemptId) override;
    void Reset() override;
    void RestoreState() override;
    void Update(float dt) override;
    const BridgeState* Bridge() const override { return &bridge; }

    void SwingOver(bool playSound);
    void SwingBack(bool playSound);
    // The swing phase the rules of movement read: 0 at rest, else 1 to 3.
    std::uint32_t MotionLevel() const;

    PathAnim* swingBackPath = nullptr;  // owned, "bridge1_down"
    PathAnim* swingOverPath = nullptr;  // owned, "bridge1_up"
    BridgeState bridge;
    BridgeState savedBridge;
    std::uint32_t rumblePending = 0;
    MovingPart plank;  // "bridge1"

private:
    // One step of a swing; true when it reached its last frame.
    bool Swing(PathAnim* path, float& time, float dt);
};
