// make_hud_textures <description.sprites> <output.dds> [font folder]: paints a sprite sheet
// (HUD atlas, frame, awards, comic page) from its text description and writes it as a
// 32-bit DDS texture with alpha.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/make_font/FontSheet.h"
#include "tools/make_hud_textures/SpritePainter.h"

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: make_hud_textures <description.sprites> <output.dds> [font folder]\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "make_hud_textures: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    DescribedImage image;
    std::string error;
    if (!PaintSpriteSheet(text, argc == 4 ? argv[3] : kSpriteFontFolder, &image, &error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    const std::vector<std::uint8_t> bytes = EncodeDds(image);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "make_hud_textures: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("make_hud_textures: wrote %s (%d x %d)\n", argv[2], image.width, image.height);
    return 0;
}
