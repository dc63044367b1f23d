// The display: sizes and densities, orientation turns, and what presenters put on it.
#include <gtest/gtest.h>

#include "tests/platform/screen/ScreenTestSupport.h"

namespace {

using platform::screen::DisplayGeometry;
using platform::screen::FrameView;
using platform::screen::PixelOrder;
using screen_test::ScreenTest;

struct TurnCase {
    DisplayGeometry geometry;
    int degrees;
    SIZE expected;
};

TEST_F(ScreenTest, EachSizeAndDensityTurnsAsTheHandsetDoes) {
    const TurnCase cases[] = {
        {{480, 800, 192}, 0, {480, 800}},   {{480, 800, 192}, 90, {800, 480}},  {{480, 800, 192}, 180, {480, 800}},
        {{480, 800, 192}, 270, {800, 480}}, {{240, 320, 96}, 90, {320, 240}},   {{240, 320, 96}, 180, {240, 320}},
        {{800, 480, 96}, 0, {800, 480}},    {{800, 480, 96}, 270, {480, 800}},
    };
    for (const TurnCase& test : cases) {
        SCOPED_TRACE(std::to_string(test.geometry.nativeWidth) + "x" + std::to_string(test.geometry.nativeHeight) +
                     "@" + std::to_string(test.geometry.dpi) + " turned " + std::to_string(test.degrees));
        ASSERT_TRUE(platform::screen::Configure(test.geometry));
        EXPECT_EQ(platform::screen::Dpi(), test.geometry.dpi);
        ASSERT_TRUE(platform::screen::SetOrientation(test.degrees));
        EXPECT_EQ(platform::screen::Orientation(), test.degrees);
        SIZE size = platform::screen::Size();
        EXPECT_EQ(size.cx, test.expected.cx);
        EXPECT_EQ(size.cy, test.expected.cy);
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), test.expected.cx);
        EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), test.expected.cy);
        platform::screen::Image image = platform::screen::Capture();
        EXPECT_EQ(image.width, test.expected.cx);
        EXPECT_EQ(image.rgba.size(), static_cast<size_t>(test.expected.cx) * test.expected.cy * 4);
    }
}

TEST_F(ScreenTest, RefusesAnglesAndSizesItCannotShow) {
    ASSERT_TRUE(platform::screen::SetOrientation(90));
    EXPECT_FALSE(platform::screen::SetOrientation(45));
    EXPECT_FALSE(platform::screen::SetOrientation(-90));
    EXPECT_EQ(platform::screen::Orientation(), 90);
    for (DisplayGeometry bad : {DisplayGeometry{8, 800, 192}, DisplayGeometry{480, 5000, 192},
                                DisplayGeometry{480, 800, 10}, DisplayGeometry{480, 800, 2000}})
        EXPECT_FALSE(platform::screen::Configure(bad));
    EXPECT_EQ(platform::screen::Size().cx, 800);
    EXPECT_EQ(platform::screen::Dpi(), 192);
}

TEST_F(ScreenTest, PresentedFramesLandClippedAndOpaque) {
    ASSERT_TRUE(platform::screen::Configure({16, 16, 96}));
    // A 4x2 BGRA frame, bottom row first, its alpha left at 0; placed so that its right
    // half falls off the display.
    std::vector<std::uint8_t> frame(4 * 2 * 4);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 4; ++column) {
            std::uint8_t* pixel = &frame[(row * 4 + column) * 4];
            pixel[0] = 10;                                       // blue
            pixel[1] = static_cast<std::uint8_t>(column);        // green: the column
            pixel[2] = static_cast<std::uint8_t>(100 + row);     // red: the row in memory
            pixel[3] = 0;
        }
    FrameView view{frame.data(), 4, 2, 16, PixelOrder::Bgra, true};
    ASSERT_TRUE(platform::screen::Present(view, 14, 3));
    platform::screen::Image image = platform::screen::Capture();
    const std::uint8_t* top = image.PixelAt(14, 3);
    EXPECT_EQ(top[0], 101);  // the top row on screen is the last row in memory
    EXPECT_EQ(top[1], 0);
    EXPECT_EQ(top[2], 10);
    EXPECT_EQ(top[3], 255);
    EXPECT_EQ(image.PixelAt(15, 4)[0], 100);
    EXPECT_EQ(image.PixelAt(15, 4)[1], 1);
    EXPECT_EQ(image.PixelAt(13, 3)[0], 0);  // left of the frame: still black
    EXPECT_EQ(image.PixelAt(13, 3)[3], 255);

    // Wholly off the display, or malformed: nothing drawn.
    std::uint64_t generation = platform::screen::SurfaceGeneration();
    EXPECT_TRUE(platform::screen::Present(view, -100, 0));
    EXPECT_FALSE(platform::screen::Present({frame.data(), 4, 2, 15, PixelOrder::Rgba, false}));
    EXPECT_FALSE(platform::screen::Present({nullptr, 4, 2, 16, PixelOrder::Rgba, false}));
    EXPECT_FALSE(platform::screen::Present({frame.data(), 0, 2, 16, PixelOrder::Rgba, false}));
    EXPECT_EQ(platform::screen::Capture().rgba, image.rgba);
    EXPECT_GE(platform::screen::SurfaceGeneration(), generation);

    // The same geometry configured again, or a turn, leaves the display black.
    auto black = [] {
        const platform::screen::Image shown = platform::screen::Capture();
        for (std::size_t i = 0; i < shown.rgba.size(); i += 4)
            if (shown.rgba[i] != 0 || shown.rgba[i + 1] != 0 || shown.rgba[i + 2] != 0 || shown.rgba[i + 3] != 255)
                return false;
        return true;
    };
    ASSERT_TRUE(platform::screen::Configure({16, 16, 96}));
    EXPECT_TRUE(black());
    ASSERT_TRUE(platform::screen::Present(view, 2, 2));
    ASSERT_TRUE(platform::screen::SetOrientation(90));
    EXPECT_TRUE(black());
}

TEST_F(ScreenTest, CaptureAsksTheSourceForItsFrameFirst) {
    ASSERT_TRUE(platform::screen::Configure({16, 16, 96}));
    int asked = 0;
    platform::screen::SetCaptureSource([&asked] {
        ++asked;
        std::vector<std::uint8_t> white(16 * 16 * 4, 255);
        platform::screen::Present({white.data(), 16, 16, 64, PixelOrder::Rgba, false});
    });
    EXPECT_TRUE(platform::screen::HasCaptureSource());
    platform::screen::Image image = platform::screen::Capture();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(image.PixelAt(7, 7)[0], 255);
    // A turn clears the display; the source paints the new size again.
    ASSERT_TRUE(platform::screen::SetOrientation(90));
    EXPECT_EQ(platform::screen::Capture().PixelAt(15, 15)[1], 255);
    platform::screen::SetCaptureSource({});
    EXPECT_FALSE(platform::screen::HasCaptureSource());
}

}  // namespace
