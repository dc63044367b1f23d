// Loading a bitmap font: the ".fnt" glyph file with its page, or the grid of equal cells
// measured from the image's alpha.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "engine/core/files/FileStream.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/text/EngineString.h"
#include "engine/render/TextureData.h"
#include "engine/resources/font/BitmapFont.h"

namespace {

// Pixel formats whose pixels carry alpha in their top bits: 4-4-4-4 words, and 32-bit pixels.
constexpr DWORD kGridFormat16 = 5;
constexpr DWORD kGridFormat32a = 7;
constexpr DWORD kGridFormat32b = 8;

// Texture coordinates in a ".fnt" file count in 1/65535 of the page.
constexpr float kGlyphFileUnit = 1.0f / 65535.0f;

std::uint32_t Read32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
           (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

std::uint16_t Read16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | (at[1] << 8)); }

float FileCoordinate(const std::uint8_t* at) {
    return static_cast<float>(static_cast<std::int32_t>(Read32(at))) * kGlyphFileUnit;
}

// The glyph number of cell n: n plus the grid's offset, or none (past every glyph) when the
// sum falls outside 32 bits.
std::uint32_t GridGlyphNumber(std::int64_t cell, std::int32_t offset) {
    const std::int64_t glyph = cell + offset;
    return glyph < 0 || glyph > 0xFFFFFFFF ? 0xFFFFFFFFu : static_cast<std::uint32_t>(glyph);
}

// A pixel of the grid image shows something.
bool Visible(const std::uint8_t* pixel, int pixelBytes) {
    if (pixelBytes == 2) return (Read16(pixel) >> 12) != 0;
    return pixel[3] != 0;  // B, G, R, A: alpha is the 32-bit word's top byte
}

}  // namespace

int BitmapFont::ReadGlyphFile(const std::uint8_t* data, std::size_t size) {
    FreeGlyphs();
    glyphSize_ = 0.0f;
    if (data == nullptr || size < kGlyphFileHeaderBytes) return 0;
    lineHeight_ = static_cast<float>(Read32(data));
    const std::uint32_t count = Read32(data + 4);
    // A font without glyphs would leave every character pointing at a glyph that is not there.
    if (count == 0 || std::uint64_t{count} * kGlyphFileEntryBytes > size - kGlyphFileHeaderBytes) return 0;
    if (!AllocateGlyphs(count)) return 0;
    const std::uint8_t* entry = data + kGlyphFileHeaderBytes;
    for (std::uint32_t k = 0; k < count; ++k, entry += kGlyphFileEntryBytes) {
        const float left = FileCoordinate(entry);
        const float top = FileCoordinate(entry + 4);
        const float right = FileCoordinate(entry + 8);
        const float bottom = FileCoordinate(entry + 12);
        glyphs_[k] = GlyphCorners{{left, top, right, top, right, bottom, left, bottom}};
        metrics_[k] = GlyphMetrics{static_cast<float>(Read16(entry + 16)), 0.0f};
        glyphIndex_[Read16(entry + 18)] = k;
    }
    return 1;
}

int BitmapFont::LoadFont(const char* name, std::int32_t imageWidth, std::int32_t imageHeight, std::int32_t columns,
                         std::int32_t rows, std::int32_t cellWidth, std::int32_t cellHeight,
                         std::int32_t glyphOffset) {
    if (LoadTextureHandle(page_, name, 1) == 0) return 0;
    std::fill(std::begin(resetWords_), std::end(resetWords_), -1);
    std::fill(std::begin(glyphIndex_), std::end(glyphIndex_), 0u);
    FreeGlyphs();

    const char* dot = std::strrchr(name, '.');
    const EngineString base =
        dot != nullptr ? EngineString::FromCharsN(name, static_cast<int>(dot - name)) : EngineString(name);
    FileStream stream;
    const EngineString glyphFile = base.Concat(".fnt");
    if (stream.Open(glyphFile.Text(), kStreamBinary | kStreamReadWhole) != 0) {
        const int read = ReadGlyphFile(stream.Image(), stream.Size());
        stream.Close();
        // A font without glyphs draws no text at all: say which file took them away.
        if (read == 0) {
            LogWrite("%s is not a glyph file: the font %s draws no text", "Font", 1, glyphFile.Text(), name);
            return 0;
        }
        const EngineString pageFile = base.Concat(".ddsx");
        if (LoadTextureHandle(page_, pageFile.Text(), 0) == 0) {
            LogWrite("%s cannot be loaded: the font %s draws no text", "Font", 1, pageFile.Text(), name);
            return 0;
        }
        return 1;
    }
    return LoadGrid(name, imageWidth, imageHeight, columns, rows, cellWidth, cellHeight, glyphOffset);
}

