// Turning the landscape 2D screen onto the display and drawing the widget overlay.
#include "game/flow/OverlayFrame.h"

#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "engine/render/OpenGLRenderDevice.h"

namespace {

// Blend factors: source alpha, one minus source alpha.
constexpr DWORD kBlendSourceAlpha = 5;
constexpr DWORD kBlendInverseSourceAlpha = 6;

// The world matrix that puts a point of the turned 2D screen onto the display's pixels: a
// quarter turn maps (x, y) to (viewport width - y, x), three quarters to (y, viewport
// height - x), a half turn to (width - x, height - y).
Matrix34 TurnMatrix(DWORD angle, float viewWidth, float viewHeight) {
    Matrix34 m = kIdentityMatrix34;
    switch (angle % 360) {
        case 90:
            m.m[0][0] = 0.0f;
            m.m[0][1] = -1.0f;
            m.m[0][3] = viewWidth;
            m.m[1][0] = 1.0f;
            m.m[1][1] = 0.0f;
            break;
        case 180:
            m.m[0][0] = -1.0f;
            m.m[0][3] = viewWidth;
            m.m[1][1] = -1.0f;
            m.m[1][3] = viewHeight;
            break;
        case 270:
            m.m[0][0] = 0.0f;
            m.m[0][1] = 1.0f;
            m.m[1][0] = -1.0f;
            m.m[1][1] = 0.0f;
            m.m[1][3] = viewHeight;
            break;
        default: break;
    }
    return m;
}

}  // namespace

void DrawOverlayFrame(OpenGLRenderDevice& device, Canvas2D& canvas, DWORD screenAngle) {
    Overlay2DState& state = Overlay2D();
    state.displayRotation = static_cast<std::int32_t>(screenAngle % 360);
    state.rotationIndex = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    device.GetViewport(&x, &y, &width, &height);
    canvas.UpdateScale();
    // Text is placed in font pixels: it takes the canvas's scale so that it lands where the
    // quads of the same widgets do.
    state.textScale = canvas.scaleX;
    state.matrix2D = TurnMatrix(screenAngle, static_cast<float>(width), static_cast<float>(height));
    device.SetBlendEnable(1);
    device.SetBlendFunc(kBlendSourceAlpha, kBlendInverseSourceAlpha);
    canvas.Begin();
    canvas.ResetView();
    Overlay().Draw(&canvas, 0);
    canvas.End();
}
