// Text through FreeType: metrics and extents against FreeType's own numbers for the same
// face and size, the ink of a drawn string against its glyphs' bitmaps, smooth and
// two-level rendering, and DrawTextW's placement, wrapping, ellipses and measuring.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <gtest/gtest.h>

#include <string>

#include "platform/gdi/Font.h"
#include "platform/gdi/Text.h"
#include "tests/platform/gdi/GdiTestSupport.h"

namespace {

using gdi_test::Canvas;

constexpr const char* kSansPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

HFONT MakeFont(const char16_t* face, LONG height, LONG weight = FW_NORMAL, BYTE quality = ANTIALIASED_QUALITY) {
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfQuality = quality;
    for (int i = 0; face[i] != 0 && i < LF_FACESIZE - 1; ++i) font.lfFaceName[i] = face[i];
    return CreateFontIndirectW(&font);
}

// The same face opened by FreeType directly, as a reference.
class Reference {
public:
    explicit Reference(int pixels) {
        FT_Init_FreeType(&library_);
        ok_ = FT_New_Face(library_, kSansPath, 0, &face_) == 0 && FT_Set_Pixel_Sizes(face_, 0, pixels) == 0;
    }
    ~Reference() {
        if (face_ != nullptr) FT_Done_Face(face_);
        FT_Done_FreeType(library_);
    }
    bool Ok() const { return ok_; }
    int Ascent() const { return static_cast<int>((face_->size->metrics.ascender + 63) >> 6); }
    int Descent() const { return static_cast<int>((-face_->size->metrics.descender + 63) >> 6); }
    // Advances and the union of the glyph bitmaps of a string drawn from pen 0 on baseline 0.
    void Measure(const std::u16string& text, int* width, RECT* ink) {
        int pen = 0;
        *ink = RECT{1 << 20, 1 << 20, -(1 << 20), -(1 << 20)};
        for (char16_t c : text) {
            FT_Load_Char(face_, c, FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL | FT_LOAD_RENDER);
            const FT_GlyphSlot slot = face_->glyph;
            if (slot->bitmap.width > 0) {
                ink->left = std::min<LONG>(ink->left, pen + slot->bitmap_left);
                ink->right =
                    std::max<LONG>(ink->right, pen + slot->bitmap_left + static_cast<LONG>(slot->bitmap.width));
                ink->top = std::min<LONG>(ink->top, -slot->bitmap_top);
                ink->bottom = std::max<LONG>(ink->bottom, -slot->bitmap_top + static_cast<LONG>(slot->bitmap.rows));
            }
            pen += static_cast<int>((slot->advance.x + 32) >> 6);
        }
        *width = pen;
    }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    bool ok_ = false;
};

// The bounding box of every pixel that is not `background`, and whether any pixel lies
// strictly between background and ink (anti-aliasing).
struct Ink {
    RECT box{1 << 20, 1 << 20, -1, -1};
    bool partial = false;
};

Ink InkOf(const Canvas& canvas, std::uint32_t background, std::uint32_t ink) {
    Ink found;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            const std::uint32_t value = canvas.At(x, y);
            if (value == background) continue;
            if (value != ink) found.partial = true;
            found.box = RECT{std::min<LONG>(found.box.left, x), std::min<LONG>(found.box.top, y),
                             std::max<LONG>(found.box.right, x + 1), std::max<LONG>(found.box.bottom, y + 1)};
        }
    return found;
}

