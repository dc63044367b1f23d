// The effect registry.
#include "engine/resources/gamemat/EffectRegistry.h"

#include <initializer_list>

#include "engine/core/object/Interface.h"
#include "engine/core/object/ObjectList.h"
#include "engine/core/object/ResourceCache.h"

namespace {

// Removes the first link holding `item`; false when it is not in the list.
bool Remove(KDLList& list, const void* item) {
    for (KDLListIterator iterator(list); !iterator.AtEnd(); iterator.Next()) {
        if (iterator.Item() == item) {
            ListIteratorRemove(iterator);
            return true;
        }
    }
    return false;
}

void MoveTo(Interface* node, int list) {
    EffectRegistry& registry = Effects();
    Remove(registry.lists[kEffectNodesWaiting], node);
    ListAppend(registry.lists[list], node);
}

}  // namespace

EffectRegistry& Effects() {
    static EffectRegistry registry;
    return registry;
}

void EffectRegistry::Unregister(Interface* node) { Remove(Effects().lists[kEffectNodes], node); }

void EffectRegistry::MoveToStateA(Interface* node) { MoveTo(node, kEffectNodesStateA); }

void EffectRegistry::MoveToStateB(Interface* node) { MoveTo(node, kEffectNodesStateB); }

void EffectRegistry::ReleaseAll() {
    EffectRegistry& registry = Effects();
    KDLList nodes = registry.lists[kEffectNodes];
    registry.lists[kEffectNodes] = KDLList{};
    registry.shuttingDown = true;
    ListClear(nodes, 1);
    registry.shuttingDown = false;
    for (int list : {kEffectNodesStateB, kEffectNodesStateA, kEffectNodesWaiting, kRecycledEffects, 1})
        ListReset(registry.lists[list]);
    ListClear(registry.lists[kOwnedEffectObjects], 1);
    for (int list : {4, 8, 9, 10, 11}) ListFreeAll(registry.lists[list]);
}

void RecycleEffect(void* object) { ListAppend(Effects().lists[kRecycledEffects], object); }

void FreeEffectRecycleLists() {
    for (KDLList& list : Effects().lists) ListReset(list);
}

void InstallEffectRegistryHook() {
    ResourceHooks hooks = GetResourceHooks();
    hooks.releaseAllEffects = &EffectRegistry::ReleaseAll;
    SetResourceHooks(hooks);
}
