// The blocker door's motions and their restore.
#include "game/world/objects/BlockerDoorObject.h"

#include "game/world/pathanim/PathAnim.h"
#include "game/world/services/PlayerLocation.h"
#include "game/world/services/WorldServices.h"

namespace {

constexpr DWORD kBlockingInitialFlags = 14;
// The leaves are far enough apart to shake the handset from this point of the motion on.
constexpr float kDoorRumbleTime = 0.6f;

struct DoorShape {
    const char* model;
    Vector3 offset;
};

const DoorShape kDoorShapes[] = {{"blocker_01_up", {0, 0, 0}},
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
    const DoorShape& shape = kDoorShapes[typeCode - kObjectFirstBlocker];
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

void BlockerDoorObject::StartOpening() {
    door.moving = 1;
    door.closing = 0;
    door.closed = 1;
    door.openTime = kDoorMotionTime - door.closeTime;
    door.closeTime = 0.0f;
}

void BlockerDoorObject::StartClosing() {
    door.closing = 1;
    door.moving = 0;
    door.closed = 0;
    door.closeTime = kDoorMotionTime - door.openTime;
    door.openTime = 0.0f;
}

void BlockerDoorObject::RestoreState() {
    LevelObject::RestoreState();
    if (door.closed == savedDoor.closed && door.closing == savedDoor.closing) {
        if (door.moving == savedDoor.moving) {
            door = savedDoor;
        } else {
            door.oneLeaf = 0;
            if (savedDoor.moving == 0)
                StartClosing();
            else
                StartOpening();
        }
    } else {
        door.oneLeaf = 0;
        if (savedDoor.closed == 0)
            StartOpening();
        else
            StartClosing();
    }
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

void BlockerDoorObject::Update(float dt) {
    LevelObject::Update(dt);
    Vector3 displacement{0, 0, 0};
    Quaternion rotation = kIdentityQuaternion;
    if (door.closed != 0) {
        if (door.moving == 0 || openPath == nullptr || !openPath->IsValid()) return;
        door.openTime += dt;
        const bool ended = openPath->Sample(door.openTime, displacement, rotation);
        PlaceLeaves(displacement);
        if (ended) {
            door.closed = 0;
            door.moving = 0;
            door.openTime = 0.0f;
        } else if (door.openTime >= kDoorRumbleTime && rumblePending != 0) {
            rumblePending = 0;
            RumbleWhenPlayerNear(GetWorldPosition());
        }
        return;
    }
    if (door.closing == 0 || closePath == nullptr || !closePath->IsValid()) return;
    door.closeTime += dt;
    const bool ended = closePath->Sample(door.closeTime, displacement, rotation);
    PlaceLeaves(displacement);
    if (ended) {
        door.closed = 1;
        door.closing = 0;
        door.closeTime = 0.0f;
    }
}
