// The damper's top follows its landing, step-on and step-off paths.
#include "game/world/objects/DamperObject.h"

#include "game/world/objects/ObjectParts.h"
#include "game/world/pathanim/PathAnim.h"

namespace {

constexpr DWORD kBlockingInitialFlags = 14;
constexpr char kTopNode[] = "damper_01_top";

const ModelShape kDamperShapes[] = {{"damper_01_up", {5, 5, 0}},
                                     {"damper_01_down", {-10, -5, 0}},
                                     {"damper_01_left", {5, -5, 0}},
                                     {"damper_01_right", {-5, 5, 0}}};

// Samples the path at the time; true at its last frame.
bool SamplePosition(PathAnim& path, float& time, Vector3& position) {
    Quaternion rotation = kIdentityQuaternion;
    return path.Sample(time, position, rotation);
}

}  // namespace

DamperObject::DamperObject() { SetFlags(kBlockingInitialFlags); }

DamperObject::~DamperObject() {
    DeletePath(landing);
    DeletePath(stepOn);
    DeletePath(stepOff);
}

bool DamperObject::Init(std::uint32_t typeCode) {
    if (typeCode < kObjectFirstDamper || typeCode > kObjectLastDamper) return false;
    const ModelShape& shape = kDamperShapes[typeCode - kObjectFirstDamper];
    if (!InitModel(typeCode, shape.model)) return false;
    offset = shape.offset;
    top.Bind(model, kTopNode);
    triggered = active = 0;
    landingTime = stepOnTime = stepOffTime = 0.0f;
    if ((landing = LoadOwnedPath("damper_land", false)) == nullptr) return false;
    if ((stepOn = LoadOwnedPath("damper_walkon", false)) == nullptr) return false;
    return (stepOff = LoadOwnedPath("damper_walkoff", false)) != nullptr;
}

void DamperObject::Reset() {
    LevelObject::Reset();
    triggered = active = 0;
    stepOnTime = stepOffTime = 0.0f;
}

void DamperObject::Update(float dt) {
    LevelObject::Update(dt);
    Vector3 sampled{0, 0, 0};
    if (triggered != 0 && landing != nullptr && landing->IsValid()) {
        landingTime += dt;
        if (SamplePosition(*landing, landingTime, sampled)) {
            triggered = 0;
            landingTime = 0.0f;
        } else {
            top.Place(sampled);
        }
    }
    PathAnim* step = active != 0 ? stepOn : stepOff;
    float& stepTime = active != 0 ? stepOnTime : stepOffTime;
    if (step == nullptr || !step->IsValid()) return;
    stepTime += dt;
    if (!SamplePosition(*step, stepTime, sampled)) top.Place(sampled);
}
