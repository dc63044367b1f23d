// Reads what an X server shows in a window, for the tests that run the game on a desktop:
// the pixels of its largest top-level window, as the X server holds them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace integration_test {

struct WindowPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // rows top first, 3 bytes a pixel

    const std::uint8_t* PixelAt(int x, int y) const {
        return rgb.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
    }
};

// Captures the largest mapped top-level window of the X display `display` (":201"). False
// with a sentence in `error` when the display or a window cannot be read.
bool CaptureLargestWindow(const std::string& display, WindowPixels& pixels, std::string& error);

}  // namespace integration_test
