// The matrix-palette calls: the driver's when it has the extension, the CPU's otherwise.
#include "platform/gles/MatrixPalette.h"

#include <EGL/egl.h>

#include <algorithm>
#include <cstring>

#include "platform/gles/ContextState.h"

namespace platform::gles {

namespace {

// The driver's entry points, looked up once a process.
struct NativePalette {
    PFNGLCURRENTPALETTEMATRIXOESPROC currentPaletteMatrix = nullptr;
    PFNGLMATRIXINDEXPOINTEROESPROC matrixIndexPointer = nullptr;
    PFNGLWEIGHTPOINTEROESPROC weightPointer = nullptr;
};

const NativePalette& Native() {
    static const NativePalette entries = [] {
        NativePalette found;
        found.currentPaletteMatrix =
            reinterpret_cast<PFNGLCURRENTPALETTEMATRIXOESPROC>(eglGetProcAddress("glCurrentPaletteMatrixOES"));
        found.matrixIndexPointer =
            reinterpret_cast<PFNGLMATRIXINDEXPOINTEROESPROC>(eglGetProcAddress("glMatrixIndexPointerOES"));
        found.weightPointer = reinterpret_cast<PFNGLWEIGHTPOINTEROESPROC>(eglGetProcAddress("glWeightPointerOES"));
        return found;
    }();
    return entries;
}

// The state when the CPU stands in for the extension; null when the driver has it or no
// context is current.
ContextState* Emulating() {
    ContextState* state = CurrentState();
    return state != nullptr && !state->nativePalette ? state : nullptr;
}

GLint GetInteger(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

std::size_t TypeBytes(GLenum type) {
    switch (type) {
        case GL_BYTE:
        case GL_UNSIGNED_BYTE:
            return 1;
        case GL_SHORT:
        case GL_UNSIGNED_SHORT:
            return 2;
        case GL_FLOAT:
        case GL_FIXED:
        case GL_UNSIGNED_INT:
            return 4;
        default:
            return 0;
    }
}

// One component; `normalised` maps signed integers to -1..1 as GL does for normals.
GLfloat ReadComponent(const std::uint8_t* at, GLenum type, bool normalised) {
    switch (type) {
        case GL_FLOAT: {
            GLfloat value;
            std::memcpy(&value, at, sizeof value);
            return value;
        }
        case GL_FIXED: {
            std::int32_t value;
            std::memcpy(&value, at, sizeof value);
            return static_cast<GLfloat>(value) / 65536.0f;
        }
        case GL_SHORT: {
            std::int16_t value;
            std::memcpy(&value, at, sizeof value);
            return normalised ? (2.0f * value + 1.0f) / 65535.0f : static_cast<GLfloat>(value);
        }
        case GL_BYTE: {
            auto value = static_cast<std::int8_t>(*at);
            return normalised ? (2.0f * value + 1.0f) / 255.0f : static_cast<GLfloat>(value);
        }
        case GL_UNSIGNED_BYTE:
            return static_cast<GLfloat>(*at);
        default:
            return 0.0f;
    }
}

void MultiplyInto(std::array<GLfloat, 16>& target, const GLfloat* right) {
    std::array<GLfloat, 16> product{};
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            GLfloat sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += target[k * 4 + row] * right[column * 4 + k];
            product[column * 4 + row] = sum;
        }
    target = product;
}

// Where an array's data is: a buffer's kept copy plus the pointer as offset, or client
// memory. False when the vertices `count` reaches lie outside a buffer's data.
bool Resolve(const ContextState& state, GLuint buffer, const void* pointer, GLint size, GLenum type, GLsizei stride,
             std::size_t count, VertexArrayView& view) {
    std::size_t componentBytes = TypeBytes(type);
    if (componentBytes == 0 || size < 1 || size > 4 || stride < 0) return false;
    view.size = size;
    view.type = type;
    view.stride = stride != 0 ? static_cast<std::size_t>(stride) : componentBytes * static_cast<std::size_t>(size);
    if (buffer == 0) {
        view.data = static_cast<const std::uint8_t*>(pointer);
        return view.data != nullptr;
    }
    auto found = state.buffers.find(buffer);
    if (found == state.buffers.end()) return false;
    auto offset = reinterpret_cast<std::uintptr_t>(pointer);
    std::uint64_t needed = count == 0 ? 0
                                      : std::uint64_t{offset} + std::uint64_t{count - 1} * view.stride +
                                            componentBytes * static_cast<std::uint64_t>(size);
    if (needed > found->second.size()) return false;
    view.data = found->second.data() + offset;
    return true;
}

// The vertex and normal arrays as GL holds them, to restore after the skinned draw.
struct ClientArray {
    GLboolean enabled = GL_FALSE;
    GLuint buffer = 0;
    GLint size = 3;
    GLenum type = GL_FLOAT;
    GLsizei stride = 0;
    void* pointer = nullptr;
};

ClientArray ReadArray(GLenum array, GLenum bufferName, GLenum sizeName, GLenum typeName, GLenum strideName,
                      GLenum pointerName) {
    ClientArray read;
    read.enabled = glIsEnabled(array);
    read.buffer = static_cast<GLuint>(GetInteger(bufferName));
    read.size = sizeName != 0 ? GetInteger(sizeName) : 3;
    read.type = static_cast<GLenum>(GetInteger(typeName));
    read.stride = GetInteger(strideName);
    glGetPointerv(pointerName, &read.pointer);
    return read;
}

// Skins the vertices below `vertexCount`, then runs `draw` with them in place of the
// vertex and normal arrays and an identity model-view (the palette matrices already took
// the vertices to eye space).
template <typename Draw>
void SkinnedDraw(ContextState& state, std::size_t vertexCount, Draw draw) {
    ClientArray vertices = ReadArray(GL_VERTEX_ARRAY, GL_VERTEX_ARRAY_BUFFER_BINDING, GL_VERTEX_ARRAY_SIZE,
                                     GL_VERTEX_ARRAY_TYPE, GL_VERTEX_ARRAY_STRIDE, GL_VERTEX_ARRAY_POINTER);
    ClientArray normals = ReadArray(GL_NORMAL_ARRAY, GL_NORMAL_ARRAY_BUFFER_BINDING, 0, GL_NORMAL_ARRAY_TYPE,
                                    GL_NORMAL_ARRAY_STRIDE, GL_NORMAL_ARRAY_POINTER);
    if (state.matrixIndex.type != GL_UNSIGNED_BYTE) return;  // the only index type the extension takes
    if (!vertices.enabled || vertexCount == 0) {
        draw();
        return;
    }
    VertexArrayView positionView;
    VertexArrayView normalView;
    VertexArrayView indexView;
    VertexArrayView weightView;
    // Vertices outside their buffer's data would be read from nowhere: draw nothing.
    if (!Resolve(state, vertices.buffer, vertices.pointer, vertices.size, vertices.type, vertices.stride, vertexCount,
                 positionView) ||
        !Resolve(state, state.matrixIndex.buffer, state.matrixIndex.pointer, state.matrixIndex.size,
                 state.matrixIndex.type, state.matrixIndex.stride, vertexCount, indexView) ||
        !Resolve(state, state.weight.buffer, state.weight.pointer, state.weight.size, state.weight.type,
                 state.weight.stride, vertexCount, weightView))
        return;
    bool withNormals = normals.enabled && Resolve(state, normals.buffer, normals.pointer, 3, normals.type,
                                                  normals.stride, vertexCount, normalView);

    state.skinnedPositions.resize(vertexCount * 3);
    state.skinnedNormals.resize(withNormals ? vertexCount * 3 : 0);
    SkinVertices(state.palette.data(), state.normalMatrices.data(), state.palette.size(), positionView, normalView,
                 indexView, weightView, vertexCount, state.skinnedPositions.data(),
                 withNormals ? state.skinnedNormals.data() : nullptr);

    GLint matrixMode = GetInteger(GL_MATRIX_MODE);
    GLint arrayBuffer = GetInteger(GL_ARRAY_BUFFER_BINDING);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glVertexPointer(3, GL_FLOAT, 0, state.skinnedPositions.data());
    if (withNormals) glNormalPointer(GL_FLOAT, 0, state.skinnedNormals.data());
    draw();
    glBindBuffer(GL_ARRAY_BUFFER, vertices.buffer);
    glVertexPointer(vertices.size, vertices.type, vertices.stride, vertices.pointer);
    if (withNormals) {
        glBindBuffer(GL_ARRAY_BUFFER, normals.buffer);
        glNormalPointer(normals.type, normals.stride, normals.pointer);
    }
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(arrayBuffer));
    glPopMatrix();
    glMatrixMode(static_cast<GLenum>(matrixMode));
}

// Normals follow each palette matrix by its inverse transpose, kept beside it.
void UpdateNormalMatrix(ContextState& state) {
    std::size_t index = state.currentPaletteMatrix;
    ComputeNormalMatrix(state.palette[index].data(), &state.normalMatrices[index * 9]);
}

bool SkinsDraws(const ContextState* state) {
    return state != nullptr && state->paletteEnabled && state->matrixIndex.enabled && state->weight.enabled;
}

}  // namespace

