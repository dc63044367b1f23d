// The DDS reader (".dds", ".ddsx", ".ddsy"): the pixel format from the header's
// four-character code or bit masks, then every face and mip level into the texture.
#include <algorithm>
#include <cstring>

#include "engine/core/memory/EngineLog.h"
#include "engine/render/ImageReaders.h"
#include "engine/render/RenderTypes.h"
#include "engine/render/TextureData.h"
#include "engine/render/TextureFormat.h"

namespace {

constexpr std::size_t kHeaderBytes = 128;
constexpr std::uint32_t kMagic = 0x20534444;  // "DDS "
constexpr std::uint32_t kCaps2CubeMap = 0x200;
constexpr std::uint32_t kCaps2AllFaces = 0xFC00;

#define DDS_LOG(format, ...) LogException(format, kTextureLogSource, __LINE__ __VA_OPT__(, ) __VA_ARGS__)

std::uint32_t Read32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
           (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

constexpr std::uint32_t FourCc(char a, char b, char c, char d) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(a)) |
           (static_cast<std::uint32_t>(static_cast<std::uint8_t>(b)) << 8) |
           (static_cast<std::uint32_t>(static_cast<std::uint8_t>(c)) << 16) |
           (static_cast<std::uint32_t>(static_cast<std::uint8_t>(d)) << 24);
}

// The engine's format code of the header's pixel format; 0xFFFFFFFF when none fits.
DWORD PixelFormatOf(const std::uint8_t* header) {
    switch (Read32(header + 84)) {
        case FourCc('A', 'T', 'C', ' '):
            return kFormatAtcRgb;
        case FourCc('A', 'T', 'C', 'A'):
            return kFormatAtcRgba;
        case FourCc('D', 'X', 'T', '1'):
            return kFormatDxt1;
        case FourCc('D', 'X', 'T', '2'):
            return kFormatDxt2;
        case FourCc('D', 'X', 'T', '3'):
            return kFormatDxt3;
        case FourCc('D', 'X', 'T', '4'):
            return kFormatDxt4;
        case FourCc('D', 'X', 'T', '5'):
            return kFormatDxt5;
        default:
            break;
    }
    std::uint32_t bits = Read32(header + 88);
    std::uint32_t red = Read32(header + 92);
    std::uint32_t green = Read32(header + 96);
    std::uint32_t blue = Read32(header + 100);
    std::uint32_t alpha = Read32(header + 104);
    if (bits == 32 && red == 0xFF0000 && green == 0xFF00 && blue == 0xFF) return kFormatArgb8888;
    if (bits == 16 && red == 0xF800 && green == 0x07E0 && blue == 0x1F) return kFormatRgb565;
    if (bits == 16 && red == 0x0F00 && green == 0xF0 && blue == 0x0F && alpha == 0xF000) return kFormatArgb4444;
    if (bits == 16 && red == 0x7C00 && green == 0x3E0 && blue == 0x1F && alpha == 0x8000) return kFormatArgb1555;
    return 0xFFFFFFFF;
}

// Levels beyond the one where both sides reach 1 do not exist.
std::int32_t UsableLevels(std::uint32_t levels, std::uint32_t width, std::uint32_t height) {
    std::uint32_t largest = std::max(width, height);
    std::int32_t chain = 1;
    while (largest > 1 && chain < kMaxTextureLevels) {
        largest >>= 1;
        ++chain;
    }
    if (levels == 0) levels = 1;
    return static_cast<std::int32_t>(std::min<std::uint32_t>(levels, static_cast<std::uint32_t>(chain)));
}

}  // namespace

int ReadDdsImage(TextureData& texture, const std::uint8_t* data, std::size_t size, const char* name, DWORD flags) {
    if (data == nullptr || size < kHeaderBytes || Read32(data) != kMagic) {
        DDS_LOG("Texture file '%s' is not a DDS file", name);
        return 1;
    }
    DWORD format = PixelFormatOf(data);
    if (format == 0xFFFFFFFF) {
        DDS_LOG("Texture file '%s' has a DDS pixel format the device does not read", name);
        return 1;
    }
    std::uint32_t caps2 = Read32(data + 112);
    if ((caps2 & kCaps2CubeMap) != 0) {
        if ((caps2 & kCaps2AllFaces) != kCaps2AllFaces) {
            DDS_LOG("Invalid cubemap file format, all sides required '%s'", name);
            return 1;
        }
        format |= kFormatCubeMap;
    }
    std::uint32_t width = Read32(data + 16);
    std::uint32_t height = Read32(data + 12);
    std::uint32_t fileLevels = Read32(data + 28);
    std::int32_t levels = UsableLevels(fileLevels, width, height);
    bool sidesFit = width >= 1 && height >= 1 && width <= static_cast<std::uint32_t>(kMaxTextureSide) &&
                    height <= static_cast<std::uint32_t>(kMaxTextureSide);
    if (!sidesFit || texture.Create(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), levels, format,
                                    flags) != 0) {
        DDS_LOG("Create failed for '%s' (%dx%d %d , %08x)", name, static_cast<int>(width), static_cast<int>(height),
                static_cast<int>(fileLevels), format);
        return 1;
    }

    std::size_t position = kHeaderBytes;
    int faces = IsCubeMap(format) ? 6 : 1;
    for (int face = 0; face < faces; ++face) {
        for (std::int32_t level = 0; level < levels; ++level) {
            LevelLayout layout{};
            if (!ComputeLevelLayout(format, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), level,
                                    layout))
                return 1;
            if (layout.bytes > size - position) {
                DDS_LOG("Texture file '%s' ends inside face %d level %d", name, face, static_cast<int>(level));
                return 1;
            }
            std::int32_t pitch = 0;
            auto* pixels = static_cast<std::uint8_t*>(texture.Lock(level, &pitch, 0));
            if (pixels == nullptr) {
                DDS_LOG("Texture file '%s': level %d cannot be locked", name, static_cast<int>(level));
                return 1;
            }
            std::memcpy(pixels, data + position, static_cast<std::size_t>(layout.bytes));
            position += static_cast<std::size_t>(layout.bytes);
            texture.Unlock(level);
        }
    }
    return 0;
}
