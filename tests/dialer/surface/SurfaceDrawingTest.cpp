// The RGB565 routines: exact blend arithmetic, clipping, masks of each depth, the tinted
// and dithered grey images, copies at every depth, and image drawing.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "dialer/surface/MaskedImage.h"
#include "dialer/surface/Rgb565.h"
#include "dialer/surface/SurfaceDrawing.h"

namespace {

std::uint16_t Get16(const CDibSurface& surface, LONG x, LONG y) {
    return reinterpret_cast<const std::uint16_t*>(surface.Row(y))[x];
}
void Set16(CDibSurface& surface, LONG x, LONG y, std::uint16_t value) {
    reinterpret_cast<std::uint16_t*>(surface.Row(y))[x] = value;
}
void Fill16(CDibSurface& surface, std::uint16_t value) {
    for (LONG y = 0; y < surface.GetHeight(); ++y)
        for (LONG x = 0; x < surface.GetWidth(); ++x) Set16(surface, x, y, value);
}

CSharedSurface Make(LONG width, LONG height, int format) {
    CSharedSurface surface = MakeDibSurface(width, height, format);
    EXPECT_TRUE(surface);
    return surface;
}

TEST(Rgb565, BlendsAndPacksWithTheDesignedRounding) {
    EXPECT_EQ(BlendPixel565(0x0000, 0xFFFF, 128), 0x7BEF);
    EXPECT_EQ(BlendPixel565(0x1234, 0xFFFF, 0), 0x1234);
    EXPECT_EQ(BlendPixel565(0x1234, 0xABCD, 256), 0xABCD);
    EXPECT_EQ(PackColor565(0x0000FF), 0xF800);
    EXPECT_EQ(PackColor565(0xFF0000), 0x001F);
    EXPECT_EQ(PackColor565(0x00FF00), 0x07E0);
}

// The row loops work on the 5- and 6-bit fields; they must give BlendPixel565's results.
TEST(Rgb565, FillsAndMaskedBlendsAgreeWithTheOnePixelBlend) {
    std::mt19937 random(26);
    CSharedSurface target = Make(64, 1, DIB_FORMAT_RGB565);
    CSharedSurface source = Make(64, 1, DIB_FORMAT_RGB565);
    CSharedSurface mask = Make(64, 1, DIB_FORMAT_MASK8);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::uint16_t> before(64);
        // Masks with runs of empty and full coverage too, which the loops take apart.
        const unsigned runs = random();
        for (LONG x = 0; x < 64; ++x) {
            before[x] = static_cast<std::uint16_t>(random());
            Set16(*target, x, 0, before[x]);
            Set16(*source, x, 0, static_cast<std::uint16_t>(random()));
            const unsigned kind = (runs >> (2 * (x / 16))) & 3;
            mask->Row(0)[x] = kind == 0 ? 0 : kind == 1 ? 255 : static_cast<BYTE>(random());
        }
        const int alpha = static_cast<int>(random() % 256);
        const COLORREF color = random() & 0xFFFFFF;
        if (round % 2 == 0) {
            ASSERT_TRUE(FillRectRGB565(*target, 0, 0, 64, 1, color, alpha));
            for (LONG x = 0; x < 64; ++x) {
                const std::uint16_t expected = alpha == 0     ? before[x]
                                               : alpha == 255 ? PackColor565(color)
                                                              : BlendPixel565(before[x], PackColor565(color), alpha);
                ASSERT_EQ(Get16(*target, x, 0), expected) << "alpha " << alpha;
            }
        } else {
            ASSERT_TRUE(BlendSurfaceMasked(*target, 0, 0, 64, 1, *source, 0, 0, *mask, alpha));
            for (LONG x = 0; x < 64; ++x) {
                const DWORD m = mask->Row(0)[x];
                const std::uint16_t s = Get16(*source, x, 0);
                std::uint16_t expected = before[x];
                if (alpha == 255)
                    expected = m == 255 ? s : m == 0 ? before[x] : BlendPixel565(before[x], s, m);
                else if (alpha != 0 && (m * alpha) >> 8 != 0)
                    expected = BlendPixel565(before[x], s, (m * alpha) >> 8);
                ASSERT_EQ(Get16(*target, x, 0), expected) << "alpha " << alpha << " coverage " << m;
            }
        }
    }
}

