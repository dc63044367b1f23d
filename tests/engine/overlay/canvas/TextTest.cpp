// Text on the recording device: one batch of at most 64 glyphs, the text transform, keyed
// texts from their runs, the mode cache after text, and text blocks line by line.
#include "engine/core/text/EngineString.h"
#include "engine/core/text/EngineWString.h"
#include "engine/overlay/canvas/Brush.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/text/TextRef.h"
#include "engine/overlay/text/TextTable.h"
#include "engine/resources/font/BitmapFont.h"
#include "engine/resources/texture/Texture.h"
#include "tests/engine/overlay/canvas/CanvasTestSupport.h"
#include "tests/engine/resources/font/FontTestSupport.h"

namespace {

// Every character advances 10 on a 20-pixel line; the font has no page.
class TextOnCanvasTest : public canvas_test::CanvasTest {
protected:
    void SetUp() override {
        CanvasTest::SetUp();
        if (HasFatalFailure()) return;
        WriteTga("gfx/black.tga", 2, 2, 0, 0, 0);
        font_ = new BitmapFont;
        ASSERT_NE(font_, nullptr);
        const std::vector<std::uint8_t> file = font_test::MakeGlyphFile(20, {{0, 0, 65535, 65535, 10, u'A'}}, 1);
        ASSERT_EQ(font_->ReadGlyphFile(file.data(), file.size()), 1);
        SetSystemFont(font_);
        ASSERT_EQ(TextTableCreate(), 1);
    }
    void TearDown() override {
        TextTableDestroy();
        SetSystemFont(nullptr);
        delete font_;
        CanvasTest::TearDown();
    }
    // The translation of the last batch's world matrix.
    Vector2 LastOrigin() const {
        const Matrix34& world = device_->worlds.back();
        return Vector2{world.m[0][3], world.m[1][3]};
    }

