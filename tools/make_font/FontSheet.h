// The text description of a demo font and its rendering with FreeType: either a grid image
// whose cell n holds character n (measured by the engine from its alpha), or a packed page
// with a ".fnt" glyph file. '#' starts a comment.
//
//   face DejaVuSans-Bold.ttf      (a file of the font folder)
//   pixels 12                     (FreeType pixel size)
//   grid 256 256 16 16 12         (image width, height, cell width, height, baseline row)
//   page 512 256                  (or: a packed page of this size and a .fnt file)
//   characters 32-126 160-255 8364
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/make_image/ImageDescription.h"

// Where the DejaVu faces are installed (fonts-dejavu-core).
constexpr const char* kDejaVuFontFolder = "/usr/share/fonts/truetype/dejavu";

struct FontDescription {
    std::string face;
    int pixels = 0;
    bool grid = false;
    int width = 0;
    int height = 0;
    int cellWidth = 0;
    int cellHeight = 0;
    int baseline = 0;
    std::vector<std::uint32_t> characters;
};

// One glyph of a ".fnt" file: texture corners in 1/65535 of the page, advance, character.
struct SheetGlyph {
    std::int32_t left, top, right, bottom;
    std::uint16_t advance;
    std::uint16_t character;
};

struct FontSheet {
    DescribedImage page;  // white, the glyphs' coverage as alpha
    std::vector<SheetGlyph> glyphs;  // a packed page's glyphs; empty for a grid
    std::uint32_t lineHeight = 0;
};

// False, with the line and what is wrong in `error`, for a description that cannot be read.
bool ParseFontDescription(const std::string& text, FontDescription* description, std::string* error);
// Renders the characters with the face found in `fontFolder`. False with `error` when the
// face cannot be opened or a packed page has no room for every glyph.
bool RenderFontSheet(const FontDescription& description, const std::string& fontFolder, FontSheet* sheet,
                     std::string* error);

// A DDS file of the page: 32-bit pixels with alpha, one level.
std::vector<std::uint8_t> EncodeDds(const DescribedImage& image);
// The ".fnt" file: line height, glyph count, then 20 bytes a glyph, little-endian.
std::vector<std::uint8_t> EncodeGlyphFile(const FontSheet& sheet);
