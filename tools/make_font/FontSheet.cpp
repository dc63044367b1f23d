// Reading a font description and rendering its characters with FreeType into a grid image
// or a packed page.
#include "tools/make_font/FontSheet.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace {

constexpr int kLargestSide = 2048;

bool ParseNumber(const std::string& text, int low, int high, int* value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 9) return false;
    *value = std::atoi(text.c_str());
    return *value >= low && *value <= high;
}

// "32-126" or "8364".
bool ParseRange(const std::string& text, std::vector<std::uint32_t>* characters) {
    const std::size_t dash = text.find('-');
    int first = 0;
    int last = 0;
    if (dash == std::string::npos) {
        if (!ParseNumber(text, 1, 0xFFFF, &first)) return false;
        last = first;
    } else if (!ParseNumber(text.substr(0, dash), 1, 0xFFFF, &first) ||
               !ParseNumber(text.substr(dash + 1), 1, 0xFFFF, &last) || last < first) {
        return false;
    }
    for (int c = first; c <= last; ++c) characters->push_back(static_cast<std::uint32_t>(c));
    return true;
}

class Face {
public:
    Face() = default;
    ~Face() {
        if (face_ != nullptr) FT_Done_Face(face_);
        if (library_ != nullptr) FT_Done_FreeType(library_);
    }
    Face(const Face&) = delete;
    Face& operator=(const Face&) = delete;

    bool Open(const std::string& path, int pixels) {
        return FT_Init_FreeType(&library_) == 0 && FT_New_Face(library_, path.c_str(), 0, &face_) == 0 &&
               FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixels)) == 0;
    }
    // The character's coverage bitmap; null when the face cannot render it.
    const FT_GlyphSlotRec* Render(std::uint32_t character) {
        if (FT_Load_Char(face_, character, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) return nullptr;
        return face_->glyph;
    }
    int Ascender() const { return static_cast<int>((face_->size->metrics.ascender + 63) >> 6); }
    int Descender() const { return static_cast<int>((-face_->size->metrics.descender + 63) >> 6); }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

// Copies a glyph's coverage into the page at (x, y) as white with alpha, within the box.
void Blit(DescribedImage& page, const FT_Bitmap& bitmap, int x, int y, int boxLeft, int boxTop, int boxRight,
          int boxBottom) {
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        const int py = y + static_cast<int>(row);
        if (py < boxTop || py >= boxBottom) continue;
        for (unsigned column = 0; column < bitmap.width; ++column) {
            const int px = x + static_cast<int>(column);
            if (px < boxLeft || px >= boxRight) continue;
            const std::uint8_t coverage = bitmap.buffer[row * static_cast<unsigned>(bitmap.pitch) + column];
            std::uint8_t* pixel = &page.rgba[(static_cast<std::size_t>(py) * page.width + px) * 4];
            pixel[0] = pixel[1] = pixel[2] = 255;
            pixel[3] = std::max(pixel[3], coverage);
        }
    }
}

std::int32_t Unit(int pixel, int side) {
    return static_cast<std::int32_t>((static_cast<std::int64_t>(pixel) * 65535 + side / 2) / side);
}

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

bool ParseFontDescription(const std::string& text, FontDescription* description, std::string* error) {
    *description = FontDescription{};
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    bool layout = false;
    while (std::getline(lines, line)) {
        ++number;
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string step;
        if (!(words >> step)) continue;
        std::vector<std::string> values;
        for (std::string value; words >> value;) values.push_back(value);
        auto fail = [&](const std::string& what) {
            *error = "line " + std::to_string(number) + ": " + what;
            return false;
        };
        if (step == "face") {
            if (values.size() != 1) return fail("\"face\" takes one file name");
            description->face = values[0];
        } else if (step == "pixels") {
            if (values.size() != 1 || !ParseNumber(values[0], 4, 256, &description->pixels))
                return fail("\"pixels\" takes one size from 4 to 256");
        } else if (step == "grid" || step == "page") {
            if (layout) return fail("a font has one layout, \"grid\" or \"page\"");
            layout = true;
            description->grid = step == "grid";
            const std::size_t count = description->grid ? 5 : 2;
            int* fields[5] = {&description->width, &description->height, &description->cellWidth,
                              &description->cellHeight, &description->baseline};
            if (values.size() != count) return fail("\"" + step + "\" takes " + std::to_string(count) + " numbers");
            for (std::size_t i = 0; i < count; ++i) {
                if (!ParseNumber(values[i], 1, kLargestSide, fields[i]))
                    return fail("\"" + values[i] + "\" is no size from 1 to " + std::to_string(kLargestSide));
            }
            if (description->grid &&
                (description->width % description->cellWidth != 0 || description->height % description->cellHeight != 0 ||
                 description->baseline > description->cellHeight))
                return fail("the cells must fill the image and the baseline lie within a cell");
        } else if (step == "characters") {
            if (values.empty()) return fail("\"characters\" takes ranges such as 32-126");
            for (const std::string& value : values) {
                if (!ParseRange(value, &description->characters))
                    return fail("\"" + value + "\" is no character or range of characters from 1 to 65535");
            }
        } else {
            return fail("unknown step \"" + step + "\"");
        }
    }
    if (description->face.empty()) {
        *error = "no \"face\"";
        return false;
    }
    if (description->pixels == 0) {
        *error = "no \"pixels\"";
        return false;
    }
    if (!layout) {
        *error = "no \"grid\" or \"page\"";
        return false;
    }
    if (description->characters.empty()) {
        *error = "no \"characters\"";
        return false;
    }
    return true;
}

