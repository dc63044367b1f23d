// Cut-scene scripts: speakers, moods and cameras carried from line to line, keywords that do not
// apply to the speaker, refused scripts, and a script longer than the table.
#include "engine/overlay/text/TextTable.h"
#include "game/world/cutscene/Cutscene.h"
#include "game/world/level/Level.h"
#include "tests/game/world/WorldTestSupport.h"

namespace world_test {
namespace {

class CutsceneTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        level = new Level();
    }
    // The level's texts live in engine memory: it goes before the heaps do.
    void TearDown() override {
        delete level;
        WorldTest::TearDown();
    }
    bool Load(const std::string& body) {
        WriteData("cutscenes/scene.cut", "CUTSCENE\n{\n" + body + "}\n");
        return LoadCutscene(*level, "scene");
    }
    Level* level = nullptr;
};

struct Expected {
    std::uint32_t speaker;
    const char* text;
    std::int32_t speakerMood;
    std::int32_t camera;
    std::int32_t listenerMood;
};

TEST_F(CutsceneTest, MoodsAndCamerasCarryFromLineToLineWhereAKeywordDoesNotApply) {
    ASSERT_TRUE(
        Load("TALK BRAM HAPPY \"Hello there\" CAM_BRAM_NEAR_1 LISTEN\n"
             "TALK ODILE angry CUT_ODILE_1 CAM_BRAM_NEAR_1 READMESSAGE\n"  // no BRAM camera on her line
             "TALK BRAM LISTEN CUT_BRAM_2 cam_bird\n"                      // LISTEN is no speaker mood
             "WAIT 3\n"                                                    // other tags are ignored
             "TALK NARRATOR GIVETWIZTURN CUT_3 CAM_ODILE_FAR_1\n"          // keeps the last speaker
             "TALK ODILE GIVETWIZTURN CUT_4 CAM_ODILE_FAR_1 LISTEN\n"
             "TALK ODILE LISTEN CUT_5 CAM_OVERVIEW\n"));
    const Expected expected[] = {
        {kSpeakerBram, "Hello there", 6, kCamBramNear, kOdileMoodListen},
        {kSpeakerOdile, "CUT_ODILE_1", 13, kCamBramNear, 9},
        {kSpeakerBram, "CUT_BRAM_2", 13, kCamBird, 9},
        {kSpeakerBram, "CUT_3", 13, kCamBird, 9},
        {kSpeakerOdile, "CUT_4", 18, kCamOdileFar, kBramMoodListen},
        {kSpeakerOdile, "CUT_5", 18, kCamOverview, kBramMoodListen},
    };
    ASSERT_EQ(level->cutsceneCount, 6);
    for (int i = 0; i < 6; ++i) {
        const CutsceneEntry& entry = level->cutscenes[i];
        EXPECT_EQ(entry.speaker, expected[i].speaker) << i;
        EXPECT_STREQ(entry.text.Text(), expected[i].text) << i;
        EXPECT_EQ(entry.speakerMood, expected[i].speakerMood) << i;
        EXPECT_EQ(entry.camera, expected[i].camera) << i;
        EXPECT_EQ(entry.listenerMood, expected[i].listenerMood) << i;
    }
    EXPECT_EQ(level->bramInvisible, 0u);

    // The entry the controller is at, and nothing beyond the entries.
    services_.controller.cutsceneEntry = 4;
    ASSERT_NE(level->CurrentCutsceneEntry(), nullptr);
    EXPECT_STREQ(level->CurrentCutsceneEntry()->text.Text(), "CUT_4");
    services_.controller.cutsceneEntry = 6;
    EXPECT_EQ(level->CurrentCutsceneEntry(), nullptr);
    services_.controller.cutsceneEntry = -1;
    EXPECT_EQ(level->CurrentCutsceneEntry(), nullptr);
}

