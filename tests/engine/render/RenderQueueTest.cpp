// Buffers, immediate drawing and the render queue: layouts bound at their offsets, locks,
// draw types, opaque batches before blended ones, records recycled, and skinned meshes on
// the matrix palette and on the processor, each against a reference worked in the test.
#include <GLES/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/core/math/MatrixMath.h"
#include "engine/render/RenderQueue.h"
#include "engine/render/VertexBuffer.h"
#include "tests/engine/render/RenderTestSupport.h"

namespace {

using render_test::kScreenHeight;
using render_test::kScreenWidth;
using render_test::Placed;
using render_test::RenderDeviceTest;
using render_test::SquareMesh;

void* Pointer(GLenum name) {
    void* pointer = nullptr;
    glGetPointerv(name, &pointer);
    return pointer;
}

TEST_F(RenderDeviceTest, ABufferLayoutBindsEachComponentAtItsOffset) {
    VertexBuffer* vertices =
        device_->CreateVertexBuffer(3, 36, 0, kVertexPosition | kVertexNormal | kVertexColour | kVertexTexture2Floats);
    IndexBuffer* indices = device_->CreateIndexBuffer(3, 0, 0);
    ASSERT_NE(vertices, nullptr);
    ASSERT_NE(indices, nullptr);
    EXPECT_EQ(OpenGLRenderDevice::LiveVertexBuffers(), 1);
    EXPECT_EQ(OpenGLRenderDevice::LiveIndexBuffers(), 1);
    void* locked = vertices->Lock();
    ASSERT_NE(locked, nullptr);
    EXPECT_EQ(vertices->Lock(), locked);
    std::memset(locked, 0, 3 * 36);
    EXPECT_EQ(vertices->Unlock(), 1);
    EXPECT_EQ(vertices->Unlock(), 0);
    auto* index = static_cast<std::uint16_t*>(indices->Lock());
    index[0] = 0;
    index[1] = 1;
    index[2] = 2;
    indices->Unlock();

    EXPECT_EQ(device_->DrawBuffers(kDrawTriangles, 1, 0, 0, vertices, indices), 0);
    EXPECT_EQ(Pointer(GL_VERTEX_ARRAY_POINTER), reinterpret_cast<void*>(0));
    EXPECT_EQ(Pointer(GL_NORMAL_ARRAY_POINTER), reinterpret_cast<void*>(12));
    EXPECT_EQ(Pointer(GL_COLOR_ARRAY_POINTER), reinterpret_cast<void*>(24));
    EXPECT_EQ(Pointer(GL_TEXTURE_COORD_ARRAY_POINTER), reinterpret_cast<void*>(28));
    EXPECT_EQ(OpenGLRenderDevice::Statistics().drawCalls, 1u);

    // Only type 1 draws.
    EXPECT_EQ(device_->DrawBuffers(kDrawFan, 1, 0, 0, vertices, indices), 0);
    EXPECT_EQ(OpenGLRenderDevice::Statistics().drawCalls, 1u);
    device_->DeleteObject(vertices);
    device_->DeleteObjectAlias(indices);
    device_->DeleteObject(nullptr);
    EXPECT_EQ(OpenGLRenderDevice::LiveVertexBuffers(), 0);
    EXPECT_EQ(OpenGLRenderDevice::LiveIndexBuffers(), 0);
    EXPECT_FALSE(OpenGLRenderDevice::Failed());
}

TEST_F(RenderDeviceTest, ImmediateDrawTypes) {
    device_->SetOrtho(0, 0, kScreenWidth, kScreenHeight, 0.0f, 1.0f);
    device_->SetDepthMode(0);
    device_->SetTextureMode(2);
    device_->SetClearColor(Color{0, 0, 0, 1});
    device_->Clear(0);
    // Two quads of type 3: fans starting at vertices 0 and 4.
    ImmediateVertex quads[8] = {};
    const float corners[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    for (int q = 0; q < 2; ++q)
        for (int i = 0; i < 4; ++i) {
            quads[q * 4 + i].position = Vector3{q * 40.0f + corners[i][0] * 10.0f, corners[i][1] * 10.0f, 0.5f};
            std::memcpy(quads[q * 4 + i].colour, "\xFF\xFF\xFF\xFF", 4);
        }
    EXPECT_EQ(device_->DrawPrimitives(kDrawQuads, 2, quads), 1);
    EXPECT_EQ(FramePixel(5, 5), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(FramePixel(45, 5), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(FramePixel(25, 5), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(OpenGLRenderDevice::Statistics().primitives, 2u);

    EXPECT_EQ(device_->DrawPrimitives(kDrawRefused, 1, quads), 0);
    EXPECT_EQ(device_->DrawPrimitives(kDrawNothing, 1, quads), 1);
    EXPECT_EQ(device_->DrawPrimitives(9, 1, quads), 1);
    EXPECT_EQ(device_->DrawPrimitives(kDrawTriangles, 1, nullptr), 1);
    EXPECT_EQ(OpenGLRenderDevice::Statistics().drawCalls, 1u);

    const std::uint16_t triangle[3] = {4, 5, 6};
    device_->Clear(0);
    EXPECT_EQ(device_->DrawIndexedPrimitives(kDrawTriangles, 1, 0, 0, quads, triangle), 1);
    EXPECT_EQ(FramePixel(42, 8), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(FramePixel(5, 5), (std::array<int, 3>{0, 0, 0}));
}

class QueueTest : public RenderDeviceTest {
protected:
    void SetUp() override {
        RenderDeviceTest::SetUp();
        device_->SetOrtho(0, 0, kScreenWidth, kScreenHeight, 0.0f, 1.0f);
        device_->SetViewMatrix(kIdentityMatrix34);
        device_->SetClearColor(Color{0, 0, 0, 1});
        device_->Clear(0);
    }
};

TEST_F(QueueTest, OpaqueBatchesAreDrawnBeforeBlendedOnes) {
    // The blended square is queued first and nearer; drawn in queue order it would be
    // covered nowhere and the opaque one behind it would fail the depth test. Opaque first,
    // the blended square mixes over the opaque one.
    SquareMesh blended(0xFF0000FF, kMaterialBlended);  // blue
    SquareMesh opaque(0xFFFF0000);                     // red
    device_->SetDepthMode(3);
    device_->SetBlendEnable(1);
    device_->SetBlendFunc(2, 2);  // one + one: the sum shows both
    ASSERT_EQ(device_->SubmitMesh(nullptr, &blended.mesh, Placed(10, 10, 20, -0.5f)), 1);
    ASSERT_EQ(device_->SubmitMesh(nullptr, &opaque.mesh, Placed(10, 10, 20, 0.5f)), 1);
    device_->Present();
    EXPECT_EQ(FramePixel(20, 20), (std::array<int, 3>{255, 0, 255}));
    EXPECT_EQ(OpenGLRenderDevice::Statistics().batches, 2u);
    device_->ReleaseMeshData(&blended.mesh);
    device_->ReleaseMeshData(&opaque.mesh);
}

TEST_F(QueueTest, DrawsOfOneSubMeshShareABatchAndRecordsAreRecycled) {
    SquareMesh square(0xFF00FF00);
    device_->SetDepthMode(0);
    // More draws than the queue starts with: it grows, then takes everything back.
    const int draws = RenderQueue::kInitialRecords + 20;
    for (int i = 0; i < draws; ++i) device_->SubmitMesh(nullptr, &square.mesh, Placed(i % 60, 0, 2, 0));
    EXPECT_NE(square.part.batch, nullptr);
    device_->FlushQueue();
    EXPECT_EQ(square.part.batch, nullptr);
    EXPECT_EQ(OpenGLRenderDevice::Statistics().batches, 1u);
    EXPECT_EQ(OpenGLRenderDevice::Statistics().drawCalls, static_cast<std::uint64_t>(draws));
    EXPECT_EQ(FramePixel(30, 1), (std::array<int, 3>{0, 255, 0}));
    EXPECT_EQ(Device().queue->FreeRecordCount(), static_cast<std::uint32_t>(draws));
    EXPECT_EQ(Device().queue->FreeBatchCount(), static_cast<std::uint32_t>(RenderQueue::kInitialRecords));
    device_->ReleaseMeshData(&square.mesh);
}

TEST_F(QueueTest, RecordsOfOneBatchEachTakeTheirOwnColourOnUnitOne) {
    // The records share their geometry, whose arrays are bound once for them, while each
    // sets unit 1's colour (the active unit then); after the flush unit 0 is active again.
    SquareMesh square(0xFFFFFFFF, kMaterialConstantColour);
    device_->SetDepthMode(0);
    device_->SetTexture(nullptr, 0, 0);  // unit 0 modulates by white
    const std::uint32_t colours[3] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    for (int i = 0; i < 3; ++i) {
        RenderTransform transform = Placed(static_cast<float>(i) * 20.0f, 0, 10, 0);
        transform.materialValue = colours[i];
        ASSERT_EQ(device_->SubmitMesh(nullptr, &square.mesh, transform), 1);
    }
    device_->FlushQueue();
    EXPECT_EQ(FramePixel(5, 5), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(FramePixel(25, 5), (std::array<int, 3>{0, 255, 0}));
    EXPECT_EQ(FramePixel(45, 5), (std::array<int, 3>{0, 0, 255}));
    EXPECT_EQ(OpenGLRenderDevice::Statistics().drawCalls, 3u);
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE0);
    device_->ReleaseMeshData(&square.mesh);
}

TEST_F(QueueTest, ReleasedGeometryLeavesTheQueueUndrawn) {
    SquareMesh square(0xFFFFFFFF);
    device_->SetDepthMode(0);
    device_->SubmitMesh(nullptr, &square.mesh, Placed(0, 0, 40, 0));
    device_->ReleaseMeshDataAlias(&square.mesh);
    EXPECT_EQ(square.part.geometry, nullptr);
    EXPECT_EQ(square.part.batch, nullptr);
    device_->FlushQueue();
    EXPECT_EQ(FramePixel(10, 10), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(OpenGLRenderDevice::LiveVertexBuffers(), 0);
}

TEST_F(QueueTest, RangesAndLevelsOfDetailDrawTheirIndices) {
    SquareMesh square(0xFFFFFFFF);
    const std::uint16_t first[2] = {0, 3};
    const std::uint16_t last[2] = {3, 3};  // level 1 is empty
    square.part.lodFirst = first;
    square.part.lodLast = last;
    square.part.lodCount = 2;
    device_->SetDepthMode(0);
    device_->SetCullMode(0);
    // The first triangle (0, 1, 2) covers the square's upper-left half in screen terms.
    device_->SubmitMeshLod(&square.mesh, Placed(0, 0, 40, 0), 0.7f);
    device_->SubmitMeshLod(&square.mesh, Placed(0, 0, 40, 0), 1.0f);
    device_->SubmitMeshLod(&square.mesh, Placed(0, 0, 40, 0), 5.0f);
    device_->FlushQueue();
    EXPECT_EQ(FramePixel(5, 30), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(FramePixel(30, 5), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(OpenGLRenderDevice::Statistics().drawCalls, 1u);

    device_->Clear(0);
    EXPECT_EQ(device_->SubmitMeshRange(&square.mesh, 0, 3, 3, Placed(0, 0, 40, 0)), 1);
    EXPECT_EQ(device_->SubmitMeshRange(&square.mesh, 1, 0, 3, Placed(0, 0, 40, 0)), 0);
    EXPECT_EQ(device_->SubmitMeshRange(&square.mesh, 0, 6, 3, Placed(0, 0, 40, 0)), 0);
    device_->FlushQueue();
    EXPECT_EQ(FramePixel(30, 5), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(FramePixel(5, 30), (std::array<int, 3>{0, 0, 0}));
    device_->ReleaseMeshData(&square.mesh);
}

TEST_F(QueueTest, BakedTextureCoordinatesAreBakedOnce) {
    SquareMesh square(0xFFFFFFFF);
    square.texCoords = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    square.part.texCoords = square.texCoords.data();
    square.mesh.uvScale = Vector2{2, 3};
    square.mesh.uvOffset = Vector2{0.5f, 0};
    device_->SubmitMeshBakedUv(&square.mesh, Placed(0, 0, 10, 0));
    device_->SubmitMeshBakedUv(&square.mesh, Placed(0, 0, 10, 0));
    EXPECT_EQ(square.texCoords[2].x, 2.5f);
    EXPECT_EQ(square.texCoords[2].y, 3.0f);
    EXPECT_EQ(square.mesh.uvScale.x, 1.0f);
    const auto* staging = square.part.geometry->vertices->Staging();
    float u = 0;
    std::memcpy(&u, staging + 2 * 36 + 28, 4);
    EXPECT_EQ(u, 2.5f);
    device_->FlushQueue();
    device_->ReleaseMeshData(&square.mesh);
}

TEST_F(QueueTest, AMeshWithAnIndexBeyondItsVerticesIsNotPrepared) {
    SquareMesh square(0xFFFFFFFF);
    square.indices[4] = 9;
    EXPECT_EQ(device_->PrepareMeshBatches(&square.mesh), 0);
    EXPECT_EQ(device_->SubmitMesh(nullptr, &square.mesh, Placed(0, 0, 10, 0)), 1);
    EXPECT_EQ(square.part.batch, nullptr);
    EXPECT_EQ(device_->QueueMeshBatchesDefault(&square.mesh), 0);
}

// Two bones, each carrying one of two triangles.
class TwoBones : public SkinnedOwner {
public:
    std::uint32_t BoneCount() const override { return 2; }
    const Matrix34& BoneWorldMatrix(std::uint32_t bone) const override { return bones[bone]; }
    Matrix34 bones[2] = {kIdentityMatrix34, kIdentityMatrix34};
};

struct SkinnedPair {
    SkinnedPair() {
        positions = {{-4, -4, 0}, {4, -4, 0}, {0, 4, 0}, {-4, -4, 0}, {4, -4, 0}, {0, 4, 0}};
        colours.assign(6, 0xFFFFFFFF);
        boneIndices = {0, 0, 0, 1, 1, 1};
        indices = {0, 1, 2, 3, 4, 5};
        part.vertexCount = 6;
        part.positions = positions.data();
        part.colours = colours.data();
        part.boneIndices = boneIndices.data();
        part.indexCount = 6;
        part.indices = indices.data();
        part.material = &material;
        material.flags = kMaterialDoubleSided;
        mesh.subMeshCount = 1;
        mesh.subMeshes = &part;
    }
    std::vector<Vector3> positions;
    std::vector<std::uint32_t> colours;
    std::vector<std::uint8_t> boneIndices;
    std::vector<std::uint16_t> indices;
    RenderMaterial material;
    RenderSubMesh part;
    RenderMesh mesh;
};

Matrix34 Translation(float x, float y) {
    Matrix34 m = kIdentityMatrix34;
    m.m[0][3] = x;
    m.m[1][3] = y;
    return m;
}

TEST_F(QueueTest, ASkinnedOwnerDrawsEachVertexWithItsBone) {
    SkinnedPair pair;
    TwoBones owner;
    owner.bones[0] = Translation(12, 24);
    // Bone 1: a quarter turn, then moved to (48, 24).
    owner.bones[1] = Matrix34{{{0, -1, 0, 48}, {1, 0, 0, 24}, {0, 0, 1, 0}}};
    device_->SetDepthMode(0);
    ASSERT_EQ(device_->SubmitMesh(&owner, &pair.mesh, RenderTransform{}), 1);
    device_->FlushQueue();

    // Reference: every vertex through its bone by hand, tested at its triangle's centre and
    // outside it. Triangle 0: (8, 20), (16, 20), (12, 28); triangle 1: (52, 20), (52, 28), (44, 24).
    EXPECT_EQ(FramePixel(12, 23), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(FramePixel(49, 24), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(FramePixel(45, 20), (std::array<int, 3>{0, 0, 0}));  // outside the turned triangle
    EXPECT_EQ(FramePixel(32, 24), (std::array<int, 3>{0, 0, 0}));
    // The palette left the model-view as the device keeps it.
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    device_->ReleaseMeshData(&pair.mesh);
}

TEST_F(QueueTest, SoftwareSkinningWritesEachPositionThroughItsBone) {
    SkinnedPair pair;
    const Matrix34 bones[2] = {Translation(3, 4), Matrix34{{{0, -1, 0, 10}, {1, 0, 0, 0}, {0, 0, 2, 1}}}};
    std::vector<std::uint16_t> vertexBones = {0, 0, 0, 1, 1, 7};  // bone 7 does not exist: rest position
    ASSERT_EQ(device_->UpdateSoftwareSkin(&pair.mesh, bones, 2, vertexBones.data()), 1);
    const std::uint8_t* staging = pair.part.geometry->vertices->Staging();
    DWORD stride = pair.part.geometry->vertices->VertexSize();
    // Reference worked by hand: bone 0 adds (3, 4, 0); bone 1 takes (x, y, z) to (10 - y, x, 2z + 1).
    const Vector3 expected[6] = {{-1, 0, 0}, {7, 0, 0}, {3, 8, 0}, {14, -4, 1}, {14, 4, 1}, {0, 4, 0}};
    for (int v = 0; v < 6; ++v) {
        Vector3 position{};
        std::memcpy(&position, staging + v * stride, sizeof position);
        EXPECT_EQ(position.x, expected[v].x) << "vertex " << v;
        EXPECT_EQ(position.y, expected[v].y) << "vertex " << v;
        EXPECT_EQ(position.z, expected[v].z) << "vertex " << v;
    }
    // The rest of each vertex is untouched: the colour stays white.
    EXPECT_EQ(staging[5 * stride + 24], 255);
    device_->ReleaseMeshData(&pair.mesh);
}

}  // namespace
