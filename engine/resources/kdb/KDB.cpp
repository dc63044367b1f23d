// The object database's lists: objects, materials, the update list, mesh nodes, device
// loss and restore, clearing, and the current database.
#include "engine/resources/kdb/KDB.h"

#include <cstring>

#include "engine/core/node/AnimationPlayer.h"
#include "engine/core/node/KNode.h"
#include "engine/core/object/ObjectList.h"
#include "engine/core/text/TextCompare.h"
#include "engine/resources/material/KMaterial.h"
#include "engine/resources/meshnode/MeshObject.h"

namespace {

KDB* currentKdb = nullptr;

void RegisterWithCurrent(Object& object, bool added) {
    if (currentKdb == nullptr) return;
    if (added)
        currentKdb->RegisterObject(object);
    else
        currentKdb->UnregisterObject(object);
}

// Every game-material name the materials give joins the table the first time it is seen
// (after "default" at index 0), so that each name keeps one index while the database lives.
DWORD CurrentGameMaterialIndex(const char* name) {
    if (currentKdb == nullptr || name == nullptr) return 0;
    GameMaterialTable& table = currentKdb->GameMaterials();
    if (table.materials.count == 0) AddGameMaterial(table, kDefaultMaterialName);
    for (DWORD i = 0; i < table.materials.count; ++i)
        if (CompareNoCase(static_cast<GameMaterial*>(table.materials.entries[i])->name.Text(), name) == 0) return i;
    const std::int32_t added = AddGameMaterial(table, name);
    return added >= 0 ? static_cast<DWORD>(added) : GetGameMaterialTableIndex(&table, name);
}

}  // namespace

KDB* CurrentKdb() { return currentKdb; }

void SetCurrentKdb(KDB* database) {
    currentKdb = database;
    SetMeshNodeRegistrar(database != nullptr ? RegisterWithCurrent : nullptr);
    SetCurrentMaterialList(database != nullptr ? &database->Materials() : nullptr);
    SetGameMaterialLookup(database != nullptr ? CurrentGameMaterialIndex : nullptr);
}

KDB::~KDB() {
    Clear();
    // Mesh nodes that outlive the database must not reach its freed list.
    ListReset(meshes_);
    if (currentKdb == this) SetCurrentKdb(nullptr);
}

KNode* KDB::FindOrLoadObject(const char* name, bool lookupOnly) {
    if (name == nullptr) return nullptr;
    for (KDLLink* link = objects_.head; link != nullptr; link = link->next) {
        auto* node = static_cast<KNode*>(link->item);
        if (std::strncmp(node->Name(), name, kNodeNameCapacity) == 0) return node;
    }
    if (lookupOnly) return nullptr;
    KNode* node = LoadObject(name);
    if (node == nullptr) return nullptr;
    node->SetName(name);
    node->Prepare(nullptr);
    return node;
}

KMaterial* KDB::FindOrLoadMaterial(const char* name) { return materials_.FindOrLoad(name); }

void KDB::AddToUpdateList(KNode& node) {
    if ((node.Flags() & kNodeAnimated) != 0) return;
    if (ListAppend(AnimatedNodes(), &node) != nullptr) node.SetFlagBits(kNodeAnimated, true);
}

bool KDB::RemoveFromUpdateList(KNode& node) {
    if ((node.Flags() & kNodeAnimated) == 0) return false;
    node.SetFlagBits(kNodeAnimated, false);
    KDLList& list = AnimatedNodes();
    for (KDLLink* link = list.head; link != nullptr; link = link->next)
        if (link->item == &node) {
            ListUnlink(list, link);
            return true;
        }
    return false;
}

void KDB::UpdateObjects(float timeStep) {
    if (timeStep == 0.0f) return;
    KDLList& list = AnimatedNodes();
    KDLLink* link = list.head;
    while (link != nullptr) {
        KDLLink* next = link->next;
        auto* node = static_cast<KNode*>(link->item);
        const int result = node->UpdateAnimation(timeStep);
        // The node may have left the list itself (a skinned object whose last channel ended).
        if (result != 0 && (node->Flags() & kNodeAnimated) != 0) {
            ListUnlink(list, link);
            if (result == 1) node->SetFlagBits(kNodeAnimated, false);
        }
        link = next;
    }
}

int KDB::ReleaseDeviceBuffers() {
    for (KDLLink* link = objects_.head; link != nullptr; link = link->next)
        static_cast<KNode*>(link->item)->ReleaseDeviceData();
    for (KDLLink* link = AnimatedNodes().head; link != nullptr; link = link->next)
        static_cast<KNode*>(link->item)->ReleaseDeviceData();
    return 1;
}

int KDB::RestoreDeviceBuffers() {
    for (KDLLink* link = objects_.head; link != nullptr; link = link->next)
        static_cast<KNode*>(link->item)->CreateDeviceData();
    for (KDLLink* link = AnimatedNodes().head; link != nullptr; link = link->next)
        static_cast<KNode*>(link->item)->CreateDeviceData();
    return 1;
}

void KDB::RegisterObject(Object& object) { ListAppend(meshes_, &object); }

bool KDB::UnregisterObject(Object& object) {
    for (KDLLink* link = meshes_.head; link != nullptr; link = link->next)
        if (link->item == &object) {
            ListUnlink(meshes_, link);
            return true;
        }
    return false;
}

void KDB::Clear() {
    ListReleaseAll(reserved_, 1);
    ListReleaseAll(roots_, 1);
    ListReleaseAll(objects_, 1);
    materials_.Clear();
    KDLList& updates = AnimatedNodes();
    for (KDLLink* link = updates.head; link != nullptr; link = link->next)
        static_cast<KNode*>(link->item)->SetFlagBits(kNodeAnimated, false);
    ListReset(updates);
}
