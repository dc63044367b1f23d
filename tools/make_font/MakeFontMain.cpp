// make_font <description.font> <output base> [font folder]: renders a demo font with FreeType
// from the DejaVu faces (or those of the folder given) and writes its files beside the base:
// a grid font as <base>.tga with its page <base>.tga.ddsx, a packed font as <base>.tga,
// <base>.ddsx and <base>.fnt.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/make_font/FontSheet.h"

namespace {

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "make_font: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("make_font: wrote %s\n", path.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: make_font <description.font> <output base> [font folder]\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "make_font: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    FontDescription description;
    FontSheet sheet;
    std::string error;
    if (!ParseFontDescription(text, &description, &error) ||
        !RenderFontSheet(description, argc == 4 ? argv[3] : kDejaVuFontFolder, &sheet, &error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    const std::string base = argv[2];
    if (!WriteFile(base + ".tga", EncodeTga(sheet.page))) return 1;
    if (description.grid) return WriteFile(base + ".tga.ddsx", EncodeDds(sheet.page)) ? 0 : 1;
    if (!WriteFile(base + ".ddsx", EncodeDds(sheet.page))) return 1;
    return WriteFile(base + ".fnt", EncodeGlyphFile(sheet)) ? 0 : 1;
}
