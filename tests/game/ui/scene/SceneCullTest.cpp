// Culling node trees against planes: what reaches the sink, in which order, under which
// matrix; skip-flagged subtrees; deep trees.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/memory/EngineMemory.h"
#include "engine/core/node/KNode.h"
#include "game/ui/scene/SceneCull.h"

namespace {

class RecordingSink : public CullSink {
public:
    void DrawMesh(KNode& node, const Matrix34& world) override {
        drawn.push_back(node.Name());
        lastX = world.m[0][3];
    }
    void DrawSkinned(SkelObject&, const Matrix34&) override { drawn.push_back("skinned"); }
    std::vector<std::string> drawn;
    float lastX = 0.0f;
};

class SceneCullTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(HeapInit(), 0);
        state_.planes.count = 1;
        state_.planes.planes[0] = Plane{1, 0, 0, 0};  // inside: x >= 0
    }
    void TearDown() override {
        for (KNode* root : roots_) root->Release();
        HeapTeardown();
    }
    // A node at x with a unit sphere and box around its origin unless given.
    KNode* Node(const char* name, float x, DWORD flags, KNode* parent = nullptr, float boxLow = -1.0f,
                float boxHigh = 1.0f) {
        auto* node = new KNode();
        node->SetName(name);
        node->SetFlags(node->Flags() | flags);
        node->SetPosition(Vector3{x, 0, 0});
        node->Bounds() = NodeBounds{{boxLow, -1, -1}, {boxHigh, 1, 1}, {0, 0, 0}, 1.0f};
        if (parent != nullptr)
            parent->AddChildEx(node, true);
        else
            roots_.push_back(node);
        return node;
    }
    CullState state_;
    RecordingSink sink_;
    std::vector<KNode*> roots_;
};

TEST_F(SceneCullTest, SphereAndBoxDecideWhatIsDrawn) {
    struct Case {
        const char* name;
        float x;
        DWORD flags;
        float boxLow, boxHigh;
        int result;
        bool drawn;
    };
    const Case cases[] = {
        {"inside", 5, kCullDrawable, -1, 1, 1, true},
        {"outside", -5, kCullDrawable, -1, 1, 0, false},
        {"touching", -0.5f, kCullDrawable, -1, 1, 1, true},
        {"always, box in", -5, kCullDrawable | kCullAlwaysDraw, -1, 6, 1, true},
        {"always, box out", -5, kCullDrawable | kCullAlwaysDraw, -1, 1, 1, false},  // processed, not drawn
        {"not drawable", 5, 0, -1, 1, 0, false},
    };
    for (const Case& c : cases) {
        sink_.drawn.clear();
        KNode* node = Node(c.name, c.x, c.flags, nullptr, c.boxLow, c.boxHigh);
        EXPECT_EQ(CullNodeTree(sink_, node, state_, nullptr), c.result) << c.name;
        EXPECT_EQ(sink_.drawn.size(), c.drawn ? 1u : 0u) << c.name;
    }
}

TEST_F(SceneCullTest, ASkipFlaggedNodeHidesItsWholeSubtree) {
    KNode* root = Node("root", 2, kCullDrawable);
    KNode* hidden = Node("hidden", 0, kCullDrawable | kCullSkipSubtree, root);
    Node("under hidden", 1, kCullDrawable, hidden);
    KNode* shown = Node("shown", 1, 0, root);
    Node("leaf", 1, kCullDrawable, shown);
    EXPECT_EQ(CullNodeTree(sink_, root, state_, nullptr), 1);
    // Children before their parent; nothing of the hidden subtree.
    EXPECT_EQ(sink_.drawn, (std::vector<std::string>{"leaf", "root"}));
    sink_.drawn.clear();
    EXPECT_EQ(CullNodeTree(sink_, hidden, state_, nullptr), 0);
    EXPECT_EQ(CullNodeTree(sink_, nullptr, state_, nullptr), 0);
    EXPECT_TRUE(sink_.drawn.empty());
}

TEST_F(SceneCullTest, AReferenceNodeMovesWhatIsTested) {
    KNode* reference = Node("reference", 10, 0);
    KNode* node = Node("node", -5, kCullDrawable);
    EXPECT_EQ(CullNodeTree(sink_, node, state_, nullptr), 0);
    EXPECT_EQ(CullNodeTree(sink_, node, state_, reference), 1);
    EXPECT_FLOAT_EQ(sink_.lastX, 5.0f);
    EXPECT_FLOAT_EQ(state_.matrix.m[0][3], 5.0f);
}

TEST_F(SceneCullTest, ADeepChainIsWalkedWithoutRecursion) {
    KNode* root = Node("root", 1, 0);
    KNode* parent = root;
    for (int depth = 0; depth < 3000; ++depth) parent = Node("link", 0, 0, parent);
    Node("deepest", 0, kCullDrawable, parent);
    EXPECT_EQ(CullNodeTree(sink_, root, state_, nullptr), 1);
    EXPECT_EQ(sink_.drawn, std::vector<std::string>{"deepest"});
}

}  // namespace
