// CompoundAnimation: the text form (entries, looping, start-up probabilities, transitions by
// key), the binary form written and read back, and the limits and references both refuse.
#include <string>

#include "engine/core/files/TagFile.h"
#include "engine/core/node/Animation.h"
#include "engine/core/node/StreamFields.h"
#include "engine/resources/animation/CompoundAnimation.h"
#include "tests/engine/resources/animation/AnimationTestSupport.h"

namespace animation_test {
namespace {

const char kMovesText[] =
    "Moves\n{\n"
    "Animations\n{\nstand idle\nstep walk\nhop jump\n}\n"
    "stand\n{\nLooped Yes\nStartupProb 0.75\nGotoCondition step 3 0.5\nGotoAtEndRandom hop 2.0 0.25\n"
    "GotoCondition nowhere 1 1.0\nGotoCondition hop 4 0.125\n}\n"
    "step\n{\nLooped 0\nStartupProb 1.5\n}\n"
    "hop\n{\nLooped 1\nGotoAtEndRandom stand 1.0 1.0\n}\n"
    "}\n";

class CompoundAnimationTest : public AnimationTest {
protected:
    void SetUp() override {
        AnimationTest::SetUp();
        for (const char* name : {"idle", "walk", "jump"})
            WriteData(std::string("animations/") + name + ".kan", NodeAnimationFile());
        compound_ = new CompoundAnimation();
    }
    void TearDown() override {
        compound_->Release();
        AnimationTest::TearDown();
    }
    int ReadText(const std::string& text) {
        TagFile node;
        EXPECT_EQ(node.ParseText(text.c_str()), 0);
        return compound_->ReadText(node);
    }
    static const CompoundTransition& Transition(const CompoundAnimationEntry& entry, std::uint32_t index) {
        KDLLink* link = entry.transitions.head;
        for (std::uint32_t i = 0; i < index; ++i) link = link->next;
        return *static_cast<const CompoundTransition*>(link->item);
    }
    void ExpectMoves(const CompoundAnimation& compound) {
        ASSERT_EQ(compound.Entries().count, 3u);
        const CompoundAnimationEntry& stand = *compound.Entry(0);
        EXPECT_STREQ(stand.animation->Name().Text(), "idle");
        EXPECT_EQ(stand.index, 0);
        EXPECT_EQ(stand.looped, 1u);
        EXPECT_FLOAT_EQ(stand.startupProbability, 0.75f);
        // Conditions first, then the end transitions; the unknown target adds none.
        ASSERT_EQ(stand.transitions.count, 3u);
        EXPECT_EQ(Transition(stand, 0).target, 1);
        EXPECT_EQ(Transition(stand, 0).condition, 3);
        EXPECT_FLOAT_EQ(Transition(stand, 0).weight, 1.0f);
        EXPECT_FLOAT_EQ(Transition(stand, 0).probability, 0.5f);
        EXPECT_EQ(Transition(stand, 1).target, 2);
        EXPECT_EQ(Transition(stand, 1).condition, 4);
        EXPECT_EQ(Transition(stand, 2).target, 2);
        EXPECT_EQ(Transition(stand, 2).condition, kCompoundNoCondition);
        EXPECT_FLOAT_EQ(Transition(stand, 2).weight, 2.0f);
        EXPECT_FLOAT_EQ(Transition(stand, 2).probability, 0.25f);

        const CompoundAnimationEntry& step = *compound.Entry(1);
        EXPECT_EQ(step.looped, 0u);
        EXPECT_FLOAT_EQ(step.startupProbability, 0.0f);  // 1.5 is no probability
        EXPECT_EQ(step.transitions.count, 0u);
        const CompoundAnimationEntry& hop = *compound.Entry(2);
        EXPECT_EQ(hop.looped, 1u);
        ASSERT_EQ(hop.transitions.count, 1u);
        EXPECT_EQ(Transition(hop, 0).target, 0);
    }

