// Block transfers and fills: clipping, format conversion, pixel-exact copies of 1- and
// 4-bit rows, raster operations, scaling and mirroring, and brushes.
#include <gtest/gtest.h>

#include "platform/gdi/Blit.h"
#include "platform/gdi/Brush.h"
#include "tests/platform/gdi/GdiTestSupport.h"

namespace {

using gdi_test::Canvas;
using gdi_test::Rgb565;

TEST(Blit, CopiesAClippedBlockBetweenRgb565Bitmaps) {
    Canvas source(4, 4);
    Canvas target(5, 5, 16, /*topDown=*/true);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) source.Set(x, y, static_cast<std::uint32_t>(y * 16 + x + 1));
    target.Fill(0xFFFF);
    // Half of the block falls off the target's right and bottom edges.
    ASSERT_TRUE(BitBlt(target.Dc(), 3, 3, 4, 4, source.Dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(target.At(3, 3), 1u);
    EXPECT_EQ(target.At(4, 4), 18u);
    EXPECT_EQ(target.At(2, 3), 0xFFFFu);
    // A source block reaching past the source is cut to what the source has.
    ASSERT_TRUE(BitBlt(target.Dc(), -1, 0, 3, 2, source.Dc(), 2, 3, SRCCOPY));
    EXPECT_EQ(target.At(0, 0), 0x34u);
    EXPECT_EQ(target.At(1, 0), 0xFFFFu);
    EXPECT_EQ(target.At(0, 1), 0xFFFFu);
}

TEST(Blit, ConvertsBetweenFormats) {
    Canvas colour(2, 1, 24);
    colour.Set(0, 0, 0xFF0000);  // stored blue-green-red: red is the last byte
    colour.Set(1, 0, 0x0000FF);
    Canvas rgb565(2, 1);
    ASSERT_TRUE(BitBlt(rgb565.Dc(), 0, 0, 2, 1, colour.Dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(rgb565.At(0, 0), 0xF800u);
    EXPECT_EQ(rgb565.At(1, 0), 0x001Fu);

    Canvas grey(2, 1, 8);
    rgb565.Set(0, 0, 0xFFFF);
    rgb565.Set(1, 0, Rgb565(128, 128, 128));
    ASSERT_TRUE(BitBlt(grey.Dc(), 0, 0, 2, 1, rgb565.Dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(grey.At(0, 0), 255u);
    EXPECT_NEAR(static_cast<int>(grey.At(1, 0)), 130, 2);
}

TEST(Blit, CopiesOneAndFourBitRowsPixelByPixel) {
    for (int bits : {1, 4}) {
        SCOPED_TRACE(bits);
        const std::uint32_t top = (1u << bits) - 1;
        Canvas source(13, 2, bits);
        Canvas target(13, 2, bits);
        for (int x = 0; x < 13; ++x) source.Set(x, 0, static_cast<std::uint32_t>(x * 5 + 3) & top);
        // Odd offsets on both sides: pixels must keep their values across byte borders.
        ASSERT_TRUE(BitBlt(target.Dc(), 3, 0, 9, 1, source.Dc(), 1, 0, SRCCOPY));
        for (int x = 0; x < 13; ++x) {
            const std::uint32_t expected = x >= 3 && x < 12 ? source.At(x - 2, 0) : 0u;
            EXPECT_EQ(target.At(x, 0), expected) << "column " << x;
        }
    }
}

TEST(Blit, AppliesRasterOperationsToColours) {
    Canvas source(1, 1);
    Canvas target(1, 1);
    struct Case {
        DWORD rop;
        std::uint16_t destination;
        std::uint16_t expected;
    };
    source.Set(0, 0, 0xF81F);
    for (const Case& c : {Case{SRCINVERT, 0xFFFF, 0x07E0}, Case{SRCAND, 0x001F, 0x001F}, Case{SRCPAINT, 0x07E0, 0xFFFF},
                          Case{NOTSRCCOPY, 0, 0x07E0}, Case{DSTINVERT, 0xF800, 0x07FF}, Case{BLACKNESS, 0x1234, 0},
                          Case{WHITENESS, 0x1234, 0xFFFF}}) {
        SCOPED_TRACE(c.rop);
        target.Set(0, 0, c.destination);
        ASSERT_TRUE(BitBlt(target.Dc(), 0, 0, 1, 1, source.Dc(), 0, 0, c.rop));
        EXPECT_EQ(target.At(0, 0), c.expected);
    }
    EXPECT_FALSE(BitBlt(target.Dc(), 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(target.Dc(), 0, 0, 1, 1, nullptr, 0, 0, WHITENESS));
}

TEST(Blit, StretchesByTheNearestPixelAndMirrors) {
    Canvas source(2, 2);
    source.Set(0, 0, 1);
    source.Set(1, 0, 2);
    source.Set(0, 1, 3);
    source.Set(1, 1, 4);
    Canvas target(4, 4);
    ASSERT_TRUE(StretchBlt(target.Dc(), 0, 0, 4, 4, source.Dc(), 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(target.At(0, 0), 1u);
    EXPECT_EQ(target.At(1, 1), 1u);
    EXPECT_EQ(target.At(2, 0), 2u);
    EXPECT_EQ(target.At(3, 3), 4u);
    // A negative destination width mirrors left to right.
    ASSERT_TRUE(StretchBlt(target.Dc(), 2, 0, -2, 2, source.Dc(), 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(target.At(0, 0), 2u);
    EXPECT_EQ(target.At(1, 0), 1u);
    EXPECT_EQ(target.At(0, 1), 4u);
}

TEST(Blit, FillsWithBrushesAndOverlappingCopiesWithinOneBitmap) {
    Canvas canvas(6, 3);
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    RECT area{1, 1, 3, 9};
    EXPECT_NE(FillRect(canvas.Dc(), &area, green), 0);
    EXPECT_EQ(canvas.At(1, 1), 0x07E0u);
    EXPECT_EQ(canvas.At(2, 2), 0x07E0u);
    EXPECT_EQ(canvas.At(3, 1), 0u);
    EXPECT_EQ(canvas.At(0, 0), 0u);
    HGDIOBJ old = SelectObject(canvas.Dc(), green);
    ASSERT_TRUE(PatBlt(canvas.Dc(), 0, 0, 1, 1, PATINVERT));
    EXPECT_EQ(canvas.At(0, 0), 0x07E0u);
    SelectObject(canvas.Dc(), GetStockObject(NULL_BRUSH));
    ASSERT_TRUE(PatBlt(canvas.Dc(), 0, 0, 6, 3, PATCOPY));
    EXPECT_EQ(canvas.At(5, 2), 0u);
    SelectObject(canvas.Dc(), old);
    DeleteObject(green);

    // Moving a block right by one over itself reads each pixel before overwriting it.
    for (int x = 0; x < 6; ++x) canvas.Set(x, 0, static_cast<std::uint32_t>(x + 1));
    ASSERT_TRUE(BitBlt(canvas.Dc(), 1, 0, 5, 1, canvas.Dc(), 0, 0, SRCCOPY));
    for (int x = 1; x < 6; ++x) EXPECT_EQ(canvas.At(x, 0), static_cast<std::uint32_t>(x));
}

}  // namespace
