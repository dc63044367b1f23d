// The render queue's lists and free lists.
#include "engine/render/RenderQueue.h"

#include <initializer_list>

void BatchList::Append(QueueBatch* batch) {
    batch->next = nullptr;
    if (tail != nullptr)
        tail->next = batch;
    else
        head = batch;
    tail = batch;
}

QueueBatch* BatchList::TakeAll() {
    QueueBatch* taken = head;
    head = nullptr;
    tail = nullptr;
    return taken;
}

RenderQueue* RenderQueue::Create() {
    RenderQueue* queue = new RenderQueue;
    if (queue == nullptr) return nullptr;
    for (int i = 0; i < kInitialRecords; ++i) {
        auto* record = new DrawRecord;
        auto* batch = new QueueBatch;
        if (record == nullptr || batch == nullptr) {
            delete record;
            delete batch;
            delete queue;
            return nullptr;
        }
        record->next = queue->freeRecords_;
        queue->freeRecords_ = record;
        batch->next = queue->freeBatches_;
        queue->freeBatches_ = batch;
    }
    return queue;
}

RenderQueue::~RenderQueue() {
    DiscardQueued();
    while (freeRecords_ != nullptr) {
        DrawRecord* next = freeRecords_->next;
        delete freeRecords_;
        freeRecords_ = next;
    }
    while (freeBatches_ != nullptr) {
        QueueBatch* next = freeBatches_->next;
        delete freeBatches_;
        freeBatches_ = next;
    }
}

DrawRecord* RenderQueue::TakeRecord() {
    DrawRecord* record = freeRecords_;
    if (record != nullptr)
        freeRecords_ = record->next;
    else
        record = new DrawRecord;
    if (record != nullptr) *record = DrawRecord{};
    return record;
}

QueueBatch* RenderQueue::BatchFor(RenderSubMesh& part) {
    if (part.batch != nullptr) return part.batch;
    QueueBatch* batch = freeBatches_;
    if (batch != nullptr)
        freeBatches_ = batch->next;
    else
        batch = new QueueBatch;
    if (batch == nullptr) return nullptr;
    *batch = QueueBatch{};
    batch->part = &part;
    if (part.material != nullptr) batch->material = *part.material;
    batch->geometry = part.geometry;
    part.batch = batch;
    if ((batch->material.flags & kMaterialBlended) != 0)
        blended_.Append(batch);
    else
        opaque_.Append(batch);
    return batch;
}

void RenderQueue::AddRecord(QueueBatch& batch, DrawRecord* record) {
    record->next = nullptr;
    if (batch.lastRecord != nullptr)
        batch.lastRecord->next = record;
    else
        batch.firstRecord = record;
    batch.lastRecord = record;
}

void RenderQueue::Recycle(QueueBatch* batch) {
    DrawRecord* record = batch->firstRecord;
    while (record != nullptr) {
        DrawRecord* next = record->next;
        record->next = freeRecords_;
        freeRecords_ = record;
        record = next;
    }
    if (batch->part != nullptr && batch->part->batch == batch) batch->part->batch = nullptr;
    *batch = QueueBatch{};
    batch->next = freeBatches_;
    freeBatches_ = batch;
}

void RenderQueue::Discard(RenderSubMesh& part) {
    QueueBatch* target = part.batch;
    if (target == nullptr) return;
    for (BatchList* list : {&opaque_, &blended_}) {
        QueueBatch* previous = nullptr;
        for (QueueBatch* batch = list->head; batch != nullptr; previous = batch, batch = batch->next) {
            if (batch != target) continue;
            if (previous != nullptr)
                previous->next = batch->next;
            else
                list->head = batch->next;
            if (list->tail == batch) list->tail = previous;
            Recycle(batch);
            return;
        }
    }
    part.batch = nullptr;
}

void RenderQueue::DiscardQueued() {
    DiscardAll(opaque_);
    DiscardAll(blended_);
}

void RenderQueue::DiscardAll(BatchList& list) {
    QueueBatch* batch = list.TakeAll();
    while (batch != nullptr) {
        QueueBatch* next = batch->next;
        Recycle(batch);
        batch = next;
    }
}

std::uint32_t RenderQueue::FreeRecordCount() const {
    std::uint32_t count = 0;
    for (DrawRecord* record = freeRecords_; record != nullptr; record = record->next) ++count;
    return count;
}

std::uint32_t RenderQueue::FreeBatchCount() const {
    std::uint32_t count = 0;
    for (QueueBatch* batch = freeBatches_; batch != nullptr; batch = batch->next) ++count;
    return count;
}
