// Text on the GL device, probed by pixel: a font whose one glyph is its whole white page,
// so that each character is a solid box, placed by the alignment and turn flags.
#include <GLES/gl.h>

#include "engine/app/CoreModule.h"
#include "engine/core/object/Module.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/core/text/EngineWString.h"
#include "engine/overlay/canvas/Brush.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/canvas/QuadBuffers.h"
#include "engine/overlay/text/GlyphRun.h"
#include "engine/overlay/text/TextRef.h"
#include "engine/resources/font/BitmapFont.h"
#include "tests/engine/render/RenderTestSupport.h"
#include "tests/engine/resources/font/FontTestSupport.h"

namespace {

class TextPixelTest : public render_test::RenderDeviceTest {
protected:
    void SetUp() override {
        RenderDeviceTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_EQ(RegisterCoreModule(), 0);
        ASSERT_EQ(GlobalResourceCache().Init(), 0);
        SetRenderDevice(device_);
        Overlay2D().screenWidth = render_test::kScreenWidth;
        Overlay2D().screenHeight = render_test::kScreenHeight;
        canvas_.Init();
        canvas_.ResetView();
        WriteDataFile("box.tga", render_test::MakeTga(2, 32, 0x20, 1, 1, {255, 255, 255, 255}));
        WriteDataFile("box.ddsx", render_test::MakeDds({0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000}, 4, 4, 1, 0,
                                                       std::vector<std::uint8_t>(64, 0xFF)));
        WriteDataFile("box.fnt", font_test::MakeGlyphFile(8, {{0, 0, 65535, 65535, 8, u'A'}}, 1));
        font_ = new BitmapFont;
        ASSERT_NE(font_, nullptr);
        ASSERT_EQ(font_->LoadFont("box.tga", 0, 0, 0, 0, 0, 0, 0), 1);
        SetSystemFont(font_);
    }
    void TearDown() override {
        SetSystemFont(nullptr);
        delete font_;
        FreeGlyphBuffer();
        ReleaseQuadBuffers();
        GlobalResourceCache().Clear();
        SetRenderDevice(nullptr);
        SetResourceHooks(ResourceHooks{});
        ShutdownModules();
        ResetOverlay2D();
        RenderDeviceTest::TearDown();
    }
    void BeginFrame() {
        device_->SetClearColor(Color{0, 0, 0, 1});
        device_->Clear(0);
        device_->SetOrtho(0, 0, render_test::kScreenWidth, render_test::kScreenHeight, 0.0f, 1.0f);
        device_->SetBlendEnable(1);
        device_->SetBlendFunc(5, 6);
        BeginOverlayDraw(&canvas_);
    }
    bool Lit(int x, int y) const { return FramePixel(x, y)[1] > 200; }

    Canvas2D canvas_;
    BitmapFont* font_ = nullptr;
};

TEST_F(TextPixelTest, AlignmentAndTurnFlagsPlaceTheTextAroundItsPoint) {
    EngineWString text(u"AA");  // a 16 x 8 box
    struct Case {
        DWORD flags;
        int left, top;  // where the box lands for the point (32, 24)
    };
    const Case cases[] = {
        {0, 32, 24},
        {kTextCentre | kTextMiddle, 24, 20},
        {kTextRight | kTextBottom, 16, 16},
        {kTextTurn180, 16, 16},  // turned about the point: to its left and above
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        BeginFrame();
        DrawText(&canvas_, 32, 24, TextRefFromText(&text), nullptr, 0xFFFFFFFF, c.flags, 1.0f);
        EXPECT_TRUE(Lit(c.left + 1, c.top + 1));
        EXPECT_TRUE(Lit(c.left + 14, c.top + 6));
        EXPECT_FALSE(Lit(c.left - 2, c.top + 4));
        EXPECT_FALSE(Lit(c.left + 17, c.top + 4));
        EXPECT_FALSE(Lit(c.left + 8, c.top - 2));
        EXPECT_FALSE(Lit(c.left + 8, c.top + 9));
    }
}

TEST_F(TextPixelTest, TheColourTintsTheGlyphsAndQuadsAfterwardsDrawTheirOwnColour) {
    EngineWString text(u"A");
    Brush green;
    green.colours[0] = 0xFF00FF00;
    BeginFrame();
    ::DrawQuad(&canvas_, 4, 30, 8, 8, &green, 0.0f);
    DrawText(&canvas_, 4, 4, TextRefFromText(&text), nullptr, 0xFFFF0000, 0, 1.0f);
    DrawText(&canvas_, 20, 4, TextRefFromText(&text), nullptr, 0x800000FF, 0, 2.0f);
    EXPECT_EQ(FramePixel(8, 8), (std::array<int, 3>{255, 0, 0}));
    // Half-transparent blue over black, twice the size.
    const std::array<int, 3> blue = FramePixel(34, 18);
    EXPECT_EQ(blue[0], 0);
    EXPECT_NEAR(blue[2], 128, 8);
    EXPECT_EQ(FramePixel(37, 21)[2], 0);
    // The same plain quad after the text: its vertex colour, not the glyph page.
    ::DrawQuad(&canvas_, 20, 30, 8, 8, &green, 0.0f);
    EXPECT_EQ(FramePixel(8, 34), (std::array<int, 3>{0, 255, 0}));
    EXPECT_EQ(FramePixel(24, 34), (std::array<int, 3>{0, 255, 0}));
}

}  // namespace
