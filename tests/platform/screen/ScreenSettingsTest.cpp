// HANDSET_SCREEN, HANDSET_DISPLAY and HANDSET_REFRESH as the screen reads them.
#include <gtest/gtest.h>

#include "platform/screen/ScreenSettings.h"

namespace {

using platform::screen::DisplayGeometry;
using platform::screen::DisplayMode;
using platform::screen::ScreenSettings;

TEST(ScreenSettingsTest, ScreenSpecsGiveTheirSizeAndDensity) {
    struct Case {
        const char* text;
        DisplayGeometry expected;
    };
    const Case good[] = {
        {"480x800@192", {480, 800, 192}},
        {"800x480@96", {800, 480, 96}},
        {"240X320", {240, 320, 192}},  // the density stays
        {"4096x16@1200", {4096, 16, 1200}},
    };
    for (const Case& test : good) {
        SCOPED_TRACE(test.text);
        DisplayGeometry geometry;
        std::string error;
        ASSERT_TRUE(platform::screen::ParseScreenSpec(test.text, geometry, error)) << error;
        EXPECT_EQ(geometry.nativeWidth, test.expected.nativeWidth);
        EXPECT_EQ(geometry.nativeHeight, test.expected.nativeHeight);
        EXPECT_EQ(geometry.dpi, test.expected.dpi);
    }
}

TEST(ScreenSettingsTest, BadScreenSpecsAreSentencesNamingTheValue) {
    const char* bad[] = {"", "480", "480x", "x800", "480x800@", "480x800@abc", "-480x800", "480x800x2",
                         "480x800@192dpi", "99999999999x800", "8x800", "480x800@12", "@192x480"};
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        DisplayGeometry geometry{1, 2, 3};
        std::string error;
        EXPECT_FALSE(platform::screen::ParseScreenSpec(text, geometry, error));
        EXPECT_NE(error.find("HANDSET_SCREEN '" + std::string(text) + "'"), std::string::npos) << error;
        EXPECT_EQ(geometry.nativeWidth, 1);  // untouched
    }
}

TEST(ScreenSettingsTest, DisplayModeDefaultsToTheDesktopWhenThereIsOne) {
    ScreenSettings settings;
    std::string error;
    ASSERT_TRUE(platform::screen::ParseDisplayMode("", true, settings, error));
    EXPECT_EQ(settings.mode, DisplayMode::Desktop);
    EXPECT_TRUE(settings.modeChosenByDefault);
    ASSERT_TRUE(platform::screen::ParseDisplayMode("", false, settings, error));
    EXPECT_EQ(settings.mode, DisplayMode::Headless);
    ASSERT_TRUE(platform::screen::ParseDisplayMode("SDL", false, settings, error));
    EXPECT_EQ(settings.mode, DisplayMode::Desktop);
    EXPECT_FALSE(settings.modeChosenByDefault);
    ASSERT_TRUE(platform::screen::ParseDisplayMode("headless", true, settings, error));
    EXPECT_EQ(settings.mode, DisplayMode::Headless);
    EXPECT_FALSE(platform::screen::ParseDisplayMode("x11", true, settings, error));
    EXPECT_EQ(error, "HANDSET_DISPLAY 'x11' is neither 'sdl' nor 'headless'.");
}

TEST(ScreenSettingsTest, RefreshRatesAreWholeHertzUpToAThousand) {
    const std::pair<const char*, int> good[] = {{"60", 60}, {"0", 0}, {"1", 1}, {"1000", 1000}};
    for (const auto& [text, hz] : good) {
        int parsed = -1;
        std::string error;
        EXPECT_TRUE(platform::screen::ParseRefreshRate(text, parsed, error)) << text;
        EXPECT_EQ(parsed, hz);
    }
    for (const char* text : {"", "-1", "1001", "60Hz", "59.94", " 60", "99999999999"}) {
        int parsed = 7;
        std::string error;
        EXPECT_FALSE(platform::screen::ParseRefreshRate(text, parsed, error)) << text;
        EXPECT_EQ(error, "HANDSET_REFRESH '" + std::string(text) + "' is not a refresh rate of 0 to 1000 Hz.");
        EXPECT_EQ(parsed, 7);
    }
}

}  // namespace