TEST(SurfaceFill, ClipsAtTheEdgesAndRefusesOtherDepths) {
    CSharedSurface target = Make(8, 3, DIB_FORMAT_RGB565);
    ASSERT_TRUE(FillRectRGB565(*target, -5, 1, 10, 1, RGB(255, 0, 0), 255));
    for (LONG x = 0; x < 8; ++x) EXPECT_EQ(Get16(*target, x, 1), x < 5 ? 0xF800 : 0) << x;
    EXPECT_EQ(Get16(*target, 0, 0), 0);
    EXPECT_TRUE(FillRectRGB565(*target, 9, 0, 4, 4, RGB(255, 0, 0), 255));
    CSharedSurface grey = Make(8, 3, DIB_FORMAT_MASK8);
    EXPECT_FALSE(FillRectRGB565(*grey, 0, 0, 1, 1, 0, 255));
}

TEST(SurfaceFill, FillsThroughMasks) {
    CSharedSurface target = Make(4, 1, DIB_FORMAT_RGB565);
    CSharedSurface coverage = Make(4, 1, DIB_FORMAT_MASK8);
    const BYTE values[4] = {0, 255, 128, 255};
    for (LONG x = 0; x < 4; ++x) coverage->Row(0)[x] = values[x];
    Fill16(*target, 0x0000);
    ASSERT_TRUE(FillMaskRGB565(*target, 0, 0, 4, 1, 0xFFFFFF, 0, 0, *coverage, 255));
    EXPECT_EQ(Get16(*target, 0, 0), 0x0000);
    EXPECT_EQ(Get16(*target, 1, 0), 0xFFFF);
    EXPECT_EQ(Get16(*target, 2, 0), BlendPixel565(0, 0xFFFF, 128));
    // Below full opacity full coverage blends too: 255 × 254 >> 8 is weight 253.
    Fill16(*target, 0x0000);
    ASSERT_TRUE(FillMaskRGB565(*target, 0, 0, 4, 1, 0xFFFFFF, 0, 0, *coverage, 254));
    EXPECT_EQ(Get16(*target, 1, 0), BlendPixel565(0, 0xFFFF, 253));
    EXPECT_NE(Get16(*target, 1, 0), 0xFFFF);

    CSharedSurface bits = Make(4, 1, DIB_FORMAT_MASK1);
    bits->Row(0)[0] = 0x50;  // columns 1 and 3
    Fill16(*target, 0x0000);
    ASSERT_TRUE(FillMaskRGB565(*target, 0, 0, 4, 1, RGB(0, 0, 255), 0, 0, *bits, 255));
    EXPECT_EQ(Get16(*target, 0, 0), 0);
    EXPECT_EQ(Get16(*target, 1, 0), 0x001F);
    EXPECT_EQ(Get16(*target, 3, 0), 0x001F);
    // The mask is read where the source would be; a start left of it fails.
    EXPECT_FALSE(FillMaskRGB565(*target, 0, 0, 4, 1, 0, -1, 0, *bits, 255));
}

