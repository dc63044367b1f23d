// Checkpoints: saving an attempt, rewinding a lost one, restarting the level.
#include "engine/core/containers/KDLList.h"
#include "game/world/level/Level.h"
#include "game/world/objects/LevelObject.h"
#include "game/world/objects/PortalObjects.h"
#include "game/world/player/PlayerCharacter.h"
#include "game/world/services/WorldServices.h"
#include "game/world/update/LevelUpdate.h"

namespace {

// The portal's visibility among the object flags.
constexpr DWORD kPortalShown = 0x8;

ExitPortalObject* ExitPortal(Level& level) {
    LevelObject* object = level.exitPortal;
    if (object == nullptr || object->kind < kObjectFirstPortal || object->kind > kObjectLastPortal) return nullptr;
    return static_cast<ExitPortalObject*>(object);
}

// Every collected object back into play, in the order it was collected.
void ReturnCollected(Level& level, bool currentAttemptOnly) {
    for (KDLListIterator it(level.collectedObjects); !it.AtEnd();) {
        auto* object = static_cast<LevelObject*>(it.Item());
        if (currentAttemptOnly && object->attemptId != level.attempts) {
            it.Next();
            continue;
        }
        ListIteratorRemove(it);
        if (!ListPushBack(level.activeObjects, object)) {
            delete object;
            continue;
        }
        if (currentAttemptOnly && object->kind == kObjectKey) --level.keysCollected;
    }
}

}  // namespace

void SaveCheckpoint(Level& level) {
    ++level.attempts;
    for (KDLListIterator it(level.activeObjects); !it.AtEnd(); it.Next())
        static_cast<LevelObject*>(it.Item())->SaveState(level.attempts);
    if (PlayerCharacter* character = level.character) {
        character->SaveCheckpoint();
        character->pendingLeap = 0;
    }
}

void CloseExitPortal(Level& level) {
    ExitPortalObject* portal = ExitPortal(level);
    if (portal == nullptr) return;
    portal->Close();
    portal->motion = Vector3{0, 0, 0};
    portal->SetFlag(kPortalShown, false);
}

void UpdateExitPortal(Level& level) {
    level.ruleFlags = 0;
    ReturnCollected(level, true);
    for (KDLListIterator it(level.activeObjects); !it.AtEnd(); it.Next())
        static_cast<LevelObject*>(it.Item())->RestoreState();
    if (level.keysCollected != level.keyTotal) {
        CloseExitPortal(level);
        return;
    }
    ExitPortalObject* portal = ExitPortal(level);
    if (portal == nullptr) return;
    if (portal->state == kPortalClosed) portal->Open(true);
    portal->SetFlag(kPortalShown, true);
}

void Restart(Level& level) {
    if (level.character != nullptr) level.character->Reset();
    ReturnCollected(level, false);
    for (KDLListIterator it(level.activeObjects); !it.AtEnd(); it.Next())
        static_cast<LevelObject*>(it.Item())->Reset();
    level.keysCollected = 0;
    level.attempts = 0;
    CloseExitPortal(level);
    StopBigPlants(level);
}
