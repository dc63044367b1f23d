// The ring of text vertex buffers and the shared index buffer.
#include "engine/overlay/canvas/QuadBuffers.h"

#include "engine/core/object/ResourceCache.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/render/VertexBuffer.h"

namespace {

struct QuadGeometry {
    VertexBuffer* vertices[kQuadVertexBuffers] = {};
    IndexBuffer* indices = nullptr;
    std::uint32_t ring = 0;
    Interface* missingGlyphTexture = nullptr;
    bool missingGlyphTextureFetched = false;
    bool complete = false;
};

QuadGeometry geometry;

bool FillIndices(IndexBuffer& buffer) {
    auto* indices = static_cast<std::uint16_t*>(buffer.Lock());
    if (indices == nullptr) return false;
    for (DWORD block = 0; block < kQuadIndexCount / (kQuadBufferVertices / 4 * 6); ++block) {
        for (DWORD quad = 0; quad < kQuadBufferVertices / 4; ++quad) {
            const auto first = static_cast<std::uint16_t>(quad * 4);
            const std::uint16_t pattern[6] = {first,
                                              static_cast<std::uint16_t>(first + 1),
                                              static_cast<std::uint16_t>(first + 2),
                                              first,
                                              static_cast<std::uint16_t>(first + 2),
                                              static_cast<std::uint16_t>(first + 3)};
            for (int i = 0; i < 6; ++i) *indices++ = pattern[i];
        }
    }
    buffer.Unlock();
    return true;
}

}  // namespace

int ReleaseQuadBuffers() {
    OpenGLRenderDevice* device = RenderDevice();
    for (VertexBuffer*& buffer : geometry.vertices) {
        if (buffer != nullptr && device != nullptr) device->DeleteObject(buffer);
        buffer = nullptr;
    }
    if (geometry.indices != nullptr && device != nullptr) device->DeleteObject(geometry.indices);
    geometry.indices = nullptr;
    ResourceCache::ReleaseTexture(geometry.missingGlyphTexture);
    geometry = QuadGeometry{};
    return 1;
}

int CreateQuadBuffers() {
    ReleaseQuadBuffers();
    OpenGLRenderDevice* device = RenderDevice();
    if (device == nullptr) return 0;
    for (VertexBuffer*& buffer : geometry.vertices) {
        buffer = device->CreateVertexBuffer(kQuadBufferVertices, sizeof(ImmediateVertex), kBufferDynamic,
                                            kQuadVertexLayout);
        if (buffer == nullptr) return 0;
    }
    geometry.indices = device->CreateIndexBuffer(kQuadIndexCount, 0, 0);
    if (geometry.indices == nullptr || !FillIndices(*geometry.indices)) return 0;
    geometry.complete = true;
    return 1;
}

bool HasQuadBuffers() { return geometry.complete; }

VertexBuffer* NextQuadVertexBuffer() {
    if (!geometry.complete) return nullptr;
    geometry.ring = (geometry.ring + 1) % kQuadVertexBuffers;
    return geometry.vertices[geometry.ring];
}

IndexBuffer* QuadIndexBuffer() { return geometry.indices; }

std::uint32_t QuadRingPosition() { return geometry.ring; }

Interface* MissingGlyphTexture() {
    if (!geometry.missingGlyphTextureFetched && geometry.complete) {
        geometry.missingGlyphTextureFetched = true;
        geometry.missingGlyphTexture = GlobalResourceCache().GetTexture(kMissingGlyphTexture, 0);
    }
    return geometry.missingGlyphTexture;
}
