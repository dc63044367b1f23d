// The bridge's swings and their restore.
#include "game/world/objects/BridgeObject.h"

#include "game/world/objects/ObjectParts.h"
#include "game/world/objects/TwoWayMotion.h"
#include "game/world/pathanim/PathAnim.h"
#include "game/world/services/PlayerLocation.h"
#include "game/world/services/WorldServices.h"

namespace {

constexpr DWORD kBlockingInitialFlags = 14;
constexpr float kBridgeRumbleTime = 0.6f;

const char* const kBridgeModels[] = {"bridge1_up", "bridge1_down", "bridge1_left", "bridge1_right"};

}  // namespace

BridgeObject::BridgeObject() { SetFlags(kBlockingInitialFlags); }

BridgeObject::~BridgeObject() {
    DeletePath(swingBackPath);
    DeletePath(swingOverPath);
}

bool BridgeObject::Init(std::uint32_t typeCode) {
    if (typeCode < kObjectFirstBridge || typeCode > kObjectLastBridge) return false;
    if (!InitModel(typeCode, kBridgeModels[typeCode - kObjectFirstBridge])) return false;
    plank.Bind(model, "bridge1");
    bridge.swingingOver = typeCode == kObjectFirstBridge + 1 ? 1 : 0;
    bridge.swingingBack = 0;
    bridge.swingBackTime = bridge.swingOverTime = 0.0f;
    if ((swingBackPath = LoadOwnedPath("bridge1_down", false)) == nullptr) return false;
    return (swingOverPath = LoadOwnedPath("bridge1_up", false)) != nullptr;
}

void BridgeObject::SwingOver(bool playSound) {
    if (bridge.swingingOver == 0 && playSound) {
        GetWorldServices().PlaySoundEffect(kSoundBridges, false, false);
        rumblePending = 1;
    }
    bridge.swingingBack = 0;
    bridge.swung = 1;
    bridge.swingingOver = 1;
}

void BridgeObject::SwingBack(bool playSound) {
    if (bridge.swingingBack == 0 && playSound) {
        GetWorldServices().PlaySoundEffect(kSoundBridges, false, false);
        rumblePending = 1;
    }
    bridge.swung = 0;
    bridge.swingingOver = 0;
    bridge.swingingBack = 1;
}

std::uint32_t BridgeObject::MotionLevel() const {
    if (bridge.swingingOver != 0) {
        if (bridge.swingOverTime > 0.6f) return 1;
        return bridge.swingOverTime <= 0.4f ? 3 : 2;
    }
    if (bridge.swingingBack != 0) {
        if (bridge.swingBackTime > 0.6f) return 3;
        return bridge.swingBackTime <= 0.4f ? 1 : 2;
    }
    return 0;
}

void BridgeObject::SaveState(std::int32_t id) {
    LevelObject::SaveState(id);
    savedBridge = bridge;
}

void BridgeObject::Reset() {
    LevelObject::Reset();
    bridge = BridgeState{};
    savedBridge = BridgeState{};
    rumblePending = 0;
    plank.Place(Vector3{0, 0, 0});
    SetPartRotation(plank.node, kIdentityQuaternion);
}

void BridgeObject::RestoreState() {
    LevelObject::RestoreState();
    const TwoWayMotion motion{bridge.swung, bridge.swingingOver, bridge.swingingBack, bridge.swingOverTime,
                              bridge.swingBackTime};
    if (!TurnTowardSaved(motion, savedBridge.swung, savedBridge.swingingOver, savedBridge.swingingBack,
                         kBridgeSwingTime))
        bridge = savedBridge;
    rumblePending = 0;
}

bool BridgeObject::Swing(PathAnim* path, float& time, float dt) {
    time += dt;
    Vector3 position{0, 0, 0};
    Quaternion rotation = kIdentityQuaternion;
    const bool ended = path->Sample(time, position, rotation);
    if (!ended && time > kBridgeRumbleTime && rumblePending != 0) {
        RumbleWhenPlayerNear(GetWorldPosition());
        rumblePending = 0;
    }
    plank.Place(position);
    SetPartRotation(plank.node, rotation);
    return ended;
}

void BridgeObject::Update(float dt) {
    LevelObject::Update(dt);
    if (bridge.swung != 0) {
        if (bridge.swingingOver == 0 || swingOverPath == nullptr || !swingOverPath->IsValid()) return;
        if (Swing(swingOverPath, bridge.swingOverTime, dt)) {
            bridge.swung = 0;
            bridge.swingingOver = 0;
            bridge.swingOverTime = 0.0f;
        }
        return;
    }
    if (bridge.swingingBack == 0 || swingBackPath == nullptr || !swingBackPath->IsValid()) return;
    if (Swing(swingBackPath, bridge.swingBackTime, dt)) {
        bridge.swung = 1;
        bridge.swingingBack = 0;
        bridge.swingBackTime = 0.0f;
    }
}
