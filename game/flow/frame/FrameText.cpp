// Bounded text lines, numbers put into translations, and keyed and plain texts drawn.
#include "game/flow/frame/FrameText.h"

#include <cstdio>

#include "engine/core/math/ColorMath.h"
#include "engine/core/text/EngineString.h"
#include "engine/core/text/EngineWString.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/text/TextRef.h"
#include "engine/overlay/text/TextTable.h"

DWORD TextFlagsOf(DWORD alignment) {
    switch (alignment) {
        case kAlignRight:
            return kTextRight | kTextMiddle;
        case kAlignCentre:
            return kTextCentre | kTextMiddle;
        default:
            return kTextMiddle;
    }
}

void TextLine::Clear() {
    length_ = 0;
    units_[0] = 0;
    cut_ = false;
}

void TextLine::Put(WCHAR unit) {
    if (length_ + 1 >= kCapacity) {
        cut_ = true;
        return;
    }
    units_[length_++] = unit;
    units_[length_] = 0;
}

void TextLine::Append(const WCHAR* text) {
    if (text == nullptr) return;
    for (; *text != 0; ++text) Put(*text);
}

void TextLine::AppendAscii(const char* text) {
    if (text == nullptr) return;
    for (; *text != 0; ++text) Put(static_cast<WCHAR>(static_cast<unsigned char>(*text)));
}

void TextLine::AppendNumber(std::int64_t number) {
    char digits[24];
    std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(number));
    AppendAscii(digits);
}

void TextLine::AppendFixed2(float value) {
    char digits[48];
    std::snprintf(digits, sizeof digits, "%.2f", static_cast<double>(value));
    AppendAscii(digits);
}

const WCHAR* KeyedText(const char* key) { return TextTableFind(GlobalTextTable(), key, nullptr); }

void DrawKeyedText(Canvas2D* canvas, float x, float y, const char* key, DWORD colour, DWORD alignment, float scale) {
    EngineString name(key);
    TextRef reference = TextRefFromKey(&name, 0);
    DrawTextRef(canvas, x, y, reference, colour, TextFlagsOf(alignment), scale);
}

void DrawLineText(Canvas2D* canvas, float x, float y, const WCHAR* text, DWORD colour, DWORD alignment, float scale) {
    EngineWString own(text);
    TextRef reference = TextRefFromText(&own);
    DrawText(canvas, x, y, reference, nullptr, colour, TextFlagsOf(alignment), scale);
}

DWORD WhiteWithAlpha(float alpha) { return RgbWithAlpha(1.0f, 1.0f, 1.0f, alpha); }

DWORD RgbWithAlpha(float r, float g, float b, float alpha) { return ColorToARGB(Color{r, g, b, alpha}); }
