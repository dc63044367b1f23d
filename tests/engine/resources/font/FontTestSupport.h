// Font fixtures: grid images in 32-bit TGA and 4-4-4-4 DDS form with chosen visible pixels,
// ".fnt" files from glyph entries, and a page for the ".ddsx" name, on the null device.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tests/engine/resources/support/ResourceTestSupport.h"

namespace font_test {

struct GlyphEntry {
    std::int32_t left, top, right, bottom;
    std::uint16_t advance;
    std::uint16_t character;
};

inline std::vector<std::uint8_t> MakeGlyphFile(std::uint32_t lineHeight, const std::vector<GlyphEntry>& entries,
                                               std::uint32_t count) {
    std::vector<std::uint8_t> out;
    render_test::Put32(out, lineHeight);
    render_test::Put32(out, count);
    for (const GlyphEntry& entry : entries) {
        render_test::Put32(out, static_cast<std::uint32_t>(entry.left));
        render_test::Put32(out, static_cast<std::uint32_t>(entry.top));
        render_test::Put32(out, static_cast<std::uint32_t>(entry.right));
        render_test::Put32(out, static_cast<std::uint32_t>(entry.bottom));
        render_test::Put16(out, entry.advance);
        render_test::Put16(out, entry.character);
    }
    return out;
}

using Pixels = std::vector<std::pair<int, int>>;

class FontTest : public resource_test::ResourceTest {
protected:
    void SetUp() override {
        ResourceTest::SetUp();
        if (HasFatalFailure()) return;
        StartNullDevice();
    }

    // A transparent 32-bit image with opaque white at the given pixels.
    void WriteGrid32(const std::string& name, int width, int height, const Pixels& visible) const {
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4, 0);
        for (auto [x, y] : visible) {
            std::uint8_t* pixel = &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
            pixel[0] = pixel[1] = pixel[2] = pixel[3] = 255;
        }
        WriteFile(name, render_test::MakeTga(2, 32, 0x20, width, height, pixels));
    }
    // The same as a 4-4-4-4 DDS image.
    void WriteGrid16(const std::string& name, int width, int height, const Pixels& visible) const {
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 2, 0);
        for (auto [x, y] : visible) {
            pixels[(static_cast<std::size_t>(y) * width + x) * 2] = 0xFF;
            pixels[(static_cast<std::size_t>(y) * width + x) * 2 + 1] = 0xFF;
        }
        const render_test::DdsFormat format{0, 16, 0x0F00, 0xF0, 0x0F, 0xF000};
        WriteFile(name, render_test::MakeDds(format, static_cast<std::uint32_t>(width),
                                             static_cast<std::uint32_t>(height), 1, 0, pixels));
    }
    // A small page texture.
    void WritePage(const std::string& name) const { WriteGrid16(name, 4, 4, {}); }
};

}  // namespace font_test