TEST(Text, MetricsAndExtentsAreFreeTypes) {
    Reference reference(20);
    ASSERT_TRUE(reference.Ok());
    Canvas canvas(8, 8);
    HFONT font = MakeFont(u"DejaVu Sans", -20);
    HGDIOBJ old = SelectObject(canvas.Dc(), font);
    TEXTMETRICW metrics{};
    ASSERT_TRUE(GetTextMetricsW(canvas.Dc(), &metrics));
    EXPECT_EQ(metrics.tmAscent, reference.Ascent());
    EXPECT_EQ(metrics.tmDescent, reference.Descent());
    EXPECT_EQ(metrics.tmHeight, metrics.tmAscent + metrics.tmDescent);
    EXPECT_EQ(metrics.tmInternalLeading, metrics.tmHeight - 20);
    EXPECT_EQ(metrics.tmWeight, FW_NORMAL);

    const std::u16string text = u"Calvane 0123 Wy";
    int width = 0;
    RECT ink{};
    reference.Measure(text, &width, &ink);
    SIZE extent{};
    ASSERT_TRUE(GetTextExtentPoint32W(canvas.Dc(), text.c_str(), static_cast<int>(text.size()), &extent));
    EXPECT_EQ(extent.cx, width);
    EXPECT_EQ(extent.cy, metrics.tmHeight);

    // A positive height asks for the cell (ascent + descent), not the em.
    SelectObject(canvas.Dc(), old);
    DeleteObject(font);
    font = MakeFont(u"DejaVu Sans", 30);
    SelectObject(canvas.Dc(), font);
    ASSERT_TRUE(GetTextMetricsW(canvas.Dc(), &metrics));
    EXPECT_NEAR(metrics.tmHeight, 30, 1);
    SelectObject(canvas.Dc(), old);
    DeleteObject(font);
}

TEST(Text, DrawnInkMatchesTheGlyphBitmaps) {
    Reference reference(24);
    ASSERT_TRUE(reference.Ok());
    Canvas canvas(220, 40);
    canvas.Fill(0xFFFF);
    HFONT font = MakeFont(u"DejaVu Sans", -24);
    HGDIOBJ old = SelectObject(canvas.Dc(), font);
    SetBkMode(canvas.Dc(), TRANSPARENT);
    SetTextColor(canvas.Dc(), RGB(0, 0, 0));
    const std::u16string text = u"Hxgy 42";
    ASSERT_TRUE(ExtTextOutW(canvas.Dc(), 10, 5, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr));

    int width = 0;
    RECT expected{};
    reference.Measure(text, &width, &expected);
    const int baseline = 5 + reference.Ascent();
    const Ink drawn = InkOf(canvas, 0xFFFF, 0x0000);
    EXPECT_EQ(drawn.box.left, 10 + expected.left);
    EXPECT_EQ(drawn.box.right, 10 + expected.right);
    EXPECT_EQ(drawn.box.top, baseline + expected.top);
    EXPECT_EQ(drawn.box.bottom, baseline + expected.bottom);
    EXPECT_TRUE(drawn.partial) << "smooth text has edge pixels between ink and paper";
    SelectObject(canvas.Dc(), old);
    DeleteObject(font);

    // The same text without smoothing has two levels only.
    canvas.Fill(0xFFFF);
    font = MakeFont(u"DejaVu Sans", -24, FW_NORMAL, NONANTIALIASED_QUALITY);
    SelectObject(canvas.Dc(), font);
    ASSERT_TRUE(ExtTextOutW(canvas.Dc(), 10, 5, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr));
    EXPECT_FALSE(InkOf(canvas, 0xFFFF, 0x0000).partial);
    SelectObject(canvas.Dc(), old);
    DeleteObject(font);
}

TEST(Text, OpaqueModeFillsTheCellAndAlignmentMovesTheReference) {
    Canvas canvas(120, 40);
    canvas.Fill(0);
    HFONT font = MakeFont(u"DejaVu Sans", -16);
    HGDIOBJ old = SelectObject(canvas.Dc(), font);
    SetBkColor(canvas.Dc(), RGB(255, 0, 0));
    SetTextColor(canvas.Dc(), RGB(255, 255, 255));
    SetTextAlign(canvas.Dc(), TA_RIGHT | TA_BOTTOM);
    SIZE extent{};
    GetTextExtentPoint32W(canvas.Dc(), u"Ab", 2, &extent);
    ASSERT_TRUE(ExtTextOutW(canvas.Dc(), 100, 30, 0, nullptr, u"Ab", 2, nullptr));
    // The cell's corners, right-bottom at the reference point.
    EXPECT_EQ(canvas.At(100 - extent.cx, 30 - extent.cy), 0xF800u);
    EXPECT_EQ(canvas.At(99, 29), 0xF800u);
    EXPECT_EQ(canvas.At(100, 29), 0u);
    EXPECT_EQ(canvas.At(99, 30), 0u);
    SelectObject(canvas.Dc(), old);
    DeleteObject(font);
}

