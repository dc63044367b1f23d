// The widget tree drawn on the GL device: the root, a panel with a nine-slice brush and a
// widget that writes "HELLO" in the system font (rendered from the demo font's description),
// compared with the reference image and probed at the border, the middle and the text.
#include <GLES/gl.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/app/CoreModule.h"
#include "engine/core/object/Module.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/core/text/EngineWString.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/canvas/QuadBuffers.h"
#include "engine/overlay/text/GlyphRun.h"
#include "engine/overlay/text/TextRef.h"
#include "engine/overlay/widgets/Control.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "engine/resources/font/BitmapFont.h"
#include "tests/engine/render/RenderTestSupport.h"
#include "tools/make_font/FontSheet.h"

namespace {

class Caption : public Control {
public:
    void Draw(Canvas2D* canvas) override {
        EngineWString hello(u"HELLO");
        DrawText(canvas, 0, 0, TextRefFromText(&hello), nullptr, 0xFF000000, 0, 1.0f);
    }
};

class WidgetDrawTest : public render_test::RenderDeviceTest {
protected:
    void SetUp() override {
        RenderDeviceTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_EQ(RegisterCoreModule(), 0);
        ASSERT_EQ(GlobalResourceCache().Init(), 0);
        SetRenderDevice(device_);
        WriteSystemFont();
        Overlay2D().screenWidth = render_test::kScreenWidth;
        Overlay2D().screenHeight = render_test::kScreenHeight;
        canvas_.Init();
        ASSERT_EQ(Overlay().Init(&canvas_), 0);
        Overlay().pointerVisibility = -1;
    }
    void TearDown() override {
        Overlay().Shutdown();
        FreeGlyphBuffer();
        ReleaseQuadBuffers();
        GlobalResourceCache().Clear();
        SetRenderDevice(nullptr);
        SetResourceHooks(ResourceHooks{});
        ShutdownModules();
        ResetOverlay2D();
        RenderDeviceTest::TearDown();
    }
    // gfx/fonts/sysfont.tga and its page, as the data build renders them.
    void WriteSystemFont() {
        const std::filesystem::path source =
            std::filesystem::path(HANDSET_SOURCE_DIR) / "data/game/archives/startup/gfx/fonts/sysfont.font";
        std::ifstream in(source, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        FontDescription description;
        FontSheet sheet;
        std::string error;
        ASSERT_TRUE(ParseFontDescription(text, &description, &error)) << error;
        ASSERT_TRUE(RenderFontSheet(description, kDejaVuFontFolder, &sheet, &error)) << error;
        std::filesystem::create_directories(root_.Path() + "/fs/data/gfx/fonts");
        WriteDataFile("gfx/fonts/sysfont.tga", EncodeTga(sheet.page));
        WriteDataFile("gfx/fonts/sysfont.tga.ddsx", EncodeDds(sheet.page));
    }
    // A 16 x 16 frame: a 4-pixel blue border round a light grey middle.
    void WriteFrame() {
        std::vector<std::uint8_t> pixels;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool border = x < 4 || x >= 12 || y < 4 || y >= 12;
                if (border)
                    pixels.insert(pixels.end(), {200, 80, 40, 255});
                else
                    pixels.insert(pixels.end(), {230, 230, 230, 255});
            }
        WriteDataFile("frame.tga", render_test::MakeTga(2, 32, 0x20, 16, 16, pixels));
    }
    // Within what 5-6-5 pixels keep: (8, 4, 8).
    ::testing::AssertionResult Near(int x, int y, std::array<int, 3> expected) const {
        const std::array<int, 3> pixel = FramePixel(x, y);
        const int tolerance[3] = {8, 4, 8};
        for (int c = 0; c < 3; ++c) {
            if (std::abs(pixel[c] - expected[c]) > tolerance[c])
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << pixel[0] << ","
                                                     << pixel[1] << "," << pixel[2];
        }
        return ::testing::AssertionSuccess();
    }
    bool Dark(int x, int y) const {
        const std::array<int, 3> pixel = FramePixel(x, y);
        return pixel[0] < 80 && pixel[1] < 80 && pixel[2] < 80;
    }

    Canvas2D canvas_;
};

TEST_F(WidgetDrawTest, ARootAPanelAndHelloInTheSystemFont) {
    ASSERT_GT(Overlay().systemFont->GlyphCount(), 0u) << "the system font did not load";
    WriteFrame();
    static const char kPanel[] = "PanelWndClass";
    BrushEntry panelEntry;
    panelEntry.brush.flags = kBrushTextured | kBrushNineSlice;
    ASSERT_EQ(LoadTextureHandle(panelEntry.brush, "frame.tga", 0), 1);
    const float borders[4] = {0.25f, 0.25f, 0.25f, 0.25f};
    std::copy(std::begin(borders), std::end(borders), panelEntry.brush.corners);
    panelEntry.brush.colours[0] = 0xFFFFFFFF;
    panelEntry.id = BrushIdOf(kPanel);
    ASSERT_EQ(Overlay().AddBrush(panelEntry), 1);

    auto* panel = new Control;
    ASSERT_EQ(panel->Create(kPanel, nullptr, kControlShown, 2, 2, 60, 44, nullptr, 0), 1);
    auto* caption = new Caption;
    ASSERT_EQ(caption->Create(nullptr, nullptr, kControlShown, 4, 16, 52, 16, panel, 0), 1);

    device_->SetClearColor(Color{0.1f, 0.1f, 0.1f, 1.0f});
    device_->Clear(0);
    device_->SetOrtho(0, 0, render_test::kScreenWidth, render_test::kScreenHeight, 0.0f, 1.0f);
    device_->SetBlendEnable(1);
    device_->SetBlendFunc(5, 6);
    canvas_.ResetView();
    Overlay().Draw(&canvas_, 0);
    EXPECT_FALSE(OpenGLRenderDevice::Failed());

    EXPECT_TRUE(render_test::MatchesReference(ReadFrame(), "widgets_hello"));
    // The border, the middle, and the text on the middle.
    EXPECT_TRUE(Near(3, 24, {40, 80, 200}));
    EXPECT_TRUE(Near(32, 12, {230, 230, 230}));
    EXPECT_TRUE(Near(0, 0, {26, 26, 26}));
    int dark = 0;
    for (int y = 18; y < 34; ++y)
        for (int x = 6; x < 60; ++x) dark += Dark(x, y) ? 1 : 0;
    EXPECT_GT(dark, 60);
    for (int y = 18; y < 34; ++y) EXPECT_FALSE(Dark(6, y)) << y;  // the first glyph starts a column in
    ReleaseTextureHandle(panelEntry.brush);
}

}  // namespace
