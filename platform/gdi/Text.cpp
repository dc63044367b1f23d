// Text metrics, extents, ExtTextOutW and DrawTextW over the font engine.
#include "platform/gdi/Text.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/base/Errors.h"
#include "platform/gdi/DcInternals.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/FontEngine.h"
#include "platform/screen/Display.h"

using namespace platform::gdi;

namespace {

// The logical font of the context's selected font (the system font when none is).
LOGFONTW FontOf(const DeviceContext& dc) {
    if (const auto* font = static_cast<const FontObject*>(dc.state.font.Get())) return font->Font();
    return static_cast<const FontObject*>(platform::FindGdiObject(GetStockObject(SYSTEM_FONT)).get())->Font();
}

std::u32string CodePoints(const char16_t* text, std::size_t count) {
    std::u32string codes;
    codes.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const char32_t unit = text[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < count && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            codes.push_back(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit < 0xE000) {
            codes.push_back(0xFFFD);
        } else {
            codes.push_back(unit);
        }
    }
    return codes;
}

// Glyphs placed along a line from pen position 0.
struct Run {
    std::vector<const Glyph*> glyphs;  // null for control characters
    std::vector<int> x;
    int width = 0;
};

Run LayOut(FontInstance& font, const std::u32string& codes, const int* dx, int tabWidth) {
    Run run;
    run.glyphs.reserve(codes.size());
    run.x.reserve(codes.size());
    long long pen = 0;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const char32_t code = codes[i];
        run.x.push_back(static_cast<int>(pen));
        if (code == U'\t' && tabWidth > 0) {
            run.glyphs.push_back(nullptr);
            pen = (pen / tabWidth + 1) * tabWidth;
            continue;
        }
        if (code < 0x20) {
            run.glyphs.push_back(nullptr);
            continue;
        }
        const Glyph& glyph = font.GlyphOf(code);
        run.glyphs.push_back(&glyph);
        pen += dx != nullptr ? dx[i] : glyph.advance;
        pen = std::clamp<long long>(pen, -0x10000000, 0x10000000);
    }
    run.width = static_cast<int>(pen);
    return run;
}