bool NativeMatrixPalette() {
    ContextState* state = CurrentState();
    return state != nullptr && state->nativePalette;
}

int PaletteMatrixCount() {
    if (Emulating() != nullptr) return kEmulatedPaletteSize;
    return GetInteger(GL_MAX_PALETTE_MATRICES_OES);
}

void Enable(GLenum capability) {
    if (capability == GL_MATRIX_PALETTE_OES) {
        if (ContextState* state = Emulating()) {
            state->paletteEnabled = true;
            return;
        }
    }
    glEnable(capability);
}

void Disable(GLenum capability) {
    if (capability == GL_MATRIX_PALETTE_OES) {
        if (ContextState* state = Emulating()) {
            state->paletteEnabled = false;
            return;
        }
    }
    glDisable(capability);
}

void MatrixMode(GLenum mode) {
    if (ContextState* state = Emulating()) {
        state->paletteMatrixMode = mode == GL_MATRIX_PALETTE_OES;
        if (state->paletteMatrixMode) return;
    }
    glMatrixMode(mode);
}

void LoadMatrixf(const GLfloat* matrix) {
    ContextState* state = Emulating();
    if (state != nullptr && state->paletteMatrixMode) {
        std::copy(matrix, matrix + 16, state->palette[state->currentPaletteMatrix].begin());
        UpdateNormalMatrix(*state);
        return;
    }
    glLoadMatrixf(matrix);
}

