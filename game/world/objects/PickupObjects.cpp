// Keys and pickup spheres.
#include "game/world/objects/PickupObjects.h"

#include "engine/core/node/KNode.h"
#include "game/world/objects/ObjectParts.h"
#include "game/world/pathanim/PathAnim.h"

namespace {

constexpr DWORD kCollectableInitialFlags = 10;
// The node flag that marks the model of a spinning collectable for the draw passes.
constexpr DWORD kSpinningModelFlag = 0x40000;

const char* const kSphereModels[] = {"pickup1_up", "pickup1_down", "pickup1_left", "pickup1_right",
                                     "pickup2_up", "pickup2_down", "pickup2_left", "pickup2_right"};

}  // namespace

CollectableObject::CollectableObject() { SetFlags(kCollectableInitialFlags); }

CollectableObject::~CollectableObject() { DeletePath(path); }

bool CollectableObject::InitSpin(const char* pathName, float flareSize, float flareAmplitude,
                                 const char* flareTexture) {
    path = LoadOwnedPath(pathName, true);
    animationTime = 0.0f;
    if (model != nullptr) model->SetFlagBits(kSpinningModelFlag, true);
    flare.baseSize = flareSize;
    flare.amplitude = flareAmplitude;
    flare.intensity = 1.0f;
    flare.texture.Assign(flareTexture);
    return path != nullptr;
}

bool CollectableObject::Spin(float dt, Vector3& position, Quaternion& rotation) {
    if (path == nullptr || !path->IsValid()) return false;
    animationTime += dt;
    path->Sample(animationTime, position, rotation);
    flare.intensity = 1.0f;
    return true;
}

void CollectableObject::Shrink(float dt) {
    if ((flags & kObjectCollected) == 0) return;
    scale -= kCollectShrinkRate * dt;
    if (scale < kCollectSnapScale) scale = 0.0f;
    flare.intensity = scale;
}

bool KeyObject::Init(std::uint32_t typeCode) {
    if (typeCode != kObjectKey || !InitModel(typeCode, "key_01")) return false;
    return InitSpin("Key_01_rotate", 3.6f, 0.4f, "gfx/fx/Flare1.dds");
}

void KeyObject::Update(float dt) {
    LevelObject::Update(dt);
    Vector3 sampled{0, 0, 0};
    Quaternion rotation = kIdentityQuaternion;
    if (Spin(dt, sampled, rotation) && model != nullptr) {
        model->Transform().position = {position.x + sampled.x, position.y + sampled.y, position.z + sampled.z};
        model->Transform().rotation = rotation;
        RebuildNode(model);
    }
    Shrink(dt);
    SetPartScale(model, scale);
}

bool SphereObject::Init(std::uint32_t typeCode) {
    if (typeCode < kObjectFirstSphere || typeCode > kObjectLastSphere) return false;
    if (!InitModel(typeCode, kSphereModels[typeCode - kObjectFirstSphere])) return false;
    if (typeCode <= 4) return InitSpin("pickup1_rotate", 0.6f, 0.4f, "gfx/fx/Flare1.dds");
    return InitSpin("pickup2_rotate", 1.0f, 1.8f, "gfx/fx/pickupglow2.dds");
}

void SphereObject::Update(float dt) {
    LevelObject::Update(dt);
    KNode* pickup = ModelPart(model, "pickup");
    Vector3 sampled{0, 0, 0};
    Quaternion rotation = kIdentityQuaternion;
    // Only the rotation turns the sphere; its position stays.
    if (Spin(dt, sampled, rotation)) SetPartRotation(pickup, rotation);
    Shrink(dt);
    SetPartScale(pickup, scale);
}
