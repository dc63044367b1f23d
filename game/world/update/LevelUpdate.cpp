// The per-frame order of the level.
#include "game/world/update/LevelUpdate.h"

#include "engine/core/containers/KDLList.h"
#include "game/world/level/Level.h"
#include "game/world/objects/LevelObject.h"
#include "game/world/player/PlayerCharacter.h"
#include "game/world/rules/CharacterInteractions.h"
#include "game/world/rules/MovementRules.h"
#include "game/world/services/WorldServices.h"

namespace {

// Objects fading below this have finished their collect animation.
constexpr float kFadedLimit = 0.1f;
// After a death everything still fading goes at once.
constexpr float kDeathFadeLimit = 0.99f;

}  // namespace

void CollectFadedObjects(Level& level, float limit) {
    for (KDLListIterator it(level.activeObjects); !it.AtEnd();) {
        auto* object = static_cast<LevelObject*>(it.Item());
        if (object->scale < limit) {
            ListIteratorRemove(it);
            if (!ListPushBack(level.collectedObjects, object)) delete object;
            continue;
        }
        it.Next();
    }
}

void RemoveFadedObjects(Level& level) {
    for (KDLListIterator it(level.activeObjects); !it.AtEnd();) {
        auto* object = static_cast<LevelObject*>(it.Item());
        if (object->scale < kDeathFadeLimit) {
            object->scale = 0.0f;
            ListIteratorRemove(it);
            if (!ListPushBack(level.collectedObjects, object)) delete object;
            continue;
        }
        it.Next();
    }
}

void UpdateLevel(Level& level, float dt) {
    PlayerCharacter* character = level.character;
    if (character == nullptr) {
        UpdateObjects(level, dt);
        UpdateBigPlants(level, dt);
        CollectFadedObjects(level, kFadedLimit);
        return;
    }
    if (character->pendingLeap != 0) {
        if (ResolveMove(level, *character) == 0) {
            character->leapVector = character->savedLeapVector;
            character->pendingLeap = 0;
        } else {
            SaveCheckpoint(level);
        }
    }
    UpdateCharacterAgainstTiles(level, *character, dt);
    UpdateObjects(level, dt);
    if (!character->IsFallingWhileTurning()) InteractWithObjects(level, *character);
    UpdateBigPlants(level, dt);
    CollectFadedObjects(level, kFadedLimit);
    if (character->IsDead()) {
        WorldServices& services = GetWorldServices();
        // No pulse for a death in play before the player has touched anything; the services
        // apply the profile's option.
        if (services.Controller().playState != kPlayStatePlaying || character->inputSeen != 0)
            services.TriggerRumble();
        RemoveFadedObjects(level);
        services.Controller().requestedState = kPlayStateReset;
    }
}
