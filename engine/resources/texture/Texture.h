// Texture: the engine's reference-counted texture resource. It keeps the name it was asked
// for, the load flags, and the texture data that holds the pixels (the render device's, or
// KTextureDataMem without a device). Textures are shared through the resource cache; a
// ".ktx" file may name another kind of Texture to make.
#pragma once

#include <cstdint>

#include "engine/core/object/Interface.h"
#include "engine/core/text/EngineString.h"
#include "platform/base/Types.h"

class FileStream;
class TextureData;

class Texture : public Interface {
    KEL_DECLARE_TYPE(Texture, Interface, "Texture")

public:
    Texture() = default;
    // Destroys the texture data.
    ~Texture() override;

    // The per-frame update that texture stages call for textures loaded with
    // kTextureUpdateEachFrame; nothing for a plain texture.
    virtual void Update(std::uintptr_t argument);
    // Handed on to the texture data's reserved operations 4 to 7 (the second and third with
    // this texture's name and flags); 1 without data.
    virtual int DataOperation4(std::uintptr_t first, std::uintptr_t second);
    virtual int DataOperation5();
    virtual int DataOperation6();
    virtual int DataOperation7(std::uintptr_t first, std::uintptr_t second);
    // After the render device was made anew: data that survives the device (kTextureKeepData)
    // rebuilds its device image itself; any other data is made again from the image file,
    // with the texture's flags and `flags`. True when the texture has data afterwards.
    virtual bool Restore(DWORD flags);
    // Before the render device goes: data that survives the device drops its device image
    // and stays; any other data is destroyed. 1.
    virtual int ReleaseData();
    // The second line of a ".ktx" file: the image file name in double quotes. 0 on success,
    // 1 on failure.
    virtual int Load(FileStream& stream);
    // Writes the image file name in double quotes, as Load reads it; 0.
    virtual int Save(FileStream& stream);

    const char* Name() const { return name_.Text(); }
    void SetName(const char* name) { name_.Assign(name); }
    // The image file the data is made from. The same as the name, but for a texture made from
    // a ".ktx" file, whose name is the ".ktx" path.
    const char* ImageName() const { return imageName_.Text(); }
    void SetImageName(const char* name) { imageName_.Assign(name); }
    DWORD Flags() const { return flags_; }
    void SetFlags(DWORD flags) { flags_ = flags; }
    TextureData* Data() const { return data_; }
    // Takes ownership of `data`; data held before is destroyed.
    void SetData(TextureData* data);

private:
    EngineString name_;
    EngineString imageName_;
    DWORD flags_ = 0;
    TextureData* data_ = nullptr;
};

// Load flag: the texture stages call the texture's Update once a frame.
constexpr DWORD kTextureUpdateEachFrame = 0x4;

// "Create_Texture" of the core module: a new, empty Texture (null when memory runs out).
Interface* CreateTexture();