TEST(SurfaceBlend, FourBitMasksTakeTheRightNibbleAtOddColumns) {
    CSharedSurface target = Make(3, 1, DIB_FORMAT_RGB565);
    CSharedSurface source = Make(4, 1, DIB_FORMAT_RGB565);
    CSharedSurface mask = Make(4, 1, DIB_FORMAT_MASK4);
    Fill16(*source, 0xFFFF);
    // Columns 0..3 cover 0, 15, 8, 4: the first drawn pixel (column 1) is the low nibble of
    // byte 0.
    mask->Row(0)[0] = 0x0F;
    mask->Row(0)[1] = 0x84;
    ASSERT_TRUE(BlendSurfaceMasked(*target, 0, 0, 3, 1, *source, 1, 0, *mask, 255));
    EXPECT_EQ(Get16(*target, 0, 0), 0xFFFF);
    // Coverage 8 of 16: each field (31 × 8) / 16 = 15, (63 × 8) / 16 = 31.
    EXPECT_EQ(Get16(*target, 1, 0), (15 << 11) | (31 << 5) | 15);
    EXPECT_EQ(Get16(*target, 2, 0), (7 << 11) | (15 << 5) | 7);
    // Below full opacity the weight is (coverage × alpha) >> 4.
    Fill16(*target, 0);
    ASSERT_TRUE(BlendSurfaceMasked(*target, 0, 0, 1, 1, *source, 1, 0, *mask, 128));
    EXPECT_EQ(Get16(*target, 0, 0), BlendPixel565(0, 0xFFFF, (15 * 128) >> 4));
}

TEST(SurfaceBlend, RefusesWrongDepthsAndMasksTooSmall) {
    CSharedSurface target = Make(4, 4, DIB_FORMAT_RGB565);
    CSharedSurface source = Make(4, 4, DIB_FORMAT_RGB565);
    CSharedSurface small = Make(2, 4, DIB_FORMAT_MASK8);
    CSharedSurface colour24 = Make(4, 4, DIB_FORMAT_RGB24);
    EXPECT_FALSE(BlendSurfaceMasked(*target, 0, 0, 4, 4, *source, 0, 0, *small, 255));
    EXPECT_TRUE(BlendSurfaceMasked(*target, 0, 0, 2, 4, *source, 0, 0, *small, 255));
    EXPECT_TRUE(BlendSurfaceMasked(*target, 0, 0, 4, 4, *source, 0, 0, *small, 0));
    EXPECT_FALSE(BlendSurfaceMasked(*target, 0, 0, 4, 4, *source, 0, 0, *colour24, 255));
    EXPECT_FALSE(BlendSurfaceMasked(*target, 0, 0, 4, 4, *colour24, 0, 0, *small, 255));
}

TEST(SurfaceBlend, TintedGreyDithersAlongSerpentineRows) {
    CSharedSurface target = Make(4, 2, DIB_FORMAT_RGB565);
    CSharedSurface grey = Make(4, 2, DIB_FORMAT_MASK8);
    CSharedSurface mask = Make(4, 2, DIB_FORMAT_MASK8);  // all zero: the background shows
    Fill16(*target, 0xFFFF);
    ASSERT_TRUE(BlendSurfaceTinted8(*target, 0, 0, 4, 2, *grey, 0, 0, *mask, RGB(100, 50, 30)));
    // Red 100 carries 4 per pixel, green 50 carries 2, blue 30 carries 6; the second row
    // runs right to left with the errors left by the first.
    const int red[2][4] = {{12, 13, 12, 13}, {13, 12, 13, 12}};
    const int green[2][4] = {{12, 13, 12, 13}, {13, 12, 13, 12}};
    const int blue[2][4] = {{3, 4, 4, 4}, {4, 4, 4, 3}};
    for (LONG y = 0; y < 2; ++y)
        for (LONG x = 0; x < 4; ++x)
            EXPECT_EQ(Get16(*target, x, y), (red[y][x] << 11) | (green[y][x] << 5) | blue[y][x]) << x << ", " << y;

    // Over the destination: full coverage takes the grey level, none leaves the pixel.
    Fill16(*target, 0xF800);
    grey->Row(0)[0] = 0x80;
    grey->Row(0)[1] = 0x80;
    mask->Row(0)[0] = 255;
    mask->Row(0)[1] = 0;
    ASSERT_TRUE(BlendSurfaceTinted8(*target, 0, 0, 2, 1, *grey, 0, 0, *mask, CLR_NONE));
    EXPECT_EQ(Get16(*target, 0, 0), Pack565(0x80, 0x80, 0x80));
    EXPECT_EQ(Get16(*target, 1, 0), 0xF800);
    EXPECT_FALSE(BlendSurfaceTinted8(*target, 0, 0, 2, 1, *target, 0, 0, *mask, CLR_NONE));
}