void MultMatrixf(const GLfloat* matrix) {
    ContextState* state = Emulating();
    if (state != nullptr && state->paletteMatrixMode) {
        MultiplyInto(state->palette[state->currentPaletteMatrix], matrix);
        UpdateNormalMatrix(*state);
        return;
    }
    glMultMatrixf(matrix);
}

void CurrentPaletteMatrixOES(GLuint index) {
    if (ContextState* state = Emulating()) {
        if (index < state->palette.size()) state->currentPaletteMatrix = index;
        return;
    }
    if (Native().currentPaletteMatrix != nullptr) Native().currentPaletteMatrix(index);
}

void EnableClientState(GLenum array) {
    ContextState* state = Emulating();
    if (state != nullptr && array == GL_MATRIX_INDEX_ARRAY_OES) {
        state->matrixIndex.enabled = true;
    } else if (state != nullptr && array == GL_WEIGHT_ARRAY_OES) {
        state->weight.enabled = true;
    } else {
        glEnableClientState(array);
    }
}

void DisableClientState(GLenum array) {
    ContextState* state = Emulating();
    if (state != nullptr && array == GL_MATRIX_INDEX_ARRAY_OES) {
        state->matrixIndex.enabled = false;
    } else if (state != nullptr && array == GL_WEIGHT_ARRAY_OES) {
        state->weight.enabled = false;
    } else {
        glDisableClientState(array);
    }
}

// Remembers where an emulated array lies, with the buffer bound at the time of the call.
void SetArraySource(ArraySource& source, GLint size, GLenum type, GLsizei stride, const void* pointer) {
    source.size = size;
    source.type = type;
    source.stride = stride;
    source.pointer = pointer;
    source.buffer = static_cast<GLuint>(GetInteger(GL_ARRAY_BUFFER_BINDING));
}

void MatrixIndexPointerOES(GLint size, GLenum type, GLsizei stride, const void* pointer) {
    if (ContextState* state = Emulating()) {
        SetArraySource(state->matrixIndex, size, type, stride, pointer);
        return;
    }
    if (Native().matrixIndexPointer != nullptr) Native().matrixIndexPointer(size, type, stride, pointer);
}

