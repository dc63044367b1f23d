// A texture for the image-reader harnesses: it takes Create, Lock and Unlock like the
// device's texture data, with each level in a buffer of exactly the level's size, so that
// the sanitizer sees any write past a level.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>

#include "engine/render/TextureData.h"
#include "engine/render/TextureFormat.h"

class TextureSink : public TextureData {
public:
    int LoadFromFile(const char*, DWORD) override { return 1; }
    int Create(std::int32_t width, std::int32_t height, std::int32_t levels, DWORD format, DWORD flags) override {
        LevelLayout layout{};
        if (!ComputeLevelLayout(format, width, height, 0, layout) || levels > kMaxTextureLevels) return 1;
        width_ = width;
        height_ = height;
        levels_ = levels < 1 ? 1 : levels;
        format_ = format;
        creationFlags_ = flags;
        return 0;
    }
    int ReleaseDeviceData() override { return 1; }
    int Reload() override { return 0; }
    void* Lock(std::int32_t level, std::int32_t* pitch, DWORD) override {
        LevelLayout layout{};
        // Levels bigger than the device's staging could ever be are refused as the device refuses them.
        if (!ComputeLevelLayout(format_, width_, height_, level, layout) || layout.bytes > (1u << 24)) return nullptr;
        level_.reset(new std::uint8_t[layout.bytes]);
        if (pitch != nullptr) *pitch = static_cast<std::int32_t>(layout.pitch);
        return level_.get();
    }
    void Unlock(std::int32_t) override { level_.reset(); }

private:
    std::unique_ptr<std::uint8_t[]> level_;
};
