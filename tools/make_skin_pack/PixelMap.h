// Bitmaps written as text, so that the skins' pictures and masks live in data/ as readable
// sources: the plain PGM ("P2", grey) and PPM ("P3", colour) formats — the magic word, width,
// height, the largest value, then one value (PGM) or three (PPM, red green blue) a pixel, top
// row first; "#" starts a comment to the end of the line. A comment "# depth <bits>" before
// the largest value chooses the BMP the pack holds:
//   PGM: 8 (default; a 256-entry grey table) or 1 (black and white: every value 0 or the
//        largest);
//   PPM: 24 (default) or 16 (5-6-5 with bit-field masks, as the handset's screen stores it).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Images larger than this many pixels a side are refused.
constexpr int kMaxPixelMapSide = 4096;

// The bottom-up BMP file of a plain PGM or PPM text; values are scaled to 0..255 when the
// largest value is not 255. False with a sentence naming what was wrong and the line.
bool PixelMapToBmp(const std::string& text, std::vector<std::uint8_t>* bmp, std::string* error);
