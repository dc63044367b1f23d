// Text from data files through the engine core: UTF-8 to wide and back, conversions into
// small buffers, wrapping in both modes with widths from the input, creation by a class name.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/app/CoreModule.h"
#include "engine/core/object/Module.h"
#include "engine/core/text/TextConversion.h"
#include "engine/core/text/WrapText.h"

namespace {
// Character widths from the input's second byte: zero, tiny, normal or beyond any box.
class InputFont : public TextMeasure {
public:
    explicit InputFont(std::uint8_t seed) : scale_(seed == 255 ? 1.0e30f : static_cast<float>(seed % 32)) {}
    float TextWidth(const WCHAR* text, std::size_t count) const override {
        float width = 0.0f;
        for (std::size_t i = 0; i < count; ++i) width += CharacterWidth(text[i]);
        return width;
    }
    float CharacterWidth(WCHAR character) const override { return static_cast<float>(character % 5) * scale_; }

private:
    float scale_;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0 && RegisterCoreModule() == 0;
    if (!ready || size < 2) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);
    EngineWString wide = EngineWString::FromUtf8(text.c_str());
    EngineString back = EngineString::FromWide(wide.Text());
    WCHAR smallWide[8];
    char smallNarrow[8];
    Utf8ToWide(smallWide, text.c_str(), data[0] % 9);
    WideToUtf8(smallNarrow, wide.Text(), data[1] % 9);
    KDLList lines;
    WrapText(wide, lines, static_cast<float>(data[0]), InputFont(data[1]), 1.0f, data[1] & 1);
    ListDeleteAll(lines, EngineWString::DeleteItem);
    if (Interface* object = CreateByName(nullptr, text.c_str(), nullptr)) object->Release();
    return 0;
}
