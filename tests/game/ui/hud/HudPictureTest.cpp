// The HUD on the GL device (llvmpipe, headless) with the demo textures and the system font
// that the data tools make from data/: frames read back and compared with references beside
// this test, and probed where a fault would show.
#include <GLES/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/app/CoreModule.h"
#include "engine/core/files/DataFolder.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/object/Module.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/core/text/EngineWString.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/canvas/QuadBuffers.h"
#include "engine/overlay/text/GlyphRun.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/resources/font/BitmapFont.h"
#include "game/ui/hud/Hud.h"
#include "game/ui/text/ShadowedText.h"
#include "platform/screen/Display.h"
#include "platform/user/Window.h"
#include "tests/game/ui/hud/HudTestSupport.h"
#include "tests/support/ReferenceImage.h"
#include "tests/support/TestSupport.h"

namespace hud_test {
namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 480;

LRESULT PlainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

class HudPictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(HeapInit(), 0);
        ASSERT_TRUE(platform::screen::Configure(platform::screen::DisplayGeometry{kWidth, kHeight, 96}));
        data_ = root_.Path() + "/fs/data/";
        std::filesystem::create_directories(data_ + "ui");
        std::filesystem::create_directories(data_ + "gfx/fonts");
        SetDataFolder("\\data\\");
        MakeDemoData();
        if (HasFatalFailure()) return;
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = PlainProcedure;
        windowClass.lpszClassName = u"HudPictureWindow";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, u"HudPictureWindow", u"hud", WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr,
                                  nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        device_ = new OpenGLRenderDevice;
        ASSERT_NE(device_, nullptr);
        ScreenSize size{kWidth, kHeight};
        ASSERT_EQ(device_->Init(window_, &size), 0u) << LastEglTrace();
        glDisable(GL_DITHER);
        SetRenderDevice(device_);
        ASSERT_EQ(RegisterCoreModule(), 0);
        ASSERT_EQ(GlobalResourceCache().Init(), 0);
        canvas_ = new Canvas2D;
        canvas_->Init();
        canvas_->ResetView();
        font_ = new BitmapFont;
        ASSERT_EQ(font_->LoadFont("gfx/fonts/sysfont.tga", 256, 256, 16, 16, 16, 16, 0), 1);
        SetSystemFont(font_);
        hud_ = new Hud;
        hud_->host = &host_;
        hud_->canvas = canvas_;
        hud_->Prepare();
        ASSERT_NE(hud_->brushes[kHudBrushAtlas].flags & kBrushTextured, 0u);
        ASSERT_NE(hud_->brushes[kHudBrushFrame].flags & kBrushTextured, 0u);
    }
    void TearDown() override {
        delete hud_;
        SetSystemFont(nullptr);
        delete font_;
        FreeGlyphBuffer();
        ReleaseQuadBuffers();
        delete canvas_;
        GlobalResourceCache().Clear();
        SetResourceHooks(ResourceHooks{});
        ShutdownModules();
        SetRenderDevice(nullptr);
        if (device_ != nullptr) {
            device_->Shutdown();
            delete device_;
        }
        OpenGLRenderDevice::SetWhiteTextureSource(nullptr);
        if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
        platform::screen::Configure(platform::screen::DisplayGeometry{});
        SetDataFolder(nullptr);
        ResetOverlay2D();
        HeapTeardown();
    }
    // The demo textures and the system font, made by the data tools from their sources.
    void MakeDemoData() {
        const std::string sources = std::string(HANDSET_SOURCE_DIR) + "/data/game/archives/startup/";
        const std::pair<const char*, const char*> sheets[] = {
            {"ui/hud_02", "ui/hud_02"}, {"ui/frame1", "ui/frame1"}, {"ui/menu_01", "ui/menu_01"},
            {"ui/awards1", "ui/awards1"}, {"gfx/intro2", "gfx/intro2"},
        };
        for (const auto& [source, target] : sheets) {
            const std::string command = std::string(MAKE_HUD_TEXTURES) + " " + sources + source + ".sprites " +
                                        data_ + target + ".dds > /dev/null";
            ASSERT_EQ(std::system(command.c_str()), 0) << command;
        }
        const std::string font = std::string(MAKE_FONT) + " " + sources + "gfx/fonts/sysfont.font " + data_ +
                                 "gfx/fonts/sysfont > /dev/null";
        ASSERT_EQ(std::system(font.c_str()), 0) << font;
    }
    void BeginFrame() {
        device_->SetClearColor(Color{0.2f, 0.25f, 0.3f, 1});
        device_->Clear(0);
        device_->SetOrtho(0, 0, kWidth, kHeight, 0.0f, 1.0f);
        device_->SetBlendEnable(1);
        device_->SetBlendFunc(5, 6);
        BeginOverlayDraw(canvas_);
        hud_->ClearBatch();
    }
    platform::screen::Image ReadFrame() const {
        platform::screen::Image image;
        image.width = kWidth;
        image.height = kHeight;
        std::vector<std::uint8_t> bottomUp(static_cast<std::size_t>(kWidth) * kHeight * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
        image.rgba.resize(bottomUp.size());
        const std::size_t row = static_cast<std::size_t>(kWidth) * 4;
        for (int y = 0; y < kHeight; ++y) std::memcpy(&image.rgba[y * row], &bottomUp[(kHeight - 1 - y) * row], row);
        return image;
    }
    std::array<int, 3> Pixel(const platform::screen::Image& image, int x, int y) const {
        const std::uint8_t* p = image.PixelAt(x, y);
        return {p[0], p[1], p[2]};
    }
    ::testing::AssertionResult MatchesReference(const platform::screen::Image& image, const std::string& name) {
        return handset_test::MatchesReference(image, HUD_REFERENCE_DIR, name);
    }

    handset_test::TempHandsetRoot root_;
    std::string data_;
    HWND window_ = nullptr;
    OpenGLRenderDevice* device_ = nullptr;
    Canvas2D* canvas_ = nullptr;
    BitmapFont* font_ = nullptr;
    FakeHost host_;
    Hud* hud_ = nullptr;
};