    BitmapFont* font_ = nullptr;
};

TEST_F(TextOnCanvasTest, ALineIsOneBatchOfAtMost64GlyphsInTheConstantColour) {
    EngineWString text(std::u16string(80, u'w').c_str());
    DrawText(canvas_, 0, 0, TextRefFromText(&text), nullptr, 0xFF336699, 0, 1.0f);
    ASSERT_EQ(device_->draws.size(), 1u);
    const canvas_test::DrawCall& call = device_->draws[0];
    EXPECT_EQ(call.kind, "buffers");
    EXPECT_EQ(call.count, 128u);
    ASSERT_EQ(call.vertices.size(), 256u);
    EXPECT_EQ(call.vertices[254].position.x, 640.0f);  // the 64th glyph's bottom-right
    EXPECT_EQ(device_->log, (std::vector<std::string>{"ops 5 5"}));
    // Without a page the glyphs are drawn with the black stand-in.
    auto* black = static_cast<Texture*>(GlobalResourceCache().GetTexture("gfx/black.tga", 0));
    ASSERT_NE(black, nullptr);
    EXPECT_EQ(device_->textures.back(), black->Data());
    ResourceCache::ReleaseTexture(black);
    // The world matrix is given back after the batch.
    EXPECT_EQ(device_->GetWorldMatrix().m[0][3], 0.0f);

    // An empty text draws nothing; each batch takes the next ring buffer.
    const std::uint32_t ring = QuadRingPosition();
    EngineWString empty(u"");
    DrawText(canvas_, 0, 0, TextRefFromText(&empty), nullptr, 0xFFFFFFFF, 0, 1.0f);
    EXPECT_EQ(device_->draws.size(), 1u);
    DrawText(canvas_, 0, 0, TextRefFromText(&text), font_, 0xFFFFFFFF, 0, 1.0f);
    EXPECT_EQ(QuadRingPosition(), (ring + 1) % kQuadVertexBuffers);
}

TEST_F(TextOnCanvasTest, FlagsPlaceTheLineAndTurnIt) {
    EngineWString text(u"abcd");  // 40 x 20
    canvas_->offsetX = 100.0f;
    canvas_->offsetY = 50.0f;
    struct Case {
        DWORD flags;
        float x, y;  // the batch's origin
        float xx;    // the transform's first element: cos(angle) x scale
    };
    const Case cases[] = {
        {0, 110.4f, 70.6f, 1.0f},
        {kTextRoundPosition, 110.0f, 71.0f, 1.0f},
        {kTextCentre | kTextMiddle, 90.4f, 60.6f, 1.0f},
        {kTextRight | kTextBottom, 70.4f, 50.6f, 1.0f},
        {kTextTurn180, 110.4f, 70.6f, -1.0f},
        {kTextTurn180 | kTextRight, 150.4f, 70.6f, -1.0f},
        {kTextTurn90 | kTextRight, 110.4f, 30.6f, 0.0f},
        {kTextTurnMinus90 | kTextRight, 110.4f, 110.6f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        DrawText(canvas_, 10.4f, 20.6f, TextRefFromText(&text), nullptr, 0xFFFFFFFF, c.flags, 1.0f);
        EXPECT_NEAR(LastOrigin().x, c.x, 1e-4f);
        EXPECT_NEAR(LastOrigin().y, c.y, 1e-4f);
        EXPECT_NEAR(device_->worlds.back().m[0][0], c.xx, 1e-5f);
    }
    // The global text scale multiplies the scale argument: centred at 0.5 x 3 = 1.5.
    Overlay2D().textScale = 0.5f;
    DrawText(canvas_, 0, 0, TextRefFromText(&text), nullptr, 0xFFFFFFFF, kTextCentre, 3.0f);
    EXPECT_NEAR(LastOrigin().x, 100.0f - 30.0f, 1e-4f);
    EXPECT_NEAR(device_->worlds.back().m[1][1], 1.5f, 1e-6f);
}

TEST_F(TextOnCanvasTest, KeyedTextsDrawFromTheirRunsAndOtherTextsAreLaidOutAgain) {
    const std::string text = "LONG " + std::string(100, 'x') + "\nSHORT \"abc\"\n";
    ParseTextFile(*GlobalTextTable(), reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    TextRef keyed = TextRefFromKey(EngineString::New("LONG"), 1);
    DrawTextRef(canvas_, 0, 0, keyed, 0xFFFFFFFF, kTextRight, 1.0f);
    ASSERT_EQ(device_->draws.size(), 1u);
    EXPECT_EQ(device_->draws[0].count, 128u);
    EXPECT_NEAR(LastOrigin().x, -1000.0f, 1e-3f);  // right-aligned by the whole run's width
    ReleaseTextRef(keyed);

    TextRef missing = TextRefFromKey(EngineString::New("NONE"), 1);
    DrawTextRefWhite(canvas_, 0, 0, missing, kTextRight, 1.0f);
    EXPECT_NEAR(LastOrigin().x, -160.0f, 1e-3f);  // "<UNKNOWN STRING>" laid out anew
    ReleaseTextRef(missing);
}

TEST_F(TextOnCanvasTest, AQuadAfterTextSendsItsModeAgain) {
    Brush plain;
    plain.colours[0] = 0xFFFFFFFF;
    EngineWString text(u"ab");
    DrawQuad(canvas_, 0, 0, 4, 4, &plain, 0);
    DrawText(canvas_, 0, 0, TextRefFromText(&text), nullptr, 0xFFFFFFFF, 0, 1.0f);
    DrawQuad(canvas_, 0, 0, 4, 4, &plain, 0);
    // The text set the stage to texture x constant colour; the quad must undo that.
    EXPECT_EQ(device_->log, (std::vector<std::string>{"mode 2", "ops 2 2", "ops 5 5", "mode 2", "ops 2 2"}));
}

TEST_F(TextOnCanvasTest, BlocksDrawLineByLineAndFreeTheirLinesEveryTime) {
    EngineWString text(u"one two three four");  // 10 per character
    const TextRef reference = TextRefFromText(&text);
    DrawTextBlock(canvas_, 5, 7, 80, 100, reference, nullptr, 0xFFFFFFFF, 0, 1.0f, 3.0f, 0);
    // "one two" (70) fits 80, "three" and "four" follow: three lines.
    ASSERT_EQ(device_->draws.size(), 3u);
    EXPECT_EQ(device_->draws[0].count, 14u);
    EXPECT_NEAR(device_->worlds[1].m[1][3], 7.0f + 25.0f, 1e-4f);  // 20 + 3 + 2 per line
    EXPECT_NEAR(device_->worlds[2].m[1][3], 7.0f + 50.0f, 1e-4f);

    // Centred both ways: the middle line on the box's middle.
    Forget();
    DrawTextBlock(canvas_, 0, 0, 80, 100, reference, nullptr, 0xFFFFFFFF, kTextCentre | kTextMiddle, 1.0f, 0.0f, 0);
    ASSERT_EQ(device_->worlds.size(), 3u);
    EXPECT_NEAR(device_->worlds[1].m[1][3], 50.0f - 10.0f, 1e-4f);
    EXPECT_NEAR(device_->worlds[1].m[0][3], 40.0f - 25.0f, 1e-4f);

    // One line on request; reversed lines start from the last one, right-aligned.
    Forget();
    DrawTextBlock(canvas_, 0, 0, 80, 100, reference, nullptr, 0xFFFFFFFF, kTextOneLine, 1.0f, 0.0f, 0);
    EXPECT_EQ(device_->draws.size(), 1u);
    Forget();
    Overlay2D().reversedLines = 1;
    DrawTextBlock(canvas_, 0, 0, 80, 100, reference, nullptr, 0xFFFFFFFF, kTextCentre, 1.0f, 0.0f, 0);
    ASSERT_EQ(device_->draws.size(), 3u);
    EXPECT_EQ(device_->draws[0].count, 8u);  // "four"
    EXPECT_NEAR(device_->worlds[0].m[0][3], 80.0f - 40.0f, 1e-4f);
    Overlay2D().reversedLines = 0;

    // The wrapped lines go back every time.
    const std::size_t blocks = EngineBlockCount();
    for (int i = 0; i < 50; ++i)
        DrawTextBlockDefault(canvas_, 0, 0, 80, 100, reference, 0xFFFFFFFF, 0, 1.0f);
    EXPECT_EQ(EngineBlockCount(), blocks);
}

}  // namespace
