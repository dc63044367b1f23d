// The effect registry: the global bookkeeping of effect nodes and their effect instances,
// twelve lists and a fixed-block pool description. List 0 holds recycled effect instances,
// list 5 every registered effect node, lists 2, 3 and 7 effect nodes by state, list 6 owned
// effect objects; lists 1, 4 and 8 to 11 hold further blocks freed at shutdown.
#pragma once

#include "engine/core/containers/KDLList.h"
#include "platform/base/Types.h"

class Interface;

constexpr int kEffectListCount = 12;
constexpr int kRecycledEffects = 0;
constexpr int kEffectNodesStateB = 2;
constexpr int kEffectNodesStateA = 3;
constexpr int kEffectNodes = 5;
constexpr int kOwnedEffectObjects = 6;
constexpr int kEffectNodesWaiting = 7;

struct EffectPoolDescription {
    DWORD values[5] = {0, 64, 16, 256, 64};
};

struct EffectRegistry {
    KDLList lists[kEffectListCount];
    EffectPoolDescription pool;
    // Set while ReleaseAll destroys the nodes: their destructors must not unregister.
    bool shuttingDown = false;

    // Removes the node from the list of effect nodes.
    static void Unregister(Interface* node);
    // Take the node off list 7 (when it is there) and append it to list 3, respectively 2.
    static void MoveToStateA(Interface* node);
    static void MoveToStateB(Interface* node);
    // At shutdown: destroys every registered effect node (the list taken out of the registry
    // first), empties lists 2, 3, 7, 0 and 1, destroys the objects of list 6 and frees the
    // blocks of lists 4 and 8 to 11.
    static void ReleaseAll();
};

// The one registry of the process.
EffectRegistry& Effects();

// Appends an effect instance to the recycled list.
void RecycleEffect(void* object);
// Exit-time clean-up: frees the links of all twelve lists.
void FreeEffectRecycleLists();

// Makes the resource cache's Clear end with ReleaseAll.
void InstallEffectRegistryHook();