bool RenderFontSheet(const FontDescription& description, const std::string& fontFolder, FontSheet* sheet,
                     std::string* error) {
    Face face;
    const std::string path = fontFolder + "/" + description.face;
    if (!face.Open(path, description.pixels)) {
        *error = "cannot open the face " + path;
        return false;
    }
    *sheet = FontSheet{};
    DescribedImage& page = sheet->page;
    page.width = description.width;
    page.height = description.height;
    page.alpha = true;
    page.rgba.assign(static_cast<std::size_t>(page.width) * page.height * 4, 0);
    for (std::size_t i = 0; i < page.rgba.size(); i += 4) page.rgba[i] = page.rgba[i + 1] = page.rgba[i + 2] = 255;

    if (description.grid) {
        // Character n in cell n; each glyph's first column at the cell's column 1, so that
        // the measured left offset is 0 and the engine's quads keep the cell's width.
        const int columns = description.width / description.cellWidth;
        const int cells = columns * (description.height / description.cellHeight);
        for (std::uint32_t character : description.characters) {
            if (character >= static_cast<std::uint32_t>(cells)) continue;
            const FT_GlyphSlotRec* glyph = face.Render(character);
            if (glyph == nullptr) continue;
            const int cellX = static_cast<int>(character % static_cast<std::uint32_t>(columns)) * description.cellWidth;
            const int cellY = static_cast<int>(character / static_cast<std::uint32_t>(columns)) * description.cellHeight;
            Blit(page, glyph->bitmap, cellX + 1, cellY + description.baseline - glyph->bitmap_top, cellX, cellY,
                 cellX + description.cellWidth, cellY + description.cellHeight);
        }
        sheet->lineHeight = static_cast<std::uint32_t>(description.cellHeight);
        return true;
    }

    // A packed page: each glyph's box is its advance wide and a line high, so that the
    // engine's quad over the box shows the glyph at its bearing.
    const int ascender = face.Ascender();
    const int lineHeight = ascender + face.Descender();
    sheet->lineHeight = static_cast<std::uint32_t>(lineHeight);
    int x = 0;
    int y = 0;
    for (std::uint32_t character : description.characters) {
        const FT_GlyphSlotRec* glyph = face.Render(character);
        if (glyph == nullptr) continue;
        const int advance = static_cast<int>((glyph->advance.x + 32) >> 6);
        if (advance <= 0) continue;
        if (x + advance > page.width) {
            x = 0;
            y += lineHeight + 1;
        }
        if (y + lineHeight > page.height || advance > page.width) {
            *error = "the page has no room for character " + std::to_string(character);
            return false;
        }
        Blit(page, glyph->bitmap, x + glyph->bitmap_left, y + ascender - glyph->bitmap_top, x, y, x + advance,
             y + lineHeight);
        sheet->glyphs.push_back(SheetGlyph{Unit(x, page.width), Unit(y, page.height), Unit(x + advance, page.width),
                                           Unit(y + lineHeight, page.height), static_cast<std::uint16_t>(advance),
                                           static_cast<std::uint16_t>(character)});
        x += advance + 1;
    }
    return true;
}

std::vector<std::uint8_t> EncodeDds(const DescribedImage& image) {
    std::vector<std::uint8_t> out;
    Put(out, 0x20534444, 4);  // "DDS "
    Put(out, 124, 4);         // header size
    Put(out, 0x1 | 0x2 | 0x4 | 0x1000, 4);
    Put(out, static_cast<std::uint32_t>(image.height), 4);
    Put(out, static_cast<std::uint32_t>(image.width), 4);
    Put(out, static_cast<std::uint32_t>(image.width) * 4, 4);  // pitch
    Put(out, 0, 4);                                            // depth
    Put(out, 1, 4);                                            // levels
    for (int i = 0; i < 11; ++i) Put(out, 0, 4);
    Put(out, 32, 4);           // pixel format size
    Put(out, 0x40 | 0x1, 4);   // RGB with alpha
    Put(out, 0, 4);            // no four-character code
    Put(out, 32, 4);           // bits
    Put(out, 0x00FF0000, 4);   // red
    Put(out, 0x0000FF00, 4);   // green
    Put(out, 0x000000FF, 4);   // blue
    Put(out, 0xFF000000, 4);   // alpha
    Put(out, 0x1000, 4);       // caps: texture
    for (int i = 0; i < 4; ++i) Put(out, 0, 4);
    for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
        out.insert(out.end(), {image.rgba[i + 2], image.rgba[i + 1], image.rgba[i], image.rgba[i + 3]});
    }
    return out;
}

std::vector<std::uint8_t> EncodeGlyphFile(const FontSheet& sheet) {
    std::vector<std::uint8_t> out;
    Put(out, sheet.lineHeight, 4);
    Put(out, static_cast<std::uint32_t>(sheet.glyphs.size()), 4);
    for (const SheetGlyph& glyph : sheet.glyphs) {
        Put(out, static_cast<std::uint32_t>(glyph.left), 4);
        Put(out, static_cast<std::uint32_t>(glyph.top), 4);
        Put(out, static_cast<std::uint32_t>(glyph.right), 4);
        Put(out, static_cast<std::uint32_t>(glyph.bottom), 4);
        Put(out, glyph.advance, 2);
        Put(out, glyph.character, 2);
    }
    return out;
}
