// The effect registry: nodes moved between the state lists, the recycled list, and the
// release at shutdown, where nodes are destroyed without unregistering and every list is
// emptied; the resource cache's Clear ends with that release.
#include <gtest/gtest.h>

#include "engine/core/object/Interface.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/resources/gamemat/EffectRegistry.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

int nodesDestroyed = 0;
int unregisteredByDestructor = 0;

// Stands in for an effect node: it registers itself and unregisters when it goes, unless
// the registry is being torn down.
class TestEffectNode : public Interface {
    KEL_DECLARE_TYPE(TestEffectNode, Interface, "TestEffectNode")

public:
    explicit TestEffectNode(bool registers = true) {
        if (registers) ListAppend(Effects().lists[kEffectNodes], this);
    }
    ~TestEffectNode() override {
        ++nodesDestroyed;
        if (!Effects().shuttingDown) {
            EffectRegistry::Unregister(this);
            ++unregisteredByDestructor;
        }
    }
};

class EffectRegistryTest : public engine_test::HeapTest {
protected:
    void SetUp() override {
        HeapTest::SetUp();
        nodesDestroyed = 0;
        unregisteredByDestructor = 0;
    }
    void TearDown() override {
        FreeEffectRecycleLists();
        HeapTest::TearDown();
    }
};

TEST_F(EffectRegistryTest, TheStartingDescriptionAndEmptyLists) {
    const EffectPoolDescription described;
    const DWORD expected[] = {0, 64, 16, 256, 64};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(described.values[i], expected[i]);
    for (const KDLList& list : Effects().lists) EXPECT_EQ(list.count, 0u);
}

TEST_F(EffectRegistryTest, NodesMoveFromTheWaitingListToAStateList) {
    auto* first = new TestEffectNode;
    auto* second = new TestEffectNode;
    ListAppend(Effects().lists[kEffectNodesWaiting], first);
    EffectRegistry::MoveToStateA(first);
    EffectRegistry::MoveToStateB(second);  // not waiting: only appended
    EXPECT_EQ(Effects().lists[kEffectNodesWaiting].count, 0u);
    EXPECT_EQ(Effects().lists[kEffectNodesStateA].head->item, first);
    EXPECT_EQ(Effects().lists[kEffectNodesStateB].head->item, second);

    delete first;  // unregisters itself
    EXPECT_EQ(unregisteredByDestructor, 1);
    EXPECT_EQ(Effects().lists[kEffectNodes].count, 1u);
    EffectRegistry::Unregister(second);
    EffectRegistry::Unregister(second);  // not there any more: nothing happens
    EXPECT_EQ(Effects().lists[kEffectNodes].count, 0u);
    delete second;
    ListReset(Effects().lists[kEffectNodesStateA]);
    ListReset(Effects().lists[kEffectNodesStateB]);
}

TEST_F(EffectRegistryTest, ReleasingAllDestroysNodesAndObjectsAndEmptiesEveryList) {
    const std::size_t blocksBefore = EngineBlockCount();
    auto* node = new TestEffectNode;
    new TestEffectNode;
    ListAppend(Effects().lists[kEffectNodesStateA], node);
    ListAppend(Effects().lists[kOwnedEffectObjects], new TestEffectNode(false));
    for (int list : {4, 8, 9, 10, 11}) ListAppend(Effects().lists[list], EngineAlloc(40));
    int recycled = 0;
    RecycleEffect(&recycled);
    ListAppend(Effects().lists[1], &recycled);

    EffectRegistry::ReleaseAll();
    EXPECT_EQ(nodesDestroyed, 3) << "two registered nodes and the owned object";
    EXPECT_EQ(unregisteredByDestructor, 1) << "only the owned object, destroyed after the flag was cleared";
    EXPECT_FALSE(Effects().shuttingDown);
    for (const KDLList& list : Effects().lists) EXPECT_EQ(list.count, 0u);
    EXPECT_EQ(EngineBlockCount(), blocksBefore);
}

TEST_F(EffectRegistryTest, ClearingTheResourceCacheReleasesTheEffects) {
    const ResourceHooks saved = GetResourceHooks();
    InstallEffectRegistryHook();
    new TestEffectNode;
    ResourceCache cache;
    ASSERT_EQ(cache.Init(), 0);
    cache.Clear();
    EXPECT_EQ(nodesDestroyed, 1);
    EXPECT_EQ(Effects().lists[kEffectNodes].count, 0u);
    SetResourceHooks(saved);
}

TEST_F(EffectRegistryTest, TheExitCleanUpFreesTheLinksOfEveryList) {
    int item = 0;
    for (KDLList& list : Effects().lists) ListAppend(list, &item);
    const std::size_t freeLinks = LinkPoolFreeCount();
    FreeEffectRecycleLists();
    for (const KDLList& list : Effects().lists) EXPECT_EQ(list.count, 0u);
    EXPECT_EQ(LinkPoolFreeCount(), freeLinks + kEffectListCount);
}

}  // namespace
