// KTextureDataMem: the texture data a texture holds when no render device exists. Loading a
// file does nothing and succeeds (there is nothing to draw with); Create makes room for
// every level of an image in one block of engine memory, which Lock hands out.
#pragma once

#include <cstdint>

#include "engine/render/TextureData.h"

class KTextureDataMem : public TextureData {
public:
    KTextureDataMem() = default;
    // Frees the data block.
    ~KTextureDataMem() override;

    // Nothing is read; 0.
    int LoadFromFile(const char*, DWORD) override { return 0; }
    // One block for `levels` levels of the format (the low 16 bits of `format` are the pixel
    // format code, bit 31 six faces). 0 on success; 1, logged, for a format without a size,
    // a level count outside 1 to 16, a side below 1, or a block that cannot be allocated.
    // `flags` is not used.
    int Create(std::int32_t width, std::int32_t height, std::int32_t levels, DWORD format, DWORD flags) override;
    int ReleaseDeviceData() override { return 1; }
    // Nothing to build again; 0.
    int Reload() override { return 0; }
    // The start of the data block for every level, with a row size of the unit size times
    // the level's width (at least 1 pixel, or 4 for block formats); null before Create or
    // for a level outside the image.
    void* Lock(std::int32_t level, std::int32_t* pitch, DWORD flags) override;
    void Unlock(std::int32_t) override {}

    // Bytes of one pixel, or of one 4 x 4 block for block formats.
    std::uint32_t UnitSize() const { return unitSize_; }
    std::uint64_t DataSize() const { return dataSize_; }

private:
    void FreeData();

    std::uint32_t unitSize_ = 0;
    std::uint64_t dataSize_ = 0;
    std::uint8_t* data_ = nullptr;
};

// Bits of one pixel of a format code in memory; 0 for a format that cannot be made, and all
// bits set for code 17, which has no usable size.
std::uint32_t MemoryPixelBits(std::uint32_t code);
