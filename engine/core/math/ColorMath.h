// Colours: conversion from and to the packed 0xAARRGGBB word, and scaling.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"

void ColorFromARGB(std::uint32_t word, Color& out);
// Each channel times 255, truncated. Channels belong in 0..1; a channel outside (or NaN) is
// held to 0..255 rather than spilling into its neighbours.
std::uint32_t ColorToARGB(const Color& color);
// r, g and b times the factor, a unchanged; no clamping.
void ColorScaleRGB(const Color& color, float factor, Color& out);