TEST(SurfaceCopy, CopiesPixelsAtEveryDepthAndRefusesMixedDepths) {
    // 1- and 4-bit rows from odd columns to other odd columns: whole pixels move.
    for (int format : {DIB_FORMAT_MASK1, DIB_FORMAT_MASK4}) {
        SCOPED_TRACE(format);
        const int bits = format == DIB_FORMAT_MASK1 ? 1 : 4;
        CSharedSurface source = Make(16, 1, format);
        CSharedSurface target = Make(16, 1, format);
        for (LONG i = 0; i < source->GetStride(); ++i) source->Row(0)[i] = static_cast<BYTE>(0x5A + 37 * i);
        ASSERT_TRUE(CopySurfaceRect(*target, 3, 0, 11, 1, *source, 1, 0));
        auto pixel = [bits](const CDibSurface& s, LONG x) -> int {
            const BYTE* row = s.Row(0);
            return bits == 1 ? (row[x >> 3] >> (7 - (x & 7))) & 1
                             : ((x & 1) != 0 ? row[x >> 1] & 15 : row[x >> 1] >> 4);
        };
        for (LONG x = 0; x < 16; ++x) EXPECT_EQ(pixel(*target, x), x >= 3 && x < 14 ? pixel(*source, x - 2) : 0) << x;
    }
    CSharedSurface colour = Make(4, 2, DIB_FORMAT_RGB565);
    CSharedSurface grey = Make(4, 2, DIB_FORMAT_MASK8);
    Fill16(*colour, 0x1234);
    grey->Row(0)[0] = 7;
    EXPECT_FALSE(CopySurfaceRect(*grey, 0, 0, 4, 2, *colour, 0, 0));
    EXPECT_EQ(grey->Row(0)[0], 7);
    CSharedSurface other = Make(4, 2, DIB_FORMAT_RGB565);
    ASSERT_TRUE(CopySurfaceRect(*other, 1, 1, 4, 2, *colour, 0, 0));
    EXPECT_EQ(Get16(*other, 3, 1), 0x1234);
    EXPECT_EQ(Get16(*other, 0, 1), 0);
    EXPECT_EQ(Get16(*other, 3, 0), 0);
}

TEST(MaskedImage, DrawsByWhatTheImageHolds) {
    CSharedSurface target = Make(4, 1, DIB_FORMAT_RGB565);
    CMaskedImage none;
    EXPECT_FALSE(DrawImage(none, *target, 0, 0));
    EXPECT_EQ(GetImageWidth(none), 0);
    EXPECT_EQ(GetImageHeight(none), 0);

    CMaskedImage maskOnly;
    maskOnly.mask = Make(2, 1, DIB_FORMAT_MASK1);
    maskOnly.mask->Row(0)[0] = 0x40;
    EXPECT_EQ(GetImageWidth(maskOnly), 2);
    ASSERT_TRUE(DrawImage(maskOnly, *target, 1, 0));
    EXPECT_EQ(Get16(*target, 1, 0), 0);
    EXPECT_EQ(Get16(*target, 2, 0), 0xFFFF);

    CMaskedImage tinted;
    tinted.color = Make(1, 1, DIB_FORMAT_MASK8);
    tinted.mask = Make(1, 1, DIB_FORMAT_MASK8);
    tinted.color->Row(0)[0] = 0x40;
    tinted.mask->Row(0)[0] = 255;
    ASSERT_TRUE(DrawImage(tinted, *target, 0, 0));
    EXPECT_EQ(Get16(*target, 0, 0), Pack565(0x40, 0x40, 0x40));

    CMaskedImage plain;
    plain.color = Make(3, 1, DIB_FORMAT_RGB565);
    Fill16(*plain.color, 0x07E0);
    ASSERT_TRUE(DrawImageRegion(plain, *target, 2, 0, 2, 1, 1, 0));
    EXPECT_EQ(Get16(*target, 1, 0), 0);
    EXPECT_EQ(Get16(*target, 3, 0), 0x07E0);
}

}  // namespace
