// Creating and placing level objects.
#include "game/world/factory/LevelObjectFactory.h"

#include "engine/core/node/KNode.h"
#include "game/world/level/Level.h"
#include "game/world/objects/LevelObject.h"
#include "game/world/services/ModelSource.h"
#include "game/world/services/WorldServices.h"

namespace {

const char* const kTutorialSigns[kTutorialSignCount] = {"tutorial01", "tutorial02", "tutorial03", "tutorial04",
                                                        "tutorial05", "tutorial06", "tutorial07", "tutorial08"};

// The spawn point of a tutorial level carries its sign; not on the cut-scene stage.
void AttachTutorialSign(LevelObject& spawn) {
    const ControllerRecord& controller = GetWorldServices().Controller();
    if (controller.cutsceneStage != 0) return;
    const char* name = TutorialSignName(controller.levelIndex);
    if (name == nullptr || FindOrLoadModel(name) == nullptr) return;
    spawn.Init(kObjectSpawnEffect);
    if (spawn.model == nullptr) return;
    if (KNode* sign = CloneModel(name)) {
        if (spawn.model->AddChild(sign) == 0) sign->Release();
    }
}

}  // namespace

const char* TutorialSignName(std::int32_t levelIndex) {
    return levelIndex >= 0 && levelIndex < kTutorialSignCount ? kTutorialSigns[levelIndex] : nullptr;
}

int CreateLevelObjects(Level& level, std::int32_t typeCode, std::int32_t column, std::int32_t row) {
    if (typeCode >= static_cast<std::int32_t>(kObjectNone)) return 0;
    LevelObject* object = NewLevelObject(typeCode);
    // Out of memory (the allocator has said so): nothing to initialise.
    if (object == nullptr) return 0;
    if (typeCode == static_cast<std::int32_t>(kObjectSpawnEffect)) AttachTutorialSign(*object);
    object->Init(static_cast<std::uint32_t>(typeCode));
    if (LevelTile* tile = level.TileAt(column, row)) tile->SetFlags(kTileHasObject);
    KNode* node = object->model;
    if (node == nullptr) {
        delete object;
        return 0;
    }
    const Vector3& own = node->Transform().position;
    const Vector3 placed{10.0f * static_cast<float>(column) + own.x, 10.0f * static_cast<float>(row) + own.y, own.z};
    node->SetPosition(placed);
    if ((node->Transform().flags & kTransformRotationOnly) != 0)
        BuildTransformFromRotation(node->Transform());
    else
        BuildTransformDefault(node->Transform());
    object->position = placed;
    object->placement = placed;
    if (!level.AddObject(object)) {
        delete object;
        return 0;
    }
    // The level keeps its exit portal at hand for opening it.
    if (object->kind >= kObjectFirstPortal && object->kind <= kObjectLastPortal) level.exitPortal = object;
    return 1;
}
