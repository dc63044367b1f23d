// The exit portal and the spawn effect. The effect grows for half a second after every Reset
// and shrinks for the next half.
#include "game/world/objects/PortalObjects.h"

#include "engine/core/node/KNode.h"
#include "game/world/objects/ObjectParts.h"
#include "game/world/pathanim/PathAnim.h"
#include "game/world/services/WorldServices.h"

namespace {

constexpr DWORD kPortalInitialFlags = 2;
constexpr char kEffectNode[] = "portaleffect1";

const ModelShape kPortalShapes[] = {{"portal1_up", {5, 5, 0}},
                                     {"portal1_up", {5, 5, 0}},
                                     {"portal1_down", {-5, -5, 0}},
                                     {"portal1_left", {-5, 5, 0}},
                                     {"portal1_right", {5, -5, 0}}};

void GrowBy(Vector3& scale, float step) {
    scale.x += step;
    scale.y += step;
    scale.z += step;
}

// The spin of the effect node at the animation time; nothing without a valid path.
void SpinEffect(KNode* model, PathAnim* path, float& animationTime) {
    if (path == nullptr || !path->IsValid()) return;
    Vector3 sampled{0, 0, 0};
    Quaternion rotation = kIdentityQuaternion;
    path->Sample(animationTime, sampled, rotation);
    SetPartRotation(ModelPart(model, kEffectNode), rotation);
}

}  // namespace

ExitPortalObject::ExitPortalObject() {
    SetFlags(kPortalInitialFlags);
    offset = {5, 5, 0};
}

ExitPortalObject::~ExitPortalObject() { DeletePath(path); }

bool ExitPortalObject::Init(std::uint32_t typeCode) {
    if (typeCode < kObjectFirstPortal || typeCode > kObjectLastPortal) return false;
    const ModelShape& shape = kPortalShapes[typeCode - kObjectFirstPortal];
    if (!InitModel(typeCode, shape.model)) return false;
    offset = shape.offset;
    path = LoadOwnedPath("portaleffect1_rotate", true);
    animationTime = 0.0f;
    state = kPortalClosed;
    effectScale = {0, 0, 0};
    spare = 0;
    SetPartScale(ModelPart(model, kEffectNode), 0.0f);
    flare.baseSize = 6.0f;
    flare.amplitude = 0.4f;
    flare.intensity = 0.0f;
    return path != nullptr;
}

bool ExitPortalObject::Open(bool playSound) {
    if (state != kPortalClosed) return false;
    if (playSound) GetWorldServices().PlaySoundEffect(kSoundPortalOpen, false, false);
    state = kPortalOpening;
    animationTime = 0.0f;
    return true;
}

bool ExitPortalObject::Close() {
    state = kPortalClosing;
    animationTime = 0.0f;
    effectScale = {0, 0, 0};
    SetPartScale(ModelPart(model, kEffectNode), 0.0f);
    flare.intensity = 0.0f;
    return true;
}

void ExitPortalObject::Update(float dt) {
    LevelObject::Update(dt);
    KNode* effect = ModelPart(model, kEffectNode);
    if (state == kPortalOpening) {
        state = kPortalOpen;
    } else if (state == kPortalOpen) {
        if (effectScale.x < 1.0f) GrowBy(effectScale, 2.0f * dt);
        flare.intensity = effectScale.x;
        animationTime += dt;
        SpinEffect(model, path, animationTime);
    } else if (state == kPortalClosing) {
        SetPartScale(effect, 0.0f);
        state = kPortalClosed;
    }
    SetPartScale(effect, effectScale);
}

SpawnEffectObject::SpawnEffectObject() {
    SetFlags(kPortalInitialFlags);
    offset = {5, 5, 0};
}

SpawnEffectObject::~SpawnEffectObject() { DeletePath(path); }

bool SpawnEffectObject::Init(std::uint32_t typeCode) {
    if (typeCode != kObjectSpawnEffect || !InitModel(typeCode, "spawneffect")) return false;
    path = LoadOwnedPath("portaleffect1_rotate", true);
    lifeTime = 0.0f;
    animationTime = 0.0f;
    effectScale = {0, 0, 0};
    SetPartScale(ModelPart(model, kEffectNode), 0.0f);
    flare.baseSize = 6.0f;
    flare.amplitude = 0.8f;
    flare.intensity = 0.0f;
    return path != nullptr;
}

void SpawnEffectObject::Reset() {
    LevelObject::Reset();
    lifeTime = 0.0f;
    animationTime = 0.0f;
    effectScale = {0, 0, 0};
    SetPartScale(ModelPart(model, kEffectNode), 0.0f);
    flare.intensity = 0.0f;
}

void SpawnEffectObject::Update(float dt) {
    LevelObject::Update(dt);
    lifeTime += dt;
    animationTime += dt;
    if (lifeTime < 0.5f) {
        if (effectScale.x < 1.0f) GrowBy(effectScale, 4.0f * dt);
    } else if (lifeTime < 1.0f) {
        GrowBy(effectScale, -4.0f * dt);
        if (effectScale.x < 0.0f) effectScale = {0, 0, 0};
    } else {
        effectScale = {0, 0, 0};
    }
    flare.intensity = effectScale.x;
    SpinEffect(model, path, animationTime);
    SetPartScale(ModelPart(model, kEffectNode), effectScale);
}
