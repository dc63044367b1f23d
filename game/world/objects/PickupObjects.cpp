// Keys and pickup spheres.
#include "game/world/objects/PickupObjects.h"

#include "engine/core/node/KNode.h"
#include "game/world/objects/ObjectParts.h"
#include "game/world/pathanim/PathAnim.h"

namespace {

constexpr DWORD kKeyInitialFlags = 10;
// The node flag that marks the model of a spinning collectable for the draw passes.
constexpr DWORD kSpinningModelFlag = 0x40000;

const char* const kSphereModels[] = {"pickup1_up",   "pickup1_down", "pickup1_left", "pickup1_right",
                                     "pickup2_up",   "pickup2_down", "pickup2_left", "pickup2_right"};

// A collected object's scale shrinks to 0; the flare fades with it.
void Shrink(LevelObject& object, float dt) {
    if ((object.flags & kObjectCollected) == 0) return;
    object.scale -= kCollectShrinkRate * dt;
    if (object.scale < kCollectSnapScale) object.scale = 0.0f;
    object.flare.intensity = object.scale;
}

}  // namespace

KeyObject::KeyObject() { SetFlags(kKeyInitialFlags); }

KeyObject::~KeyObject() { DeletePath(path); }

bool KeyObject::Init(std::uint32_t typeCode) {
    if (typeCode != kObjectKey || !InitModel(typeCode, "key_01")) return false;
    path = LoadOwnedPath("Key_01_rotate", true);
    animationTime = 0.0f;
    if (model != nullptr) model->SetFlagBits(kSpinningModelFlag, true);
    flare.baseSize = 3.6f;
    flare.amplitude = 0.4f;
    flare.intensity = 1.0f;
    flare.texture.Assign("gfx/fx/Flare1.dds");
    return path != nullptr;
}

void KeyObject::Update(float dt) {
    LevelObject::Update(dt);
    if (path != nullptr && path->IsValid()) {
        animationTime += dt;
        Vector3 sampled{0, 0, 0};
        Quaternion rotation = kIdentityQuaternion;
        path->Sample(animationTime, sampled, rotation);
        if (model != nullptr) {
            model->Transform().position = {position.x + sampled.x, position.y + sampled.y, position.z + sampled.z};
            model->Transform().rotation = rotation;
            RebuildNode(model);
        }
        flare.intensity = 1.0f;
    }
    Shrink(*this, dt);
    SetPartScale(model, scale);
}

SphereObject::SphereObject() { SetFlags(kKeyInitialFlags); }

SphereObject::~SphereObject() { DeletePath(path); }

bool SphereObject::Init(std::uint32_t typeCode) {
    if (typeCode < kObjectFirstSphere || typeCode > kObjectLastSphere) return false;
    if (!InitModel(typeCode, kSphereModels[typeCode - kObjectFirstSphere])) return false;
    const bool first = typeCode <= 4;
    path = LoadOwnedPath(first ? "pickup1_rotate" : "pickup2_rotate", true);
    animationTime = 0.0f;
    if (model != nullptr) model->SetFlagBits(kSpinningModelFlag, true);
    flare.baseSize = first ? 0.6f : 1.0f;
    flare.amplitude = first ? 0.4f : 1.8f;
    flare.intensity = 1.0f;
    flare.texture.Assign(first ? "gfx/fx/Flare1.dds" : "gfx/fx/pickupglow2.dds");
    return path != nullptr;
}

void SphereObject::Update(float dt) {
    LevelObject::Update(dt);
    KNode* pickup = ModelPart(model, "pickup");
    if (path != nullptr && path->IsValid()) {
        animationTime += dt;
        Vector3 sampled{0, 0, 0};
        Quaternion rotation = kIdentityQuaternion;
        path->Sample(animationTime, sampled, rotation);
        SetPartRotation(pickup, rotation);
        flare.intensity = 1.0f;
    }
    Shrink(*this, dt);
    SetPartScale(pickup, scale);
}
