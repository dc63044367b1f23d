// TextureDataOpenGL: the render device's texture data, one OpenGL ES texture object. It reads
// ".dds", ".ddsx", ".ddsy", ".tga" and ".ctes" files into the texture, lets callers lock a
// mip level for writing and uploads the level when its last lock ends. The null device's
// texture data is held on the processor: it reads, creates and locks alike and uploads nothing.
#pragma once

#include <GLES/gl.h>

#include <cstdint>

#include "engine/core/text/EngineString.h"
#include "engine/render/TextureData.h"
#include "engine/render/RenderTypes.h"
#include "engine/render/TextureFormat.h"

// LoadFromFile flag: read the file as named, without looking for a ".ddsx" or ".dds" first.
constexpr DWORD kTextureLoadAsNamed = 0x200;

class TextureDataOpenGL : public TextureData {
public:
    explicit TextureDataOpenGL(DeviceStorage storage = DeviceStorage::GlObject) : storage_(storage) {}
    // Uploads any level still locked, frees the staging buffers, deletes the GL texture.
    ~TextureDataOpenGL() override;

    // 0 on success, 1 on failure (the object is then empty). A name without a '.' fails.
    // Unless kTextureLoadAsNamed is set, a ".ddsx" file of the same name is read instead,
    // else a ".dds" file; the reader follows the extension of the file actually opened.
    int LoadFromFile(const char* name, DWORD flags) override;
    // A new GL texture; for 5-6-5, 4-4-4-4, 8-8-8-8 and 1-5-5-5 level 0 is allocated.
    // 1 for a side outside 1..kMaxTextureSide or more than kMaxTextureLevels levels.
    int Create(std::int32_t width, std::int32_t height, std::int32_t levels, DWORD format, DWORD flags) override;
    int ReleaseDeviceData() override;
    // LoadFromFile again with the remembered name and flags; 0 when the data came from no file.
    int Reload() override;
    // A staging buffer from the render heap with the level's pitch; the same one while the
    // level is locked. Null for a level outside 0..15, without an image (no GL texture, or
    // on the processor no successful Create), or when the render heap has no room.
    void* Lock(std::int32_t level, std::int32_t* pitch, DWORD flags) override;
    void Unlock(std::int32_t level) override;
    std::uint32_t DeviceName() const override { return glName_; }

    // The name given to the last LoadFromFile; empty when the data came from no file.
    const char* SourceName() const { return sourceName_.Text(); }
    std::int32_t LockCount(std::int32_t level) const;

private:
    struct LevelRecord {
        std::uint8_t* locked = nullptr;
        std::uint8_t* staging = nullptr;
        std::uint64_t stagingBytes = 0;
        std::int32_t pitch = 0;
        std::int32_t lockCount = 0;
    };

    // Reads a whole image from memory with the reader its extension names.
    int ReadImage(const char* openedName, const std::uint8_t* data, std::size_t size, DWORD flags);
    void Upload(std::int32_t level);
    bool HasImage() const { return glName_ != 0 || processorImage_; }
    void FreeStaging(LevelRecord& record);
    void DeleteTexture();

    EngineString sourceName_;
    DWORD loadFlags_ = 0;
    LevelRecord levelRecords_[kMaxTextureLevels];
    GLuint glName_ = 0;  // 0: none
    DeviceStorage storage_;
    bool processorImage_ = false;  // held on the processor: Create made the image
};
