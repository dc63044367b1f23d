// Word and character wrapping of wide text. Lines are ranges of the source text, so no line
// or word length is too long for a buffer.
#include "engine/core/text/WrapText.h"

#include <cmath>

namespace {

bool IsBlank(WCHAR c) { return c == u' ' || c == u'\t'; }
bool IsBreak(WCHAR c) { return c == u'\n' || c == u'|'; }
bool EndsWord(WCHAR c) { return IsBlank(c) || IsBreak(c); }

// Truncation toward zero to whole units (of a width scaled in float). Kept in double
// precision, so that no width, however large or odd, overflows a sum or an integer
// conversion; an unmeasurable (NaN) width counts as 0.
double WholeUnits(double value) {
    if (!(value == value)) return 0.0;
    return std::trunc(value);
}

class LineSink {
public:
    LineSink(const WCHAR* text, KDLList& lines) : text_(text), lines_(lines) {}
    bool Emit(std::size_t begin, std::size_t end) {
        EngineWString* line = EngineWString::New(text_ + begin, end - begin);
        if (line == nullptr) return false;
        if (ListAppend(lines_, line) == nullptr) {
            EngineWString::Delete(line);
            return false;
        }
        return true;
    }

private:
    const WCHAR* text_;
    KDLList& lines_;
};

int WrapWords(const WCHAR* text, std::size_t length, double width, const TextMeasure& font, float scale,
              LineSink& sink) {
    std::size_t p = 0;
    while (p < length) {
        while (p < length && IsBlank(text[p])) ++p;
        if (p >= length) break;
        // The line under construction is [lineStart, p); the last one that fitted ends at
        // acceptedEnd.
        const std::size_t lineStart = p;
        std::size_t acceptedEnd = lineStart;
        for (;;) {
            const std::size_t wordStart = p;
            if (acceptedEnd > lineStart) ++p;  // the separator before the word
            while (p < length && !EndsWord(text[p])) ++p;
            const double measured = WholeUnits(font.TextWidth(text + lineStart, p - lineStart) * scale);
            if (measured > width) {
                if (acceptedEnd - lineStart > 1) {
                    // The word and its separator begin the next line.
                    p = wordStart;
                    if (!sink.Emit(lineStart, acceptedEnd)) return 0;
                } else {
                    // Nothing shorter fits: the line stands although it is too wide. A break
                    // right after it is the break it already made.
                    if (!sink.Emit(lineStart, p)) return 0;
                    if (p < length && IsBreak(text[p])) ++p;
                }
                break;
            }
            if (p + 1 >= length || IsBreak(text[p])) {
                const std::size_t end = p;
                if (p < length && IsBreak(text[p])) ++p;
                if (!sink.Emit(lineStart, end)) return 0;
                break;
            }
            acceptedEnd = p;
        }
    }
    return 1;
}

int WrapCharacters(const WCHAR* text, std::size_t length, double width, const TextMeasure& font, float scale,
                   LineSink& sink) {
    std::size_t p = 0;
    bool firstLine = true;
    while (p < length) {
        if (!firstLine) {
            while (p < length && IsBlank(text[p])) ++p;
            if (p >= length) break;
        }
        firstLine = false;
        const std::size_t lineStart = p;
        double used = 0.0;
        while (p < length && !IsBreak(text[p])) {
            const double next = used + WholeUnits(font.CharacterWidth(text[p]) * scale);
            // Always at least one character, so that a glyph wider than the box still moves on.
            if (next >= width && p > lineStart) break;
            used = next;
            ++p;
        }
        const std::size_t end = p;
        if (p < length && IsBreak(text[p])) ++p;
        if (!sink.Emit(lineStart, end)) return 0;
    }
    return 1;
}

}  // namespace

int WrapText(const EngineWString& text, KDLList& lines, float width, const TextMeasure& font, float scale,
             int byCharacter) {
    LineSink sink(text.Text(), lines);
    const double wholeWidth = WholeUnits(width);
    if (byCharacter != 0) return WrapCharacters(text.Text(), text.Length(), wholeWidth, font, scale, sink);
    return WrapWords(text.Text(), text.Length(), wholeWidth, font, scale, sink);
}
