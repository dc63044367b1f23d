// The how-to-play book: its text pages from "PAGECONTENT" controls, the page turns that wrap
// at both ends, the cross-fade and what happens while it runs.
#include <gtest/gtest.h>

#include "game/menu/PageContentMenuPage.h"
#include "tests/game/menu/GamePageTestSupport.h"

namespace {

using game_page_test::GamePageTest;

std::string ContentControl(int number, int extraLines) {
    std::string text = "PAGECONTENT\n{\nPOS 100 60\nSIZE 600 300\nWRAPSIZE 420 90\nALIGNTEXT LEFT TOP 12 30\nTEXT";
    text += " PAGE" + std::to_string(number) + "_HEADING";
    for (int i = 1; i <= extraLines; ++i) text += " PAGE" + std::to_string(number) + "_LINE" + std::to_string(i);
    return text + "\n}\n";
}

class HowToPlayTest : public GamePageTest {
protected:
    // A book of `pages` text pages; the first has 20 body lines, more than a page holds.
    PageContentMenuPage* Book(int pages) {
        std::string text = "HowToPlay\n{\nCLASS PageContentMenuPage\n";
        for (int i = 0; i < pages; ++i) text += ContentControl(i, i == 0 ? 20 : 2);
        text += "BUTTON\n{\nNAME NEXT\nPOS 600 400\nSIZE 100 50\nON_CLICK Next\n}\n}\n";
        WriteMenuFile("HowToPlay.menu", text);
        EXPECT_EQ(Menus().LoadMenus(), 1);
        auto* book = Show<PageContentMenuPage>("HowToPlay");
        if (book != nullptr) book->OnShow(1, 0);
        return book;
    }
    // Runs the fades to their end.
    static void Settle(PageContentMenuPage* book) { book->Update(130); }
};

TEST_F(HowToPlayTest, ContentControlsReadTheirLinesAndStopAtFifteen) {
    AddText("PAGE0_HEADING", u"Moving");
    AddText("PAGE0_LINE1", u"Tap a tile.");
    PageContentMenuPage* book = Book(3);
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(book->pageCount, 3);
    PageContentControl* first = book->Content(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->lineCount, kPageContentLines) << "a heading and 14 paragraphs; the rest is left out";
    EXPECT_EQ(Wide(first->LineText(0)), u"Moving");
    EXPECT_EQ(Wide(first->LineText(1)), u"Tap a tile.");
    EXPECT_EQ(first->LineText(15), nullptr);
    EXPECT_STREQ(first->textKey.Text(), "PAGE0_HEADING");
    EXPECT_FLOAT_EQ(first->textOffsetX, 12.0f);
    EXPECT_FLOAT_EQ(first->lineSpacing, 30.0f);
    EXPECT_FLOAT_EQ(first->boxWidth, 420.0f);
    EXPECT_FLOAT_EQ(first->boxHeight, 90.0f);
    EXPECT_EQ(book->Content(1)->lineCount, 3);
    EXPECT_EQ(first->active, 1u);
    EXPECT_EQ(book->Content(1)->active, 0u) << "only the first page shows";
}

TEST_F(HowToPlayTest, TurningWrapsAtBothEndsAndCrossFades) {
    PageContentMenuPage* book = Book(3);
    ASSERT_NE(book, nullptr);
    const std::int32_t played = EffectsPlayed();
    EXPECT_EQ(book->OnButton(nullptr, "Previous", "", -1), 0);
    EXPECT_EQ(book->currentPage, 2) << "back from the first page is the last";
    EXPECT_EQ(EffectsPlayed(), played + 1);
    PageContentControl* leaving = book->Content(0);
    PageContentControl* coming = book->Content(2);
    EXPECT_EQ(leaving->fadeMode, PageContentControl::kFadingOut);
    EXPECT_EQ(coming->fadeMode, PageContentControl::kFadingIn);
    book->Update(62);
    EXPECT_NEAR(coming->Alpha(), 0.496f, 0.01f);
    EXPECT_NEAR(leaving->Alpha(), 0.504f, 0.01f);

    // A second turn during the fade does nothing.
    book->OnButton(nullptr, "next", "", -1);
    EXPECT_EQ(book->currentPage, 2);
    EXPECT_EQ(book->previousPage, 0);
    EXPECT_EQ(EffectsPlayed(), played + 1);
    book->Update(63);
    EXPECT_EQ(leaving->active, 0u) << "the old page is gone once faded out";
    EXPECT_EQ(coming->fadeMode, PageContentControl::kSteady);
    EXPECT_EQ(book->previousPage, 2) << "the turn ends once both pages are steady";

    book->OnButton(nullptr, "Next", "", -1);
    EXPECT_EQ(book->currentPage, 0) << "on from the last page is the first";
    Settle(book);
    book->OnButton(nullptr, "Next", "", -1);
    EXPECT_EQ(book->currentPage, 1);
    EXPECT_EQ(book->OnButton(nullptr, "Unknown", "", -1), 0);

    // Shown again, the book opens at its first page.
    Settle(book);
    book->OnShow(1, 0);
    EXPECT_EQ(book->currentPage, 0);
    EXPECT_EQ(book->Content(0)->active, 1u);
}

TEST_F(HowToPlayTest, TheTouchKeyTurnsOnlyWhenIdleAndAOnePageBookFadesInAgain) {
    PageContentMenuPage* single = Book(1);
    ASSERT_NE(single, nullptr);
    single->OnButton(nullptr, "Next", "", -1);
    EXPECT_EQ(single->currentPage, 0);
    EXPECT_EQ(single->Content(0)->fadeMode, PageContentControl::kFadingIn);
    EXPECT_FLOAT_EQ(single->Content(0)->Alpha(), 0.0f) << "from transparent";
    Settle(single);
    EXPECT_EQ(single->Content(0)->active, 1u);
    GetMenuManager().Shutdown();

    PageContentMenuPage* book = Book(11);
    ASSERT_NE(book, nullptr);
    PointTo(400, 200);
    book->OnKeyUp(200, -1);
    EXPECT_EQ(book->currentPage, 1);
    book->OnKeyUp(200, -1);
    EXPECT_EQ(book->currentPage, 1) << "a release during the fade only goes to the default handling";
    // The pages with the wide pictures keep their texts higher.
    EXPECT_FLOAT_EQ(book->Content(7)->headingOffset[1], -100.0f);
    EXPECT_FLOAT_EQ(book->Content(8)->bodyOffset[1], -90.0f);
    EXPECT_FLOAT_EQ(book->Content(9)->bodyOffset[1], -80.0f);
    EXPECT_FLOAT_EQ(book->Content(10)->headingOffset[0], 160.0f);
}

}  // namespace
