// The material list and the current list of the mesh loaders.
#include "engine/resources/material/MaterialList.h"

#include <cstring>

#include "engine/resources/material/KMaterial.h"

namespace {

MaterialList* currentList = nullptr;
bool createMissing = false;

}  // namespace

MaterialList* CurrentMaterialList() { return currentList; }

void SetCurrentMaterialList(MaterialList* list) { currentList = list; }

bool CreateMissingMaterials() { return createMissing; }

void SetCreateMissingMaterials(bool on) { createMissing = on; }

MaterialList::~MaterialList() {
    KDLList taken = materials_;
    materials_ = KDLList{};
    for (KDLLink* link = taken.head; link != nullptr; link = link->next) delete static_cast<KMaterial*>(link->item);
    ListDestroy(taken);
    if (currentList == this) currentList = nullptr;
}

KMaterial* MaterialList::Find(const char* name) {
    if (name == nullptr) return nullptr;
    for (KDLLink* link = materials_.head; link != nullptr; link = link->next) {
        auto* material = static_cast<KMaterial*>(link->item);
        if (std::strcmp(material->name.Text(), name) == 0) return material;
    }
    return nullptr;
}

bool MaterialList::Add(KMaterial* material) {
    return material != nullptr && ListAppend(materials_, material) != nullptr;
}

KMaterial* MaterialList::FindOrLoadNamed(const char* name) {
    if (KMaterial* found = Find(name)) return found;
    KMaterial* loaded = LoadMaterialFile(name);
    if (loaded == nullptr) return nullptr;
    if (!Add(loaded)) {
        delete loaded;
        return nullptr;
    }
    return loaded;
}

KMaterial* MaterialList::FindOrLoad(const char* name) {
    if (name != nullptr)
        if (KMaterial* material = FindOrLoadNamed(name)) return material;
    return FindOrLoadNamed(kDefaultMaterialName);
}

void MaterialList::Clear() {
    KDLList taken = materials_;
    materials_ = KDLList{};
    for (KDLLink* link = taken.head; link != nullptr; link = link->next) {
        auto* material = static_cast<KMaterial*>(link->item);
        if ((material->flags & kMaterialKept) == 0) delete material;
    }
    ListDestroy(taken);
}