RECT Intersect(const RECT& a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT ToBuffer(const DrawTarget& target, const RECT& logical) {
    return RECT{logical.left + target.origin.x, logical.top + target.origin.y, logical.right + target.origin.x,
                logical.bottom + target.origin.y};
}

void FillClipped(DrawTarget& target, const RECT& area, const RECT& clip, COLORREF color) {
    const RECT inside = Intersect(area, clip);
    if (!IsEmpty(inside)) FillTarget(target, inside, color);
}

// Blends glyph coverage into the target in the colour: each channel moves from the
// destination towards the colour by coverage / 255.
void DrawRun(DrawTarget& target, const Run& run, LONG originX, LONG baseline, COLORREF color, const RECT& clip,
             const FontMetrics& metrics, const LOGFONTW& font) {
    const PixelBuffer& pixels = target.pixels;
    PixelCodec codec(pixels);
    const DWORD solid = codec.Encode(color);
    const int red = GetRValue(color);
    const int green = GetGValue(color);
    const int blue = GetBValue(color);
    auto plot = [&](LONG x, LONG y, int coverage) {
        BYTE* row = pixels.Row(static_cast<int>(y));
        if (coverage >= 255) {
            codec.WriteValue(row, static_cast<int>(x), solid);
            return;
        }
        const COLORREF under = codec.Read(row, static_cast<int>(x));
        auto mix = [coverage](int from, int to) { return (from * (255 - coverage) + to * coverage + 127) / 255; };
        codec.Write(row, static_cast<int>(x),
                    RGB(mix(GetRValue(under), red), mix(GetGValue(under), green), mix(GetBValue(under), blue)));
    };
    RECT touched{};
    bool any = false;
    for (std::size_t i = 0; i < run.glyphs.size(); ++i) {
        const Glyph* glyph = run.glyphs[i];
        if (glyph == nullptr || glyph->width == 0) continue;
        const LONG left = originX + run.x[i] + glyph->left;
        const LONG top = baseline - glyph->top;
        const RECT box = Intersect(RECT{left, top, left + glyph->width, top + glyph->rows}, clip);
        if (IsEmpty(box)) continue;
        for (LONG y = box.top; y < box.bottom; ++y) {
            const std::uint8_t* coverage = glyph->coverage.data() + static_cast<std::size_t>(y - top) * glyph->width;
            for (LONG x = box.left; x < box.right; ++x)
                if (coverage[x - left] != 0) plot(x, y, coverage[x - left]);
        }
        touched = any ? RECT{std::min(touched.left, box.left), std::min(touched.top, box.top),
                             std::max(touched.right, box.right), std::max(touched.bottom, box.bottom)}
                      : box;
        any = true;
    }
    if (any) target.Touch(touched);
    auto line = [&](LONG top, int thickness) {
        FillClipped(target, RECT{originX, top, originX + run.width, top + thickness}, clip, color);
    };
    if (font.lfUnderline != 0)
        line(baseline + metrics.underlinePosition - metrics.underlineThickness / 2, metrics.underlineThickness);
    if (font.lfStrikeOut != 0) line(baseline - metrics.strikeoutPosition, metrics.underlineThickness);
}

// A text call's common start: the context, its target and its font instance.
class TextCall {
public:
    explicit TextCall(HDC dc) : m_access(dc), m_fontLock(FontEngineMutex()) {
        if (!m_access.Valid()) return;
        m_font = FontOf(m_access.Dc());
        m_instance = FindFontInstance(m_font);
        if (m_instance == nullptr) SetLastError(ERROR_FILE_NOT_FOUND);
    }
    bool Valid() const { return m_access.Valid() && m_instance != nullptr; }
    DeviceContext& Dc() { return m_access.Dc(); }
    DrawTarget& Target() { return m_access.Target(); }
    FontInstance& Font() { return *m_instance; }
    const LOGFONTW& Logical() const { return m_font; }

private:
    DcAccess m_access;
    std::lock_guard<std::mutex> m_fontLock;
    LOGFONTW m_font{};
    FontInstance* m_instance = nullptr;
};

std::size_t LengthOf(LPCWSTR text, int count) {
    if (count >= 0) return static_cast<std::size_t>(count);
    std::size_t length = 0;
    while (text[length] != 0) ++length;
    return length;
}

}  // namespace

