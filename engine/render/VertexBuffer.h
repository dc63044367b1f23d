// VertexBuffer and IndexBuffer: the render device's GL buffer objects with a CPU staging
// copy (from the render heap, made at the first lock and kept), so that dynamic buffers are
// refilled without allocating.
#pragma once

#include <GLES/gl.h>

#include <cstdint>

#include "engine/render/DeviceObject.h"
#include "platform/base/Types.h"

// Usage bit 0: the buffer is refilled often (GL_DYNAMIC_DRAW).
constexpr DWORD kBufferDynamic = 0x1;
// Index format 1: 4-byte elements (kept, never drawn: all draws use 16-bit indices).
constexpr DWORD kIndexFormat32 = 1;

class VertexBuffer : public DeviceObject {
public:
    // Made by OpenGLRenderDevice::CreateVertexBuffer.
    VertexBuffer(DWORD vertexCount, DWORD vertexSize, DWORD usage, DWORD layout, GLuint name);
    ~VertexBuffer() override;

    // The whole staging copy; the same pointer while locked; null without a GL buffer or
    // when the render heap has no room.
    virtual void* Lock();
    // Uploads the whole staging copy; 1, or 0 when not locked.
    virtual int Unlock();
    virtual int ReservedOperation3() { return 0; }
    virtual int ReservedOperation4() { return 0; }

    DWORD VertexSize() const { return vertexSize_; }
    DWORD VertexCount() const { return vertexCount_; }
    DWORD Usage() const { return usage_; }
    DWORD Layout() const { return layout_; }
    GLuint Name() const { return name_; }
    bool IsLocked() const { return locked_ != nullptr; }
    // The staging copy (null before the first lock).
    const std::uint8_t* Staging() const { return staging_; }
    std::uint64_t ByteSize() const { return std::uint64_t{vertexCount_} * vertexSize_; }

private:
    DWORD vertexSize_;
    DWORD vertexCount_;
    DWORD usage_;
    DWORD layout_;
    GLuint name_;
    std::uint8_t* locked_ = nullptr;
    std::uint8_t* staging_ = nullptr;
};

class IndexBuffer : public DeviceObject {
public:
    IndexBuffer(DWORD indexCount, DWORD usage, DWORD indexFormat, GLuint name);
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
    bool IsLocked() const { return locked_ != nullptr; }
    const std::uint8_t* Staging() const { return staging_; }
    std::uint64_t ByteSize() const { return std::uint64_t{indexCount_} * ElementSize(); }

private:
    DWORD indexCount_;
    DWORD usage_;
    DWORD indexFormat_;
    GLuint name_;
    std::uint8_t* locked_ = nullptr;
    std::uint8_t* staging_ = nullptr;
};
