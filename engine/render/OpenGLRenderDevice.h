// OpenGLRenderDevice: the render device of the game, over OpenGL ES 1.x with EGL. Every draw,
// state change, texture, buffer and effect object goes through its operations; start-up
// creates it by class name from the "OpenGLRender" module and keeps it in the render device
// pointer. Its state is process-global (RenderDeviceState.h): one device at a time.
//
// Sections of the class and the files that hold them:
//   start-up, screen, viewport, clear, present   OpenGLRenderDevice.cpp
//   render state, texture units                  OpenGLRenderDevice_state.cpp
//   matrices, lights, fog                        OpenGLRenderDevice_matrices.cpp
//   buffers and immediate drawing                OpenGLRenderDevice_draw.cpp
//   render queue and skinned meshes              OpenGLRenderDevice_queue.cpp
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "engine/core/object/Interface.h"
#include "engine/render/RenderDeviceState.h"
#include "engine/render/RenderMesh.h"
#include "engine/render/RenderTypes.h"
#include "platform/base/Types.h"

class DeviceObject;
class EffectBase;
class IndexBuffer;
class TextureData;
class VertexBuffer;

// A viewport as origin and size.
struct ViewportRect {
    std::int32_t x;
    std::int32_t y;
    std::int32_t width;
    std::int32_t height;
};

class OpenGLRenderDevice : public Interface {
    KEL_DECLARE_TYPE(OpenGLRenderDevice, Interface, "OpenGLRenderDevice")

public:
    OpenGLRenderDevice() = default;
    // Does not shut the device down: Shutdown comes first.
    ~OpenGLRenderDevice() override = default;

    // ----- start-up and the screen ---------------------------------------------------
    // EGL and GL start-up on the window; 0 on success, 1 at the first failing step (what was
    // made before stays for Shutdown).
    virtual DWORD Init(HWND window, const ScreenSize* size);
    // Destroys the render queue and everything of EGL that exists, each step whatever the
    // previous one gave.
    virtual void Shutdown();

    virtual VertexBuffer* CreateVertexBuffer(DWORD vertexCount, DWORD vertexSize, DWORD usage, DWORD layout);
    virtual IndexBuffer* CreateIndexBuffer(DWORD indexCount, DWORD usage, DWORD indexFormat);
    // A new, empty GL texture data object; null when memory runs out.
    virtual TextureData* CreateTextureObject();
    // A new effect object; null when memory runs out.
    virtual EffectBase* CreateEffect();

    virtual void SetClearColor(const Color& colour);
    virtual void SetUserWord(DWORD word) { userWord_ = word; }
    virtual DWORD GetUserWord() const { return userWord_; }
    virtual void GetScreenSize(std::int32_t* width, std::int32_t* height) const;
    virtual void GetViewport(std::int32_t* x, std::int32_t* y, std::int32_t* width, std::int32_t* height) const;
    // Top-left origin in pixels; GL gets the rectangle turned over (its origin is bottom-left).
    virtual void SetViewport(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);
    virtual void GetViewportRect(ViewportRect* rect) const;
    virtual void SetViewportRect(const ViewportRect& rect);
    virtual HWND GetWindow() const;
    // The screen rectangle becomes the window's client rectangle; 1.
    virtual int UpdateScreenRect();
    virtual int SetDepthMode(std::int32_t mode);
    // 1: colour only (depth value 1.0 set); 2: depth only; other modes: both.
    virtual int Clear(DWORD mode);
    virtual int BeginOverlay() { return 1; }
    virtual void EndOverlay() {}
    // Flushes the render queue, turns the client arrays off and swaps.
    virtual int Present();
    virtual int SetLights(int enable, const RenderLightSet* lights);
    virtual DWORD GetReservedWord() const { return 0; }
    virtual int SetCullMode(std::int32_t mode);
    virtual int SetTextureStageOps(DWORD colourOp, DWORD alphaOp, DWORD unit);
    // Binds a texture (null: the white texture) to a unit with its filters.
    virtual int SetTexture(TextureData* texture, DWORD unit, DWORD flags);
    virtual int ClearTexture(DWORD unit);
    virtual int SetBlendEnable(int on);
    virtual int SetAlphaTest(int on);
    virtual int SetBlendFunc(DWORD source, DWORD destination);
    virtual int SetWorldMatrix(const Matrix34& matrix);
    virtual int SetViewMatrix(const Matrix34& matrix);
    // Field of view in radians.
    virtual int SetPerspective(float fieldOfView, float aspect, float nearPlane, float farPlane);
    // The first two values are not read.
    virtual int SetOrtho(float, float, float width, float height, float nearPlane, float farPlane);
    virtual const Matrix34& GetWorldMatrix() const;
    virtual const Matrix34& GetViewMatrix() const;
    virtual int SetTextureConstantColour(const Color& colour, DWORD unit);
    virtual int SetWrapSRepeat(DWORD unit);
    virtual int SetWrapSClamp(DWORD unit);
    virtual int SetWrapTRepeat(DWORD unit);
    virtual int SetWrapTClamp(DWORD unit);

    // ----- drawing (draw types in RenderTypes.h) --------------------------------------
    virtual int DrawPrimitives(DWORD type, DWORD count, const ImmediateVertex* vertices);
    virtual int DrawIndexedPrimitives(DWORD type, DWORD count, DWORD, DWORD, const ImmediateVertex* vertices,
                                      const std::uint16_t* indices);
    virtual int DrawBuffers(DWORD type, DWORD triangleCount, DWORD, DWORD, VertexBuffer* vertices,
                            IndexBuffer* indices);

