// The desktop window through SDL's dummy video driver: it opens, follows turns and shows
// frames without a real desktop, and headless runs have no native window.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/platform/screen/ScreenTestSupport.h"

namespace {

using platform::screen::DisplayMode;
using platform::screen::ScreenSettings;
using screen_test::ScreenTest;

TEST_F(ScreenTest, HeadlessHasNoNativeWindow) {
    ScreenSettings settings;
    std::string error;
    ASSERT_TRUE(platform::screen::Start(settings, error)) << error;
    EXPECT_EQ(platform::screen::Mode(), DisplayMode::Headless);
    EXPECT_EQ(platform::screen::NativeWindow(), 0u);
    EXPECT_EQ(platform::screen::NativeDisplay(), nullptr);
}

TEST_F(ScreenTest, DesktopWindowOpensAndFollowsTheDisplay) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ScreenSettings settings;
    settings.mode = DisplayMode::Desktop;
    settings.modeChosenByDefault = false;
    settings.geometry = {240, 320, 96};
    std::string error;
    ASSERT_TRUE(platform::screen::Start(settings, error)) << error;
    EXPECT_EQ(platform::screen::Mode(), DisplayMode::Desktop);
    EXPECT_EQ(platform::screen::NativeWindow(), 0u);  // the dummy driver is not X11

    std::vector<std::uint8_t> white(240 * 320 * 4, 255);
    ASSERT_TRUE(
        platform::screen::Present({white.data(), 240, 320, 240 * 4, platform::screen::PixelOrder::Rgba, false}));
    screen_test::PumpAll();
    ASSERT_TRUE(platform::screen::SetOrientation(90));
    screen_test::PumpAll();
    platform::screen::Stop();
    EXPECT_FALSE(platform::screen::IsStarted());
    unsetenv("SDL_VIDEODRIVER");
}

TEST_F(ScreenTest, AnUnavailableDesktopFailsOnlyWhenItWasAskedFor) {
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    ScreenSettings settings;
    settings.mode = DisplayMode::Desktop;
    settings.modeChosenByDefault = false;
    std::string error;
    EXPECT_FALSE(platform::screen::Start(settings, error));
    EXPECT_EQ(error.rfind("The desktop display cannot be opened: ", 0), 0u) << error;

    settings.modeChosenByDefault = true;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(platform::screen::Start(settings, error)) << error;
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(platform::screen::Mode(), DisplayMode::Headless);
    unsetenv("SDL_VIDEODRIVER");
}

}  // namespace
