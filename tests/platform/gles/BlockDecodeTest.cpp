// DXT1 and ATC block decoding: the palettes of each mode, explicit alpha, images whose
// sides are not multiples of 4, and data shorter than the image.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/gles/BlockDecode.h"

namespace {

using platform::gles::BlockFormat;

struct Rgb {
    int r, g, b;
};

Rgb Expand565(std::uint16_t word) {
    int r = word >> 11;
    int g = (word >> 5) & 0x3F;
    int b = word & 0x1F;
    return {r * 255 / 31, g * 255 / 63, b * 255 / 31};
}

// A block whose pixel i takes palette entry i % 4.
std::array<std::uint8_t, 8> Block(std::uint16_t first, std::uint16_t second) {
    std::uint32_t indices = 0;
    for (int i = 0; i < 16; ++i) indices |= static_cast<std::uint32_t>(i % 4) << (2 * i);
    return {static_cast<std::uint8_t>(first),         static_cast<std::uint8_t>(first >> 8),
            static_cast<std::uint8_t>(second),        static_cast<std::uint8_t>(second >> 8),
            static_cast<std::uint8_t>(indices),       static_cast<std::uint8_t>(indices >> 8),
            static_cast<std::uint8_t>(indices >> 16), static_cast<std::uint8_t>(indices >> 24)};
}

// Within one 5-6-5 step of the expected colour.
void ExpectColour(std::uint16_t word, Rgb expected) {
    Rgb actual = Expand565(word);
    EXPECT_LE(std::abs(actual.r - expected.r), 8) << actual.r << " vs " << expected.r;
    EXPECT_LE(std::abs(actual.g - expected.g), 4) << actual.g << " vs " << expected.g;
    EXPECT_LE(std::abs(actual.b - expected.b), 8) << actual.b << " vs " << expected.b;
}

TEST(BlockDecode, Dxt1FourColourBlockInterpolatesAtThirds) {
    auto block = Block(0xF800, 0x001F);  // red > blue: four colours
    std::uint16_t pixels[16];
    platform::gles::DecodeDxt1Block(block.data(), pixels);
    ExpectColour(pixels[0], {255, 0, 0});
    ExpectColour(pixels[1], {0, 0, 255});
    ExpectColour(pixels[2], {170, 0, 85});
    ExpectColour(pixels[3], {85, 0, 170});
    EXPECT_EQ(pixels[4], pixels[0]);
}

TEST(BlockDecode, Dxt1ThreeColourBlockHasHalfwayAndBlack) {
    auto block = Block(0x001F, 0xF800);  // blue <= red: three colours and black
    std::uint16_t pixels[16];
    platform::gles::DecodeDxt1Block(block.data(), pixels);
    ExpectColour(pixels[0], {0, 0, 255});
    ExpectColour(pixels[1], {255, 0, 0});
    ExpectColour(pixels[2], {128, 0, 128});
    EXPECT_EQ(pixels[3], 0);
}

TEST(BlockDecode, AtcInterpolatingModeUsesThreeAndFiveEighths) {
    auto block = Block(0x7C00, 0x001F);  // first endpoint 5-5-5 red, mode bit clear
    std::uint16_t pixels[16];
    platform::gles::DecodeAtcBlock(block.data(), pixels);
    ExpectColour(pixels[0], {255, 0, 0});
    ExpectColour(pixels[1], {159, 0, 96});
    ExpectColour(pixels[2], {96, 0, 159});
    ExpectColour(pixels[3], {0, 0, 255});
}

TEST(BlockDecode, AtcSubtractingModeStartsWithBlack) {
    auto block = Block(0x8000 | 0x7C00, 0x8000);  // mode bit set; second endpoint red 16/31
    std::uint16_t pixels[16];
    platform::gles::DecodeAtcBlock(block.data(), pixels);
    EXPECT_EQ(pixels[0], 0);
    ExpectColour(pixels[1], {255 - 132 / 4, 0, 0});
    ExpectColour(pixels[2], {255, 0, 0});
    ExpectColour(pixels[3], {132, 0, 0});
}

TEST(BlockDecode, AtcExplicitAlphaTakesFourBitsAPixel) {
    std::uint8_t block[16] = {};
    for (int i = 0; i < 8; ++i) block[i] = static_cast<std::uint8_t>((2 * i) | ((2 * i + 1) << 4));
    auto colour = Block(0x001F, 0x001F);  // all blue
    std::copy(colour.begin(), colour.end(), block + 8);
    std::uint8_t rgba[64];
    platform::gles::DecodeAtcExplicitAlphaBlock(block, rgba);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(rgba[i * 4 + 3], i * 17) << "pixel " << i;
        EXPECT_EQ(rgba[i * 4 + 2], 255);
        EXPECT_EQ(rgba[i * 4 + 0], 0);
    }
}

TEST(BlockDecode, ImagesKeepTheTopLeftOfTheirEdgeBlocksAndPadRows) {
    // 6 x 5 pixels: 2 x 2 blocks, each a solid colour.
    const std::uint16_t colours[4] = {0xF800, 0x07E0, 0x001F, 0xFFFF};
    std::vector<std::uint8_t> data;
    for (std::uint16_t colour : colours) {
        const std::uint8_t block[8] = {
            static_cast<std::uint8_t>(colour), static_cast<std::uint8_t>(colour >> 8), 0, 0, 0, 0, 0, 0};
        data.insert(data.end(), block, block + 8);
    }
    std::vector<std::uint8_t> pixels;
    ASSERT_TRUE(platform::gles::DecodeBlockImage(BlockFormat::Dxt1Rgb, data.data(), data.size(), 6, 5, 4, pixels));
    const std::size_t pitch = 12;  // 6 pixels of 2 bytes, already a multiple of 4
    ASSERT_EQ(pixels.size(), pitch * 5);
    auto at = [&](int x, int y) {
        return static_cast<std::uint16_t>(pixels[y * pitch + x * 2] | (pixels[y * pitch + x * 2 + 1] << 8));
    };
    EXPECT_EQ(at(0, 0), 0xF800);
    EXPECT_EQ(at(5, 3), 0x07E0);
    EXPECT_EQ(at(3, 4), 0x001F);
    EXPECT_EQ(at(4, 4), 0xFFFF);

    std::vector<std::uint8_t> odd;
    ASSERT_TRUE(platform::gles::DecodeBlockImage(BlockFormat::Dxt1Rgb, data.data(), 8, 3, 1, 4, odd));
    EXPECT_EQ(odd.size(), 8u);  // 3 pixels of 2 bytes padded to 8
}

TEST(BlockDecode, DataShorterThanTheImageIsRefused) {
    std::vector<std::uint8_t> data(31);
    std::vector<std::uint8_t> pixels;
    EXPECT_FALSE(platform::gles::DecodeBlockImage(BlockFormat::Dxt1Rgb, data.data(), data.size(), 8, 8, 1, pixels));
    EXPECT_FALSE(platform::gles::DecodeBlockImage(BlockFormat::AtcExplicitAlpha, data.data(), 15, 4, 4, 1, pixels));
    EXPECT_FALSE(platform::gles::DecodeBlockImage(BlockFormat::Dxt1Rgb, data.data(), data.size(), 0, 4, 1, pixels));
    EXPECT_EQ(platform::gles::CompressedImageBytes(BlockFormat::AtcRgb, 65535, 65535), 16384ull * 16384 * 8);
}

}  // namespace