TEST_F(CutsceneTest, ScriptsThatAreRefusedKeepTheLinesBeforeTheFault) {
    ASSERT_TRUE(Load("INVISIBLE BRAM\n"));
    EXPECT_EQ(level->cutsceneCount, 0);
    EXPECT_EQ(level->bramInvisible, 1u);
    EXPECT_EQ(level->odileInvisible, 0u);

    EXPECT_FALSE(
        Load("INVISIBLE ODILE\nTALK BRAM HAPPY LINE_1 CAM_BIRD\nTALK ODILE HAPPY LINE_2\nTALK BRAM HAPPY LINE_3 "
             "CAM_BIRD\n"));
    EXPECT_EQ(level->cutsceneCount, 1);
    EXPECT_STREQ(level->cutscenes[0].text.Text(), "LINE_1");
    EXPECT_EQ(level->bramInvisible, 0u);  // cleared by the load
    EXPECT_EQ(level->odileInvisible, 1u);

    WriteData("cutscenes/other.cut", "SCENE\n{\nTALK BRAM HAPPY LINE CAM_BIRD\n}\n");
    EXPECT_FALSE(LoadCutscene(*level, "other"));
    EXPECT_EQ(level->cutsceneCount, 0);
    EXPECT_FALSE(LoadCutscene(*level, "absent"));
    EXPECT_FALSE(LoadCutscene(*level, nullptr));
}

TEST_F(CutsceneTest, AScriptLongerThanTheTableStopsAtItsEndAndSaysSo) {
    std::string body;
    for (int line = 1; line <= kCutsceneCapacity + 3; ++line)
        body += "TALK BRAM HAPPY LINE_" + std::to_string(line) + " CAM_BIRD\n";
    engine_test::CapturedLog log;
    EXPECT_TRUE(Load(body));
    EXPECT_EQ(level->cutsceneCount, kCutsceneCapacity);
    EXPECT_STREQ(level->cutscenes[kCutsceneCapacity - 1].text.Text(), "LINE_64");
    EXPECT_TRUE(log.Contains("scene.cut: more than 64 TALK lines")) << log.Text();
    EXPECT_FALSE(level->AddCutsceneEntry(kSpeakerBram, EngineString("LINE_68"), 1, 1, 1));
    EXPECT_STREQ(level->cutscenes[kCutsceneCapacity - 1].text.Text(), "LINE_64");
}

TEST_F(CutsceneTest, EachLineGivesBramsAnimationAndOdilesMood) {
    struct Case {
        std::uint32_t speaker;
        std::int32_t speakerMood;
        std::int32_t listenerMood;
        std::int32_t bram;
        std::int32_t odile;
    } cases[] = {
        {kSpeakerBram, 2, 13, 14, 1},    // scared BRAM, angry ODILE listening
        {kSpeakerBram, 11, 19, 0, 7},    // LISTEN is no speaking mood: BRAM idles
        {kSpeakerBram, 7, 0, 17, 7},     // BRAM receives the item; ODILE listens by default
        {kSpeakerOdile, 18, 11, 16, 6},  // ODILE gives the item, BRAM listens
        {kSpeakerOdile, 19, 10, 20, 0},  // BRAM throws the message; ODILE's LISTEN is no speaking mood
        {kSpeakerOdile, 17, 0, 16, 5},
    };
    for (const Case& c : cases) {
        CutsceneEntry entry;
        entry.speaker = c.speaker;
        entry.speakerMood = c.speakerMood;
        entry.listenerMood = c.listenerMood;
        EXPECT_EQ(BramAnimationForLine(entry), c.bram) << c.speaker << " " << c.speakerMood;
        EXPECT_EQ(OdileMoodForLine(entry), c.odile) << c.speaker << " " << c.speakerMood;
    }
}

TEST_F(CutsceneTest, TheCurrentLinesTextComesFromTheTextTable) {
    ASSERT_NE(TextTableCreate(), 0);
    TextTable* table = GlobalTextTable();
    ASSERT_NE(table, nullptr);
    const char file[] = "CUT_1 \"Look at the portal!\"\nDEFAULT \"??\"\n";
    ParseTextFile(*table, reinterpret_cast<const std::uint8_t*>(file), sizeof file - 1);
    ASSERT_TRUE(Load("TALK ODILE HAPPY CUT_1 CAM_PORTAL\n"));
    services_.controller.cutsceneEntry = 0;
    const WCHAR* text = level->CutsceneText(table);
    EXPECT_EQ(text[0], L'L');
    services_.controller.cutsceneEntry = 3;
    EXPECT_EQ(level->CutsceneText(table)[0], L'?');
    TextTableDestroy();
}

}  // namespace
}  // namespace world_test
