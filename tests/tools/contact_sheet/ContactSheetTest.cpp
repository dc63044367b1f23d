// level_contact_sheet run on the built demo data: one PNG of the expected size, every cell a
// real picture of a level (not a flat fill, not all the same) with its name written below.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "platform/screen/PngFile.h"

namespace {

constexpr int kThumbWidth = 80;
constexpr int kThumbHeight = 48;
constexpr int kColumns = 3;
constexpr int kLabelHeight = 18;

// The distinct colours of a rectangle of the picture.
std::size_t DistinctColours(const platform::screen::Image& image, int left, int top, int width, int height) {
    std::set<std::uint32_t> colours;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x) {
            const std::uint8_t* p = image.PixelAt(x, y);
            colours.insert(static_cast<std::uint32_t>(p[0]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[2]);
        }
    return colours.size();
}

std::uint64_t CellSum(const platform::screen::Image& image, int left, int top) {
    std::uint64_t sum = 0;
    for (int y = top; y < top + kThumbHeight; ++y)
        for (int x = left; x < left + kThumbWidth; ++x) sum = sum * 31 + image.PixelAt(x, y)[1];
    return sum;
}

TEST(ContactSheet, ShowsEveryLevelLabelled) {
    const std::string picture = std::string(CONTACT_SHEET_OUTPUT) + "/sheet.png";
    std::remove(picture.c_str());
    const std::string command = std::string(CONTACT_SHEET_PROGRAM) + " " + DEMO_DATA_FOLDER + " " + picture +
                                " --size 80x48 --columns 3";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    platform::screen::Image sheet;
    ASSERT_TRUE(platform::screen::ReadPng(picture, sheet));

    const int levels = LEVEL_COUNT;
    const int rows = (levels + kColumns - 1) / kColumns;
    ASSERT_EQ(sheet.width, kColumns * kThumbWidth);
    ASSERT_EQ(sheet.height, rows * (kThumbHeight + kLabelHeight));
    std::set<std::uint64_t> cells;
    for (int i = 0; i < levels; ++i) {
        const int left = (i % kColumns) * kThumbWidth;
        const int top = (i / kColumns) * (kThumbHeight + kLabelHeight);
        EXPECT_GT(DistinctColours(sheet, left, top, kThumbWidth, kThumbHeight), 8u) << "thumbnail " << i;
        // The name: more than the strip's one colour.
        EXPECT_GT(DistinctColours(sheet, left, top + kThumbHeight, kThumbWidth, kLabelHeight), 2u) << "label " << i;
        cells.insert(CellSum(sheet, left, top));
    }
    EXPECT_GT(cells.size(), 1u) << "every thumbnail is the same picture";
}

TEST(ContactSheet, RefusesMissingData) {
    const std::string command = std::string(CONTACT_SHEET_PROGRAM) + " " + CONTACT_SHEET_OUTPUT +
                                "/no-such-folder " + CONTACT_SHEET_OUTPUT + "/never.png 2>/dev/null";
    const int status = std::system(command.c_str());
    EXPECT_NE(status, 0);
}

}  // namespace
