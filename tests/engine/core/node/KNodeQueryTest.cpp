// The spatial queries: which nodes a ray test visits under the skip flags and which hit
// wins, the point and box queries over the children with their masks and capacity, and
// the overlap collection.
#include <vector>

#include "tests/engine/core/node/NodeTestSupport.h"

namespace node_test {
namespace {

using KNodeQuery = NodeTest;

// Every node of this class is hit at its own position, and adds a record when it overlaps.
class TargetNode : public KNode {
    KEL_DECLARE_TYPE(TargetNode, KNode, "TargetNode")

public:
    explicit TargetNode(const char* name) { SetName(name); }

protected:
    WalkStep RayTestOwn(const RayQuery& query, RayHit& hit) override {
        const WalkStep step = KNode::RayTestOwn(query, hit);
        if (step != WalkStep::kDescend) return step;
        ++hit.hits;
        hit.node = this;
        hit.point = Transform().position;
        return step;
    }
    WalkStep CollectOverlappingOwn(const OverlapQuery& query, OverlapRecord* results, int capacity,
                                   int& count) override {
        const WalkStep step = KNode::CollectOverlappingOwn(query, results, capacity, count);
        if (step == WalkStep::kDescend && count < capacity) results[count++] = {nullptr, query.tag, this, 0};
        return step;
    }
};

TEST_F(KNodeQuery, TheRayTestHonoursTheSkipFlagsAndTheLastHitWins) {
    KNode* root = MakeNode("root");
    auto* first = new TargetNode("first");
    auto* below = new TargetNode("below");
    auto* last = new TargetNode("last");
    first->SetPosition({1, 0, 0});
    below->SetPosition({2, 0, 0});
    last->SetPosition({3, 0, 0});
    root->AddChild(first);
    first->AddChild(below);
    root->AddChild(last);

    KNode* hitNode = nullptr;
    Vector3 point{0, 0, 0};
    EXPECT_EQ(root->RayTest({0, 0, 0}, {9, 0, 0}, nullptr, &hitNode, nullptr, &point, 0), 1);
    EXPECT_EQ(hitNode, last);
    ExpectNear(point, {3, 0, 0});

    last->SetFlagBits(kNodeRaySkipOnRequest, true);
    EXPECT_EQ(root->RayTest({0, 0, 0}, {9, 0, 0}, nullptr, &hitNode, nullptr, nullptr, 0), 1);
    EXPECT_EQ(hitNode, last);  // only skipped when the query asks for it
    EXPECT_EQ(root->RayTest({0, 0, 0}, {9, 0, 0}, nullptr, &hitNode, nullptr, nullptr, kRaySkipFlagged), 1);
    EXPECT_EQ(hitNode, below);

    below->SetFlagBits(kNodeRaySkipForMaterials, true);
    EXPECT_EQ(root->RayTest({0, 0, 0}, {9, 0, 0}, nullptr, &hitNode, nullptr, nullptr, kRaySkipFlagged | 0x100), 1);
    EXPECT_EQ(hitNode, first);

    first->SetFlagBits(kNodeRaySkipSubtree, true);  // with everything below it
    below->SetFlagBits(kNodeRaySkipForMaterials, false);
    hitNode = nullptr;
    EXPECT_EQ(root->RayTest({0, 0, 0}, {9, 0, 0}, nullptr, &hitNode, nullptr, nullptr, kRaySkipFlagged), 0);
    EXPECT_EQ(hitNode, nullptr);
    root->SetFlagBits(kNodeRaySkipSubtree, true);
    EXPECT_EQ(root->RayTest({0, 0, 0}, {9, 0, 0}, nullptr, nullptr, nullptr, nullptr, 0), 0);
    root->Release();
}

TEST_F(KNodeQuery, PointAndBoxQueriesLookAtTheChildrenInWorldSpace) {
    KNode* root = MakeNode("root", {100, 0, 0});
    KNode* a = MakeNode("a", {0, 0, 0});
    KNode* b = MakeNode("b", {5, 0, 0});
    KNode* c = MakeNode("c", {0, 0, 0});
    for (KNode* child : {a, b, c}) {
        child->Bounds() = NodeBounds{{-1, -1, -1}, {1, 1, 1}, {0, 0, 0}, 0.5f};
        root->AddChild(child);
    }
    c->SetFlagBits(kNodeOwner, true);
    KNode* found[4] = {};
    EXPECT_EQ(root->QueryPoint({100.8f, 0.8f, 0}, found, 4, false, 0, 0), 2);
    EXPECT_EQ(found[0], a);
    EXPECT_EQ(found[1], c);
    EXPECT_EQ(root->QueryPoint({100.8f, 0.8f, 0}, found, 4, true, 0, 0), 0);  // outside the sphere
    EXPECT_EQ(root->QueryPoint({100.8f, 0.8f, 0}, found, 4, false, kNodeOwner, 0), 1);
    EXPECT_EQ(root->QueryPoint({100.8f, 0.8f, 0}, found, 4, false, 0, kNodeOwner), 1);
    EXPECT_EQ(found[0], c);
    EXPECT_EQ(root->QueryPoint({100, 0, 0}, found, 1, false, 0, 0), 1);  // capacity
    EXPECT_EQ(root->QueryPoint({100, 0, 0}, nullptr, 4, false, 0, 0), 0);
    EXPECT_EQ(root->QueryBox({{104.5f, -1, -1}, {110, 1, 1}}, found, 4, 0, 0), 1);
    EXPECT_EQ(found[0], b);
    EXPECT_EQ(root->QueryBox({{0, 0, 0}, {1, 1, 1}}, found, 4, 0, 0), 0);
    EXPECT_EQ(a->QueryBox({{-9, -9, -9}, {9, 9, 9}}, found, 4, 0, 0), 0);  // no children
    root->Release();
}

TEST_F(KNodeQuery, OverlapsAreCollectedThroughTheSubtreeUpToTheCapacity) {
    KNode* root = MakeNode("root");
    std::vector<TargetNode*> targets;
    for (const char* name : {"t0", "t1", "t2"}) targets.push_back(new TargetNode(name));
    root->AddChild(targets[0]);
    targets[0]->AddChild(targets[1]);
    root->AddChild(targets[2]);
    int tag = 0;
    OverlapRecord records[4];
    const AxisBox box{{0, 0, 0}, {1, 1, 1}};
    EXPECT_EQ(root->CollectOverlapping(box, &tag, records, 4, 0, 0), 3);
    EXPECT_EQ(records[1].node, targets[1]);
    EXPECT_EQ(records[2].tag, &tag);
    EXPECT_EQ(root->CollectOverlapping(box, &tag, records, 2, 0, 0), 2);
    targets[0]->SetFlagBits(kNodeOwner, true);
    EXPECT_EQ(root->CollectOverlapping(box, &tag, records, 4, kNodeOwner, 0), 1);  // t0 and t1 out
    EXPECT_EQ(records[0].node, targets[2]);
    EXPECT_EQ(root->CollectOverlapping(box, &tag, records, 0, 0, 0), 0);
    root->Release();
}

}  // namespace
}  // namespace node_test
