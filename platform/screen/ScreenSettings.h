// What the screen is told by the environment: HANDSET_SCREEN (native size and density),
// HANDSET_DISPLAY (a desktop window or none), HANDSET_SCRIPT (timed input) and
// HANDSET_REFRESH (the display's refresh rate).
#pragma once

#include <string>
#include <string_view>

#include "platform/screen/Display.h"
#include "platform/screen/Refresh.h"

namespace platform::screen {

enum class DisplayMode {
    Headless,  // no window: the display exists only as pixels
    Desktop,   // an SDL window on the desktop shows the display and takes mouse and keys
};

struct ScreenSettings {
    DisplayGeometry geometry;
    DisplayMode mode = DisplayMode::Headless;
    // True when the mode was not asked for: a desktop that cannot be opened then falls back
    // to headless instead of failing.
    bool modeChosenByDefault = true;
    std::string scriptPath;  // empty: no script
    int refreshHz = kDefaultRefreshHz;
};

// "<width>x<height>@<dpi>" or "<width>x<height>" (the density stays as it was). False with
// a sentence naming what was wrong.
bool ParseScreenSpec(std::string_view text, DisplayGeometry& geometry, std::string& error);
// "sdl" or "headless" (case ignored); empty picks sdl when a desktop display is available.
bool ParseDisplayMode(std::string_view text, bool desktopAvailable, ScreenSettings& settings, std::string& error);
// Reads HANDSET_SCREEN, HANDSET_DISPLAY, HANDSET_SCRIPT and HANDSET_REFRESH; a desktop is
// available when DISPLAY or WAYLAND_DISPLAY is set.
bool SettingsFromEnvironment(ScreenSettings& settings, std::string& error);

}  // namespace platform::screen
