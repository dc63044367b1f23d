// glCompressedTexImage2D for the block formats the render device uploads (DXT1, ATC RGB,
// ATC with explicit alpha): handed to the driver when it advertises and accepts them,
// otherwise decoded here and uploaded with glTexImage2D (5-6-5 for the opaque formats,
// RGBA for ATC with alpha). Mesa's ES 1 advertises DXT1 and then refuses it.
#pragma once

#include <GLES/gl.h>

namespace platform::gles {

// The GL error of the upload, GL_NO_ERROR on success. Errors pending before the call are
// cleared first, so that a refusal by the driver is told apart from older errors. A size
// shorter than the image, a border, a negative side or a side beyond the driver's largest
// texture give GL_INVALID_VALUE with nothing uploaded; other formats go to the driver.
GLenum CompressedTexImage2D(GLenum target, GLint level, GLenum internalFormat, GLsizei width, GLsizei height,
                            GLint border, GLsizei imageSize, const void* data);

}  // namespace platform::gles
