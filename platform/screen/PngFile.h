// Writing the display's pixels as a PNG file (8-bit RGBA).
#pragma once

#include <string>

#include "platform/screen/Display.h"

namespace platform::screen {

// Writes the image to `path` (a Linux path) through a temporary file beside it, so that a
// failed write never leaves a broken file in place of an older one. False with a sentence
// naming the file and the reason.
bool WritePng(const Image& image, const std::string& path, std::string& error);

}  // namespace platform::screen