void WeightPointerOES(GLint size, GLenum type, GLsizei stride, const void* pointer) {
    if (ContextState* state = Emulating()) {
        SetArraySource(state->weight, size, type, stride, pointer);
        return;
    }
    if (Native().weightPointer != nullptr) Native().weightPointer(size, type, stride, pointer);
}

void DrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices) {
    ContextState* state = Emulating();
    std::size_t indexBytes = TypeBytes(type);
    bool indexType = type == GL_UNSIGNED_BYTE || type == GL_UNSIGNED_SHORT || type == GL_UNSIGNED_INT;
    if (!SkinsDraws(state) || count <= 0 || !indexType) {
        glDrawElements(mode, count, type, indices);
        return;
    }
    // The indices: in the bound element buffer's data (the pointer is an offset), or client memory.
    const std::uint8_t* indexData = static_cast<const std::uint8_t*>(indices);
    auto elementBuffer = static_cast<GLuint>(GetInteger(GL_ELEMENT_ARRAY_BUFFER_BINDING));
    if (elementBuffer != 0) {
        auto found = state->buffers.find(elementBuffer);
        auto offset = reinterpret_cast<std::uintptr_t>(indices);
        if (found == state->buffers.end() ||
            std::uint64_t{offset} + std::uint64_t{indexBytes} * static_cast<std::uint64_t>(count) >
                found->second.size())
            return;
        indexData = found->second.data() + offset;
    }
    if (indexData == nullptr) return;
    std::uint32_t highest = 0;
    for (GLsizei i = 0; i < count; ++i) {
        const std::uint8_t* at = indexData + static_cast<std::size_t>(i) * indexBytes;
        std::uint32_t index = *at;
        if (indexBytes == 2) {
            std::uint16_t word;
            std::memcpy(&word, at, 2);
            index = word;
        } else if (indexBytes == 4) {
            std::memcpy(&index, at, 4);
        }
        highest = std::max(highest, index);
    }
    SkinnedDraw(*state, std::size_t{highest} + 1, [&] { glDrawElements(mode, count, type, indices); });
}

void DrawArrays(GLenum mode, GLint first, GLsizei count) {
    ContextState* state = Emulating();
    if (!SkinsDraws(state) || first < 0 || count <= 0) {
        glDrawArrays(mode, first, count);
        return;
    }
    SkinnedDraw(*state, static_cast<std::size_t>(first) + static_cast<std::size_t>(count),
                [&] { glDrawArrays(mode, first, count); });
}

void BufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage) {
    glBufferData(target, size, data, usage);
    ContextState* state = Emulating();
    if (state == nullptr || size < 0) return;
    GLenum binding = target == GL_ELEMENT_ARRAY_BUFFER ? GL_ELEMENT_ARRAY_BUFFER_BINDING : GL_ARRAY_BUFFER_BINDING;
    auto buffer = static_cast<GLuint>(GetInteger(binding));
    if (buffer == 0) return;
    std::vector<std::uint8_t>& copy = state->buffers[buffer];
    if (data != nullptr)
        copy.assign(static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size);
    else
        copy.assign(static_cast<std::size_t>(size), 0);
}

void BufferSubData(GLenum target, GLintptr offset, GLsizeiptr size, const void* data) {
    glBufferSubData(target, offset, size, data);
    ContextState* state = Emulating();
    if (state == nullptr || offset < 0 || size <= 0 || data == nullptr) return;
    GLenum binding = target == GL_ELEMENT_ARRAY_BUFFER ? GL_ELEMENT_ARRAY_BUFFER_BINDING : GL_ARRAY_BUFFER_BINDING;
    auto found = state->buffers.find(static_cast<GLuint>(GetInteger(binding)));
    if (found == state->buffers.end()) return;
    std::vector<std::uint8_t>& copy = found->second;
    // GL refuses a range beyond the buffer; so does the copy.
    if (std::uint64_t(offset) + std::uint64_t(size) > copy.size()) return;
    std::memcpy(copy.data() + offset, data, static_cast<std::size_t>(size));
}

