// The canvas: its start, views, scale and the overlay bracket; the 2D layer's global state.
#include "engine/overlay/canvas/Canvas2D.h"

#include <algorithm>
#include <cmath>

#include "engine/overlay/canvas/QuadBuffers.h"
#include "engine/overlay/text/GlyphRun.h"
#include "engine/render/OpenGLRenderDevice.h"

namespace {

Overlay2DState state;

constexpr double kRadiansPerDegree = 0.017453292;

}  // namespace

Overlay2DState& Overlay2D() { return state; }

void ResetOverlay2D() { state = Overlay2DState{}; }

void Canvas2D::Init() {
    CreateQuadBuffers();
    CreateGlyphBuffer();
    UpdateScale();
    viewCount = 0;
    viewSet = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    if (OpenGLRenderDevice* device = RenderDevice()) device->GetViewport(&x, &y, &width, &height);
    clip = CanvasRect{0.0f, 0.0f, static_cast<float>(width - 1), static_cast<float>(height - 1)};
}

void Canvas2D::ResetView() {
    views[0] = CanvasRect{0.0f, 0.0f, static_cast<float>(state.screenWidth) - 1.0f,
                          static_cast<float>(state.screenHeight) - 1.0f};
    viewCount = 1;
    viewSet = 1;
}

void Canvas2D::UpdateScale() {
    OpenGLRenderDevice* device = RenderDevice();
    if (device == nullptr) return;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    device->GetViewport(&x, &y, &width, &height);
    if (width <= 0 || height <= 0 || state.screenWidth == 0 || state.screenHeight == 0) return;
    const double vw = width;
    const double vh = height;
    const double sw = state.screenWidth;
    const double sh = state.screenHeight;
    const double degrees = static_cast<double>(state.displayRotation) + static_cast<double>(state.rotationIndex) * 90.0;
    const double s = std::fabs(std::sin(degrees * kRadiansPerDegree));
    const double a = std::min(vh / sh, vw / sw);
    const double b = std::min(vw / sh, vh / sw);
    scaleX = scaleY = static_cast<float>((1.0 - s) * a + s * b);
}

void Canvas2D::Begin() {
    if (OpenGLRenderDevice* device = RenderDevice()) device->BeginOverlay();
}

void Canvas2D::End() {
    if (OpenGLRenderDevice* device = RenderDevice()) device->EndOverlay();
    viewCount = 0;
    viewSet = 0;
}

void BeginOverlayDraw(Canvas2D* /*canvas*/) {
    OpenGLRenderDevice* device = RenderDevice();
    if (device == nullptr) return;
    device->SetTextureMode(0);
    device->SetWorldMatrix(state.matrix2D);
    device->SetViewMatrix(kIdentityMatrix34);
    // The mode cache says 6 whatever was sent: mode 6 is sent every time anyway.
    state.drawingMode = 6;
    device->SetCullMode(0);
    device->SetDepthMode(0);
}
