// FireflySwarm: a few fireflies that drift over the empty parts of a level, circling a centre
// that wanders to a random empty tile every ten seconds.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "engine/core/memory/EngineMemory.h"

class KNode;
class Level;

constexpr std::int32_t kMaximumFireflies = 5;
// The height the swarm flies at.
constexpr float kFireflyHeight = 10.0f;
constexpr float kFireflySwarmSpeed = 10.0f;      // units a second
constexpr float kFireflyRetargetTime = 10.0f;    // seconds between two new targets

struct Firefly {
    Vector3 orbitOffset{0, 0, 0};  // circles the centre
    Vector3 ownOffset{0, 0, 0};    // its own small bobbing
    float phase = 0.0f;
};

class FireflySwarm : public EngineAllocated {
public:
    FireflySwarm() = default;
    // Deletes the node.
    ~FireflySwarm();
    FireflySwarm(const FireflySwarm&) = delete;
    FireflySwarm& operator=(const FireflySwarm&) = delete;

    // The node and `count` fireflies (clamped to 1 to 5) at the start position, at the swarm's
    // height.
    void Init(std::int32_t count, const Vector3& start);
    // Moves toward the target, at most 10 units a second; a new target on the level every ten
    // seconds.
    void Update(float dt, const Level& level);
    // Where one firefly is: centre + its orbit offset + its own offset.
    Vector3 FireflyPosition(std::int32_t index) const;

    KNode* node = nullptr;  // owned
    std::int32_t count = 0;
    Vector3 centre{0, 0, 0};
    Vector3 target{0, 0, 0};
    float retargetTimer = 0.0f;
    float time = 0.0f;
    Firefly fireflies[kMaximumFireflies];
};
