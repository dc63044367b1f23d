// The render queue's side of the device: buffers prepared from a mesh's arrays, the
// submission forms, skinning on the processor, and the flush that draws every batch
// (skinned records through the matrix palette).
#include <GLES/gl.h>
#include <GLES/glext.h>

#include <cstring>
#include <initializer_list>

#include "engine/core/math/ColorMath.h"
#include "engine/core/math/MatrixMath.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/render/RenderQueue.h"
#include "engine/render/TextureData.h"
#include "engine/render/VertexBuffer.h"
#include "platform/gles/MatrixPalette.h"

namespace {

// The vertex of prepared geometry: position, normal, colour (R, G, B, A bytes), texture
// coordinates; skinned geometry adds its weight and palette index (padded to 4 bytes).
constexpr DWORD kQueueLayout = kVertexPosition | kVertexNormal | kVertexColour | kVertexTexture2Floats;
constexpr DWORD kQueueVertexSize = 36;
constexpr DWORD kQueueSkinnedVertexSize = 44;
constexpr std::size_t kTexCoordOffset = 28;

bool IsIdentityUv(const Vector2& scale, const Vector2& offset) {
    return scale.x == 1.0f && scale.y == 1.0f && offset.x == 0.0f && offset.y == 0.0f;
}

void WriteTexCoords(std::uint8_t* vertices, DWORD stride, const RenderSubMesh& part) {
    for (std::uint32_t v = 0; v < part.vertexCount; ++v) {
        Vector2 uv = part.texCoords != nullptr ? part.texCoords[v] : Vector2{0.0f, 0.0f};
        std::memcpy(vertices + std::size_t{v} * stride + kTexCoordOffset, &uv, sizeof uv);
    }
}

RenderQueue* Queue() { return Device().queue; }

}  // namespace

int OpenGLRenderDevice::PrepareSubMesh(RenderSubMesh& part) {
    if (part.geometry != nullptr) return 1;
    if (part.vertexCount == 0 || part.positions == nullptr || part.indexCount == 0 || part.indices == nullptr) return 0;
    for (std::uint32_t i = 0; i < part.indexCount; ++i)
        if (part.indices[i] >= part.vertexCount) {
            KEL_LOG_EXCEPTION("A sub-mesh's index %u names vertex %u of %u", i, part.indices[i], part.vertexCount);
            return 0;
        }
    bool skinned = part.boneIndices != nullptr;
    DWORD layout = kQueueLayout | (skinned ? kVertexSkin : 0);
    DWORD stride = skinned ? kQueueSkinnedVertexSize : kQueueVertexSize;
    auto* geometry = new QueueGeometry;
    if (geometry == nullptr) return 0;
    geometry->vertices = CreateVertexBuffer(part.vertexCount, stride, 0, layout);
    geometry->indices = CreateIndexBuffer(part.indexCount, 0, 0);
    auto* vertices = geometry->vertices != nullptr ? static_cast<std::uint8_t*>(geometry->vertices->Lock()) : nullptr;
    auto* indices = geometry->indices != nullptr ? static_cast<std::uint16_t*>(geometry->indices->Lock()) : nullptr;
    if (vertices == nullptr || indices == nullptr) {
        if (vertices != nullptr) geometry->vertices->Unlock();
        if (indices != nullptr) geometry->indices->Unlock();
        DeleteObject(geometry->vertices);
        DeleteObject(geometry->indices);
        delete geometry;
        return 0;
    }
    for (std::uint32_t v = 0; v < part.vertexCount; ++v) {
        std::uint8_t* vertex = vertices + std::size_t{v} * stride;
        Vector3 normal = part.normals != nullptr ? part.normals[v] : Vector3{0.0f, 0.0f, 1.0f};
        std::uint32_t argb = part.colours != nullptr ? part.colours[v] : 0xFFFFFFFF;
        const std::uint8_t colour[4] = {static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 8),
                                        static_cast<std::uint8_t>(argb), static_cast<std::uint8_t>(argb >> 24)};
        std::memcpy(vertex, &part.positions[v], 12);
        std::memcpy(vertex + 12, &normal, 12);
        std::memcpy(vertex + 24, colour, 4);
        if (skinned) {
            float weight = part.boneWeights != nullptr ? part.boneWeights[v] : 1.0f;
            std::memcpy(vertex + 36, &weight, 4);
            vertex[40] = part.boneIndices[v];
            vertex[41] = vertex[42] = vertex[43] = 0;
        }
    }
    WriteTexCoords(vertices, stride, part);
    std::memcpy(indices, part.indices, std::size_t{part.indexCount} * 2);
    geometry->vertices->Unlock();
    geometry->indices->Unlock();
    geometry->strip = part.strip;
    geometry->indexCount = part.indexCount;
    part.geometry = geometry;
    return 1;
}

