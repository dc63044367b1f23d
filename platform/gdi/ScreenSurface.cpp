// The screen surface of window contexts, and how it reaches the display.
#include "platform/gdi/ScreenSurface.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/screen/Display.h"

namespace platform::gdi {

namespace {

struct Surface {
    std::vector<std::uint16_t> pixels;
    int width = 0;
    int height = 0;
};

Surface& TheSurface() {
    static auto* surface = new Surface();
    return *surface;
}

}  // namespace

std::mutex& ScreenMutex() {
    static auto* mutex = new std::mutex();
    return *mutex;
}

PixelBuffer ScreenPixels() {
    Surface& surface = TheSurface();
    const SIZE size = platform::screen::Size();
    if (size.cx != surface.width || size.cy != surface.height) {
        surface.width = static_cast<int>(size.cx);
        surface.height = static_cast<int>(size.cy);
        surface.pixels.assign(static_cast<std::size_t>(surface.width) * static_cast<std::size_t>(surface.height), 0);
    }
    PixelBuffer buffer;
    buffer.bits = reinterpret_cast<BYTE*>(surface.pixels.data());
    buffer.width = surface.width;
    buffer.height = surface.height;
    buffer.stride = surface.width * 2;
    buffer.bitsPerPixel = 16;
    buffer.topDown = true;
    buffer.masks[0] = 0xF800;
    buffer.masks[1] = 0x07E0;
    buffer.masks[2] = 0x001F;
    return buffer;
}

void ShowScreenArea(const RECT& area) {
    Surface& surface = TheSurface();
    const LONG left = std::max<LONG>(area.left, 0);
    const LONG top = std::max<LONG>(area.top, 0);
    const LONG right = std::min<LONG>(area.right, surface.width);
    const LONG bottom = std::min<LONG>(area.bottom, surface.height);
    if (right <= left || bottom <= top) return;
    const int width = static_cast<int>(right - left);
    const int height = static_cast<int>(bottom - top);
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    std::uint8_t* out = rgba.data();
    for (LONG y = top; y < bottom; ++y) {
        const std::uint16_t* row = surface.pixels.data() + static_cast<std::size_t>(y) * surface.width;
        for (LONG x = left; x < right; ++x) {
            const std::uint16_t p = row[x];
            const unsigned red = p >> 11;
            const unsigned green = (p >> 5) & 0x3F;
            const unsigned blue = p & 0x1F;
            *out++ = static_cast<std::uint8_t>((red << 3) | (red >> 2));
            *out++ = static_cast<std::uint8_t>((green << 2) | (green >> 4));
            *out++ = static_cast<std::uint8_t>((blue << 3) | (blue >> 2));
            *out++ = 255;
        }
    }
    platform::screen::FrameView frame;
    frame.pixels = rgba.data();
    frame.width = width;
    frame.height = height;
    frame.stride = static_cast<std::size_t>(width) * 4;
    platform::screen::Present(frame, static_cast<int>(left), static_cast<int>(top));
}

}  // namespace platform::gdi
