// The node tree: look-up by name, the child notifications and their order, ownership of
// children, the bounded name, and a 10,000-deep chain through every tree-wide operation.
#include <string>
#include <vector>

#include "engine/core/math/MatrixMath.h"
#include "tests/engine/core/node/NodeTestSupport.h"

namespace node_test {
namespace {

// Writes every notification it gets as "<who>:<what>:<other>".
class RecordingNode : public KNode {
public:
    RecordingNode(const char* name, std::vector<std::string>& log) : log_(log) {
        SetName(name);
        SetFlagBits(kNodeWantsAttachNotes | kNodeWantsChildNotes, true);
    }
    void OnChildAdded(KNode& child) override { Note("childAdded", child); }
    void OnChildRemoved(KNode& child) override { Note("childRemoved", child); }
    void OnAttached(KNode& parent) override { Note("attached", parent); }
    void OnDetached(KNode& oldParent) override { Note("detached", oldParent); }

private:
    void Note(const char* what, KNode& other) { log_.push_back(std::string(Name()) + ":" + what + ":" + other.Name()); }
    std::vector<std::string>& log_;
};

using KNodeTree = NodeTest;

// Notes its own part of Prepare and of the device-data operations; prepares with `result`.
class HookNode : public KNode {
public:
    HookNode(const char* name, std::vector<std::string>& log, int result = 0) : log_(log), result_(result) {
        SetName(name);
    }

protected:
    int PrepareOwn(void*) override {
        log_.push_back(std::string("prepare ") + Name());
        return result_;
    }
    int ReleaseOwnDeviceData() override {
        log_.push_back(std::string("release ") + Name());
        return 1;
    }

private:
    std::vector<std::string>& log_;
    int result_;
};

TEST_F(KNodeTree, FindNodeByNamePrefersADirectChildAndSkipsUnownedSubtrees) {
    KNode* root = MakeNode("root");
    KNode* first = MakeNode("first");
    KNode* deepTarget = MakeNode("target");
    KNode* directTarget = MakeNode("target");
    KNode* unowned = MakeNode("unowned");
    KNode* hidden = MakeNode("hidden");
    KNode* deep = MakeNode("deep");
    root->AddChild(first);
    first->AddChild(deepTarget);
    root->AddChild(directTarget);
    root->AddChildEx(unowned, false);
    unowned->AddChild(hidden);
    first->AddChild(deep);

    EXPECT_EQ(FindNodeByName(root, "target"), directTarget);
    EXPECT_EQ(FindNodeByName(root, "deep"), deep);
    EXPECT_EQ(FindNodeByName(root, "unowned"), unowned);  // a direct child is compared
    EXPECT_EQ(FindNodeByName(root, "hidden"), nullptr);   // but not searched below
    EXPECT_EQ(FindNodeByName(root, "TARGET"), nullptr);   // case-sensitive
    EXPECT_EQ(FindNodeByName(root, "root"), nullptr);     // the node itself is not a match
    EXPECT_EQ(FindNodeByName(first, "target"), deepTarget);
    root->Release();
    unowned->Release();
}

TEST_F(KNodeTree, NotificationsComeInTheirOrder) {
    std::vector<std::string> log;
    auto* a = new RecordingNode("a", log);
    auto* b = new RecordingNode("b", log);
    auto* child = new RecordingNode("c", log);
    ASSERT_EQ(a->AddChild(child), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"a:childAdded:c", "c:attached:a"}));

    log.clear();
    ASSERT_EQ(child->SetParent(b), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"a:childRemoved:c", "c:detached:a", "b:childAdded:c", "c:attached:b"}));
    EXPECT_EQ(child->Parent(), b);
    EXPECT_EQ(a->ChildCount(), 0u);
    EXPECT_EQ(b->FirstChild(), child);

    log.clear();
    EXPECT_EQ(child->SetParent(b), 0);        // the current parent
    EXPECT_EQ(child->SetParent(nullptr), 0);  // no new parent
    EXPECT_EQ(a->SetParent(b), 0);            // a has no parent
    EXPECT_EQ(log, std::vector<std::string>{});

    ASSERT_EQ(b->RemoveChild(child), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"b:childRemoved:c", "c:detached:b"}));
    EXPECT_EQ(b->RemoveChild(child), 0);
    a->Release();
    b->Release();
    child->Release();
}

