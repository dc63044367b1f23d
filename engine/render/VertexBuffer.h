// VertexBuffer and IndexBuffer: the render device's GL buffer objects with a CPU staging
// copy (from the render heap, made at the first lock and kept), so that dynamic buffers are
// refilled without allocating. The null device's buffers are the staging copy alone.
#pragma once

#include <GLES/gl.h>

#include <cstdint>

#include "engine/render/DeviceObject.h"
#include "engine/render/RenderTypes.h"
#include "platform/base/Types.h"

// Usage bit 0: the buffer is refilled often (GL_DYNAMIC_DRAW).
constexpr DWORD kBufferDynamic = 0x1;
// Index format 1: 4-byte elements (kept, never drawn: all draws use 16-bit indices).
constexpr DWORD kIndexFormat32 = 1;
// The largest buffer the devices make (what a GLsizeiptr size may hold on every target).
constexpr std::uint64_t kMaxBufferBytes = 0x7FFFFFFF;

class VertexBuffer : public DeviceObject {
public:
    // Made by the render device's CreateVertexBuffer: on the GL buffer `name`, or (name 0)
    // held on the processor alone.
    VertexBuffer(DWORD vertexCount, DWORD vertexSize, DWORD usage, DWORD layout, GLuint name,
                 DeviceStorage storage = DeviceStorage::GlObject);
    ~VertexBuffer() override;

    // The whole staging copy; the same pointer while locked; null without a GL buffer (for
    // a buffer that is not held on the processor) or when the render heap has no room.
    virtual void* Lock();
    // Uploads the whole staging copy (a buffer held on the processor keeps it); 1, or 0 when
    // not locked.
    virtual int Unlock();
    virtual int ReservedOperation3() { return 0; }
    virtual int ReservedOperation4() { return 0; }

    DWORD VertexSize() const { return vertexSize_; }
    DWORD VertexCount() const { return vertexCount_; }
    DWORD Usage() const { return usage_; }
    DWORD Layout() const { return layout_; }
    GLuint Name() const { return name_; }
    DeviceStorage Storage() const { return storage_; }
    bool IsLocked() const { return locked_ != nullptr; }
    // The staging copy (null before the first lock).
    const std::uint8_t* Staging() const { return staging_; }
    std::uint64_t ByteSize() const { return std::uint64_t{vertexCount_} * vertexSize_; }

private:
    // A GL buffer or the processor holds the data; the device counts such buffers as live.
    bool HasStorage() const { return name_ != 0 || storage_ == DeviceStorage::ProcessorOnly; }

    DWORD vertexSize_;
    DWORD vertexCount_;
    DWORD usage_;
    DWORD layout_;
    GLuint name_;
    DeviceStorage storage_;
    std::uint8_t* locked_ = nullptr;
    std::uint8_t* staging_ = nullptr;
};

class IndexBuffer : public DeviceObject {
public:
    IndexBuffer(DWORD indexCount, DWORD usage, DWORD indexFormat, GLuint name,
                DeviceStorage storage = DeviceStorage::GlObject);
    ~IndexBuffer() override;

    virtual void* Lock();
    virtual int Unlock();
    virtual int ReservedOperation3() { return 0; }
    virtual int ReservedOperation4() { return 0; }

    DWORD IndexCount() const { return indexCount_; }
    DWORD Usage() const { return usage_; }
    DWORD IndexFormat() const { return indexFormat_; }
    DWORD ElementSize() const { return indexFormat_ == kIndexFormat32 ? 4 : 2; }
    GLuint Name() const { return name_; }
    DeviceStorage Storage() const { return storage_; }
    bool IsLocked() const { return locked_ != nullptr; }
    const std::uint8_t* Staging() const { return staging_; }
    std::uint64_t ByteSize() const { return std::uint64_t{indexCount_} * ElementSize(); }

private:
    bool HasStorage() const { return name_ != 0 || storage_ == DeviceStorage::ProcessorOnly; }

    DWORD indexCount_;
    DWORD usage_;
    DWORD indexFormat_;
    GLuint name_;
    DeviceStorage storage_;
    std::uint8_t* locked_ = nullptr;
    std::uint8_t* staging_ = nullptr;
};
