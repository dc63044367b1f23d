// Brush quads on the recording device: the canvas scale, placement to whole pixels, the
// combine modes and their cache, views, turning, mirroring, nine-slice grids and brush alpha.
#include <cmath>

#include "engine/overlay/canvas/Brush.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/resources/texture/Texture.h"
#include "tests/engine/overlay/canvas/CanvasTestSupport.h"

namespace {

using canvas_test::CanvasTest;

std::vector<float> Xs(const canvas_test::DrawCall& call) {
    std::vector<float> xs;
    for (const ImmediateVertex& vertex : call.vertices) xs.push_back(vertex.position.x);
    return xs;
}

std::vector<float> Ys(const canvas_test::DrawCall& call) {
    std::vector<float> ys;
    for (const ImmediateVertex& vertex : call.vertices) ys.push_back(vertex.position.y);
    return ys;
}

TEST_F(CanvasTest, TheScaleFitsTheScreenIntoTheViewportByTheDisplayRotation) {
    struct Case {
        std::int32_t viewportWidth, viewportHeight, rotation;
        std::uint32_t index;
        float scale;
    };
    // Screen 800 x 480. a = min(vh/480, vw/800), b = min(vw/480, vh/800).
    const Case cases[] = {
        {480, 800, 0, 0, 0.6f},   // a = min(1.667, 0.6)
        {480, 800, 90, 0, 1.0f},  // b = min(1, 1)
        {480, 800, 0, 1, 1.0f},   // a quarter turn by the index
        {800, 480, 0, 0, 1.0f},
        {1600, 960, 180, 0, 2.0f},
        {400, 480, 0, 0, 0.5f},
        {400, 480, 270, 0, 0.6f},  // b = min(400/480, 480/800)
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.viewportWidth * 1000 + c.rotation + c.index);
        device_->SetViewport(0, 0, c.viewportWidth, c.viewportHeight);
        Overlay2D().displayRotation = c.rotation;
        Overlay2D().rotationIndex = c.index;
        canvas_->UpdateScale();
        EXPECT_NEAR(canvas_->scaleX, c.scale, 1e-6f);
        EXPECT_EQ(canvas_->scaleY, canvas_->scaleX);
    }
}

TEST_F(CanvasTest, QuadsArePlacedToWholePixelsWithHalvesAwayFromZero) {
    Brush brush;
    brush.colours[0] = 0x80FF2010;
    canvas_->scaleX = canvas_->scaleY = 0.5f;
    canvas_->offsetX = 2.0f;
    Overlay2D().screenOriginY = 1;
    // x: (2 + 1) x 0.5 = 1.5 -> 2; y: -3 x 0.5 + 1 = -0.5 -> -1; width 5 x 0.5 = 2.5 -> 3;
    // height 7 x 0.5 = 3.5 -> 4.
    DrawQuad(canvas_, 1.0f, -3.0f, 5.0f, 7.0f, &brush, 0.0f);
    ASSERT_EQ(device_->draws.size(), 1u);
    const canvas_test::DrawCall& call = device_->draws[0];
    EXPECT_EQ(call.kind, "fan");
    EXPECT_EQ(call.count, 2u);
    EXPECT_EQ(Xs(call), (std::vector<float>{2, 5, 5, 2}));
    EXPECT_EQ(Ys(call), (std::vector<float>{-1, -1, 3, 3}));
    // ARGB to R, G, B, A bytes; without corner colours every corner takes the first.
    EXPECT_EQ(call.vertices[2].colour[0], 0xFF);
    EXPECT_EQ(call.vertices[2].colour[1], 0x20);
    EXPECT_EQ(call.vertices[2].colour[2], 0x10);
    EXPECT_EQ(call.vertices[2].colour[3], 0x80);
}

