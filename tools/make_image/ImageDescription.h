// The text description of a demo image: its size, then drawing steps painted in order (fill,
// checker, gradient, rectangle, border, grid), each on a line of its own. '#' starts a
// comment. Colours are hexadecimal RRGGBB, or RRGGBBAA for an image with an alpha channel.
//
//   size 64 64
//   checker 8 C0C0C0 606060
//   border 2 202020
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DescribedImage {
    int width = 0;
    int height = 0;
    bool alpha = false;              // some colour gave its alpha
    std::vector<std::uint8_t> rgba;  // rows top first
};

// Paints the image of a description. False, with the line and what is wrong in `error`, for
// a description that cannot be painted (a step before "size", a size outside 1 to 1024, an
// unknown step, a missing or malformed value).
bool PaintDescribedImage(const std::string& description, DescribedImage* image, std::string* error);

// A true-colour TGA of the image, rows top first: 32 bits a pixel with alpha, else 24.
std::vector<std::uint8_t> EncodeTga(const DescribedImage& image);
