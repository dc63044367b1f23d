// Compressed texture uploads with the CPU decoding fallback.
#include "platform/gles/CompressedUpload.h"

#include <GLES/glext.h>

#include <vector>

#include "platform/gles/BlockDecode.h"
#include "platform/gles/ContextState.h"

namespace platform::gles {

namespace {

constexpr GLenum kAtcRgb = 0x8C92;
constexpr GLenum kAtcExplicitAlpha = 0x8C93;

bool KnownFormat(GLenum internalFormat, BlockFormat& format) {
    switch (internalFormat) {
        case GL_COMPRESSED_RGB_S3TC_DXT1_EXT:
            format = BlockFormat::Dxt1Rgb;
            return true;
        case kAtcRgb:
            format = BlockFormat::AtcRgb;
            return true;
        case kAtcExplicitAlpha:
            format = BlockFormat::AtcExplicitAlpha;
            return true;
        default:
            return false;
    }
}

void ClearErrors() {
    for (int i = 0; i < 64 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

}  // namespace

GLenum CompressedTexImage2D(GLenum target, GLint level, GLenum internalFormat, GLsizei width, GLsizei height,
                            GLint border, GLsizei imageSize, const void* data) {
    ClearErrors();
    BlockFormat format = BlockFormat::Dxt1Rgb;
    if (!KnownFormat(internalFormat, format)) {
        glCompressedTexImage2D(target, level, internalFormat, width, height, border, imageSize, data);
        return glGetError();
    }
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    if (border != 0 || width < 0 || height < 0 || imageSize < 0 || level < 0 || width > largest || height > largest)
        return GL_INVALID_VALUE;
    auto w = static_cast<std::uint32_t>(width);
    auto h = static_cast<std::uint32_t>(height);
    if (data == nullptr || static_cast<std::uint64_t>(imageSize) < CompressedImageBytes(format, w, h))
        return GL_INVALID_VALUE;

    ContextState* state = CurrentState();
    if (state == nullptr) return GL_INVALID_OPERATION;
    bool dxt1 = format == BlockFormat::Dxt1Rgb;
    bool advertised = dxt1 ? state->dxt1Advertised : state->atcAdvertised;
    bool& refused = dxt1 ? state->dxt1Refused : state->atcRefused;
    if (advertised && !refused) {
        glCompressedTexImage2D(target, level, internalFormat, width, height, border, imageSize, data);
        GLenum error = glGetError();
        if (error != GL_INVALID_ENUM) return error;
        refused = true;
    }

    if (width == 0 || height == 0) {
        GLenum pixelFormat = format == BlockFormat::AtcExplicitAlpha ? GL_RGBA : GL_RGB;
        GLenum type = format == BlockFormat::AtcExplicitAlpha ? GL_UNSIGNED_BYTE : GL_UNSIGNED_SHORT_5_6_5;
        glTexImage2D(target, level, static_cast<GLint>(pixelFormat), width, height, 0, pixelFormat, type, nullptr);
        return glGetError();
    }
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    std::vector<std::uint8_t> pixels;
    if (!DecodeBlockImage(format, static_cast<const std::uint8_t*>(data), static_cast<std::size_t>(imageSize), w, h,
                          static_cast<std::size_t>(alignment), pixels))
        return GL_INVALID_VALUE;
    if (format == BlockFormat::AtcExplicitAlpha)
        glTexImage2D(target, level, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    else
        glTexImage2D(target, level, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, pixels.data());
    return glGetError();
}

}  // namespace platform::gles