TEST_F(CanvasTest, CombineModesAreSentOnChangeAndModeSixEveryTime) {
    WriteTga("plain.tga", 4, 4, 255, 255, 255);
    Brush textured;
    textured.flags = kBrushTextured;
    ASSERT_EQ(LoadTextureHandle(textured, "plain.tga", 0), 1);
    Brush bit2 = textured;
    bit2.flags |= kBrushCombineA;
    Brush bit3 = textured;
    bit3.flags |= kBrushCombineB;
    Brush both = textured;
    both.flags |= kBrushCombineA | kBrushCombineB;
    Brush keep = bit3;
    keep.flags |= kBrushKeepCombine;
    Brush untextured;

    DrawQuad(canvas_, 0, 0, 4, 4, &textured, 0);    // mode 1: preset 0
    DrawQuad(canvas_, 0, 0, 4, 4, &textured, 0);    // cached
    DrawQuad(canvas_, 0, 0, 4, 4, &untextured, 0);  // mode 3: preset 2
    DrawQuad(canvas_, 0, 0, 4, 4, &bit3, 0);        // mode 2: preset 1
    DrawQuad(canvas_, 0, 0, 4, 4, &both, 0);        // mode 4: preset 5
    DrawQuad(canvas_, 0, 0, 4, 4, &bit2, 0);        // mode 6: preset 4
    DrawQuad(canvas_, 0, 0, 4, 4, &bit2, 0);        // mode 6 again: sent again
    DrawQuad(canvas_, 0, 0, 4, 4, &keep, 0);        // keeps whatever is set
    DrawBrushQuad(canvas_, 0, 0, 4, 4, &bit2, nullptr);  // mode 5: preset 6
    DrawBrushQuad(canvas_, 0, 0, 4, 4, &untextured, nullptr);  // mode 1, texture bit or not
    DrawBrushQuad(canvas_, 0, 0, 4, 4, &both, nullptr);        // mode 2
    const std::vector<std::string> expected = {"mode 0", "ops 1 1", "mode 2", "ops 2 2", "mode 1", "ops 2 1",
                                               "mode 5", "ops 2 4", "mode 4", "ops 4 4", "mode 4", "ops 4 4",
                                               "mode 6", "ops 1 4", "mode 0", "ops 1 1", "mode 1", "ops 2 1"};
    EXPECT_EQ(device_->log, expected);
    ASSERT_EQ(device_->draws.size(), 11u);
    ReleaseTextureHandle(textured);
}

TEST_F(CanvasTest, QuadsRepeatPerViewTurnAboutTheirMiddleAndMirrorTheirCoordinates) {
    WriteTga("plain.tga", 4, 4, 255, 255, 255);
    Brush brush;
    brush.flags = kBrushTextured | kBrushMirror;
    ASSERT_EQ(LoadTextureHandle(brush, "plain.tga", 0), 1);
    const float corners[8] = {0.1f, 0.2f, 0.9f, 0.2f, 0.9f, 0.8f, 0.1f, 0.8f};
    std::copy(std::begin(corners), std::end(corners), brush.corners);
    canvas_->viewCount = 2;
    DrawQuad(canvas_, 10, 20, 30, 10, &brush, 0.0f);
    ASSERT_EQ(device_->draws.size(), 2u);
    const std::vector<ImmediateVertex>& quad = device_->draws[0].vertices;
    EXPECT_EQ(quad[0].u, 0.9f);  // top-left takes top-right's u
    EXPECT_EQ(quad[1].u, 0.1f);
    EXPECT_EQ(quad[2].u, 0.1f);
    EXPECT_EQ(quad[3].u, 0.9f);
    EXPECT_EQ(quad[0].v, 0.2f);
    EXPECT_EQ(quad[2].v, 0.8f);

    Forget();
    canvas_->viewCount = 1;
    DrawQuad(canvas_, 10, 20, 30, 10, &brush, 90.0f);
    ASSERT_EQ(device_->draws.size(), 1u);
    // About the middle (25, 25): top-left (10, 20) goes to (30, 10).
    const std::vector<ImmediateVertex>& turned = device_->draws[0].vertices;
    EXPECT_NEAR(turned[0].position.x, 30.0f, 1e-4f);
    EXPECT_NEAR(turned[0].position.y, 10.0f, 1e-4f);
    EXPECT_NEAR(turned[2].position.x, 20.0f, 1e-4f);
    EXPECT_NEAR(turned[2].position.y, 40.0f, 1e-4f);
    ReleaseTextureHandle(brush);

    // A null brush or canvas draws nothing.
    Forget();
    DrawQuad(canvas_, 0, 0, 1, 1, nullptr, 0.0f);
    DrawQuad(nullptr, 0, 0, 1, 1, &brush, 0.0f);
    DrawBrushQuad(canvas_, 0, 0, 1, 1, nullptr, nullptr);
    EXPECT_TRUE(device_->draws.empty());
}