    // ----- render queue ---------------------------------------------------------------
    // Bakes a non-identity texture-coordinate transform into the coordinates once, then
    // queues every sub-mesh.
    virtual int SubmitMeshBakedUv(RenderMesh* mesh, const RenderTransform& transform);
    // One sub-mesh with an explicit index range (ignored when the index is out of range).
    virtual int SubmitMeshRange(RenderMesh* mesh, std::uint32_t subMesh, std::uint32_t firstIndex,
                                std::uint32_t indexCount, const RenderTransform& transform);
    // Every sub-mesh with the index range of a level of detail (the float is truncated).
    virtual int SubmitMeshLod(RenderMesh* mesh, const RenderTransform& transform, float level);
    // Skinning on the processor: each vertex position := the world matrix of its bone x its
    // rest position, written into the sub-meshes' vertex buffers. `vertexBones` holds one
    // bone a vertex, counted through the sub-meshes.
    virtual int UpdateSoftwareSkin(RenderMesh* mesh, const Matrix34* bones, std::uint32_t boneCount,
                                   const std::uint16_t* vertexBones);
    // Every sub-mesh; with an owner, drawn with the owner's bones in the matrix palette.
    virtual int SubmitMesh(const SkinnedOwner* owner, RenderMesh* mesh, const RenderTransform& transform);
    // Builds the vertex and index buffers of every sub-mesh that has none; 1 when all have.
    virtual int PrepareMeshBatches(RenderMesh* mesh);
    virtual int SetTextureMode(DWORD mode);
    virtual int ReleaseMeshDataAlias(RenderMesh* mesh) { return ReleaseMeshData(mesh); }
    // Projection x model-view x (x, y, z, 1).
    virtual int TransformToClipSpace(const Vector3& point, float* result);
    // Deletes a buffer the device made; nothing for null.
    virtual void DeleteObject(DeviceObject* object);
    virtual void DeleteObjectAlias(DeviceObject* object) { DeleteObject(object); }
    virtual int QueueMeshBatches(RenderMesh* mesh, DWORD flags);
    virtual int QueueMeshBatchesDefault(RenderMesh* mesh) { return QueueMeshBatches(mesh, 0); }
    // Takes the sub-meshes out of the queue and deletes their buffers.
    virtual int ReleaseMeshData(RenderMesh* mesh);
    // Draws and empties the queue.
    virtual int FlushQueue();
    virtual int SetFog(int enable, DWORD colour, float start, float end);

    // ----- render-state helpers (not in the operation table) --------------------------
    int ResetRenderState();
    int SetVertexArray(int on);
    int SetNormalArray(int on);
    int SetColourArray(int on);
    int SetTexCoordArray(int on);
    int SetPointSizeArray(int on);
    int SetMatrixIndexArray(int on);
    int SetWeightArray(int on);
    // The first four arrays; point size, matrix index and weight off.
    int SetArrays(int vertex, int normal, int colour, int texCoord);
    int SetActiveTextureUnit(DWORD unit);
    int SetBlend(int on, GLenum sourceFactor, GLenum destinationFactor);
    int SetTexParameter(GLenum name, GLint value);
    int SetTexEnv(GLenum name, GLint value);
    int SetLighting(int on);

    // Where SetTexture(null) gets the white texture; without a source (or when it gives
    // none) the device makes a white texture of its own.
    static void SetWhiteTextureSource(TextureData* (*source)());
    static const RenderStatistics& Statistics();
    static void ResetStatistics();
    // The failure flag of buffer and texture creation.
    static bool Failed();
    static void ClearFailure();
    static std::int32_t LiveVertexBuffers();
    static std::int32_t LiveIndexBuffers();

private:
    // Binds the buffers and the arrays of the vertex buffer's layout.
    void BindVertexArrays(VertexBuffer* vertices, IndexBuffer* indices);
    // One filter or operation field of a unit; issues GL only when it changes.
    void SetUnitWrap(DWORD unit, bool tAxis, bool clamp);
    int SetArray(DWORD bit, GLenum array, int on);
    // The combiner settings of one operation on the active unit's colour or alpha.
    void ApplyCombiner(bool alpha, DWORD operation);
    TextureData* WhiteTexture();
    void DrawBatch(struct QueueBatch& batch);
    // Draws a record's range, binding its geometry's buffers and arrays first when `bind`.
    void DrawRecordGeometry(const struct DrawRecord& record, bool bind);
    void DrawSkinnedRecord(const struct DrawRecord& record);
    int QueueSubMesh(const SkinnedOwner* owner, RenderSubMesh& part, std::uint32_t firstIndex, std::uint32_t indexCount,
                     const RenderTransform& transform);
    int PrepareSubMesh(RenderSubMesh& part);
    void LoadTextureMatrix(const GLfloat* matrix);
    void ResetTextureMatrix();

    DWORD userWord_ = 0;
    DWORD zeroWord_ = 0;
};

// The name an EGL error code is traced with: "EGL_BAD_MATCH [12297]", or the code alone.
// One static buffer, overwritten by the next call.
const char* EglErrorName(EGLint code);
// The trace of the last failed EGL step ("eglInitialize failed! (EGL_NOT_INITIALIZED
// [12289])"); empty when the last start-up or shutdown met no EGL error.
const char* LastEglTrace();

// The render device pointer that every caller reads; start-up sets it.
OpenGLRenderDevice* RenderDevice();
void SetRenderDevice(OpenGLRenderDevice* device);
