// Reading control nodes, event scripts and style files: positions (CENTERPOS, POS,
// ALIGNTO), sizes lent by the anchor, text alignment, texts, the script table, brush
// records and colours.
#include "engine/core/math/ColorMath.h"
#include "engine/overlay/menu/MenuStyle.h"
#include "engine/overlay/widgets/SimpleWidgets.h"
#include "tests/engine/overlay/menu/MenuTestSupport.h"

namespace {

using menu_test::MenuTest;

TEST_F(MenuTest, PositionRulesAndSizesLentByTheAnchor) {
    auto anchor = ReadControl("BUTTON\n{\nPOS 100 200\nSIZE 60 40\n}", nullptr);
    struct Case {
        const char* node;
        bool withAnchor;
        std::int32_t x, y, w, h;
    };
    const Case cases[] = {
        {"B\n{\nCENTERPOS 100 50\nSIZE 31 21\n}", false, 85, 40, 31, 21},  // halves round down
        {"B\n{\nCENTERPOS 0 0\nSIZE 31 21\n}", false, -15, -10, 31, 21},
        {"B\n{\nPOS 7 8\nCENTERPOS 100 50\nSIZE 10 10\n}", false, 95, 45, 10, 10},  // CENTERPOS wins
        {"B\n{\nALIGNTO BOTTOM\nSIZE 20 10\n}", true, 120, 250, 20, 10},            // gap 10
        {"B\n{\nALIGNTO top 4\nSIZE 20 10\n}", true, 120, 186, 20, 10},
        {"B\n{\nALIGNTO RIGHT 0\nSIZE 20 10\n}", true, 160, 215, 20, 10},
        {"B\n{\nALIGNTO LEFT\nSIZE 20 10\n}", true, 70, 215, 20, 10},
        {"B\n{\nALIGNTO MIDDLE\nSIZE 20 10\n}", true, 0, 0, 20, 10},                // unknown side
        {"B\n{\nALIGNTO BOTTOM\nSIZE 20 10\n}", false, 0, 0, 20, 10},               // first on the page
        {"B\n{\nALIGNTO BOTTOM\n}", true, 100, 250, 60, 40},                        // the anchor's size
        {"B\n{\n}", false, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.node);
        auto d = ReadControl(c.node, c.withAnchor ? anchor.get() : nullptr);
        EXPECT_EQ(d->x, c.x);
        EXPECT_EQ(d->y, c.y);
        EXPECT_EQ(d->width, c.w);
        EXPECT_EQ(d->height, c.h);
    }
}

TEST_F(MenuTest, TextAlignmentTextsAndDefaults) {
    struct Case {
        const char* tag;
        DWORD alignment;
        float offsetX, offsetY;
    };
    const Case cases[] = {
        {"", 6, 0, 0},
        {"ALIGNTEXT RIGHT BOTTOM", 9, 0, 0},
        {"ALIGNTEXT HCENTER VCENTER", 6, 0, 0},
        {"ALIGNTEXT LEFT SIDEWAYS", 4, 0, 0},
        {"ALIGNTEXT LEFT", 4, 0, 0},
        {"ALIGNTEXT TOP LEFT 3 -2", 0, 3, -2},
        {"ALIGNTEXT BOTTOM RIGHT 0 5", 9, 0, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tag);
        auto d = ReadControl(std::string("B\n{\n") + c.tag + "\n}", nullptr);
        EXPECT_EQ(d->alignment, c.alignment);
        EXPECT_FLOAT_EQ(d->textOffsetX, c.offsetX);
        EXPECT_FLOAT_EQ(d->textOffsetY, c.offsetY);
    }
    auto d = ReadControl("TOGGLEBUTTON\n{\nTEXT ONE TWO \"THREE\"\nTOOLTIP TIP\nCOLOR [0 1 0 1]\nTEXTSHADOW 1\n}", nullptr);
    EXPECT_STREQ(d->type.Text(), "TOGGLEBUTTON");
    ASSERT_EQ(d->texts.count, 3u);
    EXPECT_STREQ(d->TextKey(0)->Text(), "ONE");
    EXPECT_STREQ(d->TextKey(2)->Text(), "THREE");
    EXPECT_EQ(d->TextKey(3), nullptr);
    EXPECT_EQ(d->tooltips.count, 1u);
    EXPECT_EQ(d->colorGiven, 1u);
    EXPECT_EQ(d->textShadow, 1u);
    EXPECT_FLOAT_EQ(d->textScale, 1.0f);
    EXPECT_FLOAT_EQ(d->maxWidth, -1.0f);
    EXPECT_EQ(d->font, 1u);
    EXPECT_EQ(d->clickSounds, 1);
}

TEST_F(MenuTest, EventScriptsTakeTheirKindActionAndTexts) {
    struct Case {
        const char* tag;
        int valid;
        std::int32_t kind;
        DWORD action;
        const char *first, *second, *third;
    };
    const Case cases[] = {
        {"ON_CLICK GOBACK", 1, 1, 0, "", "", ""},
        {"on_click goto Main", 1, 1, 1, "Main", "", ""},
        {"ON_SELECT GOTO Main DO StartGame", 1, 2, 2, "Main", "StartGame", ""},
        {"ON_SELECTCHANGE GOTO Main do Close 5", 1, 1, 2, "Main", "Close", "5"},
        {"ON_INIT RETURN START", 1, -1, 3, "START", "", ""},
        {"ON_CREATE PlayButtonSound loud", 1, -1, 4, "PlayButtonSound", "loud", ""},
        {"ON_CLICK GOTO Main KEEP", 1, 1, 1, "Main", "", ""},
        {"ON_CLICK GOTO", 0, 1, 0, "", "", ""},
        {"ON_CLICK GOTO Main DO", 0, 1, 0, "", "", ""},
        {"ON_CLICK RETURN", 0, 1, 0, "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tag);
        int result = -1;
        auto d = ReadControl(std::string("BUTTON\n{\n") + c.tag + "\n}", nullptr, &result);
        EXPECT_EQ(result, c.valid);
        if (c.valid == 0) continue;
        ASSERT_EQ(d->scripts.count, 1u);
        auto* script = static_cast<EventScript*>(d->scripts.head->item);
        EXPECT_EQ(script->kind, c.kind);
        EXPECT_EQ(script->action, c.action);
        EXPECT_STREQ(script->first.Text(), c.first);
        EXPECT_STREQ(script->second.Text(), c.second);
        EXPECT_STREQ(script->third.Text(), c.third);
    }
}

TEST_F(MenuTest, BrushRecordsAndColoursOfAStyle) {
    TagFile tree;
    ASSERT_EQ(tree.ParseText("S\n{\nCOLORS\n{\nGREEN [0 1 0 1]\nODD (1 2\n}\nBUTTON_SETTINGS\n{\nTEXTSCALE 1.25\n}\n"
                             "BRUSHES\n{\nA\n{\nUV_TOPLEFT 0.5 0.25\n}\nB\n{\nNO_ALPHA 1\nNO_SHADING 1\nCENTERSCALED 1\n"
                             "COL_BOTRIGHT [1 0 0 1]\nFORCE_COLOR\n{\n}\nUSE_CURRENT\n{\n}\n}\n}\n}"),
              0);
    MenuStyle style("S");
    EXPECT_EQ(ReadMenuStyle(style, tree), 1);
    EXPECT_FLOAT_EQ(ButtonTextScale, 1.25f);
    ButtonTextScale = 1.0f;
    const BrushRecord* a = style.FindBrush("A");
    ASSERT_NE(a, nullptr);
    const float expected[8] = {0.5f, 0.25f, 1, 0, 1, 1, 0, 1};
    for (int i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(a->brush.corners[i], expected[i]) << i;
    EXPECT_EQ(a->brush.flags, kBrushCornerColours | kBrushCombineA);
    EXPECT_EQ(a->brush.colours[2], 0xFFFFFFFFu);
    const BrushRecord* b = style.FindBrush("B");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->brush.flags, kBrushNineSlice | kBrushCombineB | kBrushUseCurrent);
    EXPECT_EQ(b->brush.colours[2], 0xFFFF0000u);
    EXPECT_EQ(style.FindBrush("a"), nullptr) << "brush names keep their case";
    const Color green = style.FindColor("GREEN");
    EXPECT_FLOAT_EQ(green.g, 1.0f);
    EXPECT_FLOAT_EQ(green.r, 0.0f);
    const Color odd = style.FindColor("ODD");
    EXPECT_FLOAT_EQ(odd.r + odd.g + odd.b + odd.a, 4.0f) << "unreadable: white";
    const Color red = style.FindColor("green");
    EXPECT_EQ(ColorToARGB(red), 0xFFFF0000u) << "another case: red";
}

}  // namespace
