// Brush: how a widget or sprite is drawn: a texture with corner texture coordinates and
// corner colours, drawn plain, rotated, mirrored or as a nine-slice box. Its first two words
// are a texture handle, so a brush's texture is loaded like any handle's.
#pragma once

#include "engine/resources/texture/TextureHandle.h"
#include "platform/base/Types.h"

// Brush flags (the handle's flags word).
constexpr DWORD kBrushTextured = 0x1;      // the texture and the corner coordinates are used
constexpr DWORD kBrushCornerColours = 0x2;  // else the first colour for every corner
constexpr DWORD kBrushCombineA = 0x4;       // with kBrushCombineB: the texture-combine mode
constexpr DWORD kBrushCombineB = 0x8;
constexpr DWORD kBrushNineSlice = 0x10;
constexpr DWORD kBrushMirror = 0x20;        // mirrored horizontally
constexpr DWORD kBrushKeepCombine = 0x10000000;

struct Brush : TextureHandle {
    // (u, v) of the corners top-left, top-right, bottom-right, bottom-left; for a nine-slice
    // brush the first four are the border widths left, top, right and bottom as fractions
    // of the texture's width and height.
    float corners[8] = {};
    DWORD colours[4] = {};  // ARGB, same order

    // alpha x 255, truncated, into the first colour's alpha, or every colour's with four
    // corner colours; the colour bits stay. Alpha is held to 0..1.
    void SetAlpha(float alpha);
};
