// GL texture objects: creation, locking and upload of mip levels, and loading from files
// through the engine's file streams.
#include "engine/render/TextureDataOpenGL.h"

#include <GLES/glext.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>

#include "engine/core/files/FileStream.h"
#include "engine/core/memory/Heap.h"
#include "engine/core/text/TextCompare.h"
#include "engine/render/ImageReaders.h"
#include "engine/render/RenderDeviceState.h"
#include "engine/render/RenderTypes.h"
#include "platform/gles/CompressedUpload.h"

namespace {

constexpr GLenum kAtcRgb = 0x8C92;
constexpr GLenum kAtcExplicitAlpha = 0x8C93;
constexpr std::uint64_t kMinimumStaging = 16;

// Rotates each 16-bit word left by `bits`: ARGB 4-4-4-4 to RGBA (4), ARGB 1-5-5-5 to
// RGBA 5-5-5-1 (1), which is how GL reads those words.
void RotateWords(std::uint8_t* pixels, std::uint64_t bytes, int bits) {
    for (std::uint64_t i = 0; i + 1 < bytes; i += 2) {
        std::uint16_t word;
        std::memcpy(&word, pixels + i, 2);
        word = static_cast<std::uint16_t>((word << bits) | (word >> (16 - bits)));
        std::memcpy(pixels + i, &word, 2);
    }
}

// B, G, R, A to R, G, B, A in place.
void SwapRedBlue(std::uint8_t* pixels, std::uint64_t bytes) {
    for (std::uint64_t i = 0; i + 3 < bytes; i += 4) std::swap(pixels[i], pixels[i + 2]);
}

// The extension after the last '.', or null.
const char* ExtensionOf(const char* name) {
    const char* dot = std::strrchr(name, '.');
    return dot != nullptr ? dot + 1 : nullptr;
}

// Binds `texture` on the active unit for an upload and puts the unit's texture back
// afterwards, so that the device's record of bound textures stays true.
class UploadBinding {
public:
    explicit UploadBinding(GLuint texture) {
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous_);
        glBindTexture(GL_TEXTURE_2D, texture);
    }
    ~UploadBinding() { glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous_)); }
    UploadBinding(const UploadBinding&) = delete;
    UploadBinding& operator=(const UploadBinding&) = delete;

private:
    GLint previous_ = 0;
};

}  // namespace

TextureDataOpenGL::~TextureDataOpenGL() {
    for (std::int32_t level = 0; level < kMaxTextureLevels; ++level) {
        LevelRecord& record = levelRecords_[level];
        if (record.lockCount > 0) {
            record.lockCount = 1;
            Unlock(level);
        }
        FreeStaging(record);
    }
    DeleteTexture();
    ForgetBoundTexture(this);
}

void TextureDataOpenGL::FreeStaging(LevelRecord& record) {
    if (record.staging != nullptr) RenderHeap().Free(record.staging);
    record = LevelRecord{};
}

void TextureDataOpenGL::DeleteTexture() {
    if (glName_ != 0) {
        glDeleteTextures(1, &glName_);
        glName_ = 0;
    }
    processorImage_ = false;
    ForgetBoundTexture(this);
}

