// Texts of the frame: keyed texts of the text table and texts put together here, drawn in
// the system font. Texts put together go into a fixed line that cuts what does not fit; a
// translated text in one is only ever copied, never used as a format.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/base/Types.h"

class Canvas2D;

// Alignments of the frame's texts: x the left end, the right end or the middle; y the
// middle of the line for all three.
constexpr DWORD kAlignLeft = 4;
constexpr DWORD kAlignRight = 5;
constexpr DWORD kAlignCentre = 6;
DWORD TextFlagsOf(DWORD alignment);

// A line of at most kCapacity - 1 units, always terminated; what does not fit is cut.
class TextLine {
public:
    static constexpr std::size_t kCapacity = 128;

    void Clear();
    void Append(const WCHAR* text);
    void AppendAscii(const char* text);
    void AppendNumber(std::int64_t number);
    // printf's "%.2f" of the value, through a bounded buffer.
    void AppendFixed2(float value);
    const WCHAR* Text() const { return units_; }
    std::size_t Length() const { return length_; }
    bool WasCut() const { return cut_; }

private:
    void Put(WCHAR unit);

    WCHAR units_[kCapacity] = {};
    std::size_t length_ = 0;
    bool cut_ = false;
};

// The key's text from the text table (its "DEFAULT" fallback when missing).
const WCHAR* KeyedText(const char* key);

// A keyed text drawn from its laid-out glyph run, colour ARGB.
void DrawKeyedText(Canvas2D* canvas, float x, float y, const char* key, DWORD colour, DWORD alignment, float scale);
void DrawLineText(Canvas2D* canvas, float x, float y, const WCHAR* text, DWORD colour, DWORD alignment, float scale);
// The colour (1, 1, 1, alpha) or (r, g, b, alpha) as ARGB, each channel times 255 truncated.
DWORD WhiteWithAlpha(float alpha);
DWORD RgbWithAlpha(float r, float g, float b, float alpha);
