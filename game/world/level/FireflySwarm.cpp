// The firefly swarms' start and motion.
#include "game/world/level/FireflySwarm.h"

#include <cmath>

#include "engine/core/math/Random.h"
#include "engine/core/node/KNode.h"
#include "engine/core/node/NodeTransform.h"
#include "game/world/level/Level.h"

namespace {

constexpr float kTwoPi = 6.2831853f;
constexpr float kUniformScale = 1.0f / 134217728.0f;  // 2^-27
constexpr DWORD kSwarmNodeFlags = 0x1 | 0x4;
constexpr float kOffsetSpread = 5.0f;
constexpr float kHeightSpread = 4.0f;
constexpr float kOrbitRadius = 2.0f;
constexpr float kOrbitRate = 3.0f;  // radians a second

// The way from `from` to `to`, shortened to `maximum` when longer.
Vector3 BoundedStep(const Vector3& from, const Vector3& to, float maximum) {
    const Vector3 way{to.x - from.x, to.y - from.y, to.z - from.z};
    const float length = std::sqrt(way.x * way.x + way.y * way.y + way.z * way.z);
    if (length <= maximum) return way;
    const float shorten = maximum / length;
    return Vector3{way.x * shorten, way.y * shorten, way.z * shorten};
}

}  // namespace

float NextUniformRandom() { return static_cast<float>(NextRandom()) * kUniformScale; }

FireflySwarm::~FireflySwarm() { Reset(); }

int FireflySwarm::Init(std::int32_t fireflyCount, const Vector3& start) {
    if (node != nullptr) return 0;
    node = new KNode();
    if (node == nullptr) return 0;
    node->SetName("fireflies");
    count = fireflyCount < 0 ? 0 : (fireflyCount > kMaximumFireflies ? kMaximumFireflies : fireflyCount);
    timer = 0.0f;
    spare = Vector3{0, 0, 0};
    scale = 1.0f;
    // The tile's own plan position: the swarm hovers over the tile that was drawn.
    centre = Vector3{start.x, start.y, kFireflyHeight};
    target = centre;
    node->SetFlagBits(kSwarmNodeFlags, true);
    node->SetPosition(centre);
    BuildTransform(node->Transform());
    for (std::int32_t i = 0; i < count; ++i) {
        Firefly& firefly = fireflies[i];
        const float u1 = NextUniformRandom();
        const float u2 = NextUniformRandom();
        const float u3 = NextUniformRandom();
        const float u4 = NextUniformRandom();
        const float u5 = NextUniformRandom();
        firefly.active = 1;
        firefly.phase = u1 * kTwoPi;
        firefly.height = (u2 - 0.5f) * kHeightSpread;
        firefly.offset = Vector3{(u5 - 0.5f) * kOffsetSpread, (u4 - 0.5f) * kOffsetSpread, (u3 - 0.5f) * kOffsetSpread};
        firefly.orbit = Vector3{0, 0, 0};
    }
    return 1;
}

void FireflySwarm::Update(float dt, float clockSeconds, const Level& level) {
    timer += dt;
    const Vector3 step = BoundedStep(centre, target, kFireflySwarmSpeed);
    centre = Vector3{centre.x + step.x * dt, centre.y + step.y * dt, centre.z + step.z * dt};
    if (timer > kFireflyRetargetTime) {
        const Vector3 tile = level.RandomEmptyTile();
        target = Vector3{tile.x, tile.y, kFireflyHeight};
        timer = 0.0f;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        Firefly& firefly = fireflies[i];
        const float angle = clockSeconds * kOrbitRate + firefly.phase;
        firefly.orbit.x = kOrbitRadius * std::sin(2.0f * angle) + firefly.height;
        firefly.orbit.y = kOrbitRadius * std::cos(angle) + firefly.height;
    }
    if (node != nullptr) node->SetPosition(centre);
}

Vector3 FireflySwarm::FireflyPosition(std::int32_t index) const {
    if (index < 0 || index >= count) return centre;
    const Firefly& firefly = fireflies[index];
    return Vector3{centre.x + firefly.offset.x + firefly.orbit.x, centre.y + firefly.offset.y + firefly.orbit.y,
                   centre.z + firefly.offset.z + firefly.orbit.z};
}

void FireflySwarm::Reset() {
    if (node != nullptr) node->Release();
    node = nullptr;
    for (Firefly& firefly : fireflies) firefly.active = 0;
}