int TextureDataOpenGL::Create(std::int32_t width, std::int32_t height, std::int32_t levels, DWORD format, DWORD flags) {
    LevelLayout layout{};
    if (!ComputeLevelLayout(format, width, height, 0, layout) || levels > kMaxTextureLevels) return 1;
    DeleteTexture();
    for (LevelRecord& record : levelRecords_) FreeStaging(record);
    if (storage_ == DeviceStorage::GlObject) {
        glGenTextures(1, &glName_);
        if (glName_ == 0) {
            RaiseDeviceFailure();
            return 1;
        }
    }
    width_ = width;
    height_ = height;
    levels_ = std::max<std::int32_t>(1, levels);
    format_ = format;
    creationFlags_ = flags;
    if (storage_ == DeviceStorage::ProcessorOnly) {
        processorImage_ = true;
        return 0;
    }

    GLenum pixelFormat = 0;
    GLenum type = 0;
    switch (FormatCode(format)) {
        case kFormatRgb565:
            pixelFormat = GL_RGB;
            type = GL_UNSIGNED_SHORT_5_6_5;
            break;
        case kFormatArgb4444:
            pixelFormat = GL_RGBA;
            type = GL_UNSIGNED_SHORT_4_4_4_4;
            break;
        case kFormatArgb8888:
            pixelFormat = GL_RGBA;
            type = GL_UNSIGNED_BYTE;
            break;
        case kFormatArgb1555:
            pixelFormat = GL_RGBA;
            type = GL_UNSIGNED_SHORT_5_5_5_1;
            break;
        default:
            return 0;  // compressed and unknown formats allocate nothing until a level arrives
    }
    UploadBinding binding(glName_);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(pixelFormat), width, height, 0, pixelFormat, type, nullptr);
    if (glGetError() != GL_NO_ERROR) RaiseDeviceFailure();
    return 0;
}

int TextureDataOpenGL::ReleaseDeviceData() {
    DeleteTexture();
    return 1;
}

int TextureDataOpenGL::Reload() {
    if (sourceName_.IsEmpty()) return 0;
    EngineString name(sourceName_);
    return LoadFromFile(name.Text(), loadFlags_);
}

void* TextureDataOpenGL::Lock(std::int32_t level, std::int32_t* pitch, DWORD) {
    if (level < 0 || level >= kMaxTextureLevels || !HasImage()) return nullptr;
    LevelRecord& record = levelRecords_[level];
    if (record.lockCount > 0) {
        ++record.lockCount;
        if (pitch != nullptr) *pitch = record.pitch;
        return record.locked;
    }
    LevelLayout layout{};
    if (!ComputeLevelLayout(format_, width_, height_, level, layout)) return nullptr;
    std::uint64_t bytes = std::max(layout.bytes, kMinimumStaging);
    if (record.staging == nullptr || record.stagingBytes < bytes) {
        if (record.staging != nullptr) RenderHeap().Free(record.staging);
        record.staging = static_cast<std::uint8_t*>(RenderHeap().Alloc(static_cast<std::size_t>(bytes)));
        record.stagingBytes = record.staging != nullptr ? bytes : 0;
        if (record.staging == nullptr) return nullptr;
    }
    record.locked = record.staging;
    record.pitch = static_cast<std::int32_t>(layout.pitch);
    record.lockCount = 1;
    if (pitch != nullptr) *pitch = record.pitch;
    return record.locked;
}

void TextureDataOpenGL::Unlock(std::int32_t level) {
    if (level < 0 || level >= kMaxTextureLevels) return;
    LevelRecord& record = levelRecords_[level];
    if (record.lockCount <= 0) return;
    if (--record.lockCount > 0) return;
    if (glName_ != 0) Upload(level);
    record.locked = nullptr;
    if ((creationFlags_ & kTextureKeepData) == 0) {
        RenderHeap().Free(record.staging);
        record.staging = nullptr;
        record.stagingBytes = 0;
    }
}

std::int32_t TextureDataOpenGL::LockCount(std::int32_t level) const {
    return level >= 0 && level < kMaxTextureLevels ? levelRecords_[level].lockCount : 0;
}

