// ".fnt" glyph files: the header and entries read into a font, then every character the
// input names selected and measured, with 0xFFFF and a character no entry maps.
#include <cstddef>
#include <cstdint>

#include "engine/resources/font/BitmapFont.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    static BitmapFont* font = ready ? new BitmapFont : nullptr;
    if (font == nullptr) return 0;
    font->ReadGlyphFile(data, size);
    for (std::size_t i = 0; i + 1 < size && i < 64; i += 2) {
        const auto character = static_cast<WCHAR>(data[i] | (data[i + 1] << 8));
        font->SelectGlyph(character);
        float advance = 0.0f;
        float left = 0.0f;
        font->GetGlyphMetrics(character, &advance, &left);
    }
    const WCHAR edge[] = {0xFFFF, 0, 0x7FFF, 0};
    float width = 0.0f;
    font->MeasureN(edge, 3, &width, nullptr);
    return 0;
}
