// Grey images written as text: the plain PGM format ("P2", width, height, the largest
// value, then one value a pixel, top row first; "#" starts a comment to the end of the
// line). Skin packs hold them as 8-bit grey BMP files, so masks and grey skins can live
// in data/ as readable sources.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Images larger than this many pixels a side are refused.
constexpr int kMaxGreyMapSide = 4096;

// The BMP file (bottom-up, 8 bits, a 256-entry grey table) of a plain PGM text; values
// are scaled to 0..255 when the largest value is not 255. False with a sentence naming
// what was wrong and the line.
bool GreyMapToBmp(const std::string& text, std::vector<std::uint8_t>* bmp, std::string* error);
