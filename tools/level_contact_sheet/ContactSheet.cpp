// Painting the contact sheet and reading its command line.
#include "tools/level_contact_sheet/ContactSheet.h"

#include <algorithm>
#include <cstdlib>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace contact_sheet {
namespace {

// Thumbnails larger than this would make a sheet no viewer shows whole.
constexpr int kLargestThumb = 1024;
constexpr int kMostColumns = 64;
constexpr int kLabelPixels = 12;
const std::uint8_t kStripColour[3] = {0x20, 0x20, 0x28};
const std::uint8_t kTextColour[3] = {0xF0, 0xF0, 0xE0};

bool ParseNumber(const char* text, int most, int& out) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > most) return false;
    out = static_cast<int>(value);
    return true;
}

bool ParseSize(const std::string& text, int& width, int& height) {
    const std::size_t cross = text.find('x');
    if (cross == std::string::npos) return false;
    const std::string first = text.substr(0, cross);
    const std::string second = text.substr(cross + 1);
    // A thumbnail narrower than 16 pixels shows nothing of a level.
    return ParseNumber(first.c_str(), kLargestThumb, width) && ParseNumber(second.c_str(), kLargestThumb, height) &&
           width >= 16 && height >= 16;
}

}  // namespace

const char* SheetHelpText() {
    return "usage: level_contact_sheet <data folder or archive> <picture.png> [--size WxH] [--columns N]\n"
           "                           [--fonts <folder>] [level ...]\n"
           "\n"
           "Renders every level of the data (levels/*.qvn, then customlevels/*.qvn; or the levels named,\n"
           "as qvn_play takes them) from its overview camera with the character at its spawn, headless, and\n"
           "writes one PNG with the thumbnails in rows, each labelled with the level's name.\n"
           "--size WxH     thumbnail size (default 200x120, each side 16 to 1024)\n"
           "--columns N    thumbnails a row (default 8)\n"
           "--fonts DIR    the folder with DejaVuSans.ttf (default /usr/share/fonts/truetype/dejavu)\n"
           "Exit status: 0 written, 1 a level or the picture failed, 2 a wrong command line.\n";
}

bool ParseSheetOptions(int argc, const char* const* argv, SheetOptions& options, std::string& error) {
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i] != nullptr ? argv[i] : "";
        if (word == "--help") {
            options.help = true;
            return true;
        }
        if (word == "--size" && i + 1 < argc) {
            if (!ParseSize(argv[++i], options.thumbWidth, options.thumbHeight)) {
                error = "--size needs WxH with each side from 16 to 1024.";
                return false;
            }
        } else if (word == "--columns" && i + 1 < argc) {
            if (!ParseNumber(argv[++i], kMostColumns, options.columns)) {
                error = "--columns needs a number from 1 to 64.";
                return false;
            }
        } else if (word == "--fonts" && i + 1 < argc) {
            options.fontFolder = argv[++i];
        } else if (word.rfind("--", 0) == 0) {
            error = "unknown or incomplete option " + word + ".";
            return false;
        } else if (!word.empty()) {
            positional.push_back(word);
        }
    }
    if (positional.size() < 2) {
        error = "expected a data folder or archive and the picture to write (see --help).";
        return false;
    }
    options.data = positional[0];
    options.picture = positional[1];
    options.levels.assign(positional.begin() + 2, positional.end());
    return true;
}

bool SheetPainter::Begin(std::size_t count, std::string& error) {
    face_ = options_.fontFolder + "/DejaVuSans.ttf";
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    const bool opened = FT_Init_FreeType(&library) == 0 && FT_New_Face(library, face_.c_str(), 0, &face) == 0;
    if (face != nullptr) FT_Done_Face(face);
    if (library != nullptr) FT_Done_FreeType(library);
    if (!opened) {
        error = "the face " + face_ + " for the levels' names cannot be opened.";
        return false;
    }
    const std::size_t columns = std::min<std::size_t>(static_cast<std::size_t>(options_.columns), std::max<std::size_t>(count, 1));
    const std::size_t rows = (count + columns - 1) / columns;
    sheet_.width = static_cast<int>(columns) * options_.thumbWidth;
    sheet_.height = static_cast<int>(std::max<std::size_t>(rows, 1)) * (options_.thumbHeight + kLabelHeight);
    sheet_.rgba.assign(static_cast<std::size_t>(sheet_.width) * static_cast<std::size_t>(sheet_.height) * 4, 0);
    for (std::size_t i = 0; i < sheet_.rgba.size(); i += 4) {
        sheet_.rgba[i] = kStripColour[0];
        sheet_.rgba[i + 1] = kStripColour[1];
        sheet_.rgba[i + 2] = kStripColour[2];
        sheet_.rgba[i + 3] = 0xFF;
    }
    next_ = 0;
    return true;
}

void SheetPainter::Add(const platform::screen::Image& thumb, const std::string& name) {
    const auto columns = static_cast<std::size_t>(sheet_.width / options_.thumbWidth);
    const int left = static_cast<int>(next_ % columns) * options_.thumbWidth;
    const int top = static_cast<int>(next_ / columns) * (options_.thumbHeight + kLabelHeight);
    ++next_;
    if (top + options_.thumbHeight + kLabelHeight > sheet_.height) return;
    const int width = std::min(thumb.width, options_.thumbWidth);
    const int height = std::min(thumb.height, options_.thumbHeight);
    for (int y = 0; y < height; ++y)
        std::copy_n(thumb.PixelAt(0, y), static_cast<std::size_t>(width) * 4,
                    sheet_.rgba.begin() + (static_cast<std::ptrdiff_t>(top + y) * sheet_.width + left) * 4);
    Label(name, left, top + options_.thumbHeight);
}

void SheetPainter::Label(const std::string& name, int left, int top) {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0) return;
    if (FT_New_Face(library, face_.c_str(), 0, &face) == 0) {
        FT_Set_Pixel_Sizes(face, 0, kLabelPixels);
        const int baseline = top + kLabelHeight - 5;
        int pen = left + 4;
        for (unsigned char c : name) {
            if (FT_Load_Char(face, c, FT_LOAD_RENDER) != 0) continue;
            const FT_GlyphSlot glyph = face->glyph;
            for (unsigned row = 0; row < glyph->bitmap.rows; ++row)
                for (unsigned column = 0; column < glyph->bitmap.width; ++column) {
                    const int x = pen + glyph->bitmap_left + static_cast<int>(column);
                    const int y = baseline - glyph->bitmap_top + static_cast<int>(row);
                    // Names longer than the cell are cut at its edge.
                    if (x < left || x >= left + options_.thumbWidth || y < top || y >= top + kLabelHeight) continue;
                    const unsigned coverage =
                        glyph->bitmap.buffer[row * static_cast<unsigned>(glyph->bitmap.pitch) + column];
                    std::uint8_t* pixel =
                        sheet_.rgba.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(sheet_.width) +
                                              static_cast<std::size_t>(x)) * 4;
                    for (int k = 0; k < 3; ++k)
                        pixel[k] = static_cast<std::uint8_t>((kTextColour[k] * coverage + pixel[k] * (255 - coverage)) / 255);
                }
            pen += static_cast<int>(glyph->advance.x / 64);
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
}

}  // namespace contact_sheet
