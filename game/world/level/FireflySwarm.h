// FireflySwarm: a few fireflies that drift over the empty parts of a level. The swarm's
// centre heads for a random empty tile, a new one every ten seconds, and each firefly flies a
// figure-eight of its own around its place in the swarm. Every random value comes from the
// engine's one generator, so a level's fireflies repeat exactly from the same seed.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "engine/core/memory/EngineMemory.h"

class KNode;
class Level;

constexpr std::int32_t kMaximumFireflies = 5;
// The height the swarm flies at.
constexpr float kFireflyHeight = 10.0f;
constexpr float kFireflySwarmSpeed = 10.0f;    // units a second, at most
constexpr float kFireflyRetargetTime = 10.0f;  // seconds between two new targets

struct Firefly {
    Vector3 offset{0, 0, 0};  // its place in the swarm
    Vector3 orbit{0, 0, 0};   // its figure-eight around that place
    std::int32_t active = 0;
    float phase = 0.0f;   // radians
    float height = 0.0f;  // shifts the figure-eight
};

// A value of the engine's generator in [0, 1): the next seed's top 27 bits over 2^27.
float NextUniformRandom();

class FireflySwarm : public EngineAllocated {
public:
    FireflySwarm() = default;
    // Deletes the node.
    ~FireflySwarm();
    FireflySwarm(const FireflySwarm&) = delete;
    FireflySwarm& operator=(const FireflySwarm&) = delete;

    // The node and `count` fireflies (at most 5; below 0 counts as none) around the start,
    // at the swarm's height; five random values per firefly: phase, height and the offset's
    // z, y and x. 0 and nothing changed when the swarm has its node already, or when no node
    // can be made; 1 otherwise.
    int Init(std::int32_t count, const Vector3& start);
    // The centre moves toward the target by the remaining distance, at most 10 units, times
    // dt; once more than ten seconds have run, the target becomes a random empty tile of the
    // level. `clockSeconds` (the engine clock) drives the figure-eights.
    void Update(float dt, float clockSeconds, const Level& level);
    // Where one firefly is: centre + its offset + its orbit; the centre for an index outside
    // the swarm.
    Vector3 FireflyPosition(std::int32_t index) const;
    // Deletes the node and makes every firefly inactive; Init may then start the swarm anew.
    void Reset();
    std::int32_t GetCount() const { return count; }

    KNode* node = nullptr;  // owned
    std::int32_t count = 0;
    Vector3 centre{0, 0, 0};
    Vector3 target{0, 0, 0};
    float timer = 0.0f;  // seconds since the target was chosen
    Vector3 spare{0, 0, 0};
    float scale = 1.0f;
    Firefly fireflies[kMaximumFireflies];
};