int OpenGLRenderDevice::PrepareMeshBatches(RenderMesh* mesh) {
    if (mesh == nullptr || mesh->kind != kMeshIndexedTriangles) return 0;
    int all = 1;
    for (std::uint32_t i = 0; i < mesh->subMeshCount; ++i)
        if (PrepareSubMesh(mesh->subMeshes[i]) == 0) all = 0;
    return all;
}

int OpenGLRenderDevice::QueueMeshBatches(RenderMesh* mesh, DWORD) { return PrepareMeshBatches(mesh); }

int OpenGLRenderDevice::ReleaseMeshData(RenderMesh* mesh) {
    if (mesh == nullptr) return 0;
    for (std::uint32_t i = 0; i < mesh->subMeshCount; ++i) {
        RenderSubMesh& part = mesh->subMeshes[i];
        // A queued draw of geometry that goes away must not be drawn.
        if (Queue() != nullptr) Queue()->Discard(part);
        if (part.geometry == nullptr) continue;
        DeleteObject(part.geometry->vertices);
        DeleteObject(part.geometry->indices);
        delete part.geometry;
        part.geometry = nullptr;
    }
    return 1;
}

int OpenGLRenderDevice::QueueSubMesh(const SkinnedOwner* owner, RenderSubMesh& part, std::uint32_t firstIndex,
                                     std::uint32_t indexCount, const RenderTransform& transform) {
    RenderQueue* queue = Queue();
    if (queue == nullptr) return 0;
    if (part.geometry == nullptr && PrepareSubMesh(part) == 0) return 0;
    // Ranges stay inside the index buffer.
    std::uint32_t available = part.geometry->indexCount;
    if (firstIndex >= available) return 0;
    if (indexCount > available - firstIndex) indexCount = available - firstIndex;
    QueueBatch* batch = queue->BatchFor(part);
    DrawRecord* record = batch != nullptr ? queue->TakeRecord() : nullptr;
    if (record == nullptr) return 0;
    record->firstIndex = firstIndex;
    record->indexCount = indexCount;
    record->world = transform.world;
    record->materialFlags = batch->material.flags | transform.materialFlags;
    if ((record->materialFlags & kMaterialTextureMatrix) != 0) record->texture = transform.texture;
    record->materialValue = transform.materialValue;
    record->owner = owner;
    record->geometry = part.geometry;
    RenderQueue::AddRecord(*batch, record);
    return 1;
}

int OpenGLRenderDevice::SubmitMesh(const SkinnedOwner* owner, RenderMesh* mesh, const RenderTransform& transform) {
    if (mesh == nullptr || mesh->kind != kMeshIndexedTriangles) return 0;
    for (std::uint32_t i = 0; i < mesh->subMeshCount; ++i) QueueSubMesh(owner, mesh->subMeshes[i], 0, 0, transform);
    return 1;
}

int OpenGLRenderDevice::SubmitMeshRange(RenderMesh* mesh, std::uint32_t subMesh, std::uint32_t firstIndex,
                                        std::uint32_t indexCount, const RenderTransform& transform) {
    if (mesh == nullptr || mesh->kind != kMeshIndexedTriangles || subMesh >= mesh->subMeshCount) return 0;
    return QueueSubMesh(nullptr, mesh->subMeshes[subMesh], firstIndex, indexCount, transform);
}

int OpenGLRenderDevice::SubmitMeshLod(RenderMesh* mesh, const RenderTransform& transform, float level) {
    if (mesh == nullptr || mesh->kind != kMeshIndexedTriangles || !(level >= 0.0f)) return 0;
    auto index = static_cast<std::uint64_t>(level);
    for (std::uint32_t i = 0; i < mesh->subMeshCount; ++i) {
        RenderSubMesh& part = mesh->subMeshes[i];
        if (part.lodFirst == nullptr || part.lodLast == nullptr || index >= part.lodCount) continue;
        std::uint32_t first = part.lodFirst[index];
        std::uint32_t last = part.lodLast[index];
        if (last <= first) continue;
        QueueSubMesh(nullptr, part, first, last - first, transform);
    }
    return 1;
}