TEST_F(HudPictureTest, PlayShowsTheControlsMeterSpheresButtonsAndABanner) {
    host_.state.controllerState = kHudStatePlaying;
    host_.state.controlOpacity = 1.0f;
    host_.state.rotateCharge = 0.95f;
    host_.state.sphereTotal = 3;
    host_.state.spheresCollected = 1;
    hud_->alpha = 1.0f;
    hud_->SetPressedButtons(kPressedTop);
    hud_->PushNotification(u"2 spheres left", 2.0f, Color{1, 1, 1, 1});
    BeginFrame();
    hud_->DrawBanners(1.0f);
    hud_->DrawSphereRow();
    hud_->DrawRotateMeter();
    hud_->DrawTouchControls();
    hud_->DrawCornerButtons();
    hud_->DrawPauseButton();
    hud_->Flush();
    const platform::screen::Image frame = ReadFrame();
    EXPECT_TRUE(MatchesReference(frame, "hud_play"));
    // The filled sphere (gold) in slot 0, the empty slot's dark middle in slot 1.
    const std::array<int, 3> sphere = Pixel(frame, 32, kHeight - 26);
    EXPECT_GT(sphere[0], 200);
    EXPECT_GT(sphere[1], 150);
    EXPECT_LT(sphere[2], 120);
    // The pressed top button is gold, the left one blue.
    EXPECT_GT(Pixel(frame, 400 - 20, 48)[0], 200);
    EXPECT_LT(Pixel(frame, 48 + 20, kHeight / 2)[0], 120);
}

TEST_F(HudPictureTest, AWorldPopupHoldsItsFrameEmblemAndText) {
    hud_->AddFloatingText(kPopupKindWorldComplete, 2, u"World 2 complete!", Color{1, 0.9f, 0.4f, 1});
    BeginFrame();
    hud_->DrawPopups(1.0f);
    hud_->Flush();
    const platform::screen::Image frame = ReadFrame();
    EXPECT_TRUE(MatchesReference(frame, "hud_popup"));
    // The frame covers 560 x 264 around (400, 216); outside it the clear colour shows.
    EXPECT_NE(Pixel(frame, 400, 100), Pixel(frame, 400, 40));
    EXPECT_EQ(Pixel(frame, 100, 216), Pixel(frame, 10, 10));
}

