// How the pixels of a drawing target lie in memory: a DIB section's rows, or the screen's.
// Colours are read and written as COLORREF through the buffer's format (a colour table
// for 1, 4 and 8 bits, bit masks for 16 and 32 bits, blue-green-red bytes for 24).
#pragma once

#include <cstdint>

#include "platform/base/Types.h"
#include "platform/gdi/Bitmap.h"

namespace platform::gdi {

struct PixelBuffer {
    BYTE* bits = nullptr;
    int width = 0;
    int height = 0;
    LONG stride = 0;
    int bitsPerPixel = 0;
    bool topDown = false;
    const RGBQUAD* colors = nullptr;  // 1, 4 and 8 bits
    int colorCount = 0;
    DWORD masks[3] = {};  // red, green, blue for 16 and 32 bits

    bool IsEmpty() const { return bits == nullptr || width < 1 || height < 1; }
    BYTE* Row(int y) const {
        const int stored = topDown ? y : height - 1 - y;
        return bits + static_cast<std::ptrdiff_t>(stored) * stride;
    }
    // RGB565 exactly (the handset's screen format): the fast paths take it.
    bool IsRgb565() const {
        return bitsPerPixel == 16 && masks[0] == 0xF800 && masks[1] == 0x07E0 && masks[2] == 0x001F;
    }
};

// Converts between COLORREF and the pixel values of one buffer. Writing to an indexed
// buffer picks the nearest colour of its table.
class PixelCodec {
public:
    explicit PixelCodec(const PixelBuffer& buffer);

    COLORREF Read(const BYTE* row, int x) const;
    void Write(BYTE* row, int x, COLORREF color) const;
    // The stored value of a colour (the index for indexed buffers).
    DWORD Encode(COLORREF color) const;
    void WriteValue(BYTE* row, int x, DWORD value) const;

private:
    struct Channel {
        DWORD mask = 0;
        int shift = 0;  // of the lowest mask bit
        int bits = 0;
    };
    static Channel ChannelOf(DWORD mask);
    static BYTE Expand(DWORD value, const Channel& channel);

    const PixelBuffer& m_buffer;
    Channel m_channels[3];
    mutable COLORREF m_lastColor = 0xFFFFFFFFu;  // the last indexed look-up
    mutable DWORD m_lastIndex = 0;
};

}  // namespace platform::gdi