int OpenGLRenderDevice::SubmitMeshBakedUv(RenderMesh* mesh, const RenderTransform& transform) {
    if (mesh == nullptr || mesh->kind != kMeshIndexedTriangles) return 0;
    if (!IsIdentityUv(mesh->uvScale, mesh->uvOffset)) {
        // Baked once: the coordinates take the transform and the transform becomes the identity.
        for (std::uint32_t i = 0; i < mesh->subMeshCount; ++i) {
            RenderSubMesh& part = mesh->subMeshes[i];
            if (part.texCoords == nullptr) continue;
            for (std::uint32_t v = 0; v < part.vertexCount; ++v) {
                Vector2& uv = part.texCoords[v];
                uv.x = uv.x * mesh->uvScale.x + mesh->uvOffset.x;
                uv.y = uv.y * mesh->uvScale.y + mesh->uvOffset.y;
            }
            if (part.geometry != nullptr) {
                VertexBuffer* vertices = part.geometry->vertices;
                if (auto* data = static_cast<std::uint8_t*>(vertices->Lock())) {
                    WriteTexCoords(data, vertices->VertexSize(), part);
                    vertices->Unlock();
                }
            }
        }
        mesh->uvScale = Vector2{1.0f, 1.0f};
        mesh->uvOffset = Vector2{0.0f, 0.0f};
    }
    for (std::uint32_t i = 0; i < mesh->subMeshCount; ++i) QueueSubMesh(nullptr, mesh->subMeshes[i], 0, 0, transform);
    return 1;
}

int OpenGLRenderDevice::UpdateSoftwareSkin(RenderMesh* mesh, const Matrix34* bones, std::uint32_t boneCount,
                                           const std::uint16_t* vertexBones) {
    if (mesh == nullptr || mesh->kind != kMeshIndexedTriangles || bones == nullptr || vertexBones == nullptr) return 0;
    std::size_t vertexNumber = 0;
    for (std::uint32_t i = 0; i < mesh->subMeshCount; ++i) {
        RenderSubMesh& part = mesh->subMeshes[i];
        if (part.geometry == nullptr && PrepareSubMesh(part) == 0) {
            vertexNumber += part.vertexCount;
            continue;
        }
        VertexBuffer* vertices = part.geometry->vertices;
        auto* data = static_cast<std::uint8_t*>(vertices->Lock());
        if (data == nullptr) {
            vertexNumber += part.vertexCount;
            continue;
        }
        // Positions lead each vertex; the buffer's own stride finds the next.
        DWORD stride = vertices->VertexSize();
        for (std::uint32_t v = 0; v < part.vertexCount; ++v, ++vertexNumber) {
            std::uint16_t bone = vertexBones[vertexNumber];
            Vector3 position = part.positions[v];
            if (bone < boneCount) Matrix34TransformPoint(bones[bone], part.positions[v], position);
            std::memcpy(data + std::size_t{v} * stride, &position, sizeof position);
        }
        vertices->Unlock();
    }
    return 1;
}

void OpenGLRenderDevice::LoadTextureMatrix(const GLfloat* matrix) {
    SetActiveTextureUnit(0);
    platform::gles::MatrixMode(GL_TEXTURE);
    platform::gles::LoadMatrixf(matrix);
    platform::gles::MatrixMode(GL_MODELVIEW);
    Device().state.word1 |= kStateTextureMatrixChanged;
}

void OpenGLRenderDevice::ResetTextureMatrix() {
    RenderStateRecord& state = Device().state;
    if ((state.word1 & kStateTextureMatrixChanged) == 0) return;
    SetActiveTextureUnit(0);
    platform::gles::MatrixMode(GL_TEXTURE);
    glLoadIdentity();
    platform::gles::MatrixMode(GL_MODELVIEW);
    state.word1 &= ~kStateTextureMatrixChanged;
}

void OpenGLRenderDevice::DrawRecordGeometry(const DrawRecord& record, bool bind) {
    const QueueGeometry& geometry = *record.geometry;
    if (bind) BindVertexArrays(geometry.vertices, geometry.indices);
    std::uint32_t count = record.indexCount != 0 ? record.indexCount : geometry.indexCount - record.firstIndex;
    platform::gles::DrawElements(geometry.strip ? GL_TRIANGLE_STRIP : GL_TRIANGLES, static_cast<GLsizei>(count),
                                 GL_UNSIGNED_SHORT,
                                 reinterpret_cast<const void*>(std::uintptr_t{record.firstIndex} * 2));
    RenderStatistics& statistics = Device().statistics;
    statistics.primitives += count / 3;
    ++statistics.drawCalls;
}