TEST_F(KNodeTree, SetParentMovesToTheTailAndKeepsOwnership) {
    KNode* a = MakeNode("a");
    KNode* b = MakeNode("b");
    KNode* first = MakeNode("first");
    KNode* moved = MakeNode("moved");
    b->AddChild(first);
    a->AddChild(moved);
    ASSERT_EQ(moved->SetParent(b), 1);
    EXPECT_EQ(b->FirstChild(), first);
    EXPECT_EQ(first->NextSibling(), moved);
    EXPECT_NE(moved->Flags() & kNodeOwnedChild, 0u);
    a->Release();
    b->Release();  // releases both children
}

TEST_F(KNodeTree, NoNodeEndsUpInTwoListsOrInACycle) {
    KNode* a = MakeNode("a");
    KNode* b = MakeNode("b");
    KNode* c = MakeNode("c");
    a->AddChild(b);
    b->AddChild(c);
    EXPECT_EQ(c->AddChild(a), 0);  // a is above c
    EXPECT_EQ(b->AddChild(b), 0);
    EXPECT_EQ(c->SetParent(c), 0);
    EXPECT_EQ(b->SetParent(c), 0);  // c is below b
    EXPECT_EQ(a->AddChild(nullptr), 0);

    // Adding a node that has a parent takes it from there first.
    ASSERT_EQ(a->AddChild(c), 1);
    EXPECT_EQ(b->ChildCount(), 0u);
    EXPECT_EQ(a->ChildCount(), 2u);
    EXPECT_EQ(c->Parent(), a);
    a->Release();
}

TEST_F(KNodeTree, ADestroyedParentReleasesOnlyItsOwnedChildren) {
    const std::size_t blocksBefore = EngineBlockCount();
    KNode* parent = MakeNode("parent");
    KNode* owned = MakeNode("owned");
    KNode* shared = MakeNode("shared");
    KNode* unowned = MakeNode("unowned");
    parent->AddChild(owned);
    parent->AddChild(shared);
    shared->AddRef();  // someone else holds it too
    unowned->SetFlagBits(kNodeOwnedChild, true);  // as a loaded or copied node may carry it
    parent->AddChildEx(unowned, false);
    EXPECT_EQ(unowned->Flags() & kNodeOwnedChild, 0u);
    parent->Release();
    EXPECT_EQ(shared->Parent(), nullptr);
    EXPECT_EQ(shared->ReferenceCount(), 0u);
    EXPECT_EQ(unowned->Parent(), nullptr);
    shared->Release();
    unowned->Release();
    EXPECT_EQ(EngineBlockCount(), blocksBefore);
}

TEST_F(KNodeTree, PrepareRunsChildrenFirstOnceAndStopsAtAFailure) {
    std::vector<std::string> log;
    auto* root = new HookNode("root", log);
    auto* a = new HookNode("a", log);
    auto* b = new HookNode("b", log, 3);
    auto* c = new HookNode("c", log);
    root->AddChild(a);
    a->AddChild(new HookNode("a1", log));
    root->AddChild(b);
    root->AddChild(c);
    EXPECT_EQ(root->Prepare(nullptr), 3);
    EXPECT_EQ(log, (std::vector<std::string>{"prepare a1", "prepare a", "prepare b"}));
    log.clear();
    EXPECT_EQ(root->Prepare(nullptr), 0);  // once only
    EXPECT_EQ(c->Prepare(nullptr), 0);     // but c was never reached
    EXPECT_EQ(log, std::vector<std::string>{"prepare c"});

    log.clear();
    EXPECT_EQ(root->ReleaseDeviceData(), 1);
    EXPECT_EQ(log.size(), 5u);
    KNode* plain = MakeNode("plain");
    plain->AddChild(MakeNode("child"));
    EXPECT_EQ(plain->ReleaseDeviceData(), 0);
    EXPECT_EQ(plain->CreateDeviceData(), 0);
    plain->Release();
    root->Release();
}

