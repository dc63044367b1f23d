// The render device's buffers and its immediate drawing: creation of vertex and index
// buffers, binding a buffer's arrays by its layout, and the draw operations of the 2D
// overlay and the effects.
#include <GLES/gl.h>
#include <GLES/glext.h>

#include <algorithm>
#include <cstddef>

#include "engine/render/OpenGLRenderDevice.h"
#include "engine/render/VertexBuffer.h"
#include "platform/gles/MatrixPalette.h"

namespace {

// A buffer object of `bytes` bytes, or 0 with the failure flag raised.
GLuint NewBuffer(GLenum target, std::uint64_t bytes, DWORD usage) {
    if (bytes > kMaxBufferBytes) {
        RaiseDeviceFailure();
        return 0;
    }
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
    GLuint name = 0;
    glGenBuffers(1, &name);
    glBindBuffer(target, name);
    platform::gles::BufferData(target, static_cast<GLsizeiptr>(bytes), nullptr,
                               (usage & kBufferDynamic) != 0 ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
    GLenum error = glGetError();
    glBindBuffer(target, 0);
    if (error != GL_NO_ERROR || name == 0) {
        if (name != 0) platform::gles::DeleteBuffers(1, &name);
        RaiseDeviceFailure();
        return 0;
    }
    return name;
}

const std::uint8_t* Offset(std::size_t bytes) { return reinterpret_cast<const std::uint8_t*>(bytes); }

}  // namespace

VertexBuffer* OpenGLRenderDevice::CreateVertexBuffer(DWORD vertexCount, DWORD vertexSize, DWORD usage, DWORD layout) {
    GLuint name = NewBuffer(GL_ARRAY_BUFFER, std::uint64_t{vertexCount} * vertexSize, usage);
    if (name == 0) return nullptr;
    auto* buffer = new VertexBuffer(vertexCount, vertexSize, usage, layout, name);
    if (buffer == nullptr) {
        platform::gles::DeleteBuffers(1, &name);
        return nullptr;
    }
    ++Device().liveVertexBuffers;
    return buffer;
}

IndexBuffer* OpenGLRenderDevice::CreateIndexBuffer(DWORD indexCount, DWORD usage, DWORD indexFormat) {
    std::uint64_t elementBytes = indexFormat == kIndexFormat32 ? 4 : 2;
    GLuint name = NewBuffer(GL_ELEMENT_ARRAY_BUFFER, std::uint64_t{indexCount} * elementBytes, usage);
    if (name == 0) return nullptr;
    auto* buffer = new IndexBuffer(indexCount, usage, indexFormat, name);
    if (buffer == nullptr) {
        platform::gles::DeleteBuffers(1, &name);
        return nullptr;
    }
    ++Device().liveIndexBuffers;
    return buffer;
}

void OpenGLRenderDevice::BindVertexArrays(VertexBuffer* vertices, IndexBuffer* indices) {
    if (indices != nullptr) glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices->Name());
    glBindBuffer(GL_ARRAY_BUFFER, vertices->Name());
    DWORD layout = vertices->Layout();
    auto stride = static_cast<GLsizei>(vertices->VertexSize());
    std::size_t offset = 0;

    bool has = (layout & kVertexPosition) != 0;
    SetVertexArray(has);
    if (has) {
        glVertexPointer(3, GL_FLOAT, stride, Offset(offset));
        offset += 12;
    }
    has = (layout & kVertexNormal) != 0;
    SetNormalArray(has);
    if (has) {
        glNormalPointer(GL_FLOAT, stride, Offset(offset));
        offset += 12;
    }
    has = (layout & kVertexPointSize) != 0;
    SetPointSizeArray(has);
    if (has) {
        glPointSizePointerOES(GL_FLOAT, stride, Offset(offset));
        offset += 4;
    }
    has = (layout & kVertexColour) != 0;
    SetColourArray(has);
    if (has) {
        glColorPointer(4, GL_UNSIGNED_BYTE, stride, Offset(offset));
        offset += 4;
    }
    // Only texture set 0 with one or two coordinates is drawn; the other sets take room.
    int set0 = TextureSetFloats(layout, 0);
    SetTexCoordArray(set0 == 1 || set0 == 2);
    if (set0 == 1 || set0 == 2) {
        SetActiveTextureUnit(0);
        glClientActiveTexture(GL_TEXTURE0);
        glTexCoordPointer(set0, GL_FLOAT, stride, Offset(offset));
    }
    for (int set = 0; set < 4; ++set) offset += static_cast<std::size_t>(TextureSetFloats(layout, set)) * 4;
    has = (layout & kVertexSkin) != 0;
    SetWeightArray(has);
    SetMatrixIndexArray(has);
    if (has) {
        platform::gles::WeightPointerOES(1, GL_FLOAT, stride, Offset(offset));
        platform::gles::MatrixIndexPointerOES(1, GL_UNSIGNED_BYTE, stride, Offset(offset + 4));
    }
}

