// Sprite sheet descriptions (".sprites"): painted with the installed faces and encoded as
// make_hud_textures does.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/make_font/FontSheet.h"
#include "tools/make_hud_textures/SpritePainter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DescribedImage image;
    std::string error;
    if (PaintSpriteSheet(std::string(reinterpret_cast<const char*>(data), size), kSpriteFontFolder, &image, &error))
        EncodeDds(image);
    return 0;
}
