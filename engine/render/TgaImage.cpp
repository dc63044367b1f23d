// The TGA reader. Run-length packets are bounded by the pixels the image has left, and the
// rows land where the descriptor says (bottom-up files are turned over, right-to-left rows
// mirrored) for packed and run-length files alike.
#include <algorithm>
#include <cstring>

#include "engine/core/memory/EngineLog.h"
#include "engine/render/ImageReaders.h"
#include "engine/render/RenderTypes.h"
#include "engine/render/TextureData.h"

namespace {

constexpr std::size_t kHeaderBytes = 18;
constexpr std::uint8_t kTypeTrueColour = 2;
constexpr std::uint8_t kTypeGrey = 3;
constexpr std::uint8_t kTypeRunLength = 10;
constexpr std::uint8_t kDescriptorTopDown = 0x20;
constexpr std::uint8_t kDescriptorRightToLeft = 0x10;

#define TGA_LOG(format, ...) LogException(format, kTextureLogSource, __LINE__ __VA_OPT__(, ) __VA_ARGS__)

std::uint16_t Read16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | (at[1] << 8)); }

// Where file pixel `index` goes in the locked level.
struct PixelPlacer {
    std::uint8_t* pixels;
    std::size_t pitch;
    std::uint32_t width;
    std::uint32_t height;
    std::size_t outBytes;
    bool topDown;
    bool rightToLeft;

    std::uint8_t* At(std::uint64_t index) const {
        std::uint32_t fileRow = static_cast<std::uint32_t>(index / width);
        std::uint32_t fileColumn = static_cast<std::uint32_t>(index % width);
        std::uint32_t row = topDown ? fileRow : height - 1 - fileRow;
        std::uint32_t column = rightToLeft ? width - 1 - fileColumn : fileColumn;
        return pixels + row * pitch + column * outBytes;
    }
};

// One file pixel of `depth` bits to the texture's layout: B, G, R, A bytes, or a 5-6-5 word.
void ConvertPixel(const std::uint8_t* in, int depth, std::uint8_t* out) {
    switch (depth) {
        case 8:
            out[0] = out[1] = out[2] = in[0];
            out[3] = 255;
            break;
        case 16: {
            std::uint16_t word = Read16(in);
            std::uint16_t red = (word >> 10) & 0x1F;
            std::uint16_t green = (word >> 5) & 0x1F;
            std::uint16_t blue = word & 0x1F;
            // 1-5-5-5 to 5-6-5: green gains a bit, its top bit repeated so white stays white.
            auto packed = static_cast<std::uint16_t>((red << 11) | (((green << 1) | (green >> 4)) << 5) | blue);
            std::memcpy(out, &packed, 2);
            break;
        }
        case 24:
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            out[3] = 255;
            break;
        default:
            std::memcpy(out, in, 4);
            break;
    }
}

}  // namespace

int ReadTgaImage(TextureData& texture, const std::uint8_t* data, std::size_t size, const char* name, DWORD flags) {
    if (data == nullptr || size < kHeaderBytes) {
        TGA_LOG("Texture file '%s' ends inside its TGA header", name);
        return 1;
    }
    std::uint8_t idLength = data[0];
    std::uint8_t colourMapType = data[1];
    std::uint8_t imageType = data[2];
    std::uint16_t colourMapLength = Read16(data + 5);
    std::uint8_t colourMapEntryBits = data[7];
    std::uint16_t width = Read16(data + 12);
    std::uint16_t height = Read16(data + 14);
    std::uint8_t depth = data[16];
    std::uint8_t descriptor = data[17];

    if (imageType != kTypeTrueColour && imageType != kTypeGrey && imageType != kTypeRunLength) {
        TGA_LOG("Texture with unsupported TGA format");
        return 1;
    }
    if (descriptor > 63) {
        TGA_LOG("Texture with interleaved TGA format");
        return 1;
    }
    bool depthFits = imageType == kTypeGrey ? depth == 8 : (depth == 8 || depth == 16 || depth == 24 || depth == 32);
    if (!depthFits) {
        TGA_LOG("Texture file '%s' has an unsupported TGA pixel depth of %d bits", name, depth);
        return 1;
    }
    std::uint64_t offset = kHeaderBytes + std::uint64_t{idLength};
    if (colourMapType != 0) offset += std::uint64_t{colourMapLength} * colourMapEntryBits / 8;
    std::size_t inBytes = depth / 8u;
    std::uint64_t pixelCount = std::uint64_t{width} * height;
    // A packed file must hold every pixel; run-length packets are checked as they come.
    if (offset > size || (imageType != kTypeRunLength && pixelCount * inBytes > size - offset)) {
        TGA_LOG("Texture file '%s' ends inside its TGA pixels", name);
        return 1;
    }

    DWORD format = depth == 16 ? kFormatRgb565 : kFormatArgb8888;
    if (texture.Create(width, height, 1, format, flags) != 0) {
        TGA_LOG("Texture failed to Create");
        return 1;
    }
    std::int32_t pitch = 0;
    auto* pixels = static_cast<std::uint8_t*>(texture.Lock(0, &pitch, 0));
    if (pixels == nullptr) {
        TGA_LOG("Texture failed to lock data");
        return 1;
    }
    PixelPlacer placer{pixels,
                       static_cast<std::size_t>(pitch),
                       width,
                       height,
                       depth == 16 ? 2u : 4u,
                       (descriptor & kDescriptorTopDown) != 0,
                       (descriptor & kDescriptorRightToLeft) != 0};
    const std::uint8_t* in = data + offset;
    const std::uint8_t* end = data + size;
    bool complete = true;
    if (imageType != kTypeRunLength) {
        for (std::uint64_t index = 0; index < pixelCount; ++index, in += inBytes)
            ConvertPixel(in, depth, placer.At(index));
    } else {
        std::uint64_t index = 0;
        while (index < pixelCount) {
            if (in >= end) {
                complete = false;
                break;
            }
            std::uint8_t header = *in++;
            // A packet never runs past the last pixel, whatever its count says.
            std::uint64_t count = std::min<std::uint64_t>((header & 0x7F) + 1u, pixelCount - index);
            if ((header & 0x80) != 0) {
                if (static_cast<std::size_t>(end - in) < inBytes) {
                    complete = false;
                    break;
                }
                for (std::uint64_t i = 0; i < count; ++i) ConvertPixel(in, depth, placer.At(index++));
                in += inBytes;
            } else {
                if (static_cast<std::uint64_t>(end - in) < count * inBytes) {
                    complete = false;
                    break;
                }
                for (std::uint64_t i = 0; i < count; ++i, in += inBytes) ConvertPixel(in, depth, placer.At(index++));
            }
        }
    }
    texture.Unlock(0);
    if (!complete) {
        TGA_LOG("Texture file '%s' ends inside its TGA pixels", name);
        return 1;
    }
    return 0;
}
