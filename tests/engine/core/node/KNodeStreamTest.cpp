// The node's saved form: its size with and without the optional parts, a save and load
// round trip, the flags a load keeps, and every truncation of a saved node refused.
#include <vector>

#include "engine/core/math/QuaternionMath.h"
#include "tests/engine/core/node/NodeTestSupport.h"

namespace node_test {
namespace {

class KNodeStream : public NodeTest {
protected:
    std::vector<unsigned char> Saved(KNode& node) {
        FileStream out;
        EXPECT_EQ(out.Open("node.bin", kStreamWrite | kStreamBinary), 1);
        EXPECT_EQ(node.Save(out), 0);
        out.Close();
        return ReadData("node.bin");
    }
    // Loads the bytes into the node; the load's result.
    int Load(KNode& node, const std::vector<unsigned char>& bytes) {
        WriteData("load.bin", bytes);
        FileStream in;
        EXPECT_EQ(in.Open("load.bin", kStreamReadWhole | kStreamBinary), 1);
        return node.Load(in);
    }
};

TEST_F(KNodeStream, TheSavedFormHasItsSizes) {
    KNode node;
    node.SetFlagBits(kNodeSavesExtraWord, false);
    EXPECT_EQ(Saved(node).size(), 108u);  // 4 + 4 + 4 + 56 + 40
    node.SetFlagBits(kNodeSavesExtraWord, true);
    EXPECT_EQ(Saved(node).size(), 112u);
    node.SetExtraWord(kExtraDataSaved);
    EXPECT_EQ(Saved(node).size(), 144u);

    // The head: GUID, saved word, flags within the mask, the extra word.
    node.SetGUID(0x01020304);
    node.SetFlagBits(kNodeAnimated | kNodePrepared, true);
    const std::vector<unsigned char> bytes = Saved(node);
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin(), bytes.begin() + 16),
              (std::vector<unsigned char>{4, 3, 2, 1, 4, 0, 0, 0, 0, 0, 0x10, 0x10, 1, 0, 0, 0}));
}

TEST_F(KNodeStream, ARoundTripKeepsEverySavedValue) {
    KNode source;
    source.SetGUID(77);
    source.SetSavedWord(9);
    source.SetFlags(kNodeInitialFlags | kNodeOwner | 0x3 | kNodePrepared);
    source.SetExtraWord(kExtraDataSaved | 0x100);
    source.ExtraData() = NodeExtraData{{1, 2, 3, 4}, {0, 1, 0}, 0xABCD};
    source.Transform().pivot = {0.5f, 0.25f, 0.125f};
    source.SetScale({2, 3, 4});
    Quaternion rotation;
    QuaternionFromAxisAngle({0, 1, 0}, 0.5f, rotation);
    source.SetRotation(rotation);
    source.SetPosition({-7, 8, 9});
    source.Bounds() = NodeBounds{{-1, -2, -3}, {1, 2, 3}, {0.5f, 0, 0}, 6.5f};
    const std::vector<unsigned char> bytes = Saved(source);
    EXPECT_EQ(source.Transform().flags, kTransformGiven);  // rebuilt before it was written

    KNode copy;
    copy.SetFlagBits(kNodeWantsChildNotes, true);  // outside the mask: kept
    ASSERT_EQ(Load(copy, bytes), 0);
    EXPECT_EQ(copy.GetGUID(), kNoGuid);  // 77 is taken by the source
    EXPECT_EQ(copy.SavedWord(), 9u);
    EXPECT_EQ(copy.Flags(), kNodeInitialFlags | kNodeOwner | 0x3 | kNodeWantsChildNotes);
    EXPECT_EQ(copy.ExtraWord(), kExtraDataSaved | 0x100);
    EXPECT_FLOAT_EQ(copy.ExtraData().values[3], 4.0f);
    ExpectNear(copy.ExtraData().direction, {0, 1, 0});
    EXPECT_EQ(copy.ExtraData().word, 0xABCDu);
    ExpectNear(copy.Transform().pivot, {0.5f, 0.25f, 0.125f});
    ExpectNear(copy.Transform().scale, {2, 3, 4});
    ExpectNear(copy.Transform().position, {-7, 8, 9});
    EXPECT_FLOAT_EQ(copy.Transform().rotation.y, rotation.y);
    EXPECT_FLOAT_EQ(copy.Bounds().radius, 6.5f);
    ExpectNear(copy.Bounds().boxMin, {-1, -2, -3});
    ExpectMatrixNear(copy.Transform().local, source.Transform().local);
    ExpectMatrixNear(copy.Transform().inverseLocal, source.Transform().inverseLocal);
    const std::vector<unsigned char> again = Saved(copy);
    EXPECT_EQ(std::vector<unsigned char>(again.begin() + 4, again.end()),
              std::vector<unsigned char>(bytes.begin() + 4, bytes.end()));  // all but the GUID

    ClearGuidRegistry();
    KNode registered;
    ASSERT_EQ(Load(registered, bytes), 0);
    EXPECT_EQ(registered.GetGUID(), 77u);
    ClearGuidRegistry();
}

TEST_F(KNodeStream, EveryTruncationIsRefused) {
    KNode source;
    source.SetExtraWord(kExtraDataSaved);
    const std::vector<unsigned char> bytes = Saved(source);
    ASSERT_EQ(bytes.size(), 144u);
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        KNode node;
        EXPECT_EQ(Load(node, std::vector<unsigned char>(bytes.begin(), bytes.begin() + size)), 1) << size;
    }
}

TEST_F(KNodeStream, ALoadedTransformIsBuiltWithTheBuilderItNames) {
    KNode source;
    source.SetScale({5, 5, 5});
    source.Transform().flags |= kTransformRotationOnly;
    source.SetPosition({1, 0, 0});
    KNode copy;
    ASSERT_EQ(Load(copy, Saved(source)), 0);
    EXPECT_FLOAT_EQ(copy.Transform().local.m[0][0], 1.0f);  // scale ignored
    EXPECT_EQ(copy.Transform().flags & kTransformDirty, 0u);
}

}  // namespace
}  // namespace node_test
