// DIB sections: their geometry as GetObjectW reports it, zeroed pixels, colour tables, and
// the descriptions that are refused.
#include <gtest/gtest.h>

#include <vector>

#include "platform/base/Errors.h"
#include "platform/gdi/Bitmap.h"

namespace {

// A header with room for a colour table of 256 entries after it.
struct InfoBlock {
    BITMAPINFOHEADER header{};
    RGBQUAD colors[256]{};

    InfoBlock(LONG width, LONG height, WORD bits, DWORD compression = BI_RGB) {
        header.biSize = sizeof(BITMAPINFOHEADER);
        header.biWidth = width;
        header.biHeight = height;
        header.biPlanes = 1;
        header.biBitCount = bits;
        header.biCompression = compression;
    }
    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(this); }
};

TEST(DibSection, DescribesItsGeometryAndStartsZeroed) {
    struct Case {
        LONG width;
        LONG height;
        WORD bits;
        LONG stride;
    };
    for (const Case& c : {Case{9, 1, 1, 4}, Case{3, 5, 16, 8}, Case{5, -3, 24, 16}, Case{7, 2, 32, 28}}) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " x " << c.bits);
        InfoBlock block(c.width, c.height, c.bits);
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, block.Info(), DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(bitmap, nullptr);
        ASSERT_NE(bits, nullptr);

        BITMAP description{};
        EXPECT_EQ(GetObjectW(bitmap, 0, nullptr), static_cast<int>(sizeof description));
        ASSERT_EQ(GetObjectW(bitmap, sizeof description, &description), static_cast<int>(sizeof description));
        EXPECT_EQ(description.bmWidth, c.width);
        EXPECT_EQ(description.bmHeight, c.height < 0 ? -c.height : c.height);
        EXPECT_EQ(description.bmWidthBytes, c.stride);
        EXPECT_EQ(description.bmPlanes, 1);
        EXPECT_EQ(description.bmBitsPixel, c.bits);
        EXPECT_EQ(description.bmBits, bits);
        const auto* pixels = static_cast<const BYTE*>(bits);
        const std::size_t size = static_cast<std::size_t>(c.stride) * description.bmHeight;
        EXPECT_EQ(std::vector<BYTE>(pixels, pixels + size), std::vector<BYTE>(size, 0));
        EXPECT_TRUE(DeleteObject(bitmap));
        EXPECT_FALSE(DeleteObject(bitmap));
    }
}

TEST(DibSection, ColourTableSizes) {
    InfoBlock grey(4, 4, 8);
    EXPECT_EQ(DibColorTableBytes(grey.header), 1024);
    grey.header.biClrUsed = 16;
    EXPECT_EQ(DibColorTableBytes(grey.header), 64);
    grey.header.biClrUsed = 257;
    EXPECT_EQ(DibColorTableBytes(grey.header), -1);
    InfoBlock masked(4, 4, 16, BI_BITFIELDS);
    EXPECT_EQ(DibColorTableBytes(masked.header), 12);
    InfoBlock plain(4, 4, 24);
    EXPECT_EQ(DibColorTableBytes(plain.header), 0);
}

TEST(DibSection, RefusesWhatItCannotHold) {
    void* bits = reinterpret_cast<void*>(1);
    struct Case {
        const char* what;
        InfoBlock block;
        UINT usage;
        DWORD error;
    };
    auto with = [](auto change) {
        InfoBlock block(4, 4, 16);
        change(block.header);
        return block;
    };
    const Case cases[] = {
        {"zero width", with([](BITMAPINFOHEADER& h) { h.biWidth = 0; }), DIB_RGB_COLORS, ERROR_INVALID_PARAMETER},
        {"zero height", with([](BITMAPINFOHEADER& h) { h.biHeight = 0; }), DIB_RGB_COLORS, ERROR_INVALID_PARAMETER},
        {"2 bits", with([](BITMAPINFOHEADER& h) { h.biBitCount = 2; }), DIB_RGB_COLORS, ERROR_INVALID_PARAMETER},
        {"run-length", with([](BITMAPINFOHEADER& h) { h.biCompression = BI_RLE8; }), DIB_RGB_COLORS,
         ERROR_INVALID_PARAMETER},
        {"short header", with([](BITMAPINFOHEADER& h) { h.biSize = 12; }), DIB_RGB_COLORS, ERROR_INVALID_PARAMETER},
        {"palette colours", InfoBlock(4, 4, 8), DIB_PAL_COLORS, ERROR_INVALID_PARAMETER},
        {"too large", with([](BITMAPINFOHEADER& h) { h.biWidth = h.biHeight = 0x7FFFFFFF; }), DIB_RGB_COLORS,
         ERROR_NOT_ENOUGH_MEMORY},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_EQ(CreateDIBSection(nullptr, c.block.Info(), c.usage, &bits, nullptr, 0), nullptr) << c.what;
        EXPECT_EQ(GetLastError(), c.error) << c.what;
        EXPECT_EQ(bits, nullptr) << c.what;
    }
    InfoBlock block(4, 4, 16);
    EXPECT_EQ(CreateDIBSection(nullptr, block.Info(), DIB_RGB_COLORS, &bits, reinterpret_cast<HANDLE>(8), 0), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

}  // namespace
