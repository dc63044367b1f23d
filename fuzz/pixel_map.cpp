// Fuzzes the skin pack tool's plain PGM and PPM reader: any text either becomes a well-formed BMP
// or is refused with a sentence.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/make_skin_pack/PixelMap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bmp;
    std::string error;
    if (PixelMapToBmp(std::string(reinterpret_cast<const char*>(data), size), &bmp, &error)) {
        if (bmp.size() < 54 || bmp[0] != 'B') __builtin_trap();
    } else if (error.empty()) {
        __builtin_trap();
    }
    return 0;
}
