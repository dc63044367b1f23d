// Window and screen contexts draw into the screen: the window's origin and clip, the area
// that BeginPaint hands out, and the pixels a capture of the display then shows.
#include <gtest/gtest.h>

#include "platform/gdi/Blit.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/Paint.h"
#include "platform/screen/Display.h"
#include "platform/user/Window.h"
#include "tests/platform/gdi/GdiTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

class PaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::screen::Configure(platform::screen::DisplayGeometry{});
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.lpszClassName = u"GdiPaintTest";
        RegisterClassW(&windowClass);
        window_ =
            CreateWindowExW(0, u"GdiPaintTest", u"", WS_VISIBLE, 100, 200, 50, 40, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        red_ = CreateSolidBrush(RGB(255, 0, 0));
    }
    void TearDown() override {
        DestroyWindow(window_);
        DeleteObject(red_);
    }
    static const std::uint8_t* Pixel(const platform::screen::Image& image, int x, int y) { return image.PixelAt(x, y); }

    handset_test::TempHandsetRoot root_;
    HWND window_ = nullptr;
    HBRUSH red_ = nullptr;
};

TEST_F(PaintTest, AWindowContextDrawsAtTheWindowAndStopsAtItsEdges) {
    HDC dc = GetDC(window_);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), OBJ_DC);
    RECT everything{-10, -10, 1000, 1000};
    ASSERT_NE(FillRect(dc, &everything, red_), 0);
    EXPECT_EQ(ReleaseDC(window_, dc), 1);
    EXPECT_EQ(ReleaseDC(window_, dc), 0);

    const platform::screen::Image image = platform::screen::Capture();
    EXPECT_EQ(Pixel(image, 100, 200)[0], 255);
    EXPECT_EQ(Pixel(image, 100, 200)[1], 0);
    EXPECT_EQ(Pixel(image, 149, 239)[0], 255);
    EXPECT_EQ(Pixel(image, 150, 239)[0], 0);
    EXPECT_EQ(Pixel(image, 99, 200)[0], 0);
    EXPECT_EQ(Pixel(image, 100, 240)[0], 0);
}

TEST_F(PaintTest, BeginPaintClipsToTheUpdateAreaAndValidatesIt) {
    RECT update{10, 5, 20, 15};
    InvalidateRect(window_, nullptr, FALSE);
    ValidateRect(window_, nullptr);
    InvalidateRect(window_, &update, FALSE);
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window_, &paint);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(paint.rcPaint.left, 10);
    EXPECT_EQ(paint.rcPaint.bottom, 15);
    RECT whole{0, 0, 50, 40};
    FillRect(dc, &whole, red_);
    EXPECT_TRUE(EndPaint(window_, &paint));
    RECT left{};
    EXPECT_FALSE(GetUpdateRect(window_, &left, FALSE));

    const platform::screen::Image image = platform::screen::Capture();
    EXPECT_EQ(Pixel(image, 110, 205)[0], 255);
    EXPECT_EQ(Pixel(image, 119, 214)[0], 255);
    EXPECT_EQ(Pixel(image, 120, 214)[0], 0);
    EXPECT_EQ(Pixel(image, 109, 205)[0], 0);
}

TEST_F(PaintTest, TheScreenContextCopiesFromAMemoryBitmap) {
    gdi_test::Canvas canvas(3, 2);
    canvas.Fill(gdi_test::Rgb565(0, 255, 0));
    HDC screen = GetDC(nullptr);
    ASSERT_TRUE(BitBlt(screen, 470, 798, 3, 2, canvas.Dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    const platform::screen::Image image = platform::screen::Capture();
    EXPECT_EQ(Pixel(image, 472, 799)[1], 255);
    EXPECT_EQ(Pixel(image, 469, 799)[1], 0);
    EXPECT_EQ(GetDC(reinterpret_cast<HWND>(0x99)), nullptr);
}

}  // namespace