void OpenGLRenderDevice::DrawSkinnedRecord(const DrawRecord& record) {
    const RenderStateRecord& state = Device().state;
    platform::gles::Enable(GL_MATRIX_PALETTE_OES);
    platform::gles::MatrixMode(GL_MATRIX_PALETTE_OES);
    std::uint32_t bones = std::min<std::uint32_t>(record.owner->BoneCount(),
                                                  static_cast<std::uint32_t>(platform::gles::PaletteMatrixCount()));
    GLfloat bone[16];
    for (std::uint32_t i = 0; i < bones; ++i) {
        platform::gles::CurrentPaletteMatrixOES(i);
        platform::gles::LoadMatrixf(state.viewGl);
        ExpandMatrix34(record.owner->BoneWorldMatrix(i), bone);
        platform::gles::MultMatrixf(bone);
    }
    // Back to the model-view, where every other matrix operation of the device works.
    platform::gles::MatrixMode(GL_MODELVIEW);
    SetMatrixIndexArray(1);
    SetWeightArray(1);
    DrawRecordGeometry(record, true);
    SetMatrixIndexArray(0);
    SetWeightArray(0);
    platform::gles::Disable(GL_MATRIX_PALETTE_OES);
}

void OpenGLRenderDevice::DrawBatch(QueueBatch& batch) {
    ++Device().statistics.batches;
    SetCullMode((batch.material.flags & kMaterialDoubleSided) != 0 ? 0 : 1);
    RenderTextureStage* stage = batch.material.stage;
    // The stage's coordinate scale and offset as a texture matrix, when they are not the identity.
    GLfloat stageMatrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    bool stageMatrixUsed = false;
    if (stage == nullptr) {
        SetTextureStageOps(2, 0, 0);
        SetTextureStageOps(0, 0, 1);
    } else {
        SetTextureStageOps(4, 0, 0);
        SetTextureStageOps(0, 0, 1);
        stage->UpdateUvAnimation();
        SetTexture(stage->StageTexture(), 0, stage->StageFlags());
        float uScale = 1.0f;
        float vScale = 1.0f;
        float uOffset = 0.0f;
        float vOffset = 0.0f;
        stage->StageUvTransform(uScale, vScale, uOffset, vOffset);
        stageMatrixUsed = !IsIdentityUv(Vector2{uScale, vScale}, Vector2{uOffset, vOffset});
        if (stageMatrixUsed) {
            stageMatrix[0] = uScale;
            stageMatrix[5] = vScale;
            stageMatrix[12] = uOffset;
            stageMatrix[13] = vOffset;
            LoadTextureMatrix(stageMatrix);
        } else {
            ResetTextureMatrix();
        }
    }
    SetArrays(1, 1, 1, 1);

    bool recordMatrixLoaded = false;
    // The records of a batch nearly always draw the same geometry: its buffers and array
    // pointers are set once for them (nothing else binds buffers while the batch draws; a
    // skinned draw sets its own arrays and leaves them for the next to set again).
    const QueueGeometry* bound = nullptr;
    for (DrawRecord* record = batch.firstRecord; record != nullptr; record = record->next) {
        if (record->geometry == nullptr) continue;
        SetWorldMatrix(record->world);
        if ((record->materialFlags & kMaterialConstantColour) != 0) {
            SetTextureStageOps(4, 0, 0);
            // Unit 1 multiplies by its constant colour; it needs a complete texture to run.
            SetTexture(nullptr, 1, 0);
            SetTextureStageOps(11, 1, 1);
            Color colour{};
            ColorFromARGB(record->materialValue, colour);
            SetTextureConstantColour(colour, 1);
        } else {
            SetTextureStageOps(0, 0, 1);
        }
        if ((record->materialFlags & kMaterialTextureMatrix) != 0) {
            GLfloat matrix[16];
            ExpandMatrix34(record->texture, matrix);
            LoadTextureMatrix(matrix);
            recordMatrixLoaded = true;
        } else if (recordMatrixLoaded) {
            // An earlier record's matrix goes; the batch's own comes back.
            if (stageMatrixUsed)
                LoadTextureMatrix(stageMatrix);
            else
                ResetTextureMatrix();
            recordMatrixLoaded = false;
        }
        bool skinned = record->owner != nullptr && record->owner->BoneCount() > 0 &&
                       (record->geometry->vertices->Layout() & kVertexSkin) != 0;
        if (skinned) {
            DrawSkinnedRecord(*record);
            bound = nullptr;
        } else {
            DrawRecordGeometry(*record, record->geometry != bound);
            bound = record->geometry;
        }
    }
}

int OpenGLRenderDevice::FlushQueue() {
    RenderQueue* queue = Queue();
    if (queue == nullptr) return 0;
    for (BatchList* list : {&queue->Opaque(), &queue->Blended()}) {
        QueueBatch* batch = list->TakeAll();
        while (batch != nullptr) {
            QueueBatch* next = batch->next;
            DrawBatch(*batch);
            queue->Recycle(batch);
            batch = next;
        }
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    ResetTextureMatrix();
    // Unit 0 stays active after a flush, as binding the last draw's arrays left it when every
    // draw bound them.
    SetActiveTextureUnit(0);
    return 1;
}