    CompoundAnimation* compound_ = nullptr;
};

TEST_F(CompoundAnimationTest, TheTextFormMakesEntriesAndTransitionsByKey) {
    ASSERT_EQ(ReadText(kMovesText), 0);
    ExpectMoves(*compound_);
    // The entries hold the cache's animations.
    Interface* idle = GlobalResourceCache().GetAnimation("idle");
    EXPECT_EQ(idle, compound_->Entry(0)->animation);
    idle->Release();
    TagFile out;
    EXPECT_EQ(compound_->WriteText(out), 1);
}

TEST_F(CompoundAnimationTest, TheBinaryFormReadsBackWhatWasWritten) {
    ASSERT_EQ(ReadText(kMovesText), 0);
    FileStream out;
    ASSERT_EQ(out.Open("animations\\moves.bin", kStreamWrite | kStreamBinary), 1);
    ASSERT_EQ(compound_->WriteBinary(out), 0);
    out.Close();
    const Bytes written = ReadData("animations/moves.bin");
    EXPECT_EQ(written.size(), 4u + 3u * kCompoundEntryRecordSize + 4u * kCompoundTransitionSize);

    auto* copy = new CompoundAnimation();
    FileStream in;
    AttachBytes(in, written);
    ASSERT_EQ(copy->ReadBinary(in), 0);
    ExpectMoves(*copy);
    copy->Release();
}

TEST_F(CompoundAnimationTest, TextThatNamesAMissingAnimationOrHasTooManyEntriesIsRefused) {
    std::string tooMany = "Moves\n{\nAnimations\n{\n";
    for (int i = 0; i <= 128; ++i) tooMany += "e" + std::to_string(i) + " idle\n";
    tooMany += "}\n}\n";
    const std::string cases[] = {
        "Moves\n{\nAnimations\n{\nstand idle\nfly soar\n}\n}\n",
        "Moves\n{\nAnimations\n{\nstand \"\"\n}\n}\n",
        "Moves\n{\nstand\n{\nLooped 1\n}\n}\n",
        tooMany,
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text.substr(0, 60));
        EXPECT_EQ(ReadText(text), 1);
        EXPECT_EQ(compound_->Entries().count, 0u);
    }
}

// One entry record for the binary form.
ByteWriter& Entry(ByteWriter& body, const std::string& name, std::uint32_t transitions) {
    return body.Name(name, kCompoundNameSize).Word(1).Word(transitions).Float(0.5f);
}

TEST_F(CompoundAnimationTest, BinaryCountsTargetsAndNamesOutOfBoundsAreRefused) {
    struct Case {
        const char* label;
        Bytes body;
    };
    ByteWriter tooManyEntries;
    tooManyEntries.Word(1001);
    ByteWriter entriesBeyondTheFile;
    entriesBeyondTheFile.Word(2);
    Entry(entriesBeyondTheFile, "idle", 0);
    ByteWriter tooManyTransitions;
    Entry(tooManyTransitions.Word(1), "idle", 1001);
    ByteWriter targetBeyondTheEntries;
    Entry(Entry(targetBeyondTheEntries.Word(2), "idle", 1), "walk", 0).Word(0).Word(2).Floats({1, 1}).Word(0);
    ByteWriter negativeTarget;
    Entry(negativeTarget.Word(1), "idle", 1).Word(0).Word(0xFFFFFFFFu).Floats({1, 1}).Word(0);
    ByteWriter missingAnimation;
    Entry(missingAnimation.Word(1), "soar", 0);
    ByteWriter transitionsCutShort;
    Entry(transitionsCutShort.Word(1), "idle", 2).Word(0).Word(0).Floats({1, 1}).Word(0);
    const Case cases[] = {
        {"1001 entries", tooManyEntries.Data()},
        {"entries beyond the file", entriesBeyondTheFile.Data()},
        {"1001 transitions", tooManyTransitions.Data()},
        {"a target beyond the entries", targetBeyondTheEntries.Data()},
        {"a negative target", negativeTarget.Data()},
        {"a missing animation", missingAnimation.Data()},
        {"transitions cut short", transitionsCutShort.Data()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FileStream in;
        AttachBytes(in, c.body);
        EXPECT_EQ(compound_->ReadBinary(in), 1);
        EXPECT_EQ(compound_->Entries().count, 0u);
    }
}

}  // namespace
}  // namespace animation_test
