// The results page's texts, pips and sounds at each moment of its animation, the buttons by
// finale and next level; the high score's translation copied verbatim, and texts put
// together in fixed lines cut rather than overrun.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/core/memory/EngineMemory.h"
#include "engine/core/text/EngineWString.h"
#include "engine/overlay/text/TextTable.h"
#include "game/flow/frame/FrameText.h"
#include "game/flow/frame/ResultsPage.h"
#include "game/flow/profile/PlayerProfile.h"

namespace {

constexpr float kCx = 400.0f;
constexpr float kCy = 240.0f;

ResultsFacts Facts() {
    ResultsFacts facts;
    facts.elapsed = 42.5f;
    facts.logicMeasure = 12.25f;
    facts.timeRating = 3.7f;
    facts.logicRating = 0.4f;
    facts.medal = kMedalSilver;
    facts.timePoints = 300;
    facts.logicPoints = 501;
    facts.resultTitle = "RESULT_SILVER";
    facts.resultColour = 0xFFA2AEB2;
    facts.hasNextLevel = true;
    facts.level = 9;
    return facts;
}

// The composed texts in page order, as UTF-8 for readable failures.
std::vector<std::string> Lines(const ResultsPage& page) {
    std::vector<std::string> lines;
    for (const PageText& text : page.texts) {
        if (!text.key.empty()) continue;
        std::string line;
        for (const char16_t* p = text.line.Text(); *p != 0; ++p) line += static_cast<char>(*p);
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::int32_t> IconsOf(const ResultsPage& page, std::int32_t low, std::int32_t high) {
    std::vector<std::int32_t> icons;
    for (const PageIcon& icon : page.icons)
        if (icon.icon >= low && icon.icon <= high) icons.push_back(icon.icon);
    return icons;
}

class ResultsPageTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(HeapInit(), 0); }
    void TearDown() override {
        TextTableDestroy();
        HeapTeardown();
    }
};

TEST_F(ResultsPageTest, TimesCountUpPointsRunInAndEachClosingSoundPlaysOnce) {
    // Frames a second apart or closer, as the page is drawn: time value, time points,
    // logic value, logic points, total; and the sounds of that frame.
    struct Step {
        float t;
        std::vector<std::string> lines;
        std::vector<std::uint32_t> sounds;
    };
    const std::vector<Step> steps = {
        {0.5f, {"0.00", "0p", "0.00", "0p", "0p"}, {}},
        {1.25f, {"21.25", "0p", "0.00", "0p", "0p"}, {10}},
        {1.75f, {"42.50", "150p", "0.00", "0p", "150p"}, {10}},
        {2.0f, {"42.50", "300p", "0.00", "0p", "300p"}, {11}},
        {2.5f, {"42.50", "300p", "0.00", "0p", "300p"}, {}},
        {3.25f, {"42.50", "300p", "6.12", "0p", "300p"}, {10}},
        {3.75f, {"42.50", "300p", "12.25", "250p", "550p"}, {10}},
        {4.0f, {"42.50", "300p", "12.25", "501p", "801p"}, {11}},
        {4.75f, {"42.50", "300p", "12.25", "501p", "801p"}, {19}},
        {5.0f, {"42.50", "300p", "12.25", "501p", "801p"}, {20}},
        {5.25f, {"42.50", "300p", "12.25", "501p", "801p"}, {21}},
        {6.0f, {"42.50", "300p", "12.25", "501p", "801p"}, {19}},
        {6.9f, {"42.50", "300p", "12.25", "501p", "801p"}, {31}},
        {7.5f, {"42.50", "300p", "12.25", "501p", "801p"}, {}},
    };
    ResultsProgress progress;
    for (const Step& step : steps) {
        const ResultsPage page = BuildResultsPage(Facts(), step.t, 1.0f, progress, kCx, kCy);
        EXPECT_EQ(Lines(page), step.lines) << "t = " << step.t;
        EXPECT_EQ(page.sounds, step.sounds) << "t = " << step.t;
    }
    EXPECT_EQ(progress.soundStage, 3);
}

TEST_F(ResultsPageTest, BeforeTheFirstSecondEverythingIsDimAndTheProgressStartsAgain) {
    ResultsProgress progress;
    progress.soundStage = 3;
    progress.timePips[0] = true;
    const ResultsPage page = BuildResultsPage(Facts(), 0.25f, 1.0f, progress, kCx, kCy);
    EXPECT_EQ(progress.soundStage, 0);
    EXPECT_FALSE(progress.timePips[0]);
    ASSERT_NE(page.FindKey("MENU_TIME"), nullptr);
    EXPECT_EQ(page.FindKey("MENU_TIME")->colour, 0x7FFFFFFFu);
    EXPECT_EQ(page.FindKey("MENU_LOGIC")->colour, 0x7FFFFFFFu);
    EXPECT_EQ(page.FindKey("LEVEL_NAME_10")->colour, 0xFFFFFFFFu);
    EXPECT_EQ(page.FindLine(u"0p")->colour, 0xFFFFFFFFu) << "the row's points";
    EXPECT_EQ(page.texts[page.texts.size() - 4].colour, 0x7FFFFFFFu) << "the total";
    EXPECT_FLOAT_EQ(page.frames[0].alpha, 0.5f);
    EXPECT_FLOAT_EQ(page.cells[0].alpha, 0.5f);
    EXPECT_FALSE(page.medalShown);
    // Ten dim pips, no pip icons.
    EXPECT_EQ(page.cells.size(), 12u);
    EXPECT_TRUE(IconsOf(page, 18, 21).empty());
}

TEST_F(ResultsPageTest, PipsLightUpToTheRatingAndARatingBelowOneStillLightsTheFirst) {
    struct Case {
        float timeRating, logicRating;
        std::vector<std::int32_t> pips;  // time row then logic row, at 7.5 s
    };
    const Case cases[] = {
        {3.7f, 0.4f, {21, 21, 21, 20, 20, 21, 20, 20, 20, 20}},
        {5.0f, 9.0f, {21, 21, 21, 21, 21, 21, 21, 21, 21, 21}},
        {0.0f, 1.99f, {21, 20, 20, 20, 20, 21, 20, 20, 20, 20}},
    };
    for (const Case& c : cases) {
        ResultsFacts facts = Facts();
        facts.timeRating = c.timeRating;
        facts.logicRating = c.logicRating;
        ResultsProgress progress;
        const ResultsPage page = BuildResultsPage(facts, 7.5f, 1.0f, progress, kCx, kCy);
        EXPECT_EQ(IconsOf(page, 18, 21), c.pips) << c.timeRating << " " << c.logicRating;
    }
    // While the logic row counts its pips are icon 18.
    ResultsProgress progress;
    const ResultsPage counting = BuildResultsPage(Facts(), 3.2f, 1.0f, progress, kCx, kCy);
    EXPECT_EQ(IconsOf(counting, 18, 21), (std::vector<std::int32_t>{20, 20, 20, 20, 20, 18, 18, 18, 18, 18}));
}

TEST_F(ResultsPageTest, TheMedalDropsInWithItsSoundOnlyForBronzeOrBetter) {
    struct Case {
        std::int32_t medal;
        bool sound;
    };
    for (const Case c : {Case{kMedalNone, false}, Case{kMedalBronze, true}, Case{kMedalGold, true}}) {
        ResultsFacts facts = Facts();
        facts.medal = c.medal;
        ResultsProgress progress;
        progress.soundStage = 2;
        const ResultsPage before = BuildResultsPage(facts, 6.75f, 1.0f, progress, kCx, kCy);
        EXPECT_FALSE(before.medalShown);
        const ResultsPage page = BuildResultsPage(facts, 6.8f, 1.0f, progress, kCx, kCy);
        ASSERT_TRUE(page.medalShown);
        EXPECT_NEAR(page.medalScale, 1.8f, 1e-4f);
        EXPECT_EQ(page.medal, c.medal);
        const bool played = std::find(page.sounds.begin(), page.sounds.end(), 31u) != page.sounds.end();
        EXPECT_EQ(played, c.sound) << c.medal;
        const PageText* line = page.FindKey("RESULT_SILVER");
        ASSERT_NE(line, nullptr);
        EXPECT_NEAR(line->scale, 2.4f, 1e-4f);
    }
    // A new record takes the line; the colour is pulsed and held at 1 per channel.
    ResultsFacts facts = Facts();
    facts.newRecord = true;
    facts.resultColour = 0xFF808040;
    ResultsProgress progress;
    const ResultsPage page = BuildResultsPage(facts, 8.0f, 1.3f, progress, kCx, kCy);
    EXPECT_EQ(page.FindKey("RESULT_SILVER"), nullptr);
    ASSERT_NE(page.FindKey("NOTIFICATION_NEW_RECORD"), nullptr);
    EXPECT_EQ(page.FindKey("NOTIFICATION_NEW_RECORD")->colour, 0xFFA6A653u);
    EXPECT_FLOAT_EQ(page.medalScale, 1.0f);
}

TEST_F(ResultsPageTest, TheButtonsFollowTheFinaleAndTheNextLevel) {
    struct Case {
        bool finale, next;
        std::vector<std::int32_t> icons;
        float nextAlpha;
        DWORD nextLabel;
    };
    const Case cases[] = {
        {false, true, {4, 6, 8}, 1.0f, 0xFFFFFFFF},
        {false, false, {4, 6, 8}, 0.5f, 0x4CFFFFFF},
        {true, false, {8}, 1.0f, 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        ResultsFacts facts = Facts();
        facts.finale = c.finale;
        facts.hasNextLevel = c.next;
        ResultsProgress progress;
        const ResultsPage page = BuildResultsPage(facts, 7.5f, 1.0f, progress, kCx, kCy);
        EXPECT_EQ(IconsOf(page, 4, 8), c.icons);
        EXPECT_EQ(page.icons.back().alpha, c.nextAlpha);
        EXPECT_EQ(page.FindKey("MENU_NEXT")->colour, c.nextLabel);
        EXPECT_EQ(page.FindKey("MENU_MENU") != nullptr, !c.finale);
        EXPECT_EQ(page.FindKey("MENU_RETRY") != nullptr, !c.finale);
    }
}

TEST_F(ResultsPageTest, TheHighScoreCopiesItsTranslationWhateverPercentSignsItHolds) {
    ASSERT_EQ(TextTableCreate(), 1);
    ASSERT_TRUE(AddTextEntry(*GlobalTextTable(), "MENU_HIGHSCORE", 14, EngineWString(u"Best %s%n %d 100%")));
    ResultsFacts facts = Facts();
    facts.previousBest = 1234;
    ResultsProgress progress;
    const ResultsPage page = BuildResultsPage(facts, 7.5f, 1.0f, progress, kCx, kCy);
    const PageText* best = page.FindLine(u"Best %s%n %d 100%: 1234p");
    ASSERT_NE(best, nullptr);
    EXPECT_EQ(best->y, kCy - 175.0f);
    facts.previousBest = 0;
    const ResultsPage none = BuildResultsPage(facts, 7.5f, 1.0f, progress, kCx, kCy);
    EXPECT_EQ(Lines(none).size(), 5u) << "no high score line without a previous best";
}

TEST(FrameText, FixedLinesAreCutNeverOverrun) {
    TextLine line;
    const std::u16string longText(300, u'x');
    line.Append(longText.c_str());
    line.AppendNumber(-1234567890123LL);
    EXPECT_EQ(line.Length(), TextLine::kCapacity - 1);
    EXPECT_TRUE(line.WasCut());
    EXPECT_EQ(line.Text()[TextLine::kCapacity - 1], 0);

    TextLine fixed;
    fixed.AppendFixed2(3.0e38f);  // 39 digits and the decimals still fit the line
    EXPECT_FALSE(fixed.WasCut());
    EXPECT_EQ(fixed.Length(), 42u);
}

}  // namespace