TEST_F(CanvasTest, NineSliceGridsKeepTheirBordersOrShrinkThemTogether) {
    WriteTga("frame.tga", 16, 16, 255, 255, 255);
    Brush brush;
    brush.flags = kBrushTextured | kBrushNineSlice;
    ASSERT_EQ(LoadTextureHandle(brush, "frame.tga", 0), 1);
    const float borders[4] = {0.25f, 0.25f, 0.25f, 0.25f};  // 4 pixels each
    std::copy(std::begin(borders), std::end(borders), brush.corners);
    brush.colours[0] = 0xFF00FF00;

    struct Case {
        float width, height;
        bool mirrored;
        std::vector<float> columns;  // x of the four grid columns
        std::vector<float> rows;
    };
    const Case cases[] = {
        {40, 32, false, {0, 4, 36, 40}, {0, 4, 28, 32}},
        // Narrower than its two borders: both shrink by 6 / 8 and no middle column is left.
        {6, 32, false, {0, 3, 3, 6}, {0, 4, 28, 32}},
        // Lower than the texture: the three rows shrink by 8 / 16, the middle row too.
        {40, 8, false, {0, 4, 36, 40}, {0, 2, 6, 8}},
        {40, 32, true, {40, 36, 4, 0}, {0, 4, 28, 32}},
    };
    canvas_->viewCount = 3;  // drawn once whatever the views
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width * 100 + c.height + (c.mirrored ? 0.5f : 0.0f));
        Forget();
        brush.flags = kBrushTextured | kBrushNineSlice | (c.mirrored ? kBrushMirror : 0);
        DrawQuad(canvas_, 100, 200, c.width, c.height, &brush, 45.0f);
        ASSERT_EQ(device_->draws.size(), 1u);
        const canvas_test::DrawCall& call = device_->draws[0];
        EXPECT_EQ(call.kind, "indexed");
        EXPECT_EQ(call.count, 18u);
        ASSERT_EQ(call.vertices.size(), 16u);
        for (int column = 0; column < 4; ++column) {
            EXPECT_EQ(call.vertices[column].position.x, 100 + c.columns[column]) << column;
            EXPECT_EQ(call.vertices[column].u, (std::vector<float>{0, 0.25f, 0.75f, 1})[column]);
        }
        for (int row = 0; row < 4; ++row) EXPECT_EQ(call.vertices[row * 4].position.y, 200 + c.rows[row]) << row;
        EXPECT_EQ(call.vertices[15].colour[1], 0xFF);
        // The cell with top-left vertex 5: (5, 9, 10) and (5, 10, 6).
        EXPECT_EQ(std::vector<std::uint16_t>(call.indices.begin() + 24, call.indices.begin() + 30),
                  (std::vector<std::uint16_t>{5, 9, 10, 5, 10, 6}));
    }
    EXPECT_EQ(device_->log.front(), "mode 4");
    ReleaseTextureHandle(brush);
}

TEST(BrushTest, AlphaGoesIntoTheFirstColourOrAllFour) {
    Brush brush;
    for (DWORD& colour : brush.colours) colour = 0x11223344;
    brush.SetAlpha(0.5f);
    EXPECT_EQ(brush.colours[0], 0x7F223344u);
    EXPECT_EQ(brush.colours[1], 0x11223344u);
    brush.flags = kBrushCornerColours;
    brush.SetAlpha(1.0f);
    for (DWORD colour : brush.colours) EXPECT_EQ(colour, 0xFF223344u);
    brush.SetAlpha(-3.0f);
    EXPECT_EQ(brush.colours[3], 0x00223344u);
}

}  // namespace