TEST_F(KNodeTree, ANameKeepsItsTerminator) {
    KNode* node = MakeNode(std::string(40, 'n').c_str());
    EXPECT_EQ(std::string(node->Name()), std::string(31, 'n'));
    node->SetName(std::string(31, 'm').c_str());
    EXPECT_EQ(std::string(node->Name()), std::string(31, 'm'));
    node->SetName(nullptr);
    EXPECT_STREQ(node->Name(), "");
    node->Release();
}

TEST_F(KNodeTree, CountsCollectsAndClimbs) {
    KNode* root = MakeNode("root");
    KNode* owner = MakeNode("owner");
    KNode* leaf = MakeNode("leaf");
    root->AddChild(owner);
    owner->AddChild(leaf);
    root->AddChildEx(MakeNode("loose"), true);
    owner->SetFlagBits(kNodeOwner, true);
    EXPECT_EQ(root->CountChildrenWithFlags(kNodeOwner | kNodeNotCloned), 1u);
    EXPECT_EQ(root->CountChildrenWithFlags(kNodeOwnedChild), 2u);
    EXPECT_EQ(leaf->GetRoot(), root);
    EXPECT_EQ(leaf->GetOwnerNode(), owner);
    EXPECT_EQ(root->GetOwnerNode(), root);

    KDLList found;
    ASSERT_TRUE(root->CollectByType(found, KNode::StaticTypeId()));
    ASSERT_EQ(found.count, 4u);
    EXPECT_EQ(found.head->item, root);
    EXPECT_EQ(found.head->next->item, owner);
    EXPECT_EQ(found.head->next->next->item, leaf);
    ListReset(found);
    root->Release();
}

// Every tree-wide operation runs in a loop: a chain this deep would overflow the stack of a
// recursive walk under the sanitizers.
TEST_F(KNodeTree, ATenThousandDeepChainIsWalkedClonedAndDestroyed) {
    constexpr int kDepth = 10000;
    const std::size_t blocksBefore = EngineBlockCount();
    KNode* root = MakeNode("root", {1, 0, 0});
    KNode* tip = root;
    for (int i = 1; i < kDepth; ++i) {
        KNode* next = MakeNode(i == kDepth - 1 ? "tip" : "link", {1, 0, 0});
        ASSERT_EQ(tip->AddChild(next), 1);
        tip = next;
    }
    EXPECT_EQ(FindNodeByName(root, "tip"), tip);
    EXPECT_EQ(FindNodeByName(root, "absent"), nullptr);
    Matrix34 world;
    tip->GetWorldMatrix(world);
    EXPECT_FLOAT_EQ(world.m[0][3], static_cast<float>(kDepth));
    EXPECT_EQ(root->Prepare(nullptr), 0);
    EXPECT_EQ(root->RayTest({0, 0, 0}, {1, 1, 1}, nullptr, nullptr, nullptr, nullptr, 0), 0);
    KDLList all;
    ASSERT_TRUE(root->CollectByType(all, KNode::StaticTypeId()));
    EXPECT_EQ(all.count, static_cast<std::uint32_t>(kDepth));
    ListReset(all);

    KNode* copy = root->Clone(nullptr);
    ASSERT_NE(copy, nullptr);
    KNode* copyTip = FindNodeByName(copy, "tip");
    ASSERT_NE(copyTip, nullptr);
    EXPECT_EQ(copyTip->SourceNode(), tip);
    copy->Release();
    root->Release();
    EXPECT_EQ(EngineBlockCount(), blocksBefore);
}

}  // namespace
}  // namespace node_test