TEST_F(HudPictureTest, AComicPageCoversItsPanelsNotYetRevealed) {
    hud_->introPanel = 2;  // page 2: panel 1 shown, 2 uncovering, 3 covered
    hud_->introPage = 2;
    BeginFrame();
    hud_->DrawIntroPage(0.5f);
    const platform::screen::Image frame = ReadFrame();
    EXPECT_TRUE(MatchesReference(frame, "comic_intro2"));
    // The cover brush is near black at full opacity over panel 3 (360, 230)-(800, 480).
    const std::array<int, 3> covered = Pixel(frame, 600, 400);
    EXPECT_LT(covered[0] + covered[1] + covered[2], 80);
    // Panel 1 shows its picture; panel 2 is half covered: darker than the picture itself.
    const std::array<int, 3> shown = Pixel(frame, 180, 440);
    EXPECT_GT(shown[0] + shown[1] + shown[2], 200);
}

TEST_F(HudPictureTest, ShadowedTextDrawsTheShadowOffsetBehindTheText) {
    const float offset[2] = {-3.0f, -3.0f};
    BeginFrame();
    DrawShadowedText(canvas_, 100, 100, u"HUD", -1, nullptr, 0xFFFFFFFF, kShadowBlack, offset, 0, 4.0f);
    const platform::screen::Image frame = ReadFrame();
    EXPECT_TRUE(MatchesReference(frame, "shadowed_text"));
    // Somewhere the shadow shows black to the lower right of white text.
    bool shadowSeen = false;
    for (int y = 100; y < 170 && !shadowSeen; ++y)
        for (int x = 100; x < 250 && !shadowSeen; ++x)
            shadowSeen = Pixel(frame, x, y)[1] > 220 && Pixel(frame, x + 3, y + 3)[1] < 30;
    EXPECT_TRUE(shadowSeen);
}

// The columns of a band of rows where the pixel's green is above `level`: first and last.
std::pair<int, int> LitColumns(const platform::screen::Image& frame, int top, int bottom, int level) {
    int first = -1;
    int last = -1;
    for (int x = 0; x < frame.width; ++x)
        for (int y = top; y < bottom; ++y)
            if (frame.PixelAt(x, y)[1] > level) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return {first, last};
}

TEST_F(HudPictureTest, ABannerTooWideForFourHundredPixelsIsShrunkToFit) {
    hud_->brushes[kHudBrushAtlas].flags &= ~kBrushTextured;  // a plain black bar under the text
    for (Brush& brush : hud_->brushes) brush.colours[0] = 0xFF000000;
    struct Case {
        const char16_t* text;
        int narrowest, widest;  // a shrunk text: 400 x 1.4, with the shadow and filtering
    };
    const Case cases[] = {
        {u"WARNING: MANY MANY WIDE WORDS MAKE THIS BANNER TOO WIDE", 530, 566},
        {u"Short", 40, 100},
    };
    for (const Case& c : cases) {
        hud_->ClearNotifications();
        hud_->PushNotification(c.text, 3.0f, Color{1, 1, 1, 1});
        BeginFrame();
        device_->SetClearColor(Color{0, 0, 0, 1});
        device_->Clear(0);
        hud_->DrawBanners(1.0f);
        const platform::screen::Image frame = ReadFrame();
        const auto [first, last] = LitColumns(frame, kHeight - 100, kHeight - 40, 128);
        ASSERT_GE(first, 0);
        EXPECT_LE(last - first + 1, c.widest);
        EXPECT_GE(last - first + 1, c.narrowest);
        EXPECT_NEAR((first + last) / 2.0, 400.0, 6.0);  // centred
    }
}

TEST_F(HudPictureTest, ATextBoxWrapsIntoItsWidth) {
    const float offset[2] = {-2.0f, -2.0f};
    BeginFrame();
    device_->SetClearColor(Color{0, 0, 0, 1});
    device_->Clear(0);
    DrawTextBox(canvas_, 100, 100, 200, 200, u"HUD HUD HUD HUD HUD HUD", nullptr, 0xFFFFFFFF, kShadowBlack, offset, 0,
                2.0f, 0.0f);
    const platform::screen::Image frame = ReadFrame();
    const auto [first, last] = LitColumns(frame, 90, 320, 128);
    EXPECT_GE(first, 98);
    EXPECT_LE(last, 302);
    // More than one line: lit rows below the first line's height.
    int lastRow = -1;
    for (int y = 90; y < 330; ++y)
        for (int x = 100; x < 300; ++x)
            if (frame.PixelAt(x, y)[1] > 128) lastRow = y;
    EXPECT_GT(lastRow, 100 + 40);
}

}  // namespace
}  // namespace hud_test
