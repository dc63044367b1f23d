// Glyph selection and text measuring of a bitmap font.
#include "engine/resources/font/BitmapFont.h"

namespace {

constexpr GlyphCorners kNoCorners{};

}  // namespace

BitmapFont::BitmapFont() = default;

BitmapFont::~BitmapFont() { BitmapFont::Unload(); }

void BitmapFont::Unload() { FreeGlyphs(); }

void BitmapFont::FreeGlyphs() {
    EngineFree(glyphs_);
    EngineFree(metrics_);
    glyphs_ = nullptr;
    metrics_ = nullptr;
    glyphCount_ = 0;
}

bool BitmapFont::AllocateGlyphs(std::uint64_t count) {
    FreeGlyphs();
    if (count == 0 || count > kMaximumEngineAllocation / sizeof(GlyphCorners)) return false;
    glyphs_ = static_cast<GlyphCorners*>(EngineAlloc(static_cast<std::size_t>(count * sizeof(GlyphCorners))));
    metrics_ = static_cast<GlyphMetrics*>(EngineAlloc(static_cast<std::size_t>(count * sizeof(GlyphMetrics))));
    if (glyphs_ == nullptr || metrics_ == nullptr) {
        FreeGlyphs();
        return false;
    }
    for (std::uint64_t i = 0; i < count; ++i) {
        glyphs_[i] = GlyphCorners{};
        metrics_[i] = GlyphMetrics{};
    }
    glyphCount_ = static_cast<std::uint32_t>(count);
    return true;
}

std::uint32_t BitmapFont::GlyphFor(WCHAR character) const {
    const std::uint32_t glyph = glyphIndex_[character];
    return glyph < glyphCount_ ? glyph : 0;
}

const GlyphCorners& BitmapFont::CornersOf(WCHAR character) const {
    return glyphCount_ == 0 ? kNoCorners : glyphs_[GlyphFor(character)];
}

GlyphMetrics BitmapFont::MetricsOf(WCHAR character) const {
    return glyphCount_ == 0 ? GlyphMetrics{} : metrics_[GlyphFor(character)];
}

float BitmapFont::SelectGlyphWidth(WCHAR character, float* advance) {
    SelectGlyph(character);
    const float width = MetricsOf(character).advance;
    if (advance != nullptr) *advance = width;
    return width;
}

void BitmapFont::SelectGlyph(WCHAR character) { current_ = CornersOf(character); }

void BitmapFont::SetTracking(float tracking) { tracking_ = tracking; }

float BitmapFont::GetTracking() const { return tracking_; }

void BitmapFont::GetGlyphMetrics(WCHAR character, float* advance, float* leftOffset) const {
    const GlyphMetrics metrics = MetricsOf(character);
    if (advance != nullptr) *advance = metrics.advance + tracking_;
    if (leftOffset != nullptr) *leftOffset = metrics.leftOffset;
}

float BitmapFont::GetGlyphAdvance(WCHAR character) const { return MetricsOf(character).advance; }

void BitmapFont::MeasureN(const WCHAR* text, std::int32_t count, float* width, float* height) const {
    float sum = 0.0f;
    if (text != nullptr) {
        for (std::int32_t i = 0; i < count; ++i) sum += MetricsOf(text[i]).advance + tracking_;
    }
    if (width != nullptr) *width = sum;
    if (height != nullptr) *height = lineHeight_;
}

void BitmapFont::Measure(const WCHAR* text, float* width, float* height) const {
    std::int32_t count = 0;
    if (text != nullptr) {
        while (text[count] != 0 && count < 0x7FFFFFFF) ++count;
    }
    MeasureN(text, count, width, height);
}
