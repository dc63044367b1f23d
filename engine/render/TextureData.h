// TextureData: the engine's texture-data interface, what a texture resource holds its
// pixels in. The render device's TextureDataOpenGL implements it over a GL texture; the
// engine's in-memory texture data implements it when no render device exists. The image
// readers (TGA, DDS, CTES) fill any TextureData through Create, Lock and Unlock.
#pragma once

#include <cstdint>

#include "engine/core/memory/EngineMemory.h"
#include "platform/base/Types.h"

// Creation flag: the data survives the loss of the render device (it drops and rebuilds
// its device resources itself) and keeps its staging buffers between locks.
constexpr DWORD kTextureKeepData = 0x40;

class TextureData : public EngineAllocated {
public:
    TextureData() = default;
    TextureData(const TextureData&) = delete;
    TextureData& operator=(const TextureData&) = delete;

    // The operations in their table order.
    virtual ~TextureData() = default;
    // Reads an image file; 0 on success, 1 on failure.
    virtual int LoadFromFile(const char* name, DWORD flags) = 0;
    virtual int ReservedOperation2() { return 0; }
    // Makes room for the image; 0 on success, 1 on failure.
    virtual int Create(std::int32_t width, std::int32_t height, std::int32_t levels, DWORD format, DWORD flags) = 0;
    // The four operations a texture forwards to its data; no data class gives them meaning.
    virtual int ReservedOperation4(std::uintptr_t, std::uintptr_t) { return 1; }
    virtual int ReservedOperation5(const char*, DWORD) { return 1; }
    virtual int ReservedOperation6(const char*, DWORD) { return 1; }
    virtual int ReservedOperation7(std::uintptr_t, std::uintptr_t) { return 1; }
    // Drops what the render device holds of the image; 1.
    virtual int ReleaseDeviceData() = 0;
    // Builds the device's image again from where it came from.
    virtual int Reload() = 0;
    // The pixels of a mip level for writing, with its row pitch in bytes; null on failure.
    virtual void* Lock(std::int32_t level, std::int32_t* pitch, DWORD flags) = 0;
    // Ends a lock; the last unlock of a level hands it to the device.
    virtual void Unlock(std::int32_t level) = 0;

    // The render device's name of the image (the GL texture); 0 when it has none.
    virtual std::uint32_t DeviceName() const { return 0; }

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    std::int32_t LevelCount() const { return levels_; }
    // Pixel format code, bit 31 for a cube map.
    DWORD Format() const { return format_; }
    DWORD CreationFlags() const { return creationFlags_; }

protected:
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::int32_t levels_ = 0;
    DWORD format_ = 0;
    DWORD creationFlags_ = 0;
};
