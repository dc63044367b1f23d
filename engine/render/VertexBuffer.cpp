// Vertex and index buffers: staging copies from the render heap, uploaded whole on unlock
// (or kept as they are, for a buffer held on the processor).
#include "engine/render/VertexBuffer.h"

#include "engine/core/memory/Heap.h"
#include "engine/render/RenderDeviceState.h"
#include "platform/gles/MatrixPalette.h"

namespace {

// The staging copy of `bytes` (at least one block), or null when the render heap is full.
std::uint8_t* NewStaging(std::uint64_t bytes) {
    if (bytes > SIZE_MAX) return nullptr;
    return static_cast<std::uint8_t*>(RenderHeap().Alloc(static_cast<std::size_t>(bytes)));
}

}  // namespace

VertexBuffer::VertexBuffer(DWORD vertexCount, DWORD vertexSize, DWORD usage, DWORD layout, GLuint name,
                           DeviceStorage storage)
    : vertexSize_(vertexSize), vertexCount_(vertexCount), usage_(usage), layout_(layout), name_(name), storage_(storage) {}

VertexBuffer::~VertexBuffer() {
    if (name_ != 0) platform::gles::DeleteBuffers(1, &name_);
    if (HasStorage()) --Device().liveVertexBuffers;
    if (staging_ != nullptr) RenderHeap().Free(staging_);
}

void* VertexBuffer::Lock() {
    if (!HasStorage()) return nullptr;
    if (locked_ != nullptr) return locked_;
    if (staging_ == nullptr) staging_ = NewStaging(ByteSize());
    locked_ = staging_;
    return locked_;
}

int VertexBuffer::Unlock() {
    if (locked_ == nullptr) return 0;
    locked_ = nullptr;
    if (name_ == 0) return 1;
    glBindBuffer(GL_ARRAY_BUFFER, name_);
    platform::gles::BufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(ByteSize()), staging_);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return 1;
}

IndexBuffer::IndexBuffer(DWORD indexCount, DWORD usage, DWORD indexFormat, GLuint name, DeviceStorage storage)
    : indexCount_(indexCount), usage_(usage), indexFormat_(indexFormat), name_(name), storage_(storage) {}

IndexBuffer::~IndexBuffer() {
    if (name_ != 0) platform::gles::DeleteBuffers(1, &name_);
    if (HasStorage()) --Device().liveIndexBuffers;
    if (staging_ != nullptr) RenderHeap().Free(staging_);
}

void* IndexBuffer::Lock() {
    if (!HasStorage()) return nullptr;
    if (locked_ != nullptr) return locked_;
    if (staging_ == nullptr) staging_ = NewStaging(ByteSize());
    locked_ = staging_;
    return locked_;
}

int IndexBuffer::Unlock() {
    if (locked_ == nullptr) return 0;
    locked_ = nullptr;
    if (name_ == 0) return 1;
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, name_);
    platform::gles::BufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(ByteSize()), staging_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    return 1;
}
