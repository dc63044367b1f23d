// Screenshots: the display as the user sees it, written as PNG and read back.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/screen/PngFile.h"
#include "tests/platform/screen/ScreenTestSupport.h"

namespace {

using platform::screen::FrameView;
using platform::screen::Image;
using platform::screen::PixelOrder;
using screen_test::ScreenTest;

// Fills the display with a pattern that tells every pixel apart.
void PresentPattern(SIZE size) {
    std::vector<std::uint8_t> frame(static_cast<size_t>(size.cx) * size.cy * 4);
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) {
            std::uint8_t* pixel = &frame[(static_cast<size_t>(y) * size.cx + x) * 4];
            pixel[0] = static_cast<std::uint8_t>(x);
            pixel[1] = static_cast<std::uint8_t>(y);
            pixel[2] = static_cast<std::uint8_t>((x >> 8) | ((y >> 8) << 4));
            pixel[3] = 255;
        }
    ASSERT_TRUE(platform::screen::Present(
        FrameView{frame.data(), size.cx, size.cy, static_cast<size_t>(size.cx) * 4, PixelOrder::Rgba, false}));
}

TEST_F(ScreenTest, ScreenshotsReadBackWithTheirSizeAndPixels) {
    for (int degrees : {0, 90}) {
        SCOPED_TRACE(degrees);
        ASSERT_TRUE(platform::screen::SetOrientation(degrees));
        SIZE size = platform::screen::Size();
        PresentPattern(size);
        std::string path = root_.Path() + "/shot" + std::to_string(degrees) + ".png";
        std::string error;
        ASSERT_TRUE(platform::screen::SaveScreenshot(path, error)) << error;
        Image image;
        ASSERT_TRUE(screen_test::ReadPng(path, image));
        ASSERT_EQ(image.width, size.cx);
        ASSERT_EQ(image.height, size.cy);
        EXPECT_EQ(image.rgba, platform::screen::Capture().rgba);
        const std::uint8_t* corner = image.PixelAt(size.cx - 1, size.cy - 1);
        EXPECT_EQ(corner[0], static_cast<std::uint8_t>(size.cx - 1));
        EXPECT_EQ(corner[1], static_cast<std::uint8_t>(size.cy - 1));
    }
}

TEST_F(ScreenTest, AFailedScreenshotNamesTheFileAndKeepsTheOldOne) {
    std::string path = root_.Path() + "/kept.png";
    std::string error;
    ASSERT_TRUE(platform::screen::SaveScreenshot(path, error)) << error;
    auto size = std::filesystem::file_size(path);

    Image broken{4, 4, std::vector<std::uint8_t>(10)};
    EXPECT_FALSE(platform::screen::WritePng(broken, path, error));
    EXPECT_EQ(error, "Cannot write " + path + ": the image has no pixels or a wrong size.");
    EXPECT_EQ(std::filesystem::file_size(path), size);

    std::string missing = root_.Path() + "/no/such/folder/shot.png";
    EXPECT_FALSE(platform::screen::SaveScreenshot(missing, error));
    EXPECT_EQ(error.rfind("Cannot write " + missing + ": ", 0), 0u) << error;
    EXPECT_FALSE(std::filesystem::exists(missing + ".tmp"));
}

}  // namespace
