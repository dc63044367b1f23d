// CRC-32 by folding with carry-less multiplication (x86-64 with PCLMULQDQ), after the method
// of Intel's paper "Fast CRC Computation for Generic Polynomials Using PCLMULQDQ": four
// 128-bit lanes are folded forward 64 bytes at a time, then folded into one, reduced to 64
// bits and Barrett-reduced to the 32-bit remainder. Everything else goes to zlib.
#include "engine/core/files/Crc32.h"

#include <zlib.h>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

// zlib's crc32 takes a 32-bit length: longer runs go in pieces.
std::uint32_t ZlibCrc(std::uint32_t crc, const unsigned char* data, std::size_t length) {
    while (length > 0) {
        const std::size_t piece = length < 0x40000000u ? length : 0x40000000u;
        crc = static_cast<std::uint32_t>(crc32(crc, data, static_cast<uInt>(piece)));
        data += piece;
        length -= piece;
    }
    return crc;
}

#if defined(__x86_64__)

// The constants of the bit-reflected CRC-32 polynomial 0x104C11DB7: x^(4*128+32) and
// x^(4*128-32) mod P for the fold by four lanes, x^(128+32) and x^(128-32) mod P for the
// fold by one, x^64 mod P, and P' and mu for the Barrett reduction.
alignas(16) constexpr std::uint64_t kFoldBy4[2] = {0x0154442bd4, 0x01c6e41596};
alignas(16) constexpr std::uint64_t kFoldBy1[2] = {0x01751997d0, 0x00ccaa009e};
alignas(16) constexpr std::uint64_t kFold64[2] = {0x0163cd6124, 0x0000000000};
alignas(16) constexpr std::uint64_t kBarrett[2] = {0x01db710641, 0x01f7011641};

__attribute__((target("pclmul,sse4.1"))) __m128i Fold(__m128i lane, __m128i constants, __m128i next) {
    const __m128i low = _mm_clmulepi64_si128(lane, constants, 0x00);
    const __m128i high = _mm_clmulepi64_si128(lane, constants, 0x11);
    return _mm_xor_si128(_mm_xor_si128(high, low), next);
}

// The running (inverted) CRC over `length` bytes: at least 64 and a multiple of 16.
__attribute__((target("pclmul,sse4.1"))) std::uint32_t FoldedCrc(std::uint32_t state, const unsigned char* data,
                                                                  std::size_t length) {
    const auto load = [](const unsigned char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); };
    __m128i x1 = _mm_xor_si128(load(data), _mm_cvtsi32_si128(static_cast<int>(state)));
    __m128i x2 = load(data + 16);
    __m128i x3 = load(data + 32);
    __m128i x4 = load(data + 48);
    data += 64;
    length -= 64;
    __m128i constants = _mm_load_si128(reinterpret_cast<const __m128i*>(kFoldBy4));
    while (length >= 64) {
        x1 = Fold(x1, constants, load(data));
        x2 = Fold(x2, constants, load(data + 16));
        x3 = Fold(x3, constants, load(data + 32));
        x4 = Fold(x4, constants, load(data + 48));
        data += 64;
        length -= 64;
    }
    constants = _mm_load_si128(reinterpret_cast<const __m128i*>(kFoldBy1));
    x1 = Fold(x1, constants, x2);
    x1 = Fold(x1, constants, x3);
    x1 = Fold(x1, constants, x4);
    while (length >= 16) {
        x1 = Fold(x1, constants, load(data));
        data += 16;
        length -= 16;
    }
    // 128 bits to 64.
    const __m128i mask32 = _mm_setr_epi32(-1, 0, -1, 0);
    __m128i x2r = _mm_clmulepi64_si128(x1, constants, 0x10);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2r);
    constants = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kFold64));
    x2r = _mm_srli_si128(x1, 4);
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, mask32), constants, 0x00), x2r);
    // Barrett reduction to 32 bits.
    constants = _mm_load_si128(reinterpret_cast<const __m128i*>(kBarrett));
    x2r = _mm_clmulepi64_si128(_mm_and_si128(x1, mask32), constants, 0x10);
    x2r = _mm_clmulepi64_si128(_mm_and_si128(x2r, mask32), constants, 0x00);
    x1 = _mm_xor_si128(x1, x2r);
    return static_cast<std::uint32_t>(_mm_extract_epi32(x1, 1));
}

bool CanFold() {
    static const bool supported = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return supported;
}

#endif

}  // namespace

std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t length) {
    const auto* bytes = static_cast<const unsigned char*>(data);
#if defined(__x86_64__)
    if (length >= 64 && CanFold()) {
        const std::size_t folded = length & ~std::size_t{15};
        crc = ~FoldedCrc(~crc, bytes, folded);
        bytes += folded;
        length -= folded;
    }
#endif
    return ZlibCrc(crc, bytes, length);
}
