// Demo image descriptions (".image"): what paints is encoded as make_image writes it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/make_image/ImageDescription.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DescribedImage image;
    std::string error;
    if (PaintDescribedImage(std::string(reinterpret_cast<const char*>(data), size), &image, &error)) EncodeTga(image);
    return 0;
}
