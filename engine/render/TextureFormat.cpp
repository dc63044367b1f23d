// Level sizes of the texture pixel formats.
#include "engine/render/TextureFormat.h"

#include <algorithm>

#include "engine/render/RenderTypes.h"

bool IsBlockFormat(DWORD format) {
    DWORD code = FormatCode(format);
    return (code >= kFormatDxt1 && code <= kFormatDxt5) || code == kFormatAtcRgb || code == kFormatAtcRgba;
}

std::uint32_t FormatBlockBytes(DWORD format) {
    DWORD code = FormatCode(format);
    if (code == kFormatDxt1 || code == kFormatAtcRgb) return 8;
    if (IsBlockFormat(format)) return 16;
    return 0;
}

std::uint32_t FormatPixelBits(DWORD format) {
    switch (FormatCode(format)) {
        case 0:
            return 24;
        case kFormatRgb565:
        case kFormatArgb4444:
        case 6:
        case kFormatArgb1555:
        case 15:
            return 16;
        case 2:
        case 3:
        case 4:
            return 8;
        default:
            return 32;
    }
}

bool ComputeLevelLayout(DWORD format, std::int32_t width, std::int32_t height, std::int32_t level,
                        LevelLayout& layout) {
    if (width < 1 || height < 1 || width > kMaxTextureSide || height > kMaxTextureSide || level < 0 ||
        level >= kMaxTextureLevels)
        return false;
    layout.width = std::max<std::uint32_t>(1, static_cast<std::uint32_t>(width) >> level);
    layout.height = std::max<std::uint32_t>(1, static_cast<std::uint32_t>(height) >> level);
    if (IsBlockFormat(format)) {
        // Whole blocks: a level of 6 or of 2 pixels still fills 2 blocks or 1.
        layout.pitch = std::uint64_t{(layout.width + 3) / 4} * FormatBlockBytes(format);
        layout.rows = (layout.height + 3) / 4;
    } else {
        layout.pitch = std::max<std::uint64_t>(1, std::uint64_t{layout.width} * FormatPixelBits(format) / 8);
        layout.rows = layout.height;
    }
    layout.bytes = layout.pitch * layout.rows;
    return true;
}