int BitmapFont::LoadGrid(const char* name, std::int32_t imageWidth, std::int32_t imageHeight, std::int32_t columns,
                         std::int32_t rows, std::int32_t cellWidth, std::int32_t cellHeight,
                         std::int32_t glyphOffset) {
    TextureData* image = TextureDataOf(page_.texture);
    if (image == nullptr) return 0;
    const DWORD format = image->Format();
    const int pixelBytes = format == kGridFormat16 ? 2 : (format == kGridFormat32a || format == kGridFormat32b) ? 4 : 0;
    if (pixelBytes == 0) return 0;
    // The cells are measured in the image's pixels: every cell must lie inside the image.
    if (columns < 1 || rows < 1 || cellWidth < 1 || cellHeight < 1 || imageWidth < 1 || imageHeight < 1) return 0;
    const std::int64_t textureWidth = image->Width();
    const std::int64_t textureHeight = image->Height();
    if (std::int64_t{columns} * cellWidth > textureWidth || std::int64_t{rows} * cellHeight > textureHeight) return 0;

    glyphOffset_ = glyphOffset;
    glyphSize_ = static_cast<float>(cellWidth);
    lineHeight_ = static_cast<float>(cellHeight);
    const std::uint64_t cellCount = std::uint64_t{static_cast<std::uint32_t>(rows)} * static_cast<std::uint32_t>(columns);
    if (!AllocateGlyphs(cellCount)) return 0;

    const double du = static_cast<double>(cellWidth) / imageWidth;
    const double dv = static_cast<double>(cellHeight) / imageHeight;
    double top = 0.0;
    for (std::int32_t r = 0; r < rows; ++r) {
        const double bottom = top + dv;
        double left = 0.0;
        for (std::int32_t c = 0; c < columns; ++c) {
            const double right = left + du;
            const auto l = static_cast<float>(left);
            const auto t = static_cast<float>(top);
            const auto rr = static_cast<float>(right);
            const auto b = static_cast<float>(bottom);
            glyphs_[std::uint64_t{static_cast<std::uint32_t>(r)} * static_cast<std::uint32_t>(columns) +
                    static_cast<std::uint32_t>(c)] = GlyphCorners{{l, t, rr, t, rr, b, l, b}};
            left = right;
        }
        top = bottom;
    }
    const std::uint64_t indexed = std::min<std::uint64_t>(cellCount, kGlyphIndexSize);
    for (std::uint64_t n = 0; n < indexed; ++n) glyphIndex_[n] = GridGlyphNumber(static_cast<std::int64_t>(n), glyphOffset);

    std::int32_t pitch = 0;
    auto* pixels = static_cast<const std::uint8_t*>(image->Lock(0, &pitch, 0));
    if (pixels == nullptr) return 0;
    if (pitch < textureWidth * pixelBytes) {
        image->Unlock(0);
        return 0;
    }
    for (std::uint64_t n = 0; n < cellCount; ++n) {
        const std::int64_t cellX = static_cast<std::int64_t>(n % static_cast<std::uint32_t>(columns)) * cellWidth;
        const std::int64_t cellY = static_cast<std::int64_t>(n / static_cast<std::uint32_t>(columns)) * cellHeight;
        auto columnVisible = [&](std::int32_t x) {
            for (std::int32_t y = 0; y < cellHeight; ++y) {
                const std::uint8_t* pixel = pixels + (cellY + y) * pitch + (cellX + x) * pixelBytes;
                if (Visible(pixel, pixelBytes)) return true;
            }
            return false;
        };
        std::int32_t first = 0;
        while (first < cellWidth && !columnVisible(first)) ++first;
        if (first == cellWidth) {
            metrics_[n] = GlyphMetrics{glyphSize_ * 0.5f, 0.0f};
            continue;
        }
        std::int32_t last = cellWidth - 1;
        while (last > first && !columnVisible(last)) --last;
        // The two pixel depths keep their own spacing: a 32-bit glyph advances two pixels further.
        const std::int32_t room = pixelBytes == 4 ? 3 : 1;
        metrics_[n] = GlyphMetrics{static_cast<float>(last - first + room), static_cast<float>(first - 1)};
    }
    image->Unlock(0);
    return LoadTextureHandle(page_, EngineString(name).Concat(".ddsx").Text(), 0);
}
