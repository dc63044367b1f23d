// The blocker door's motions and their restore.
#include "game/world/objects/BlockerDoorObject.h"

#include "game/world/objects/TwoWayMotion.h"
#include "game/world/pathanim/PathAnim.h"
#include "game/world/services/PlayerLocation.h"
#include "game/world/services/WorldServices.h"

namespace {

constexpr DWORD kBlockingInitialFlags = 14;
// The leaves are far enough apart to shake the handset from this point of the motion on.
constexpr float kDoorRumbleTime = 0.6f;

const ModelShape kDoorShapes[] = {{"blocker_01_up", {0, 0, 0}},
                                 {"blocker_01_down", {-10, -5, 0}},
                                 {"blocker_01_left", {-5, 0, 0}},
                                 {"blocker_01_right", {5, -10, 0}}};

}  // namespace

BlockerDoorObject::BlockerDoorObject() { SetFlags(kBlockingInitialFlags); }

BlockerDoorObject::~BlockerDoorObject() {
    DeletePath(closePath);
    DeletePath(openPath);
}

bool BlockerDoorObject::Init(std::uint32_t typeCode) {
    if (typeCode < kObjectFirstBlocker || typeCode > kObjectLastBlocker) return false;
    const ModelShape& shape = kDoorShapes[typeCode - kObjectFirstBlocker];
    if (!InitModel(typeCode, shape.model)) return false;
    offset = shape.offset;
    leaves[0].Bind(model, "door1");
    leaves[1].Bind(model, "door2");
    door.moving = door.closing = 0;
    door.closeTime = door.openTime = 0.0f;
    if ((closePath = LoadOwnedPath("blockerdoor1_close", false)) == nullptr) return false;
    return (openPath = LoadOwnedPath("blockerdoor1_open", false)) != nullptr;
}

void BlockerDoorObject::Open(bool playSound) {
    if (door.moving == 0 && playSound) {
        GetWorldServices().PlaySoundEffect(kSoundBlockers, false, false);
        rumblePending = 1;
    }
    door.closing = 0;
    door.oneLeaf = 0;
    door.moving = 1;
    door.closed = 1;
}

void BlockerDoorObject::OpenOneLeaf(bool playSound) {
    if (door.moving == 0 && playSound) {
        WorldServices& services = GetWorldServices();
        services.PlaySoundEffect(kSoundBlockers, false, false);
        if (WorldOfLevel(services.Controller()) < 10 && services.RaiseOneLeafDoorCount() > 0) services.GrantAward10();
        rumblePending = 1;
    }
    door.moving = 1;
    door.oneLeaf = 1;
}

void BlockerDoorObject::Close(bool playSound) {
    if (door.closing == 0 && playSound) GetWorldServices().PlaySoundEffect(kSoundBlockers, false, false);
    door.closing = 1;
    door.closed = door.moving = door.oneLeaf = 0;
}

void BlockerDoorObject::SaveState(std::int32_t id) {
    LevelObject::SaveState(id);
    savedDoor = door;
}

void BlockerDoorObject::Reset() {
    LevelObject::Reset();
    door = DoorState{};
    savedDoor = DoorState{};
    rumblePending = 0;
    leaves[0].Place(Vector3{0, 0, 0});
    leaves[1].Place(Vector3{0, 0, 0});
}

void BlockerDoorObject::RestoreState() {
    LevelObject::RestoreState();
    const TwoWayMotion motion{door.closed, door.moving, door.closing, door.openTime, door.closeTime};
    if (TurnTowardSaved(motion, savedDoor.closed, savedDoor.moving, savedDoor.closing, kDoorMotionTime))
        door.oneLeaf = 0;
    else
        door = savedDoor;
    rumblePending = 0;
}

void BlockerDoorObject::PlaceLeaves(const Vector3& d) {
    if (door.oneLeaf != 0) {
        leaves[1].Place(d);
        return;
    }
    leaves[1].Place(Vector3{2.0f * d.x, 2.0f * d.y, 2.0f * d.z});
    leaves[0].Place(d);
}

bool BlockerDoorObject::MoveLeaves(PathAnim& path, float& time, float dt) {
    time += dt;
    Vector3 displacement{0, 0, 0};
    Quaternion rotation = kIdentityQuaternion;
    const bool ended = path.Sample(time, displacement, rotation);
    PlaceLeaves(displacement);
    if (ended) time = 0.0f;
    return ended;
}

void BlockerDoorObject::Update(float dt) {
    LevelObject::Update(dt);
    if (door.closed != 0) {
        if (door.moving == 0 || openPath == nullptr || !openPath->IsValid()) return;
        if (MoveLeaves(*openPath, door.openTime, dt)) {
            door.closed = 0;
            door.moving = 0;
        } else if (door.openTime >= kDoorRumbleTime && rumblePending != 0) {
            rumblePending = 0;
            RumbleWhenPlayerNear(GetWorldPosition());
        }
        return;
    }
    if (door.closing == 0 || closePath == nullptr || !closePath->IsValid()) return;
    if (MoveLeaves(*closePath, door.closeTime, dt)) {
        door.closed = 1;
        door.closing = 0;
    }
}
