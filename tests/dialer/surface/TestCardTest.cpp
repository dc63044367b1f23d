// The test card painted by a window: drawn into an RGB565 surface, copied to the window's
// context in WM_PAINT, written as a PNG screenshot, read back, compared with the reference
// kept beside this test and probed where each kind of drawing lies.
#include <gtest/gtest.h>

#include <string>

#include "platform/gdi/Blit.h"
#include "platform/gdi/Paint.h"
#include "platform/screen/Display.h"
#include "platform/screen/PngFile.h"
#include "platform/screen/Screen.h"
#include "platform/user/Window.h"
#include "tests/dialer/surface/TestCard.h"
#include "tests/support/ReferenceImage.h"
#include "tests/support/TestSupport.h"

namespace {

using test_card::CTestCard;

struct Painter {
    CTestCard card;
    CDibSurface surface;
    int paints = 0;
};
Painter* g_painter = nullptr;

LRESULT CardProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT || g_painter == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    HDC memory = g_painter->surface.SelectIntoMemoryDC();
    g_painter->card.Paint(g_painter->surface, memory);
    BitBlt(dc, 0, 0, test_card::kWidth, test_card::kHeight, memory, 0, 0, SRCCOPY);
    EndPaint(window, &paint);
    ++g_painter->paints;
    return 0;
}

TEST(TestCard, AWindowPaintsItAndTheScreenshotShowsIt) {
    handset_test::TempHandsetRoot root;
    ASSERT_TRUE(platform::screen::Configure(platform::screen::DisplayGeometry{}));
    Painter painter;
    ASSERT_TRUE(CreateDibSurface(painter.surface, test_card::kWidth, test_card::kHeight, DIB_FORMAT_RGB565));
    g_painter = &painter;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CardProcedure;
    windowClass.lpszClassName = u"TestCardWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, u"TestCardWindow", u"", WS_VISIBLE, 0, 0, test_card::kWidth, test_card::kHeight,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    EXPECT_EQ(painter.paints, 1);

    const std::string path = root.Path() + "/test_card.png";
    std::string error;
    ASSERT_TRUE(platform::screen::SaveScreenshot(path, error)) << error;
    platform::screen::Image shot;
    ASSERT_TRUE(platform::screen::ReadPng(path, shot));
    DestroyWindow(window);
    g_painter = nullptr;
    ASSERT_EQ(shot.width, 480);
    ASSERT_EQ(shot.height, 800);
    EXPECT_TRUE(handset_test::MatchesReference(shot, SURFACE_REFERENCE_DIR, "test_card"));

    auto near = [&shot](int x, int y, int red, int green, int blue) {
        const std::uint8_t* p = shot.PixelAt(x, y);
        return std::abs(p[0] - red) <= 8 && std::abs(p[1] - green) <= 4 && std::abs(p[2] - blue) <= 8;
    };
    EXPECT_TRUE(near(30, 20, 255, 255, 255)) << "filled bar";
    EXPECT_TRUE(near(150, 20, 0, 255, 255)) << "filled bar";
    // White at half opacity over the cyan bar: (0 × 128 + 248 × 128) >> 8 = 124 red.
    EXPECT_TRUE(near(150, 150, 123, 255, 255)) << "blended band";
    EXPECT_TRUE(near(120, 420, 0, 202, 41)) << "disc centre, full coverage";
    EXPECT_TRUE(near(41, 341, 33, 48, 99)) << "outside the disc";
    EXPECT_TRUE(near(44, 524, 255, 142, 0)) << "checker square";
    EXPECT_TRUE(near(52, 524, 33, 48, 99)) << "checker gap";
    int ink = 0;
    for (int y = 640; y < 720; ++y)
        for (int x = 0; x < 480; ++x) ink += near(x, y, 255, 255, 255) ? 1 : 0;
    EXPECT_GT(ink, 300) << "the title's white ink";
}

}  // namespace
