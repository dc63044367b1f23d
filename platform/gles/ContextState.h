// What this layer keeps for each OpenGL ES context: the extensions the context offers, and,
// while the CPU stands in for the matrix-palette extension, copies of the buffer data and
// the palette. One game thread uses one context at a time; nothing here is locked.
#pragma once

#include <EGL/egl.h>
#include <GLES/gl.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace platform::gles {

// The CPU palette is as large as one matrix-index byte can address.
constexpr int kEmulatedPaletteSize = 256;

// A client array as the palette path reads it: the buffer bound when its pointer was given
// (0: the pointer is client memory), else the pointer is an offset into that buffer.
struct ArraySource {
    bool enabled = false;
    GLint size = 0;
    GLenum type = 0;
    GLsizei stride = 0;
    const void* pointer = nullptr;
    GLuint buffer = 0;
};

struct ContextState {
    EGLContext context = EGL_NO_CONTEXT;

    bool nativePalette = false;
    bool dxt1Advertised = false;
    bool atcAdvertised = false;
    // A format the driver advertised but refused once is decoded from then on.
    bool dxt1Refused = false;
    bool atcRefused = false;

    // Copies of every buffer's data, by buffer name, while the palette is emulated.
    std::unordered_map<GLuint, std::vector<std::uint8_t>> buffers;

    bool paletteEnabled = false;
    bool paletteMatrixMode = false;  // GL_MATRIX_PALETTE_OES is the matrix mode
    GLuint currentPaletteMatrix = 0;
    std::vector<std::array<GLfloat, 16>> palette;
    std::vector<GLfloat> normalMatrices;  // the inverse transpose of each palette matrix, 9 floats each
    ArraySource matrixIndex;
    ArraySource weight;

    // Scratch of the CPU skinning, kept so that a frame's draws allocate nothing.
    std::vector<GLfloat> skinnedPositions;
    std::vector<GLfloat> skinnedNormals;
};

// The state of the current context (made on first use, with its extensions read); null when
// no context is current on this thread.
ContextState* CurrentState();
// Drops what was kept for a context that is going away.
void ForgetState(EGLContext context);

// Whether the current context's extension string holds `name` as a whole word.
bool HasExtension(const char* name);

}  // namespace platform::gles
