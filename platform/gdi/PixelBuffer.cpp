// Reading and writing colours in the pixel formats of DIB sections.
#include "platform/gdi/PixelBuffer.h"

namespace platform::gdi {

PixelCodec::PixelCodec(const PixelBuffer& buffer) : m_buffer(buffer) {
    for (int i = 0; i < 3; ++i) m_channels[i] = ChannelOf(buffer.masks[i]);
}

PixelCodec::Channel PixelCodec::ChannelOf(DWORD mask) {
    Channel channel;
    channel.mask = mask;
    if (mask == 0) return channel;
    while (((mask >> channel.shift) & 1u) == 0) ++channel.shift;
    while (channel.shift + channel.bits < 32 && ((mask >> (channel.shift + channel.bits)) & 1u) != 0) ++channel.bits;
    return channel;
}

BYTE PixelCodec::Expand(DWORD value, const Channel& channel) {
    if (channel.bits == 0) return 0;
    if (channel.bits >= 8) return static_cast<BYTE>(value >> (channel.bits - 8));
    // The bits repeated downwards, so that full intensity stays full (31 → 255).
    DWORD expanded = 0;
    for (int filled = 0; filled < 8; filled += channel.bits) expanded = (expanded << channel.bits) | value;
    const int total = ((8 + channel.bits - 1) / channel.bits) * channel.bits;
    return static_cast<BYTE>(expanded >> (total - 8));
}

COLORREF PixelCodec::Read(const BYTE* row, int x) const {
    switch (m_buffer.bitsPerPixel) {
        case 1:
        case 4:
        case 8: {
            DWORD index = 0;
            if (m_buffer.bitsPerPixel == 1)
                index = (row[x >> 3] >> (7 - (x & 7))) & 1u;
            else if (m_buffer.bitsPerPixel == 4)
                index = (x & 1) != 0 ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
            else
                index = row[x];
            if (static_cast<int>(index) >= m_buffer.colorCount) return 0;
            const RGBQUAD& entry = m_buffer.colors[index];
            return RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue);
        }
        case 16:
        case 32: {
            DWORD value = 0;
            if (m_buffer.bitsPerPixel == 16)
                value = static_cast<DWORD>(row[2 * x]) | (static_cast<DWORD>(row[2 * x + 1]) << 8);
            else
                value = static_cast<DWORD>(row[4 * x]) | (static_cast<DWORD>(row[4 * x + 1]) << 8) |
                        (static_cast<DWORD>(row[4 * x + 2]) << 16) | (static_cast<DWORD>(row[4 * x + 3]) << 24);
            BYTE channels[3];
            for (int i = 0; i < 3; ++i)
                channels[i] = Expand((value & m_channels[i].mask) >> m_channels[i].shift, m_channels[i]);
            return RGB(channels[0], channels[1], channels[2]);
        }
        case 24:
            return RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
        default:
            return 0;
    }
}

DWORD PixelCodec::Encode(COLORREF color) const {
    const int red = GetRValue(color);
    const int green = GetGValue(color);
    const int blue = GetBValue(color);
    switch (m_buffer.bitsPerPixel) {
        case 1:
        case 4:
        case 8: {
            if (color == m_lastColor) return m_lastIndex;
            DWORD best = 0;
            long bestDistance = -1;
            for (int i = 0; i < m_buffer.colorCount; ++i) {
                const RGBQUAD& entry = m_buffer.colors[i];
                const long dr = entry.rgbRed - red;
                const long dg = entry.rgbGreen - green;
                const long db = entry.rgbBlue - blue;
                const long distance = dr * dr + dg * dg + db * db;
                if (bestDistance < 0 || distance < bestDistance) {
                    bestDistance = distance;
                    best = static_cast<DWORD>(i);
                    if (distance == 0) break;
                }
            }
            m_lastColor = color;
            m_lastIndex = best;
            return best;
        }
        case 16:
        case 32: {
            const int values[3] = {red, green, blue};
            DWORD value = 0;
            for (int i = 0; i < 3; ++i) {
                const Channel& channel = m_channels[i];
                if (channel.bits == 0) continue;
                const DWORD scaled = channel.bits >= 8 ? static_cast<DWORD>(values[i]) << (channel.bits - 8)
                                                       : static_cast<DWORD>(values[i]) >> (8 - channel.bits);
                value |= (scaled << channel.shift) & channel.mask;
            }
            return value;
        }
        case 24:
            return static_cast<DWORD>(color & 0xFFFFFFu);
        default:
            return 0;
    }
}

void PixelCodec::WriteValue(BYTE* row, int x, DWORD value) const {
    switch (m_buffer.bitsPerPixel) {
        case 1: {
            const BYTE bit = static_cast<BYTE>(0x80u >> (x & 7));
            if ((value & 1u) != 0)
                row[x >> 3] |= bit;
            else
                row[x >> 3] &= static_cast<BYTE>(~bit);
            break;
        }
        case 4: {
            BYTE& byte = row[x >> 1];
            if ((x & 1) != 0)
                byte = static_cast<BYTE>((byte & 0xF0u) | (value & 0x0Fu));
            else
                byte = static_cast<BYTE>((byte & 0x0Fu) | ((value & 0x0Fu) << 4));
            break;
        }
        case 8:
            row[x] = static_cast<BYTE>(value);
            break;
        case 16:
            row[2 * x] = static_cast<BYTE>(value);
            row[2 * x + 1] = static_cast<BYTE>(value >> 8);
            break;
        case 24:
            // COLORREF is red first; the stored order is blue, green, red.
            row[3 * x] = static_cast<BYTE>(value >> 16);
            row[3 * x + 1] = static_cast<BYTE>(value >> 8);
            row[3 * x + 2] = static_cast<BYTE>(value);
            break;
        case 32:
            for (int i = 0; i < 4; ++i) row[4 * x + i] = static_cast<BYTE>(value >> (8 * i));
            break;
        default:
            break;
    }
}

void PixelCodec::Write(BYTE* row, int x, COLORREF color) const { WriteValue(row, x, Encode(color)); }

}  // namespace platform::gdi
