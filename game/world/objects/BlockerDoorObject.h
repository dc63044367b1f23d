// The blocker door: two leaves that slide open (or only the second leaf, in one-leaf mode)
// and close again. A motion lasts 0.65 s; a checkpoint restore turns an interrupted motion
// round from the mirrored time.
#pragma once

#include "game/world/objects/LevelObject.h"
#include "game/world/objects/ObjectParts.h"

class PathAnim;

constexpr float kDoorMotionTime = 0.65f;

struct DoorState {
    std::uint32_t closed = 1;
    std::uint32_t moving = 0;
    std::uint32_t oneLeaf = 0;
    std::uint32_t closing = 0;
    float closeTime = 0.0f;
    float openTime = 0.0f;
};

class BlockerDoorObject : public LevelObject {
public:
    BlockerDoorObject();
    ~BlockerDoorObject() override;
    bool Init(std::uint32_t typeCode) override;
    void SaveState(std::int32_t attemptId) override;
    void Reset() override;
    void RestoreState() override;
    void Update(float dt) override;
    const DoorState* Door() const override { return &door; }

    void Open(bool playSound);
    // Opens only the second leaf; counts toward the one-leaf award.
    void OpenOneLeaf(bool playSound);
    void Close(bool playSound);

    PathAnim* closePath = nullptr;  // owned
    PathAnim* openPath = nullptr;   // owned
    DoorState door;
    DoorState savedDoor;
    std::uint32_t rumblePending = 0;
    MovingPart leaves[2];  // "door1", "door2"

private:
    // One step along the path with the leaves placed; true (and the time 0) at its last frame.
    bool MoveLeaves(PathAnim& path, float& time, float dt);
    // Leaf "door2" by the displacement (twice it with both leaves, "door1" by it).
    void PlaceLeaves(const Vector3& displacement);
};
