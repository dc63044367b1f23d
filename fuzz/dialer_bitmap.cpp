// Fuzzes the skin-pack bitmap loader: the input as the bytes of a BMP entry, loaded into a
// surface whose every pixel row is then read.
#include <cstdint>
#include <cstring>

#include "dialer/pack/PackBitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CSharedBuffer file = MakeSharedArray<BYTE>(size);
    if (!file) return 0;
    std::memcpy(file.Data(), data, size);
    CSharedSurface surface = LoadPackBitmap(file);
    if (!surface) return 0;
    unsigned sum = 0;
    for (LONG y = 0; y < surface->GetHeight(); ++y)
        sum += surface->GetBits()[static_cast<std::size_t>(y) * surface->GetStride() + surface->GetStride() - 1];
    return static_cast<int>(sum & 0);
}
