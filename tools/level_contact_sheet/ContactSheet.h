// The contact sheet's picture: level thumbnails in a grid, each with its name on a strip below,
// and the options that shape it.
#pragma once

#include <string>
#include <vector>

#include "platform/screen/Display.h"

namespace contact_sheet {

struct SheetOptions {
    std::string data;     // a data folder or an archive
    std::string picture;  // the PNG to write
    std::vector<std::string> levels;  // empty: every level of levels/ and customlevels/
    int thumbWidth = 200;
    int thumbHeight = 120;
    int columns = 8;
    std::string fontFolder = "/usr/share/fonts/truetype/dejavu";
    bool help = false;
};

// Height of the name strip under each thumbnail.
constexpr int kLabelHeight = 18;

bool ParseSheetOptions(int argc, const char* const* argv, SheetOptions& options, std::string& error);
const char* SheetHelpText();

// Draws thumbnails into a grid with their names. `thumbs` are all of the options' size.
class SheetPainter {
public:
    explicit SheetPainter(const SheetOptions& options) : options_(options) {}
    // The empty sheet for `count` thumbnails; false with `error` when no face for the names opens.
    bool Begin(std::size_t count, std::string& error);
    // The thumbnail into its cell (in order), labelled.
    void Add(const platform::screen::Image& thumb, const std::string& name);
    const platform::screen::Image& Sheet() const { return sheet_; }

private:
    void Label(const std::string& name, int left, int top);

    const SheetOptions& options_;
    platform::screen::Image sheet_;
    std::string face_;
    std::size_t next_ = 0;
};

}  // namespace contact_sheet
