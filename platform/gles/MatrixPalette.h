// The matrix-palette extension (GL_OES_matrix_palette) and the calls around it. When the
// driver has the extension these are the driver's calls; Mesa's ES 1 lacks it, so here the
// CPU keeps the palette and, at each draw with the palette on, skins the vertices (one
// weighted palette matrix per unit, normals by each matrix's inverse transpose) and draws
// them in eye space. To read vertices that live in buffer objects it keeps a copy of every
// buffer's data, so buffer data must go through BufferData and BufferSubData here.
// Every other call passes straight to GL.
#pragma once

#include <GLES/gl.h>
#include <GLES/glext.h>

#include <array>
#include <cstddef>
#include <cstdint>

namespace platform::gles {

// True when the driver itself has the extension.
bool NativeMatrixPalette();
// How many palette matrices a vertex can address.
int PaletteMatrixCount();

void Enable(GLenum capability);
void Disable(GLenum capability);
void MatrixMode(GLenum mode);
void LoadMatrixf(const GLfloat* matrix);
void MultMatrixf(const GLfloat* matrix);
void CurrentPaletteMatrixOES(GLuint index);
void EnableClientState(GLenum array);
void DisableClientState(GLenum array);
void MatrixIndexPointerOES(GLint size, GLenum type, GLsizei stride, const void* pointer);
void WeightPointerOES(GLint size, GLenum type, GLsizei stride, const void* pointer);
void DrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices);
void DrawArrays(GLenum mode, GLint first, GLsizei count);

void BufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage);
void BufferSubData(GLenum target, GLintptr offset, GLsizeiptr size, const void* data);
void DeleteBuffers(GLsizei count, const GLuint* buffers);

// The arithmetic of the CPU path.

// One vertex array as stored: `size` components of `type` a vertex, `stride` bytes apart.
struct VertexArrayView {
    const std::uint8_t* data = nullptr;
    GLint size = 0;
    GLenum type = GL_FLOAT;
    std::size_t stride = 0;
};

// The inverse transpose of a column-major matrix's 3 x 3 part (column-major, 9 floats): how
// a palette matrix moves normals. A singular part gives its plain copy.
void ComputeNormalMatrix(const GLfloat* matrix, GLfloat* normalMatrix);

// Skins `count` vertices: position = sum over the units of weight x palette[index] x
// position, normal likewise with the normal matrices. Units whose index is at or beyond
// `paletteSize` add nothing. `normals` and `skinnedNormals` may be null.
void SkinVertices(const std::array<GLfloat, 16>* palette, const GLfloat* normalMatrices, std::size_t paletteSize,
                  const VertexArrayView& positions, const VertexArrayView& normals,
                  const VertexArrayView& matrixIndices, const VertexArrayView& weights, std::size_t count,
                  GLfloat* skinnedPositions, GLfloat* skinnedNormals);

}  // namespace platform::gles