void DeleteBuffers(GLsizei count, const GLuint* buffers) {
    if (ContextState* state = Emulating())
        for (GLsizei i = 0; i < count && buffers != nullptr; ++i) state->buffers.erase(buffers[i]);
    glDeleteBuffers(count, buffers);
}

void ComputeNormalMatrix(const GLfloat* m, GLfloat* normalMatrix) {
    // Column-major: element (row r, column c) is m[c * 4 + r].
    auto at = [m](int row, int column) { return m[column * 4 + row]; };
    GLfloat cofactor[3][3];
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            int r0 = (row + 1) % 3;
            int r1 = (row + 2) % 3;
            int c0 = (column + 1) % 3;
            int c1 = (column + 2) % 3;
            cofactor[row][column] = at(r0, c0) * at(r1, c1) - at(r0, c1) * at(r1, c0);
        }
    GLfloat determinant = at(0, 0) * cofactor[0][0] + at(0, 1) * cofactor[0][1] + at(0, 2) * cofactor[0][2];
    if (determinant == 0.0f || !(determinant == determinant)) {
        for (int column = 0; column < 3; ++column)
            for (int row = 0; row < 3; ++row) normalMatrix[column * 3 + row] = at(row, column);
        return;
    }
    // The inverse transpose is the cofactor matrix over the determinant.
    GLfloat scale = 1.0f / determinant;
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < 3; ++row) normalMatrix[column * 3 + row] = cofactor[row][column] * scale;
}

void SkinVertices(const std::array<GLfloat, 16>* palette, const GLfloat* normalMatrices, std::size_t paletteSize,
                  const VertexArrayView& positions, const VertexArrayView& normals,
                  const VertexArrayView& matrixIndices, const VertexArrayView& weights, std::size_t count,
                  GLfloat* skinnedPositions, GLfloat* skinnedNormals) {
    int units = std::min(matrixIndices.size, weights.size);
    bool withNormals = normals.data != nullptr && skinnedNormals != nullptr;
    std::size_t positionBytes = TypeBytes(positions.type);
    std::size_t normalBytes = TypeBytes(normals.type);
    std::size_t weightBytes = TypeBytes(weights.type);
    bool fastPositions = positions.type == GL_FLOAT && positions.size >= 3;
    for (std::size_t v = 0; v < count; ++v) {
        const std::uint8_t* position = positions.data + v * positions.stride;
        GLfloat p[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        if (fastPositions) {
            std::memcpy(p, position, 3 * sizeof(GLfloat));
        } else {
            for (int c = 0; c < positions.size && c < 4; ++c)
                p[c] = ReadComponent(position + c * positionBytes, positions.type, false);
        }
        GLfloat n[3] = {0.0f, 0.0f, 0.0f};
        if (withNormals) {
            const std::uint8_t* normal = normals.data + v * normals.stride;
            for (int c = 0; c < 3; ++c) n[c] = ReadComponent(normal + c * normalBytes, normals.type, true);
        }
        GLfloat out[3] = {0.0f, 0.0f, 0.0f};
        GLfloat outNormal[3] = {0.0f, 0.0f, 0.0f};
        const std::uint8_t* indexAt = matrixIndices.data + v * matrixIndices.stride;
        const std::uint8_t* weightAt = weights.data + v * weights.stride;
        for (int unit = 0; unit < units; ++unit) {
            std::size_t index = indexAt[unit];
            if (index >= paletteSize) continue;
            GLfloat weight = ReadComponent(weightAt + unit * weightBytes, weights.type, false);
            const GLfloat* m = palette[index].data();
            for (int row = 0; row < 3; ++row)
                out[row] += weight * (m[row] * p[0] + m[4 + row] * p[1] + m[8 + row] * p[2] + m[12 + row] * p[3]);
            if (withNormals) {
                const GLfloat* nm = normalMatrices + index * 9;
                for (int row = 0; row < 3; ++row)
                    outNormal[row] += weight * (nm[row] * n[0] + nm[3 + row] * n[1] + nm[6 + row] * n[2]);
            }
        }
        std::memcpy(skinnedPositions + v * 3, out, sizeof out);
        if (withNormals) std::memcpy(skinnedNormals + v * 3, outNormal, sizeof outNormal);
    }
}

}  // namespace platform::gles
