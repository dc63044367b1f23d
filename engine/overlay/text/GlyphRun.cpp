// Laying out glyph runs, the system font, and the shared run of the 2D drawing.
#include "engine/overlay/text/GlyphRun.h"

#include <algorithm>
#include <cstring>

#include "engine/core/memory/EngineMemory.h"
#include "engine/overlay/text/TextRef.h"
#include "engine/resources/font/BitmapFont.h"

namespace {

BitmapFont* systemFont = nullptr;
GlyphRun* sharedRun = nullptr;

void SetVertex(ImmediateVertex& vertex, float x, float y, float u, float v) {
    vertex = ImmediateVertex{};
    vertex.position = Vector3{x, y, 0.0f};
    std::memset(vertex.colour, 0xFF, sizeof(vertex.colour));
    vertex.u = u;
    vertex.v = v;
}

}  // namespace

GlyphRun* NewGlyphRun(std::uint32_t capacity) {
    auto* run = static_cast<GlyphRun*>(EngineAlloc(sizeof(GlyphRun)));
    if (run == nullptr) return nullptr;
    *run = GlyphRun{};
    if (capacity > 0) {
        run->quads = static_cast<ImmediateVertex*>(EngineAlloc(std::size_t{capacity} * 4 * sizeof(ImmediateVertex)));
        if (run->quads == nullptr) {
            EngineFree(run);
            return nullptr;
        }
    }
    run->capacity = capacity;
    return run;
}

void DeleteGlyphRun(GlyphRun* run) {
    if (run == nullptr) return;
    EngineFree(run->quads);
    EngineFree(run);
}

void LayOutGlyphRun(GlyphRun& run, const WCHAR* text, std::uint32_t length, BitmapFont& font) {
    const std::uint32_t count = text != nullptr ? std::min(length, run.capacity) : 0;
    const float lineHeight = font.LineHeight();
    const float glyphSize = font.GlyphSize();
    float pen = 0.0f;
    for (std::uint32_t i = 0; i < count; ++i) {
        float advance = 0.0f;
        float leftOffset = 0.0f;
        font.GetGlyphMetrics(text[i], &advance, &leftOffset);
        const float left = pen - leftOffset;
        const float right = pen + (glyphSize >= 1.0f ? glyphSize : advance);
        pen += advance + leftOffset;
        font.SelectGlyph(text[i]);
        const float* uv = font.CurrentGlyph().uv;
        ImmediateVertex* quad = run.quads + std::size_t{i} * 4;
        SetVertex(quad[0], left, 0.0f, uv[0], uv[1]);
        SetVertex(quad[1], right, 0.0f, uv[2], uv[3]);
        SetVertex(quad[2], right, lineHeight, uv[4], uv[5]);
        SetVertex(quad[3], left, lineHeight, uv[6], uv[7]);
    }
    run.width = pen;
    run.lineHeight = lineHeight;
    run.count = count;
    run.font = &font;
}

void SetSystemFont(BitmapFont* font) { systemFont = font; }

BitmapFont* SystemFont() { return systemFont; }

bool IsFormatText(const WCHAR* text, std::uint32_t length) {
    if (text == nullptr) return false;
    for (std::uint32_t i = 1; i < length; ++i) {
        if (text[i] != u'%' || text[i - 1] == u'%') continue;
        if (i + 1 == length || text[i + 1] != u'%') return true;
    }
    return false;
}

GlyphRun* BuildGlyphRun(const WCHAR* text, std::uint32_t length) {
    if (text == nullptr || length == 0 || systemFont == nullptr || IsFormatText(text, length)) return nullptr;
    // A longer text is cut at the run's limit rather than laid out past its quads.
    GlyphRun* run = NewGlyphRun(std::min(length, kTableRunGlyphs));
    if (run == nullptr) return nullptr;
    LayOutGlyphRun(*run, text, length, *systemFont);
    return run;
}

int CreateGlyphBuffer() {
    if (sharedRun == nullptr) sharedRun = NewGlyphRun(kSharedRunGlyphs);
    return sharedRun != nullptr ? 1 : 0;
}

void FreeGlyphBuffer() {
    DeleteGlyphRun(sharedRun);
    sharedRun = nullptr;
}

GlyphRun* SharedGlyphRun() { return sharedRun; }

int FillGlyphRun(GlyphRun& run, const TextRef& text, BitmapFont* font) {
    const WCHAR* characters = TextRefGetText(text);
    const std::uint32_t length = TextRefGetLength(text);
    if (font == nullptr) font = systemFont;
    if (characters == nullptr || length == 0 || font == nullptr) return 0;
    LayOutGlyphRun(run, characters, length, *font);
    return 1;
}
