// The display's pixels as PNG files (8-bit RGBA): screenshots, and reading them back.
#pragma once

#include <string>

#include "platform/screen/Display.h"

namespace platform::screen {

// Writes the image to `path` (a Linux path) through a temporary file beside it, so that a
// failed write never leaves a broken file in place of an older one. False with a sentence
// naming the file and the reason.
bool WritePng(const Image& image, const std::string& path, std::string& error);

// Reads a PNG file as RGBA; false when it cannot be read.
bool ReadPng(const std::string& path, Image& image);

}  // namespace platform::screen
