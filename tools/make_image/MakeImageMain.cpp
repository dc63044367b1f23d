// make_image <description.image> <output.tga>: paints a demo image from its text description
// and writes it as a TGA file.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/make_image/ImageDescription.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_image <description.image> <output.tga>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "make_image: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string description((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    DescribedImage image;
    std::string error;
    if (!PaintDescribedImage(description, &image, &error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    const std::vector<std::uint8_t> bytes = EncodeTga(image);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "make_image: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("make_image: wrote %s (%dx%d, %d bits)\n", argv[2], image.width, image.height, image.alpha ? 32 : 24);
    return 0;
}
