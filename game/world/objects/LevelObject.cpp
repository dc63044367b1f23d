// The base operations every level object starts from.
#include "game/world/objects/LevelObject.h"

#include "engine/core/node/KNode.h"
#include "game/world/objects/BlockerDoorObject.h"
#include "game/world/services/ModelSource.h"

LevelObject::~LevelObject() {
    if (model != nullptr) model->Release();
}

bool LevelObject::InitModel(std::uint32_t typeCode, const char* modelName) {
    if (model != nullptr) return false;
    kind = typeCode;
    if (typeCode < kObjectNone) model = CloneModel(modelName);
    return true;
}

bool LevelObject::Init(std::uint32_t typeCode) { return InitModel(typeCode, nullptr); }

void LevelObject::SaveState(std::int32_t id) {
    savedPosition = position;
    savedMotion = motion;
    attemptId = id;
}

void LevelObject::Reset() {
    position = placement;
    savedPosition = placement;
    motion = {0, 0, 0};
    savedMotion = {0, 0, 0};
    scale = 1.0f;
    flags = initialFlags;
    attemptId = -1;
}

void LevelObject::RestoreState() {
    position = savedPosition;
    motion = savedMotion;
    flags = initialFlags;
    scale = 1.0f;
}

void LevelObject::Update(float) {
    if ((flags & kObjectSliding) != 0 && motion.y > kSlideSpeedLimit) motion.y = kSlideSpeedLimit;
}

Vector3 LevelObject::GetWorldPosition() const {
    return {position.x + offset.x, position.y + offset.y, position.z + offset.z};
}

bool LevelObject::IsInActionWindow() const {
    const DoorState* door = Door();
    return door != nullptr && door->moving != 0 && door->openTime > 0.3f && door->openTime < 0.33f;
}

bool LevelObject::IsPastActionWindow() const {
    const DoorState* door = Door();
    return door != nullptr && door->moving != 0 && door->openTime >= 0.33f;
}
