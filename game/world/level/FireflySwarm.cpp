// The firefly swarms' motion.
#include "game/world/level/FireflySwarm.h"

#include <cmath>

#include "engine/core/node/KNode.h"
#include "game/world/level/Level.h"

FireflySwarm::~FireflySwarm() {
    if (node != nullptr) node->Release();
}

void FireflySwarm::Init(std::int32_t fireflyCount, const Vector3& start) {
    if (node == nullptr) {
        node = new KNode();
        node->SetName("fireflies");
    }
    count = fireflyCount < 1 ? 1 : (fireflyCount > kMaximumFireflies ? kMaximumFireflies : fireflyCount);
    centre = Vector3{start.x, start.y, kFireflyHeight};
    target = centre;
    retargetTimer = 0.0f;
    time = 0.0f;
    for (std::int32_t i = 0; i < kMaximumFireflies; ++i) {
        // Spread evenly round the circle so that no two start on one spot.
        fireflies[i].phase = 6.2831853f * static_cast<float>(i) / static_cast<float>(count);
        fireflies[i].orbitOffset = Vector3{2.0f * std::cos(fireflies[i].phase), 2.0f * std::sin(fireflies[i].phase), 0};
        fireflies[i].ownOffset = Vector3{0, 0, 0};
    }
    node->SetPosition(centre);
}

void FireflySwarm::Update(float dt, const Level& level) {
    if (!(dt > 0.0f)) return;
    time += dt;
    retargetTimer += dt;
    if (retargetTimer >= kFireflyRetargetTime) {
        retargetTimer = 0.0f;
        const Vector3 tile = level.RandomEmptyTile();
        target = Vector3{tile.x, tile.y, kFireflyHeight};
    }
    const float dx = target.x - centre.x;
    const float dy = target.y - centre.y;
    const float distance = std::sqrt(dx * dx + dy * dy);
    const float step = kFireflySwarmSpeed * dt;
    if (distance <= step) {
        centre.x = target.x;
        centre.y = target.y;
    } else {
        centre.x += dx / distance * step;
        centre.y += dy / distance * step;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        Firefly& firefly = fireflies[i];
        const float angle = firefly.phase + time * (0.8f + 0.15f * static_cast<float>(i));
        firefly.orbitOffset = Vector3{2.0f * std::cos(angle), 2.0f * std::sin(angle), 0};
        firefly.ownOffset = Vector3{0, 0, 0.5f * std::sin(time * 2.0f + firefly.phase)};
    }
    if (node != nullptr) node->SetPosition(centre);
}

Vector3 FireflySwarm::FireflyPosition(std::int32_t index) const {
    if (index < 0 || index >= count) return centre;
    const Firefly& firefly = fireflies[index];
    return Vector3{centre.x + firefly.orbitOffset.x + firefly.ownOffset.x,
                   centre.y + firefly.orbitOffset.y + firefly.ownOffset.y,
                   centre.z + firefly.orbitOffset.z + firefly.ownOffset.z};
}
