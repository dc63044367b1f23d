// Reads what an X server shows in a window, for the tests that run the game on a desktop:
// the pixels of its largest top-level window, as the X server holds them.
#pragma once

#include <string>

#include "platform/screen/Display.h"

namespace integration_test {

// Captures the largest mapped top-level window of the X display `display` (":201") as an
// opaque RGBA image. False with a sentence in `error` when the display or a window cannot
// be read.
bool CaptureLargestWindow(const std::string& display, platform::screen::Image& pixels, std::string& error);

}  // namespace integration_test
