// The folded CRC-32 against zlib's over every length up to a few blocks, unaligned starts,
// continued sums and a large buffer.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <vector>

#include "engine/core/files/Crc32.h"

namespace {

TEST(Crc32Test, AgreesWithZlib) {
    std::vector<unsigned char> data(1 << 20);
    std::uint32_t seed = 0x38549391u;
    for (unsigned char& byte : data) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<unsigned char>(seed >> 24);
    }
    for (std::size_t length = 0; length <= 300; ++length) {
        for (std::size_t start : {0, 1, 7, 15}) {
            const std::uint32_t expected = static_cast<std::uint32_t>(crc32(0, data.data() + start, static_cast<uInt>(length)));
            ASSERT_EQ(Crc32(0, data.data() + start, length), expected) << length << " from " << start;
        }
    }
    const std::uint32_t whole = static_cast<std::uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));
    EXPECT_EQ(Crc32(0, data.data(), data.size()), whole);
    // Continued in pieces of odd sizes.
    std::uint32_t pieces = 0;
    for (std::size_t at = 0; at < data.size();) {
        const std::size_t piece = std::min<std::size_t>(data.size() - at, 1000 + at % 333);
        pieces = Crc32(pieces, data.data() + at, piece);
        at += piece;
    }
    EXPECT_EQ(pieces, whole);
    EXPECT_EQ(Crc32(0, "hello", 5), 0x3610A686u);
}

}  // namespace
