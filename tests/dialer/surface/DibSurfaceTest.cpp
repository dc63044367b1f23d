// Surfaces: their geometry and row order, owned and borrowed bitmaps, memory contexts,
// detaching, the saved states of painting code, and the screen's density.
#include <gtest/gtest.h>

#include "dialer/surface/DibSurface.h"
#include "dialer/surface/ScreenDpi.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/screen/Display.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(DibSurface, CreatesBottomUpOwnedSurfacesOfEachFormat) {
    struct Case {
        LONG width;
        LONG height;
        int format;
        LONG bits;
        LONG stride;
    };
    for (const Case& c :
         {Case{3, 5, DIB_FORMAT_RGB565, 16, 8}, Case{9, 1, DIB_FORMAT_MASK1, 1, 4}, Case{9, 2, DIB_FORMAT_MASK4, 4, 8},
          Case{5, 2, DIB_FORMAT_MASK8, 8, 8}, Case{5, 2, DIB_FORMAT_RGB24, 24, 16}}) {
        SCOPED_TRACE(c.format);
        CDibSurface surface;
        ASSERT_TRUE(CreateDibSurface(surface, c.width, c.height, c.format));
        EXPECT_TRUE(surface.IsOwned());
        EXPECT_FALSE(surface.IsTopDown());
        EXPECT_EQ(surface.GetBitsPerPixel(), c.bits);
        EXPECT_EQ(surface.GetStride(), c.stride);
        // Row 0 is the last row in memory.
        EXPECT_EQ(surface.Row(0), surface.GetBits() + (c.height - 1) * c.stride);
        BITMAP description{};
        ASSERT_NE(GetObjectW(surface.GetBitmap(), sizeof description, &description), 0);
        EXPECT_EQ(description.bmWidthBytes * description.bmHeight, c.stride * c.height);
    }
    CDibSurface surface;
    ASSERT_TRUE(CreateDibSurface(surface, 2, 2, DIB_FORMAT_RGB565));
    EXPECT_FALSE(CreateDibSurface(surface, 0, 10, DIB_FORMAT_RGB565));
    EXPECT_TRUE(surface.IsEmpty());
    EXPECT_FALSE(surface.IsOwned());
    EXPECT_FALSE(CreateDibSurface(surface, 4, 4, 5));
    EXPECT_TRUE(surface.IsEmpty());
}

TEST(DibSurface, MakesItsMemoryContextOnceAndReleasesIt) {
    CDibSurface surface;
    ASSERT_TRUE(CreateDibSurface(surface, 4, 4, DIB_FORMAT_RGB565));
    HDC dc = surface.SelectIntoMemoryDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(surface.SelectIntoMemoryDC(), dc);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), surface.GetBitmap());
    EXPECT_TRUE(surface.ReleaseMemoryDC());
    EXPECT_EQ(GetObjectType(dc), 0u);
    HDC again = surface.SelectIntoMemoryDC();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(GetCurrentObject(again, OBJ_BITMAP), surface.GetBitmap());

    // Detaching hands the bitmap over: the surface is empty and the bitmap lives on.
    HBITMAP bitmap = surface.DetachBitmap();
    ASSERT_NE(bitmap, nullptr);
    EXPECT_TRUE(surface.IsEmpty());
    EXPECT_EQ(GetObjectType(again), 0u);
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(DibSurface, ABorrowedBitmapIsNeverFreed) {
    CDibSurface owner;
    ASSERT_TRUE(CreateDibSurface(owner, 6, 3, DIB_FORMAT_RGB565));
    HDC dc = owner.SelectIntoMemoryDC();
    {
        CDibSurface borrowed;
        ASSERT_TRUE(AttachSurfaceBitmap(borrowed, owner.GetBitmap(), dc));
        EXPECT_FALSE(borrowed.IsOwned());
        EXPECT_EQ(borrowed.GetBits(), owner.GetBits());
        EXPECT_EQ(borrowed.GetStride(), 12);
        EXPECT_EQ(borrowed.SelectIntoMemoryDC(), dc);
        EXPECT_EQ(borrowed.DetachBitmap(), nullptr);
        EXPECT_EQ(borrowed.GetBitmap(), owner.GetBitmap());
        EXPECT_FALSE(borrowed.ReleaseMemoryDC());
    }
    EXPECT_EQ(GetObjectType(dc), OBJ_MEMDC);
    EXPECT_EQ(GetObjectType(owner.GetBitmap()), OBJ_BITMAP);
    CDibSurface none;
    EXPECT_FALSE(AttachSurfaceBitmap(none, nullptr, dc));
    EXPECT_EQ(none.SelectIntoMemoryDC(), nullptr);
}

TEST(DibSurface, StateSaverRestoresOnEveryWayOut) {
    CDibSurface surface;
    ASSERT_TRUE(CreateDibSurface(surface, 2, 2, DIB_FORMAT_RGB565));
    HDC dc = surface.SelectIntoMemoryDC();
    SetTextColor(dc, RGB(1, 1, 1));
    {
        CDCStateSaver saver(dc);
        SetTextColor(dc, RGB(9, 9, 9));
    }
    EXPECT_EQ(GetTextColor(dc), RGB(1, 1, 1));
}

TEST(ScreenMetrics, RoundsScaledSizesAndClassifiesDensity) {
    EXPECT_EQ(MulDivRound(-7, 3, 2), -11);
    EXPECT_EQ(MulDivRound(10, 131, 96), 14);
    EXPECT_EQ(MulDivRound(7, 3, 2), 11);
    struct Case {
        int dpi;
        bool high;
        bool medium;
    };
    for (const Case& c : {Case{96, false, false}, Case{128, false, true}, Case{192, true, false},
                          Case{175, false, false}, Case{207, true, false}, Case{112, false, true}}) {
        SCOPED_TRACE(c.dpi);
        SetScreenDpi(c.dpi, c.dpi);
        EXPECT_EQ(IsHighDensityScreen(), c.high);
        EXPECT_EQ(IsMediumDensityScreen(), c.medium);
    }
    SetScreenDpi(kLayoutDpi, kLayoutDpi);
}

// Runs in a child process, where the density has not been read yet.
TEST(ScreenMetrics, ChildReadsTheDensityOnce) {
    if (!handset_test::InChildRole()) GTEST_SKIP() << "runs as a child of CachesTheScreensDensityOnce";
    platform::screen::DisplayGeometry geometry;
    geometry.dpi = 131;
    ASSERT_TRUE(platform::screen::Configure(geometry));
    CacheScreenDpi();
    EXPECT_EQ(GetScreenDpiX(), 131);
    EXPECT_EQ(GetScreenDpiY(), 131);
    EXPECT_TRUE(IsMediumDensityScreen());
    geometry.dpi = 192;
    ASSERT_TRUE(platform::screen::Configure(geometry));
    CacheScreenDpi();
    EXPECT_EQ(GetScreenDpiY(), 131);
}

TEST(ScreenMetrics, CachesTheScreensDensityOnce) {
    handset_test::TempHandsetRoot root;
    EXPECT_EQ(handset_test::RunChild("ScreenMetrics.ChildReadsTheDensityOnce"), 0);
}

}  // namespace
