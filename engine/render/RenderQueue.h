// The render queue: mesh draws collected per material batch during the scene walk and
// drawn when the frame is presented, opaque batches first, then blended ones, each list in
// the order queued. Records and batches come from free lists that grow when they run dry.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/render/RenderMesh.h"

class VertexBuffer;
class IndexBuffer;

// The buffer objects the queue prepared for one sub-mesh.
struct QueueGeometry : EngineAllocated {
    VertexBuffer* vertices = nullptr;
    IndexBuffer* indices = nullptr;
    bool strip = false;
    std::uint32_t indexCount = 0;
};

// One draw of a range of a batch's indices (0 and 0: all of them) with its owner's matrices.
struct DrawRecord : EngineAllocated {
    std::uint32_t firstIndex = 0;
    std::uint32_t indexCount = 0;
    Matrix34 world = kIdentityMatrix34;
    Matrix34 texture = kIdentityMatrix34;
    DWORD materialValue = 0;
    DWORD materialFlags = 0;
    const SkinnedOwner* owner = nullptr;
    QueueGeometry* geometry = nullptr;
    DrawRecord* next = nullptr;
};

// Every draw of one sub-mesh in this frame.
struct QueueBatch : EngineAllocated {
    RenderSubMesh* part = nullptr;
    RenderMaterial material;
    QueueGeometry* geometry = nullptr;
    DrawRecord* firstRecord = nullptr;
    DrawRecord* lastRecord = nullptr;
    QueueBatch* next = nullptr;
};

// A first-in first-out chain of batches.
struct BatchList {
    QueueBatch* head = nullptr;
    QueueBatch* tail = nullptr;
    void Append(QueueBatch* batch);
    // Takes the whole chain; the list is empty afterwards.
    QueueBatch* TakeAll();
};

class RenderQueue : public EngineAllocated {
public:
    static constexpr int kInitialRecords = 128;

    // Null when memory runs out.
    static RenderQueue* Create();
    // Queued batches go back without being drawn; then every record and batch is freed.
    ~RenderQueue();
    RenderQueue(const RenderQueue&) = delete;
    RenderQueue& operator=(const RenderQueue&) = delete;

    // From the free list, or newly allocated; null when memory runs out.
    DrawRecord* TakeRecord();
    // The part's batch of this flush, made (with a copy of its material) and queued on the
    // list its material asks for when it has none; null when memory runs out.
    QueueBatch* BatchFor(RenderSubMesh& part);
    static void AddRecord(QueueBatch& batch, DrawRecord* record);

    BatchList& Opaque() { return opaque_; }
    BatchList& Blended() { return blended_; }
    // Gives a drawn (or discarded) batch and its records back and clears the part's batch.
    void Recycle(QueueBatch* batch);
    // Takes a part's batch out of the queue undrawn (its geometry is going away).
    void Discard(RenderSubMesh& part);
    // Gives every queued batch back undrawn (the null device's flush).
    void DiscardQueued();

    std::uint32_t FreeRecordCount() const;
    std::uint32_t FreeBatchCount() const;

private:
    RenderQueue() = default;
    void DiscardAll(BatchList& list);

    DrawRecord* freeRecords_ = nullptr;
    QueueBatch* freeBatches_ = nullptr;
    BatchList opaque_;
    BatchList blended_;
};
