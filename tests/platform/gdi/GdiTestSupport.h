// Bitmaps for the GDI tests: DIB sections of any depth selected into memory contexts, and
// their pixels read back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/DeviceContext.h"

namespace gdi_test {

// A DIB section selected into a memory context of its own; both go with the object.
class Canvas {
public:
    // 16 bits are RGB565; 1, 4 and 8 bits get a grey table (black to white).
    Canvas(int width, int height, int bits = 16, bool topDown = false) : width_(width), height_(height), bits_(bits) {
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colors[256];
        } info{};
        info.header.biSize = sizeof(BITMAPINFOHEADER);
        info.header.biWidth = width;
        info.header.biHeight = topDown ? -height : height;
        info.header.biPlanes = 1;
        info.header.biBitCount = static_cast<WORD>(bits);
        info.header.biCompression = bits == 16 ? BI_BITFIELDS : BI_RGB;
        if (bits == 16) {
            const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
            std::memcpy(info.colors, masks, sizeof masks);
        } else if (bits <= 8) {
            const int count = 1 << bits;
            for (int i = 0; i < count; ++i) {
                const auto grey = static_cast<BYTE>(i * 255 / (count - 1));
                info.colors[i] = RGBQUAD{grey, grey, grey, 0};
            }
        }
        bitmap_ =
            CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits_ptr_, nullptr, 0);
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, bitmap_);
        stride_ = ((width * bits + 31) / 32) * 4;
        top_down_ = topDown;
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return dc_; }
    HBITMAP Bitmap() const { return bitmap_; }
    std::uint8_t* Row(int y) const {
        return static_cast<std::uint8_t*>(bits_ptr_) +
               static_cast<std::ptrdiff_t>(top_down_ ? y : height_ - 1 - y) * stride_;
    }
    // The stored value at (x, y): the index for 1, 4 and 8 bits, the word for 16, the
    // 0xRRGGBB colour for 24.
    std::uint32_t At(int x, int y) const {
        const std::uint8_t* row = Row(y);
        switch (bits_) {
            case 1:
                return (row[x >> 3] >> (7 - (x & 7))) & 1u;
            case 4:
                return (x & 1) != 0 ? row[x >> 1] & 0x0Fu : row[x >> 1] >> 4;
            case 8:
                return row[x];
            case 16:
                return static_cast<std::uint32_t>(row[2 * x] | (row[2 * x + 1] << 8));
            default:
                return static_cast<std::uint32_t>(row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16));
        }
    }
    void Set(int x, int y, std::uint32_t value) const {
        std::uint8_t* row = Row(y);
        switch (bits_) {
            case 1:
                row[x >> 3] =
                    static_cast<std::uint8_t>((row[x >> 3] & ~(0x80u >> (x & 7))) | ((value & 1u) << (7 - (x & 7))));
                break;
            case 4:
                row[x >> 1] = static_cast<std::uint8_t>((x & 1) != 0 ? (row[x >> 1] & 0xF0u) | (value & 0x0Fu)
                                                                     : (row[x >> 1] & 0x0Fu) | ((value & 0x0Fu) << 4));
                break;
            case 8:
                row[x] = static_cast<std::uint8_t>(value);
                break;
            case 16:
                row[2 * x] = static_cast<std::uint8_t>(value);
                row[2 * x + 1] = static_cast<std::uint8_t>(value >> 8);
                break;
            default:
                for (int i = 0; i < 3; ++i) row[3 * x + i] = static_cast<std::uint8_t>(value >> (8 * i));
                break;
        }
    }
    void Fill(std::uint32_t value) const {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) Set(x, y, value);
    }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_;
    int height_;
    int bits_;
    int stride_ = 0;
    bool top_down_ = false;
    void* bits_ptr_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

inline std::uint16_t Rgb565(int red, int green, int blue) {
    return static_cast<std::uint16_t>(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
}

}  // namespace gdi_test
