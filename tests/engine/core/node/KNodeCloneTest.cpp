// Cloning: which children are copied, what an instance carries, GUIDs for clones, and the
// failures (a class that does not make its own kind, a failed prepare), which leave nothing
// behind.
#include "tests/engine/core/node/NodeTestSupport.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace node_test {
namespace {

using KNodeClone = NodeTest;

// Does not give its own CreateInstance, so copies of it come out as plain nodes.
class ForgetfulNode : public KNode {
    KEL_DECLARE_TYPE(ForgetfulNode, KNode, "ForgetfulNode")
};

// Its own part of Prepare fails.
class UnpreparableNode : public KNode {
    KEL_DECLARE_TYPE(UnpreparableNode, KNode, "UnpreparableNode")

public:
    KNode* CreateInstance(void*) override { return new UnpreparableNode(); }

protected:
    int PrepareOwn(void*) override { return 7; }
};

TEST_F(KNodeClone, ASubtreeIsCopiedWithoutTheFlaggedAndTheUnownedChildren) {
    KNode* root = MakeNode("root", {1, 2, 3});
    KNode* kept = MakeNode("kept");
    KNode* grandchild = MakeNode("grandchild");
    KNode* skipped = MakeNode("skipped");
    KNode* unowned = MakeNode("unowned");
    root->AddChild(kept);
    kept->AddChild(grandchild);
    root->AddChild(skipped);
    skipped->SetFlagBits(kNodeNotCloned, true);
    root->AddChildEx(unowned, false);
    root->SetFlagBits(kNodeOwner | 0x1, true);
    root->Bounds().radius = 4.0f;
    SetNextCloneGuid(0x80000010);

    KNode* copy = root->Clone(nullptr);
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->Name(), "root");
    ExpectNear(copy->Transform().position, {1, 2, 3});
    EXPECT_FLOAT_EQ(copy->Bounds().radius, 4.0f);
    EXPECT_EQ(copy->Flags() & (kNodeOwner | 0x1), kNodeOwner | 0x1u);
    EXPECT_NE(copy->Flags() & kNodeInstance, 0u);
    EXPECT_NE(copy->Flags() & kNodePrepared, 0u);
    EXPECT_EQ(copy->GetGUID(), 0x80000010u);
    EXPECT_EQ(copy->SourceNode(), root);
    EXPECT_EQ(root->ReferenceCount(), 1u);  // held by its instance

    ASSERT_EQ(copy->ChildCount(), 1u);
    KNode* keptCopy = copy->FirstChild();
    EXPECT_STREQ(keptCopy->Name(), "kept");
    EXPECT_EQ(keptCopy->SourceNode(), kept);
    EXPECT_EQ(keptCopy->GetGUID(), 0x80000011u);
    EXPECT_NE(keptCopy->Flags() & kNodeOwnedChild, 0u);
    ASSERT_EQ(keptCopy->ChildCount(), 1u);
    EXPECT_STREQ(keptCopy->FirstChild()->Name(), "grandchild");
    EXPECT_EQ(PeekCloneGuid(), 0x80000013u);

    // An instance of an instance refers to the original.
    SetCloneGuidsAssigned(false);
    KNode* second = copy->Clone(nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->SourceNode(), root);
    EXPECT_EQ(second->GetGUID(), kNoGuid);
    EXPECT_EQ(root->ReferenceCount(), 2u);

    second->Release();
    copy->Release();
    EXPECT_EQ(root->ReferenceCount(), 0u);
    root->Release();
    unowned->Release();
}

TEST_F(KNodeClone, AClassThatMakesAnotherKindFailsWithoutLeakingTheCopy) {
    const std::size_t blocksBefore = EngineBlockCount();
    engine_test::CapturedLog log;
    auto* forgetful = new ForgetfulNode();
    EXPECT_EQ(forgetful->Clone(nullptr), nullptr);

    // Deep in a subtree the whole clone fails, and the copies made so far are given up.
    KNode* root = MakeNode("root");
    KNode* middle = MakeNode("middle");
    root->AddChild(middle);
    middle->AddChild(MakeNode("before"));
    middle->AddChild(forgetful);
    EXPECT_EQ(root->Clone(nullptr), nullptr);
    EXPECT_EQ(log.Count("Internal error, KNode::CreateInstance not overridden in class"), 2);
    root->Release();
    EXPECT_EQ(EngineBlockCount(), blocksBefore);
}

TEST_F(KNodeClone, AFailedPrepareGivesNothingUnlessPreparingIsOff) {
    const std::size_t blocksBefore = EngineBlockCount();
    KNode* root = MakeNode("root");
    root->AddChild(new UnpreparableNode());
    EXPECT_EQ(root->Clone(nullptr), nullptr);
    EXPECT_EQ(EngineBlockCount(), blocksBefore + 2);
    EXPECT_EQ(root->ReferenceCount(), 0u);

    SetClonesPrepared(false);
    KNode* copy = root->Clone(nullptr);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Flags() & kNodePrepared, 0u);
    EXPECT_EQ(copy->Prepare(nullptr), 7);
    copy->Release();
    root->Release();
    EXPECT_EQ(EngineBlockCount(), blocksBefore);
}

TEST_F(KNodeClone, CopyToKeepsTheTargetsOwnFlags) {
    KNode source;
    source.SetFlags(0xFFFFFFFF);
    source.SetName("source");
    source.SetExtraWord(0x55);
    source.ExtraData().word = 9;
    source.SetSubclassWord(1, 42);
    KNode target;
    target.SetFlags(kNodePrepared | kNodeWantsAttachNotes);
    source.CopyTo(target);
    EXPECT_EQ(target.Flags(), (0xFFFFFFFFu & kNodeSavedFlags) | kNodePrepared | kNodeWantsAttachNotes);
    EXPECT_STREQ(target.Name(), "source");
    EXPECT_EQ(target.ExtraWord(), 0x55u);
    EXPECT_EQ(target.ExtraData().word, 9u);
    EXPECT_EQ(target.SubclassWord(1), 42);
    EXPECT_EQ(target.SavedWord(), 4u);
}

}  // namespace
}  // namespace node_test
