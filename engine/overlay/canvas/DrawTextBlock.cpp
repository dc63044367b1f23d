// Text blocks: a text wrapped into a box and drawn line by line.
#include "engine/core/containers/KDLList.h"
#include "engine/core/math/VectorMath.h"
#include "engine/core/text/EngineWString.h"
#include "engine/core/text/WrapText.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/text/GlyphRun.h"
#include "engine/overlay/text/TextRef.h"
#include "engine/resources/font/BitmapFont.h"

namespace {

// Lines are spaced by the line height and this many pixels more.
constexpr float kLineGap = 2.0f;

// What wrapping measures: the font's widths with its tracking.
class FontMeasure : public TextMeasure {
public:
    explicit FontMeasure(const BitmapFont& font) : font_(font) {}
    float TextWidth(const WCHAR* text, std::size_t count) const override {
        float width = 0.0f;
        font_.MeasureN(text, static_cast<std::int32_t>(count > 0x7FFFFFFF ? 0x7FFFFFFF : count), &width, nullptr);
        return width;
    }
    float CharacterWidth(WCHAR character) const override {
        float advance = 0.0f;
        font_.GetGlyphMetrics(character, &advance, nullptr);
        return advance;
    }

private:
    const BitmapFont& font_;
};

// The wrapped lines of one draw; they go when the draw is done, however it ends.
struct Lines {
    KDLList list;
    ~Lines() { ListDeleteAll(list, EngineWString::DeleteItem); }
};

}  // namespace

void DrawTextBlock(Canvas2D* canvas, float x, float y, float width, float height, const TextRef& text,
                   BitmapFont* font, DWORD colour, DWORD flags, float scale, float extraLineSpacing, int wrapOption) {
    const WCHAR* characters = TextRefGetText(text);
    const std::uint32_t length = TextRefGetLength(text);
    if (font == nullptr) font = SystemFont();
    if (characters == nullptr || length == 0 || font == nullptr) return;
    if ((flags & kTextRoundPosition) != 0) {
        x = RoundHalfAway(x);
        y = RoundHalfAway(y);
    }
    // The box in canvas units: DrawText adds the screen origin and the canvas offset itself.
    const float effective = Overlay2D().textScale * scale;

    Lines lines;
    const EngineWString whole = EngineWString::FromRange(characters, length);
    if ((flags & kTextOneLine) != 0) {
        EngineWString* line = EngineWString::New(whole.Text(), whole.Length());
        if (line == nullptr || ListAppend(lines.list, line) == nullptr) {
            EngineWString::Delete(line);
            return;
        }
    } else if (WrapText(whole, lines.list, width, FontMeasure(*font), effective, wrapOption) == 0) {
        return;
    }
    if (lines.list.count == 0) return;

    float lineX = x;
    float lineY = y;
    const float lineHeight = font->LineHeight();
    if ((flags & kTextMiddle) != 0)
        lineY = y + height * 0.5f - static_cast<float>(lines.list.count - 1) * (lineHeight + kLineGap) * scale * 0.5f;
    if ((flags & kTextCentre) != 0) lineX = x + width * 0.5f;
    const bool reversed = Overlay2D().reversedLines != 0;
    if (reversed) lineX = x + width;
    const DWORD lineFlags = reversed ? kTextRight : flags;
    for (KDLLink* link = reversed ? lines.list.tail : lines.list.head; link != nullptr;
         link = reversed ? link->previous : link->next) {
        TextRef line = TextRefFromText(static_cast<EngineWString*>(link->item));
        DrawText(canvas, lineX, lineY, line, font, colour, lineFlags, scale);
        lineY += lineHeight * effective + extraLineSpacing + kLineGap;
    }
}

void DrawTextBlockDefault(Canvas2D* canvas, float x, float y, float width, float height, const TextRef& text,
                          DWORD colour, DWORD flags, float scale) {
    DrawTextBlock(canvas, x, y, width, height, text, SystemFont(), colour, flags, scale, 0.0f, 0);
}
