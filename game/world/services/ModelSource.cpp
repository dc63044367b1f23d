// The model source in use. Without one set, models come from nowhere until the object
// database joins the build.
#include "game/world/services/ModelSource.h"

#include "engine/core/node/KNode.h"

namespace {
ModelSource* g_source = nullptr;
}  // namespace

void SetModelSource(ModelSource* source) { g_source = source; }

KNode* FindOrLoadModel(const char* name) {
    if (name == nullptr || g_source == nullptr) return nullptr;
    return g_source->FindOrLoadObject(name);
}

KNode* CloneModel(const char* name) {
    KNode* model = FindOrLoadModel(name);
    return model != nullptr ? model->Clone(nullptr) : nullptr;
}
