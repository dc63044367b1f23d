// The null render device: start-up without EGL, objects held on the processor, the matrices
// kept as GL would hold them, and a queue that is emptied undrawn.
#include "engine/render/NullRenderDevice.h"

#include "engine/render/RenderQueue.h"
#include "engine/render/TextureDataOpenGL.h"
#include "engine/render/VertexBuffer.h"
#include "platform/user/Window.h"

DWORD NullRenderDevice::Init(HWND window, const ScreenSize* size) {
    Shutdown();
    DeviceGlobals& device = Device();
    device.window = window;
    presentedFrames_ = 0;
    if (window == nullptr || size == nullptr) return 1;
    if (!GetWindowRect(window, &device.screen)) return 1;
    device.viewport = device.screen;
    device.state = RenderStateRecord{};
    device.queue = RenderQueue::Create();
    if (device.queue == nullptr) return 1;

    // The GL device starts with glOrthof(0, width, height, 0, 0, 1): pixels, top-left origin.
    std::int32_t width = 0;
    std::int32_t height = 0;
    GetScreenSize(&width, &height);
    for (GLfloat& value : projection_) value = 0.0f;
    projection_[0] = 2.0f / static_cast<float>(width);
    projection_[5] = -2.0f / static_cast<float>(height);
    projection_[10] = -2.0f;
    projection_[12] = -1.0f;
    projection_[13] = 1.0f;
    projection_[14] = -1.0f;
    projection_[15] = 1.0f;
    return 0;
}

void NullRenderDevice::Shutdown() {
    DeviceGlobals& device = Device();
    delete device.queue;
    device.queue = nullptr;
    for (TextureUnitRecord& unit : device.state.units) unit = TextureUnitRecord{};
}

VertexBuffer* NullRenderDevice::CreateVertexBuffer(DWORD vertexCount, DWORD vertexSize, DWORD usage, DWORD layout) {
    if (std::uint64_t{vertexCount} * vertexSize > kMaxBufferBytes) {
        RaiseDeviceFailure();
        return nullptr;
    }
    auto* buffer = new VertexBuffer(vertexCount, vertexSize, usage, layout, 0, DeviceStorage::ProcessorOnly);
    if (buffer != nullptr) ++Device().liveVertexBuffers;
    return buffer;
}

IndexBuffer* NullRenderDevice::CreateIndexBuffer(DWORD indexCount, DWORD usage, DWORD indexFormat) {
    const std::uint64_t elementBytes = indexFormat == kIndexFormat32 ? 4 : 2;
    if (std::uint64_t{indexCount} * elementBytes > kMaxBufferBytes) {
        RaiseDeviceFailure();
        return nullptr;
    }
    auto* buffer = new IndexBuffer(indexCount, usage, indexFormat, 0, DeviceStorage::ProcessorOnly);
    if (buffer != nullptr) ++Device().liveIndexBuffers;
    return buffer;
}

TextureData* NullRenderDevice::CreateTextureObject() { return new TextureDataOpenGL(DeviceStorage::ProcessorOnly); }

void NullRenderDevice::SetViewport(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
    Device().viewport = RECT{x, y, x + width, y + height};
}

int NullRenderDevice::Present() {
    if (FlushQueue() == 0) return 0;
    ++presentedFrames_;
    return 1;
}

int NullRenderDevice::SetTextureStageOps(DWORD colourOp, DWORD alphaOp, DWORD unit) {
    return IsUnit(unit) != 0 && colourOp <= 11 && alphaOp <= 11 ? 1 : 0;
}

int NullRenderDevice::SetWorldMatrix(const Matrix34& matrix) {
    RenderStateRecord& state = Device().state;
    state.world = matrix;
    ExpandMatrix34(matrix, state.worldGl);
    return 1;
}

int NullRenderDevice::SetViewMatrix(const Matrix34& matrix) {
    RenderStateRecord& state = Device().state;
    state.view = matrix;
    ExpandMatrix34(matrix, state.viewGl);
    return 1;
}

int NullRenderDevice::SetPerspective(float fieldOfView, float aspect, float nearPlane, float farPlane) {
    RecordPerspective(fieldOfView, aspect, nearPlane, farPlane, Device().state.projection);
    // glFrustumf over the field of view, then glScalef(1, -1, -1) turns the second and third
    // columns over.
    const float t = FrustumHalfHeight(fieldOfView, nearPlane);
    const float left = -t * aspect;
    const float right = t * aspect;
    for (GLfloat& value : projection_) value = 0.0f;
    projection_[0] = 2.0f * nearPlane / (right - left);
    projection_[5] = -(2.0f * nearPlane / (t + t));
    projection_[10] = (farPlane + nearPlane) / (farPlane - nearPlane);
    projection_[11] = 1.0f;
    projection_[14] = -(2.0f * farPlane * nearPlane) / (farPlane - nearPlane);
    return 1;
}

int NullRenderDevice::SetOrtho(float, float, float width, float height, float nearPlane, float farPlane) {
    GLfloat* recorded = Device().state.projection;
    OrthoProjection(width, height, nearPlane, farPlane, recorded);
    for (int i = 0; i < 16; ++i) projection_[i] = recorded[i];
    return 1;
}

int NullRenderDevice::TransformToClipSpace(const Vector3& point, float* result) {
    if (result == nullptr) return 0;
    const RenderStateRecord& state = Device().state;
    GLfloat modelView[16];
    MultiplyMatrix4(state.viewGl, state.worldGl, modelView);
    ClipSpacePoint(projection_, modelView, point, result);
    return 1;
}

int NullRenderDevice::FlushQueue() {
    RenderQueue* queue = Device().queue;
    if (queue == nullptr) return 0;
    queue->DiscardQueued();
    return 1;
}
