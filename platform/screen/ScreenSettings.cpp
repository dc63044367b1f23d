// Parsing of the screen's environment variables.
#include "platform/screen/ScreenSettings.h"

#include <charconv>
#include <cstdlib>

namespace platform::screen {

namespace {

// A whole decimal number within [low, high]; false for anything else.
bool ReadNumber(std::string_view text, int low, int high, int& value) {
    if (text.empty()) return false;
    int parsed = 0;
    auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (status != std::errc() || end != text.data() + text.size() || parsed < low || parsed > high) return false;
    value = parsed;
    return true;
}

std::string Quoted(std::string_view text) {
    // Built by appending: GCC 12 warns (-Wrestrict) on "'" + std::string at -O2.
    std::string quoted;
    quoted.reserve(66);
    quoted += '\'';
    quoted.append(text.substr(0, 64));
    quoted += '\'';
    return quoted;
}

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lowered;
}

}  // namespace

bool ParseScreenSpec(std::string_view text, DisplayGeometry& geometry, std::string& error) {
    std::size_t cross = text.find_first_of("xX");
    std::size_t at = text.find('@');
    if (cross == std::string_view::npos || (at != std::string_view::npos && at < cross)) {
        error = "HANDSET_SCREEN " + Quoted(text) + " is not of the form <width>x<height>@<dpi>.";
        return false;
    }
    std::string_view width = text.substr(0, cross);
    std::string_view height =
        text.substr(cross + 1, at == std::string_view::npos ? std::string_view::npos : at - cross - 1);
    DisplayGeometry parsed = geometry;
    if (!ReadNumber(width, kMinDisplaySide, kMaxDisplaySide, parsed.nativeWidth) ||
        !ReadNumber(height, kMinDisplaySide, kMaxDisplaySide, parsed.nativeHeight)) {
        error = "HANDSET_SCREEN " + Quoted(text) + " needs a width and a height of " +
                std::to_string(kMinDisplaySide) + " to " + std::to_string(kMaxDisplaySide) + " pixels.";
        return false;
    }
    if (at != std::string_view::npos && !ReadNumber(text.substr(at + 1), kMinDpi, kMaxDpi, parsed.dpi)) {
        error = "HANDSET_SCREEN " + Quoted(text) + " needs a density of " + std::to_string(kMinDpi) + " to " +
                std::to_string(kMaxDpi) + " dpi after '@'.";
        return false;
    }
    geometry = parsed;
    return true;
}

bool ParseDisplayMode(std::string_view text, bool desktopAvailable, ScreenSettings& settings, std::string& error) {
    std::string mode = Lowered(text);
    if (mode.empty()) {
        settings.mode = desktopAvailable ? DisplayMode::Desktop : DisplayMode::Headless;
        settings.modeChosenByDefault = true;
        return true;
    }
    if (mode == "sdl" || mode == "headless") {
        settings.mode = mode == "sdl" ? DisplayMode::Desktop : DisplayMode::Headless;
        settings.modeChosenByDefault = false;
        return true;
    }
    error = "HANDSET_DISPLAY " + Quoted(text) + " is neither 'sdl' nor 'headless'.";
    return false;
}

bool SettingsFromEnvironment(ScreenSettings& settings, std::string& error) {
    auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string_view(value != nullptr ? value : "");
    };
    ScreenSettings parsed;
    if (!variable("HANDSET_SCREEN").empty() && !ParseScreenSpec(variable("HANDSET_SCREEN"), parsed.geometry, error))
        return false;
    bool desktopAvailable = !variable("DISPLAY").empty() || !variable("WAYLAND_DISPLAY").empty();
    if (!ParseDisplayMode(variable("HANDSET_DISPLAY"), desktopAvailable, parsed, error)) return false;
    parsed.scriptPath = std::string(variable("HANDSET_SCRIPT"));
    if (!variable("HANDSET_REFRESH").empty() && !ParseRefreshRate(variable("HANDSET_REFRESH"), parsed.refreshHz, error))
        return false;
    settings = parsed;
    return true;
}

}  // namespace platform::screen