void TextureDataOpenGL::Upload(std::int32_t level) {
    LevelRecord& record = levelRecords_[level];
    LevelLayout layout{};
    if (record.locked == nullptr || !ComputeLevelLayout(format_, width_, height_, level, layout)) return;
    auto width = static_cast<GLsizei>(layout.width);
    auto height = static_cast<GLsizei>(layout.height);
    auto compressedBytes = static_cast<GLsizei>(layout.bytes);
    UploadBinding binding(glName_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    GLenum error = GL_NO_ERROR;
    std::uint8_t* pixels = record.locked;
    const bool kept = (creationFlags_ & kTextureKeepData) != 0;
    switch (FormatCode(format_)) {
        case kFormatRgb565:
            glTexImage2D(GL_TEXTURE_2D, level, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, pixels);
            error = glGetError();
            break;
        // These layouts are turned into GL's order in the staging copy for the upload; a kept
        // copy is turned back afterwards, so that it reads as the engine's format at the next
        // lock and a second upload does not turn it again.
        case kFormatArgb4444:
            RotateWords(pixels, layout.bytes, 4);
            glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_SHORT_4_4_4_4, pixels);
            error = glGetError();
            if (kept) RotateWords(pixels, layout.bytes, 12);
            break;
        case kFormatArgb8888:
            SwapRedBlue(pixels, layout.bytes);
            glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
            error = glGetError();
            if (kept) SwapRedBlue(pixels, layout.bytes);
            break;
        case kFormatArgb1555:
            RotateWords(pixels, layout.bytes, 1);
            glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_SHORT_5_5_5_1, pixels);
            error = glGetError();
            if (kept) RotateWords(pixels, layout.bytes, 15);
            break;
        case kFormatDxt1:
            error = platform::gles::CompressedTexImage2D(GL_TEXTURE_2D, level, GL_COMPRESSED_RGB_S3TC_DXT1_EXT, width,
                                                         height, 0, compressedBytes, pixels);
            break;
        case kFormatAtcRgb:
            error = platform::gles::CompressedTexImage2D(GL_TEXTURE_2D, level, kAtcRgb, width, height, 0,
                                                         compressedBytes, pixels);
            break;
        case kFormatAtcRgba:
            error = platform::gles::CompressedTexImage2D(GL_TEXTURE_2D, level, kAtcExplicitAlpha, width, height, 0,
                                                         compressedBytes, pixels);
            break;
        default:
            break;  // DXT2 to DXT5 and other codes are read but never uploaded
    }
    if (error != GL_NO_ERROR) RaiseDeviceFailure();
}

int TextureDataOpenGL::ReadImage(const char* openedName, const std::uint8_t* data, std::size_t size, DWORD flags) {
    const char* extension = ExtensionOf(openedName);
    if (extension == nullptr) return 1;
    if (CompareNoCase(extension, "tga") == 0) return ReadTgaImage(*this, data, size, openedName, flags);
    if (CompareNoCase(extension, "dds") == 0 || CompareNoCase(extension, "ddsx") == 0 ||
        CompareNoCase(extension, "ddsy") == 0)
        return ReadDdsImage(*this, data, size, openedName, flags);
    if (CompareNoCase(extension, "ctes") == 0) {
        // The file carries nothing the device draws: the object holds no image.
        DeleteTexture();
        width_ = height_ = levels_ = 0;
        return ReadCtesImage(data, size, openedName);
    }
    return 1;
}

int TextureDataOpenGL::LoadFromFile(const char* name, DWORD flags) {
    if (name == nullptr || std::strchr(name, '.') == nullptr) return 1;
    // The name may be this object's own remembered name (Reload): copy it first.
    EngineString requested(name);
    sourceName_.Copy(requested);
    loadFlags_ = flags;
    DWORD readerFlags = flags & ~kTextureLoadAsNamed;

    FileStream stream;
    const DWORD streamFlags = kStreamBinary | kStreamReadWhole;
    EngineString opened;
    if ((flags & kTextureLoadAsNamed) == 0) {
        const char* dot = std::strrchr(requested.Text(), '.');
        EngineString stem = requested.Mid(0, static_cast<int>(dot - requested.Text()));
        for (const char* extension : {".ddsx", ".dds"}) {
            EngineString candidate = stem.Concat(extension);
            if (stream.Open(candidate.Text(), streamFlags) != 0) {
                opened = candidate;
                break;
            }
        }
    }
    if (opened.IsEmpty()) {
        if (stream.Open(requested.Text(), streamFlags) == 0) return 1;
        opened = requested;
    }
    int result = stream.AtEnd() ? 1 : ReadImage(opened.Text(), stream.Image(), stream.Size(), readerFlags);
    stream.Close();
    if (result != 0) {
        // A failed load leaves the object empty but usable.
        DeleteTexture();
        for (LevelRecord& record : levelRecords_) FreeStaging(record);
    }
    return result;
}
