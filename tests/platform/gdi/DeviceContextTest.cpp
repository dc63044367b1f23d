// Memory contexts: their defaults, selecting objects, saved states, what DeleteObject and
// DeleteDC refuse, and the screen's capabilities.
#include <gtest/gtest.h>

#include "platform/base/Errors.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Pen.h"
#include "platform/screen/Display.h"
#include "tests/platform/gdi/GdiTestSupport.h"

namespace {

using gdi_test::Canvas;

TEST(DeviceContext, StartsWithTheStockObjectsAndSwapsSelections) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), OBJ_MEMDC);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
    BITMAP defaultBitmap{};
    ASSERT_NE(GetObjectW(GetCurrentObject(dc, OBJ_BITMAP), sizeof defaultBitmap, &defaultBitmap), 0);
    EXPECT_EQ(defaultBitmap.bmWidth, 1);
    EXPECT_EQ(defaultBitmap.bmBitsPixel, 1);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);

    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HPEN pen = CreatePen(PS_SOLID, 2, RGB(0, 0, 255));
    EXPECT_EQ(SelectObject(dc, red), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(dc, pen), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_BRUSH)), red);
    EXPECT_EQ(SetTextColor(dc, RGB(1, 2, 3)), RGB(0, 0, 0));
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetBkMode(dc, 7), 0);
    EXPECT_EQ(SelectObject(dc, reinterpret_cast<HGDIOBJ>(0x1234)), nullptr);

    // A selected object cannot be freed; once let go, it can.
    EXPECT_FALSE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(red));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));  // stock objects stay
    EXPECT_NE(GetObjectType(GetStockObject(BLACK_BRUSH)), 0u);
}

TEST(DeviceContext, ABitmapDrawsIntoOneContextAtATime) {
    Canvas canvas(4, 4);
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, canvas.Bitmap()), nullptr);
    EXPECT_FALSE(DeleteObject(canvas.Bitmap()));
    DeleteDC(other);
}

TEST(DeviceContext, RestoresSavedStatesByDepthOrFromTheTop) {
    Canvas first(2, 2);
    Canvas second(3, 3);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ original = GetCurrentObject(dc, OBJ_BITMAP);
    EXPECT_EQ(SaveDC(dc), 1);
    SetTextColor(dc, RGB(10, 0, 0));
    HBRUSH brush = CreateSolidBrush(RGB(0, 9, 0));
    SelectObject(dc, brush);
    EXPECT_EQ(SaveDC(dc), 2);
    SetTextColor(dc, RGB(20, 0, 0));
    EXPECT_EQ(SaveDC(dc), 3);
    SetTextColor(dc, RGB(30, 0, 0));

    EXPECT_TRUE(RestoreDC(dc, -1));  // the latest: depth 3
    EXPECT_EQ(GetTextColor(dc), RGB(20, 0, 0));
    EXPECT_FALSE(RestoreDC(dc, 3));
    EXPECT_FALSE(RestoreDC(dc, 0));
    // A brush kept by a saved state is still in use.
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_TRUE(RestoreDC(dc, 1));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), original);
    EXPECT_FALSE(RestoreDC(dc, -1));
    EXPECT_TRUE(DeleteObject(brush));
    DeleteDC(dc);
}

TEST(DeviceContext, AnswersTheScreensDensityAndSize) {
    platform::screen::DisplayGeometry geometry;
    geometry.dpi = 128;
    ASSERT_TRUE(platform::screen::Configure(geometry));
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 128);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 128);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 480);
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 800);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 16);
    EXPECT_EQ(GetDeviceCaps(dc, 12345), 0);
    DeleteDC(dc);
    platform::screen::Configure(platform::screen::DisplayGeometry{});
    EXPECT_EQ(GetDeviceCaps(nullptr, LOGPIXELSY), 0);
}

}  // namespace
