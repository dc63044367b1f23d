// The model source in use: the current object database unless another is set.
#include "game/world/services/ModelSource.h"

#include "engine/core/node/KNode.h"
#include "engine/resources/kdb/KDB.h"

namespace {
ModelSource* g_source = nullptr;
}  // namespace

void SetModelSource(ModelSource* source) { g_source = source; }

KNode* FindOrLoadModel(const char* name) {
    if (name == nullptr) return nullptr;
    if (g_source != nullptr) return g_source->FindOrLoadObject(name);
    KDB* database = CurrentKdb();
    return database != nullptr ? database->FindOrLoadObject(name) : nullptr;
}

KNode* CloneModel(const char* name) {
    KNode* model = FindOrLoadModel(name);
    return model != nullptr ? model->Clone(nullptr) : nullptr;
}
