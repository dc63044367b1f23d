// The spike cube's bounce.
#include "game/world/objects/SpikeCubeObject.h"

#include "engine/core/math/VectorMath.h"
#include "game/world/services/PlayerLocation.h"
#include "game/world/services/WorldServices.h"

namespace {
constexpr DWORD kSpikeCubeInitialFlags = 15;
constexpr float kLaunchSpeed = -24.0f;
constexpr float kBounceKept = 0.6f;
constexpr float kBounceStopLength = 6.0f;
}  // namespace

SpikeCubeObject::SpikeCubeObject() { SetFlags(kSpikeCubeInitialFlags); }

bool SpikeCubeObject::Init(std::uint32_t typeCode) {
    if (typeCode != kObjectSpikeCube || !InitModel(typeCode, "spikecube_01")) return false;
    bounce = {0, 0, 0};
    restTimer = 0.0f;
    return true;
}

void SpikeCubeObject::Reset() {
    LevelObject::Reset();
    motion = {0, 0, 0};
    savedMotion = {0, 0, 0};
    bounce = {0, 0, 0};
    restTimer = 0.0f;
}

void SpikeCubeObject::RestoreState() {
    LevelObject::RestoreState();
    bounce = {0, 0, 0};
    restTimer = 0.0f;
}

void SpikeCubeObject::Update(float dt) {
    LevelObject::Update(dt);
    restTimer += dt;
    if (bounce.y < -0.1f || bounce.y > 0.1f) restTimer = 0.0f;
}

void SpikeCubeObject::Bounce() {
    if (restTimer > 1.0f) {
        motion = {0, kLaunchSpeed, 0};
        bounce = {0, kLaunchSpeed, 0};
        GetWorldServices().PlaySoundEffect(kSoundSpikeCubeLand, false, false);
        RumbleWhenPlayerNear(position);
        return;
    }
    Vector3Scale(bounce, kBounceKept, bounce);
    if (Vector3Length(bounce) < kBounceStopLength) {
        bounce = {0, 0, 0};
        motion = {0, 0, 0};
    }
    motion = bounce;
}
