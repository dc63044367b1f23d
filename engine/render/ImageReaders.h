// The image file readers of texture data: each takes a whole file in memory and fills the
// texture through Create, Lock and Unlock. 0 on success, 1 on failure (logged with the
// file's name); every length read from a file is checked against the bytes that remain.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/base/Types.h"

class TextureData;

// Every reader logs under this source name.
constexpr const char* kTextureLogSource = "texturedataopengl";

// TGA: true colour (2), grey (3) and run-length true colour (10); 8-bit grey, 16-bit
// (becomes 5-6-5), 24- and 32-bit pixels (become B, G, R, A bytes).
int ReadTgaImage(TextureData& texture, const std::uint8_t* data, std::size_t size, const char* name, DWORD flags);

// DDS (".dds", ".ddsx", ".ddsy"): DXT1 to DXT5, ATC, ATC with alpha, 8-8-8-8, 5-6-5, 4-4-4-4
// and 1-5-5-5 layouts; cube maps with all six faces; every mip level in the file.
int ReadDdsImage(TextureData& texture, const std::uint8_t* data, std::size_t size, const char* name, DWORD flags);

// CTES: accepted by its first word alone; it carries no pixels the device reads.
int ReadCtesImage(const std::uint8_t* data, std::size_t size, const char* name);
