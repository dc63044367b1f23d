// The selection pages' arithmetic: level bases, the level clamp, item numbers from command
// arguments, rows and ranges of short lists, easing and the completion gauge.
#include <gtest/gtest.h>

#include <cmath>

#include "game/menu/SelectScroll.h"

namespace {

TEST(SelectScroll, WorldsGiveTheirFirstLevelAndItemsStayWithinTheLevels) {
    const std::int32_t bases[][2] = {{0, 0}, {1, 8}, {3, 18}, {9, 48}, {10, 0}, {-1, 0}};
    for (const auto& b : bases) EXPECT_EQ(WorldLevelBase(b[0]), b[1]) << b[0];
    EXPECT_EQ(ChosenLevel(48, 4), 52);
    EXPECT_EQ(ChosenLevel(48, 9), 52) << "past the last level";
    EXPECT_EQ(ChosenLevel(48, 2147483647), 52) << "no overflow";
    EXPECT_EQ(ChosenLevel(0, -3), 0);
    EXPECT_EQ(ChosenLevel(0, 7), 7);
}

TEST(SelectScroll, ItemNumbersAreBoundedDecimals) {
    struct Case {
        const char* text;
        std::int32_t number;
    };
    const Case cases[] = {{"4", 4}, {" 12", 12}, {"3rd", 3}, {"", 0}, {"x", 0},
                          {"-2", 0}, {"99999999999999999999", 9999}, {nullptr, 0}};
    for (const Case& c : cases) EXPECT_EQ(ParseItemNumber(c.text), c.number) << (c.text ? c.text : "null");
}

TEST(SelectScroll, ShortListsHaveAnEmptyRangeInsteadOfAWrappedOne) {
    // Ten items with four rows kept at the end: the last target row is 6.
    EXPECT_EQ(ClampRow(7, 10, 4), 6);
    EXPECT_EQ(ClampRow(-1, 10, 5), 0);
    EXPECT_EQ(ClampRow(3, 10, 5), 3);
    // Three items: every row is 0 and nothing scrolls.
    EXPECT_EQ(ClampRow(1, 3, 5), 0);
    EXPECT_EQ(ScrollLimit(3, 5, 94.0f), 0.0f);
    EXPECT_EQ(ScrollLimit(0, 4, 94.0f), 0.0f);
    EXPECT_FLOAT_EQ(ScrollLimit(10, 4, 94.0f), 564.0f);
    EXPECT_FLOAT_EQ(ScrollLimit(8, 5, 94.0f), 282.0f);
}

TEST(SelectScroll, EasingAndDoneBits) {
    // 77 % of the way is left after 1/30 s; nothing moves in a frame of no time.
    EXPECT_NEAR(EaseToward(0.0f, 100.0f, 1.0f / 30.0f), 23.0f, 1e-3f);
    EXPECT_NEAR(EaseToward(100.0f, 0.0f, 2.0f / 30.0f), 59.29f, 1e-3f);
    EXPECT_FLOAT_EQ(EaseToward(40.0f, 100.0f, 0.0f), 40.0f);
    EXPECT_EQ(DoneBits(0x401F, 5), 5);
    EXPECT_EQ(DoneBits(0x00A5, 8), 4);
    EXPECT_EQ(DoneBits(0xFFFFFFFFu, 40), 32);
}

TEST(SelectScroll, CompletionGaugePieces) {
    struct Case {
        float fraction;
        int count;
        float top;     // -1 without a top piece
        float middle;  // -1 without a middle piece
    };
    const Case cases[] = {
        {0.0f, 0, -1, -1},  {0.125f, 1, -1, -1}, {0.2f, 1, -1, -1},   {0.25f, 2, 52, -1}, {0.4f, 2, 52, -1},
        {0.5f, 3, 35, 45},  {0.6f, 3, 35, 45},   {0.8f, 3, 27, 35},   {1.0f, 3, 16, 26},  {std::nanf(""), 0, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fraction);
        GaugePlacement pieces[3];
        ASSERT_EQ(CompletionGaugePieces(c.fraction, pieces), c.count);
        if (c.count == 0) continue;
        if (c.count == 1) {
            EXPECT_EQ(pieces[0].piece, GaugePiece::kSingle);
            EXPECT_EQ(pieces[0].dy, 62.0f);
            continue;
        }
        EXPECT_EQ(pieces[0].piece, GaugePiece::kBottom);
        EXPECT_EQ(pieces[0].dy, 62.0f);
        EXPECT_EQ(pieces[1].piece, GaugePiece::kTop);
        EXPECT_EQ(pieces[1].dy, c.top);
        if (c.count == 3) {
            EXPECT_EQ(pieces[2].piece, GaugePiece::kMiddle);
            EXPECT_EQ(pieces[2].dy, c.middle);
        }
    }
}

}  // namespace
