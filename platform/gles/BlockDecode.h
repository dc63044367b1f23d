// Decoding of the block-compressed texture formats that Mesa's OpenGL ES 1 does not take:
// S3TC DXT1 (opaque) and AMD's ATC (opaque, and with explicit 4-bit alpha). Blocks cover
// 4 x 4 pixels, rows of blocks top first; images whose sides are not multiples of 4 keep
// the top-left part of their edge blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::gles {

enum class BlockFormat {
    Dxt1Rgb,           // 8 bytes a block, decoded to RGB 5-6-5
    AtcRgb,            // 8 bytes a block, decoded to RGB 5-6-5
    AtcExplicitAlpha,  // 16 bytes a block, decoded to RGBA 8-8-8-8
};

std::size_t BlockBytes(BlockFormat format);
// Bytes of one decoded pixel: 2 (5-6-5) or 4 (RGBA).
std::size_t DecodedPixelBytes(BlockFormat format);
// Bytes of a whole compressed image, in 64 bits: whole blocks, at least one each way.
std::uint64_t CompressedImageBytes(BlockFormat format, std::uint32_t width, std::uint32_t height);

// One block to 16 pixels, row by row.
void DecodeDxt1Block(const std::uint8_t* block, std::uint16_t* pixels);
void DecodeAtcBlock(const std::uint8_t* block, std::uint16_t* pixels);
void DecodeAtcExplicitAlphaBlock(const std::uint8_t* block, std::uint8_t* rgba);

// A whole image into rows of `width` decoded pixels, each row padded to `rowAlignment`
// bytes (GL's unpack alignment). False, with nothing decoded, when `size` is shorter than
// the image or a side is 0.
bool DecodeBlockImage(BlockFormat format, const std::uint8_t* data, std::size_t size, std::uint32_t width,
                      std::uint32_t height, std::size_t rowAlignment, std::vector<std::uint8_t>& pixels);

}  // namespace platform::gles