BOOL GetTextMetricsW(HDC dc, LPTEXTMETRICW metrics) {
    if (metrics == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    TextCall call(dc);
    if (!call.Valid()) return FALSE;
    const FontMetrics& font = call.Font().Metrics();
    const LOGFONTW& logical = call.Logical();
    const int dpi = platform::screen::Dpi();
    *metrics = TEXTMETRICW{};
    metrics->tmHeight = font.height;
    metrics->tmAscent = font.ascent;
    metrics->tmDescent = font.descent;
    metrics->tmInternalLeading = font.internalLeading;
    metrics->tmExternalLeading = font.externalLeading;
    metrics->tmAveCharWidth = font.averageWidth;
    metrics->tmMaxCharWidth = font.maxWidth;
    metrics->tmWeight = logical.lfWeight != 0 ? logical.lfWeight : 400;
    metrics->tmDigitizedAspectX = dpi;
    metrics->tmDigitizedAspectY = dpi;
    metrics->tmFirstChar = 0x20;
    metrics->tmLastChar = 0xFFFC;
    metrics->tmDefaultChar = 0x20;
    metrics->tmBreakChar = 0x20;
    metrics->tmItalic = logical.lfItalic != 0 ? 1 : 0;
    metrics->tmUnderlined = logical.lfUnderline != 0 ? 1 : 0;
    metrics->tmStruckOut = logical.lfStrikeOut != 0 ? 1 : 0;
    metrics->tmPitchAndFamily = font.pitchAndFamily;
    metrics->tmCharSet = logical.lfCharSet;
    return TRUE;
}

BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size) {
    if (size == nullptr || count < 0 || (text == nullptr && count > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    TextCall call(dc);
    if (!call.Valid()) return FALSE;
    const Run run = LayOut(call.Font(), CodePoints(text, static_cast<std::size_t>(count)), nullptr, 0);
    *size = SIZE{run.width, call.Font().Metrics().height};
    return TRUE;
}

BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count, const int* dx) {
    if (text == nullptr && count > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    TextCall call(dc);
    if (!call.Valid()) return FALSE;
    DrawTarget& target = call.Target();
    const DcState& state = call.Dc().state;
    if (target.pixels.IsEmpty()) return TRUE;
    RECT clip = target.clip;
    if (rect != nullptr && (options & ETO_OPAQUE) != 0)
        FillClipped(target, ToBuffer(target, *rect), clip, state.backgroundColor);
    if (rect != nullptr && (options & ETO_CLIPPED) != 0) clip = Intersect(clip, ToBuffer(target, *rect));

    const FontMetrics& metrics = call.Font().Metrics();
    const Run run = LayOut(call.Font(), CodePoints(text, count), dx, 0);
    LONG left = x + target.origin.x;
    const UINT horizontal = state.textAlign & TA_CENTER;
    if (horizontal == TA_CENTER)
        left -= run.width / 2;
    else if (horizontal == TA_RIGHT)
        left -= run.width;
    LONG baseline = y + target.origin.y;
    const UINT vertical = state.textAlign & TA_BASELINE;
    if (vertical == TA_TOP)
        baseline += metrics.ascent;
    else if (vertical == TA_BOTTOM)
        baseline -= metrics.descent;
    if (state.backgroundMode == OPAQUE)
        FillClipped(target, RECT{left, baseline - metrics.ascent, left + run.width, baseline + metrics.descent}, clip,
                    state.backgroundColor);
    DrawRun(target, run, left, baseline, state.textColor, clip, metrics, call.Logical());
    return TRUE;
}

namespace {

struct Line {
    std::u32string codes;
    Run run;
};

// Drops "&" and turns "&&" into "&".
std::u32string WithoutPrefixes(const std::u32string& codes) {
    std::u32string out;
    out.reserve(codes.size());
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (codes[i] == U'&') {
            if (i + 1 < codes.size() && codes[i + 1] == U'&') {
                out.push_back(U'&');
                ++i;
            }
            continue;
        }
        out.push_back(codes[i]);
    }
    return out;
}

// Splits at CR, LF and CR LF.
std::vector<std::u32string> Paragraphs(const std::u32string& codes) {
    std::vector<std::u32string> paragraphs(1);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (codes[i] == U'\r' || codes[i] == U'\n') {
            if (codes[i] == U'\r' && i + 1 < codes.size() && codes[i + 1] == U'\n') ++i;
            paragraphs.emplace_back();
            continue;
        }
        paragraphs.back().push_back(codes[i]);
    }
    return paragraphs;
}

// Greedy breaking at blanks: a line ends before the word that would pass `limit`; a word
// wider than the line stays whole on a line of its own.
std::vector<std::u32string> WrapParagraph(FontInstance& font, const std::u32string& paragraph, int limit,
                                          int tabWidth) {
    std::vector<std::u32string> lines;
    const Run run = LayOut(font, paragraph, nullptr, tabWidth);
    auto edge = [&](std::size_t i) { return i < paragraph.size() ? run.x[i] : run.width; };
    std::size_t start = 0;
    while (start < paragraph.size()) {
        std::size_t end = start;
        std::size_t lastFit = start;  // end of the last word that fits
        while (end < paragraph.size()) {
            std::size_t wordEnd = end;
            while (wordEnd < paragraph.size() && paragraph[wordEnd] == U' ') ++wordEnd;
            while (wordEnd < paragraph.size() && paragraph[wordEnd] != U' ') ++wordEnd;
            if (edge(wordEnd) - edge(start) > limit && lastFit > start) break;
            lastFit = wordEnd;
            end = wordEnd;
            if (edge(wordEnd) - edge(start) > limit) break;  // a lone word too wide
        }
        lines.push_back(paragraph.substr(start, lastFit - start));
        start = lastFit;
        while (start < paragraph.size() && paragraph[start] == U' ') ++start;
    }
    if (lines.empty()) lines.emplace_back();
    return lines;
}

// Shortens a line to fit `limit` with "..." at its end.
std::u32string WithEllipsis(FontInstance& font, const std::u32string& line, int limit, int tabWidth) {
    const std::u32string dots = U"...";
    const int dotsWidth = LayOut(font, dots, nullptr, 0).width;
    const Run run = LayOut(font, line, nullptr, tabWidth);
    std::size_t keep = line.size();
    while (keep > 0 &&
           (run.x[keep - 1] + (run.glyphs[keep - 1] != nullptr ? run.glyphs[keep - 1]->advance : 0)) + dotsWidth >
               limit)
        --keep;
    while (keep > 0 && line[keep - 1] == U' ') --keep;
    return line.substr(0, keep) + dots;
}

}  // namespace

int DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format) {
    if (rect == nullptr || (text == nullptr && count != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    TextCall call(dc);
    if (!call.Valid()) return 0;
    const std::size_t length = text == nullptr ? 0 : LengthOf(text, count);
    if (length == 0) {
        if ((format & DT_CALCRECT) != 0) {
            rect->right = rect->left;
            rect->bottom = rect->top;
        }
        return 0;
    }
    FontInstance& font = call.Font();
    const FontMetrics& metrics = font.Metrics();
    std::u32string codes = CodePoints(text, length);
    if ((format & DT_NOPREFIX) == 0) codes = WithoutPrefixes(codes);
    const int tabWidth = (format & DT_EXPANDTABS) != 0 ? std::max(1, 8 * metrics.averageWidth) : 0;
    const LONGLONG rectWidth = static_cast<LONGLONG>(rect->right) - rect->left;
    const int limit = static_cast<int>(std::clamp<LONGLONG>(rectWidth, 0, 0x10000000));

    std::vector<std::u32string> texts;
    if ((format & DT_SINGLELINE) != 0) {
        texts.push_back(codes);
    } else {
        for (const std::u32string& paragraph : Paragraphs(codes)) {
            if ((format & DT_WORDBREAK) == 0) {
                texts.push_back(paragraph);
                continue;
            }
            for (std::u32string& wrapped : WrapParagraph(font, paragraph, limit, tabWidth))
                texts.push_back(std::move(wrapped));
        }
    }
    std::vector<Line> lines;
    int widest = 0;
    for (std::u32string& lineText : texts) {
        Line line;
        line.codes = std::move(lineText);
        line.run = LayOut(font, line.codes, nullptr, tabWidth);
        if ((format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS)) != 0 && line.run.width > limit) {
            line.codes = WithEllipsis(font, line.codes, limit, tabWidth);
            line.run = LayOut(font, line.codes, nullptr, tabWidth);
        }
        widest = std::max(widest, line.run.width);
        lines.push_back(std::move(line));
    }
    const int lineHeight = metrics.height;
    const int total =
        static_cast<int>(std::min<std::size_t>(lines.size(), 0x10000000 / std::max(1, lineHeight))) * lineHeight;
    if ((format & DT_CALCRECT) != 0) {
        rect->right = rect->left + widest;
        rect->bottom = rect->top + total;
        return total;
    }

    LONG top = rect->top;
    if ((format & DT_SINGLELINE) != 0) {
        if ((format & DT_BOTTOM) != 0)
            top = rect->bottom - lineHeight;
        else if ((format & DT_VCENTER) != 0)
            top = static_cast<LONG>((static_cast<LONGLONG>(rect->top) + rect->bottom - lineHeight) / 2);
    }
    DrawTarget& target = call.Target();
    const DcState& state = call.Dc().state;
    RECT clip = target.clip;
    if ((format & DT_NOCLIP) == 0) clip = Intersect(clip, ToBuffer(target, *rect));
    if (!target.pixels.IsEmpty()) {
        LONG lineTop = top + target.origin.y;
        for (const Line& line : lines) {
            LONG left = rect->left;
            if ((format & DT_RIGHT) != 0)
                left = rect->right - line.run.width;
            else if ((format & DT_CENTER) != 0)
                left = static_cast<LONG>((static_cast<LONGLONG>(rect->left) + rect->right - line.run.width) / 2);
            left += target.origin.x;
            if (state.backgroundMode == OPAQUE)
                FillClipped(target, RECT{left, lineTop, left + line.run.width, lineTop + lineHeight}, clip,
                            state.backgroundColor);
            DrawRun(target, line.run, left, lineTop + metrics.ascent, state.textColor, clip, metrics, call.Logical());
            lineTop += lineHeight;
            if (lineTop > clip.bottom) break;
        }
    }
    return static_cast<int>(top - rect->top) + total;
}