TEST(Text, DrawTextPlacesWrapsShortensAndMeasures) {
    Canvas canvas(200, 100);
    HFONT font = MakeFont(u"DejaVu Sans", -14);
    HGDIOBJ old = SelectObject(canvas.Dc(), font);
    SetBkMode(canvas.Dc(), TRANSPARENT);
    SetTextColor(canvas.Dc(), RGB(255, 255, 255));
    TEXTMETRICW metrics{};
    GetTextMetricsW(canvas.Dc(), &metrics);
    SIZE extent{};
    GetTextExtentPoint32W(canvas.Dc(), u"Call", 4, &extent);

    // Centred both ways on one line: the ink lies within the centred cell.
    RECT box{20, 10, 180, 90};
    canvas.Fill(0);
    EXPECT_EQ(DrawTextW(canvas.Dc(), u"Call", -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX),
              (10 + 90 - metrics.tmHeight) / 2 - 10 + metrics.tmHeight);
    const Ink centred = InkOf(canvas, 0, 0xFFFF);
    const LONG cellLeft = (20 + 180 - extent.cx) / 2;
    const LONG cellTop = (10 + 90 - metrics.tmHeight) / 2;
    EXPECT_GE(centred.box.left, cellLeft - 1);
    EXPECT_LE(centred.box.right, cellLeft + extent.cx + 1);
    EXPECT_GE(centred.box.top, cellTop);
    EXPECT_LE(centred.box.bottom, cellTop + metrics.tmHeight);

    // Measuring: wrapped lines, the widest line's width.
    RECT measure{0, 0, 45, 0};
    const int height = DrawTextW(canvas.Dc(), u"one two three", -1, &measure, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(height, 3 * metrics.tmHeight);
    EXPECT_EQ(measure.bottom, 3 * metrics.tmHeight);
    SIZE three{};
    GetTextExtentPoint32W(canvas.Dc(), u"three", 5, &three);
    EXPECT_EQ(measure.right, three.cx);

    // Line breaks, and "&" as a prefix unless DT_NOPREFIX.
    RECT lines{0, 0, 200, 0};
    EXPECT_EQ(DrawTextW(canvas.Dc(), u"a\r\nb\nc", -1, &lines, DT_CALCRECT), 3 * metrics.tmHeight);
    RECT prefixed{0, 0, 200, 0};
    RECT plain{0, 0, 200, 0};
    DrawTextW(canvas.Dc(), u"&Call", -1, &prefixed, DT_CALCRECT | DT_SINGLELINE);
    DrawTextW(canvas.Dc(), u"Call", -1, &plain, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(prefixed.right, plain.right);

    // A line too wide ends in "..." inside the rectangle; without DT_NOCLIP nothing passes
    // the rectangle's right edge.
    RECT narrow{0, 0, 50, 0};
    DrawTextW(canvas.Dc(), u"Contacts and favourites", -1, &narrow, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_LE(narrow.right, 50);
    EXPECT_GT(narrow.right, 20);
    canvas.Fill(0);
    RECT clipped{10, 0, 60, 40};
    DrawTextW(canvas.Dc(), u"Contacts and favourites", -1, &clipped, DT_SINGLELINE);
    EXPECT_LE(InkOf(canvas, 0, 0xFFFF).box.right, 60);
    SelectObject(canvas.Dc(), old);
    DeleteObject(font);
}

}  // namespace