namespace {

// Points the arrays at immediate vertices in client memory.
void PointAtImmediate(const ImmediateVertex* vertices) {
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    const auto stride = static_cast<GLsizei>(sizeof(ImmediateVertex));
    glVertexPointer(3, GL_FLOAT, stride, &vertices->position);
    glNormalPointer(GL_FLOAT, stride, &vertices->normal);
    glColorPointer(4, GL_UNSIGNED_BYTE, stride, vertices->colour);
    glClientActiveTexture(GL_TEXTURE0);
    glTexCoordPointer(2, GL_FLOAT, stride, &vertices->u);
}

}  // namespace

int OpenGLRenderDevice::DrawPrimitives(DWORD type, DWORD count, const ImmediateVertex* vertices) {
    if (type == kDrawRefused) return 0;
    if (type > kDrawLines || type == kDrawNothing || vertices == nullptr || count == 0) return 1;
    if (type == kDrawLines)
        SetArrays(1, 0, 1, 0);
    else
        SetArrays(1, 1, 1, 1);
    PointAtImmediate(vertices);
    switch (type) {
        case kDrawFan:
            platform::gles::DrawArrays(GL_TRIANGLE_FAN, 0, static_cast<GLsizei>(count + 2));
            break;
        case kDrawTriangles:
            platform::gles::DrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(count * 3));
            break;
        case kDrawQuads:
            for (DWORD quad = 0; quad < count; ++quad)
                platform::gles::DrawArrays(GL_TRIANGLE_FAN, static_cast<GLint>(quad * 4), 4);
            break;
        case kDrawLines:
            platform::gles::DrawArrays(GL_LINES, 0, static_cast<GLsizei>(count * 2));
            break;
        default:
            break;
    }
    RenderStatistics& statistics = Device().statistics;
    statistics.primitives += count;
    ++statistics.drawCalls;
    return 1;
}

int OpenGLRenderDevice::DrawIndexedPrimitives(DWORD type, DWORD count, DWORD, DWORD, const ImmediateVertex* vertices,
                                              const std::uint16_t* indices) {
    if (type == kDrawRefused) return 0;
    if (type != kDrawTriangles || vertices == nullptr || indices == nullptr || count == 0) return 1;
    SetArrays(1, 1, 1, 1);
    PointAtImmediate(vertices);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    platform::gles::DrawElements(GL_TRIANGLES, static_cast<GLsizei>(count * 3), GL_UNSIGNED_SHORT, indices);
    RenderStatistics& statistics = Device().statistics;
    statistics.primitives += count;
    ++statistics.drawCalls;
    return 1;
}

int OpenGLRenderDevice::DrawBuffers(DWORD type, DWORD triangleCount, DWORD, DWORD, VertexBuffer* vertices,
                                    IndexBuffer* indices) {
    if (type != kDrawTriangles || vertices == nullptr || indices == nullptr) return 0;
    // Never more indices than the buffer holds.
    std::uint64_t count = std::min<std::uint64_t>(std::uint64_t{triangleCount} * 3, indices->IndexCount());
    BindVertexArrays(vertices, indices);
    platform::gles::DrawElements(GL_TRIANGLES, static_cast<GLsizei>(count), GL_UNSIGNED_SHORT, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    RenderStatistics& statistics = Device().statistics;
    statistics.primitives += count / 3;
    ++statistics.drawCalls;
    return 0;
}
