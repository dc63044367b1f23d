// Case-less comparison of 8-bit names.
#include "engine/core/text/TextCompare.h"

namespace {
int Lower(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte;
}
}  // namespace

int CompareNoCase(const char* a, const char* b) { return CompareNoCaseN(a, b, static_cast<std::size_t>(-1)); }

int CompareNoCaseN(const char* a, const char* b, std::size_t count) {
    if (a == nullptr) a = "";
    if (b == nullptr) b = "";
    for (std::size_t i = 0; i < count; ++i) {
        const int left = Lower(a[i]);
        const int right = Lower(b[i]);
        if (left != right || left == 0) return left - right;
    }
    return 0;
}
