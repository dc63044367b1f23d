// DXT1 and ATC block decoding to the pixel layouts GL ES 1 uploads.
#include "platform/gles/BlockDecode.h"

#include <algorithm>
#include <cstring>

namespace platform::gles {

namespace {

struct Rgb {
    int r;
    int g;
    int b;
};

std::uint16_t Read16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | (at[1] << 8)); }
std::uint32_t Read32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
           (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

int Expand5(int value) { return (value << 3) | (value >> 2); }
int Expand6(int value) { return (value << 2) | (value >> 4); }

Rgb From565(std::uint16_t word) { return {Expand5(word >> 11), Expand6((word >> 5) & 0x3F), Expand5(word & 0x1F)}; }
Rgb From555(std::uint16_t word) {
    return {Expand5((word >> 10) & 0x1F), Expand5((word >> 5) & 0x1F), Expand5(word & 0x1F)};
}

// 8-bit channels back to 5-6-5, rounded to the nearest step.
std::uint16_t To565(Rgb colour) {
    int r = (colour.r * 31 + 127) / 255;
    int g = (colour.g * 63 + 127) / 255;
    int b = (colour.b * 31 + 127) / 255;
    return static_cast<std::uint16_t>((r << 11) | (g << 5) | b);
}

Rgb Mix(Rgb a, int weightA, Rgb b, int weightB, int divisor) {
    return {(a.r * weightA + b.r * weightB) / divisor, (a.g * weightA + b.g * weightB) / divisor,
            (a.b * weightA + b.b * weightB) / divisor};
}

// The four colours of an ATC colour block. The first endpoint is 5-5-5 with a mode bit on
// top: clear interpolates at 3/8 and 5/8; set gives black, first minus a quarter of the
// second, first, second.
void AtcPalette(const std::uint8_t* block, Rgb palette[4]) {
    std::uint16_t word0 = Read16(block);
    Rgb first = From555(word0);
    Rgb second = From565(Read16(block + 2));
    if ((word0 & 0x8000) == 0) {
        palette[0] = first;
        palette[1] = Mix(first, 5, second, 3, 8);
        palette[2] = Mix(first, 3, second, 5, 8);
        palette[3] = second;
    } else {
        palette[0] = {0, 0, 0};
        palette[1] = {std::max(0, first.r - second.r / 4), std::max(0, first.g - second.g / 4),
                      std::max(0, first.b - second.b / 4)};
        palette[2] = first;
        palette[3] = second;
    }
}

}  // namespace

std::size_t BlockBytes(BlockFormat format) { return format == BlockFormat::AtcExplicitAlpha ? 16 : 8; }

std::size_t DecodedPixelBytes(BlockFormat format) { return format == BlockFormat::AtcExplicitAlpha ? 4 : 2; }

std::uint64_t CompressedImageBytes(BlockFormat format, std::uint32_t width, std::uint32_t height) {
    std::uint64_t across = std::max<std::uint64_t>(1, (std::uint64_t{width} + 3) / 4);
    std::uint64_t down = std::max<std::uint64_t>(1, (std::uint64_t{height} + 3) / 4);
    return across * down * BlockBytes(format);
}

void DecodeDxt1Block(const std::uint8_t* block, std::uint16_t* pixels) {
    std::uint16_t word0 = Read16(block);
    std::uint16_t word1 = Read16(block + 2);
    Rgb first = From565(word0);
    Rgb second = From565(word1);
    std::uint16_t palette[4] = {word0, word1, 0, 0};
    if (word0 > word1) {
        palette[2] = To565(Mix(first, 2, second, 1, 3));
        palette[3] = To565(Mix(first, 1, second, 2, 3));
    } else {
        // Three colours and transparent black, which an opaque texture shows as black.
        palette[2] = To565(Mix(first, 1, second, 1, 2));
        palette[3] = 0;
    }
    std::uint32_t indices = Read32(block + 4);
    for (int i = 0; i < 16; ++i) pixels[i] = palette[(indices >> (2 * i)) & 3];
}

void DecodeAtcBlock(const std::uint8_t* block, std::uint16_t* pixels) {
    Rgb palette[4];
    AtcPalette(block, palette);
    std::uint16_t packed[4];
    for (int i = 0; i < 4; ++i) packed[i] = To565(palette[i]);
    std::uint32_t indices = Read32(block + 4);
    for (int i = 0; i < 16; ++i) pixels[i] = packed[(indices >> (2 * i)) & 3];
}

void DecodeAtcExplicitAlphaBlock(const std::uint8_t* block, std::uint8_t* rgba) {
    Rgb palette[4];
    AtcPalette(block + 8, palette);
    std::uint32_t indices = Read32(block + 12);
    for (int i = 0; i < 16; ++i) {
        const Rgb& colour = palette[(indices >> (2 * i)) & 3];
        int alpha = (block[i / 2] >> (4 * (i % 2))) & 0x0F;
        rgba[i * 4 + 0] = static_cast<std::uint8_t>(colour.r);
        rgba[i * 4 + 1] = static_cast<std::uint8_t>(colour.g);
        rgba[i * 4 + 2] = static_cast<std::uint8_t>(colour.b);
        rgba[i * 4 + 3] = static_cast<std::uint8_t>(alpha * 17);
    }
}

bool DecodeBlockImage(BlockFormat format, const std::uint8_t* data, std::size_t size, std::uint32_t width,
                      std::uint32_t height, std::size_t rowAlignment, std::vector<std::uint8_t>& pixels) {
    if (width == 0 || height == 0 || data == nullptr) return false;
    if (CompressedImageBytes(format, width, height) > size) return false;
    if (rowAlignment == 0) rowAlignment = 1;
    std::size_t pixelBytes = DecodedPixelBytes(format);
    std::uint64_t rowBytes = std::uint64_t{width} * pixelBytes;
    std::uint64_t pitch = (rowBytes + rowAlignment - 1) / rowAlignment * rowAlignment;
    std::uint64_t total = pitch * height;
    if (total > SIZE_MAX / 2) return false;
    pixels.assign(static_cast<std::size_t>(total), 0);

    std::uint32_t across = (width + 3) / 4;
    std::uint32_t down = (height + 3) / 4;
    std::size_t blockBytes = BlockBytes(format);
    std::uint16_t words[16];
    std::uint8_t rgba[64];
    const std::uint8_t* decoded =
        format == BlockFormat::AtcExplicitAlpha ? rgba : reinterpret_cast<const std::uint8_t*>(words);
    for (std::uint32_t blockRow = 0; blockRow < down; ++blockRow) {
        for (std::uint32_t blockColumn = 0; blockColumn < across; ++blockColumn) {
            const std::uint8_t* block = data + (static_cast<std::size_t>(blockRow) * across + blockColumn) * blockBytes;
            switch (format) {
                case BlockFormat::Dxt1Rgb:
                    DecodeDxt1Block(block, words);
                    break;
                case BlockFormat::AtcRgb:
                    DecodeAtcBlock(block, words);
                    break;
                case BlockFormat::AtcExplicitAlpha:
                    DecodeAtcExplicitAlphaBlock(block, rgba);
                    break;
            }
            for (std::uint32_t y = 0; y < 4; ++y) {
                std::uint32_t row = blockRow * 4 + y;
                if (row >= height) break;
                std::uint32_t columns = std::min<std::uint32_t>(4, width - blockColumn * 4);
                std::memcpy(pixels.data() + row * pitch + std::uint64_t{blockColumn} * 4 * pixelBytes,
                            decoded + y * 4 * pixelBytes, columns * pixelBytes);
            }
        }
    }
    return true;
}

}  // namespace platform::gles
