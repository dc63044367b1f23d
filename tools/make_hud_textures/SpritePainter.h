// The text description of a sprite sheet (HUD atlases, frames, comic pages) and its painting:
// anti-aliased shapes, gradients and text rendered with FreeType, composited in order over
// a transparent canvas, optionally resampled to the texture size at the end. '#' starts a
// comment; colours are RRGGBB or RRGGBBAA; text runs to the end of its line in double quotes.
//
//   size 800 480                       (the canvas painted on)
//   output 1024 512                    (the texture written; default: the canvas size)
//   face DejaVuSans-Bold.ttf           (the face of the text steps that follow)
//   fill 20304080
//   rect 10 10 100 40 FF0000
//   roundrect 10 10 100 40 8 FF0000    (corner radius)
//   disc 64 64 30 FFFF00               (centre, radius)
//   ring 64 64 30 4 000000             (centre, radius, thickness)
//   triangle 0 0 64 32 0 64 FFFFFF
//   gradient 0 0 512 64 vertical 000000 FFFFFF
//   line 0 0 64 64 3 FFFFFF            (end points, thickness)
//   text 256 32 24 FFFFFF center "Level complete"   (anchor, pixel size, colour, left|center|right)
#pragma once

#include <string>

#include "tools/make_image/ImageDescription.h"

// Where the DejaVu faces are installed (fonts-dejavu-core).
constexpr const char* kSpriteFontFolder = "/usr/share/fonts/truetype/dejavu";

// Paints the sheet into `image` (the output size, with alpha). False, with the line and what
// is wrong in `error`, for a description that cannot be painted.
bool PaintSpriteSheet(const std::string& description, const std::string& fontFolder, DescribedImage* image,
                      std::string* error);
