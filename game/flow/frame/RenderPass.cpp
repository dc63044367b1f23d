// The frame: its guard, the rotation easing, the views and viewports, the 3D pass and the
// two 2D parts around the quarter turn.
#include "game/flow/frame/RenderPass.h"

#include <cmath>

#include "engine/app/Application.h"
#include "engine/core/math/MatrixMath.h"
#include "engine/core/math/VectorMath.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/widgets/OverlayLayer.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/resources/font/BitmapFont.h"
#include "game/flow/frame/PlayScene.h"
#include "game/flow/screens/ScreenFlow.h"
#include "game/ui/AnimatedValue.h"

namespace {

constexpr float kRadiansPerDegree = 0.017453292f;
constexpr float kPi = 3.14159265f;
constexpr float kRotationEase = 0.2f;
// Clear flags: colour and depth.
constexpr DWORD kClearAll = 15;
// Depth modes: test with less-or-equal and writes on; off.
constexpr std::int32_t kDepthOn = 3;
constexpr std::int32_t kDepthOff = 0;
constexpr DWORD kBlendSourceAlpha = 5;
constexpr DWORD kBlendInverseSourceAlpha = 6;
// Angles from which the second 2D part takes the next quarter turn.
constexpr std::int32_t kQuarterBounds[3] = {45, 135, 215};
constexpr std::int32_t kQuarterLast = 315;

RenderPassValues values;

Matrix34 Translation(float x, float y) {
    Matrix34 m = kIdentityMatrix34;
    m.m[0][3] = x;
    m.m[1][3] = y;
    return m;
}

Matrix34 RotationZ(float radians) {
    Matrix34 m;
    Matrix34FromEuler(Vector3{0.0f, 0.0f, radians}, m);
    return m;
}

Matrix34 Product(const Matrix34& a, const Matrix34& b, const Matrix34& c) {
    Matrix34 ab;
    Matrix34Multiply(a, b, ab);
    Matrix34 out;
    Matrix34Multiply(ab, c, out);
    return out;
}

float Half(std::uint32_t count) { return static_cast<float>(count >> 1); }

}  // namespace

RenderPassValues::RenderPassValues() {
    loadingBrush.flags = kBrushCornerColours | kBrushCombineA;
    const float corners[8] = {0, 0, 1, 0, 1, 1, 0, 1};
    for (int i = 0; i < 8; ++i) loadingBrush.corners[i] = corners[i];
    for (DWORD& colour : loadingBrush.colours) colour = 0xFFFFFFFF;
}

RenderPassValues& RenderValues() { return values; }

void ResetRenderValues() {
    ReleaseTextureHandle(values.loadingBrush);
    ReleaseFramePictures();
    values = RenderPassValues{};
}

bool MayDrawFrame(const GameFlowState& state, const FrameConditions& conditions) {
    return state.requestedScreenState == state.screenState && conditions.deviceExists && state.powerOff == 0 &&
           conditions.shellStarted && conditions.applicationActive;
}

float EaseRotation(float angle, std::int32_t target) {
    angle += kRotationEase * AngleDifference(angle, static_cast<float>(target));
    while (angle >= 360.0f) angle -= 360.0f;
    while (angle < 0.0f) angle += 360.0f;
    return angle;
}

std::int32_t ShownRotation(float angle) {
    const auto shown = static_cast<std::int32_t>(RoundHalfAway(angle));
    return shown == 360 ? 0 : shown;
}

Matrix34 MakeView2D(float degrees, float scale, std::uint32_t w0, std::uint32_t h0, std::uint32_t vw,
                    std::uint32_t vh) {
    return Product(Translation(Half(vw), Half(vh)), RotationZ(degrees * kRadiansPerDegree),
                   Translation(-scale * Half(w0), -scale * Half(h0)));
}

QuarterTurn QuarterTurnView(std::int32_t a, std::uint32_t vw, std::uint32_t vh) {
    const auto w = static_cast<float>(vw);
    const auto h = static_cast<float>(vh);
    if (a < kQuarterBounds[0] || a > kQuarterLast) return QuarterTurn{kIdentityMatrix34, vw, vh};
    if (a < kQuarterBounds[1]) return QuarterTurn{Product(RotationZ(90.0f * kRadiansPerDegree), Translation(0.0f, -w), kIdentityMatrix34), vh, vw};
    if (a < kQuarterBounds[2]) return QuarterTurn{Product(RotationZ(kPi), Translation(-w, -h), kIdentityMatrix34), vw, vh};
    return QuarterTurn{Product(RotationZ(270.0f * kRadiansPerDegree), Translation(-h, 0.0f), kIdentityMatrix34), vh, vw};
}

ScreenArea GameArea(std::int32_t sw, std::int32_t sh, std::uint32_t rotationIndex) {
    if ((rotationIndex & 1) != 0) return ScreenArea{(sw >> 1) - 400, (sh >> 1) - 240, 800, 480};
    return ScreenArea{(sw >> 1) - 240, (sh >> 1) - 400, 480, 800};
}

float LoadingTextAlpha(float stateTime) {
    return std::fmin(1.0f, 0.5f * std::sin(kPi * stateTime) + 1.0f);
}

float TitlePictureAlpha(float stateTime) { return std::fmin(stateTime, 1.0f); }

float TitlePromptAlpha(float stateTime) { return (std::sin(kPi * stateTime) + 1.0f) * 0.5f; }

void SetCombinePreset(DWORD preset) {
    if (OpenGLRenderDevice* device = RenderDevice()) device->SetTextureMode(preset);
    Overlay2D().drawingMode = 0;
}

void SetTextureCombine(DWORD colourOperation, DWORD alphaOperation) {
    if (OpenGLRenderDevice* device = RenderDevice()) device->SetTextureStageOps(colourOperation, alphaOperation, 0);
    Overlay2D().drawingMode = 0;
}

DWORD RenderFrame(const GameFlowState& state, const FrameConditions& conditions, IngameController* controller) {
    if (!MayDrawFrame(state, conditions)) return 0;
    OpenGLRenderDevice* device = RenderDevice();
    if (device == nullptr) return 0;
    Overlay2DState& overlay = Overlay2D();
    Canvas2D* canvas = OverlayCanvas();

    device->SetDepthMode(kDepthOn);
    device->Clear(kClearAll);
    SetCombinePreset(2);
    device->SetBlendEnable(0);

    // The 2D view from the values as they stand, before this frame's easing.
    const SIZE screen = UiScreenSize();
    const auto w0 = static_cast<std::uint32_t>(screen.cx);
    const auto h0 = static_cast<std::uint32_t>(screen.cy);
    const float degrees = static_cast<float>(overlay.displayRotation) + static_cast<float>(overlay.rotationIndex) * 90.0f;
    const float scale = canvas != nullptr ? canvas->scaleX : 1.0f;
    values.view2D = MakeView2D(degrees, scale, w0, h0, values.viewportWidth, values.viewportHeight);

    values.rotationAngle = EaseRotation(values.rotationAngle, values.rotationTarget);
    overlay.displayRotation = ShownRotation(values.rotationAngle);

    // The surface turned by the rotation index, and the game's area centred in it.
    std::int32_t sw = 0;
    std::int32_t sh = 0;
    device->GetScreenSize(&sw, &sh);
    device->SetViewport(0, 0, sw, sh);
    const auto halfW = static_cast<float>(sw >> 1);
    const auto halfH = static_cast<float>(sh >> 1);
    device->SetViewMatrix(Product(Translation(halfW, halfH),
                                  RotationZ(static_cast<float>(overlay.rotationIndex) * 90.0f * kRadiansPerDegree),
                                  Translation(-halfW, -halfH)));
    const ScreenArea area = GameArea(sw, sh, overlay.rotationIndex);
    device->SetViewport(area.x, area.y, area.width, area.height);

    std::int32_t vx = 0;
    std::int32_t vy = 0;
    std::int32_t vw = 0;
    std::int32_t vh = 0;
    device->GetViewport(&vx, &vy, &vw, &vh);
    values.viewportWidth = static_cast<std::uint32_t>(vw);
    values.viewportHeight = static_cast<std::uint32_t>(vh);
    device->SetViewMatrix(values.view2D);
    overlay.screenWidth = w0;
    overlay.screenHeight = h0;
    if (canvas != nullptr) {
        canvas->UpdateScale();
        canvas->offsetX = 0.0f;
        canvas->offsetY = 0.0f;
    }

    switch (state.screenState) {
        case kScreenBoot:
        case kScreenMenus:
        case kScreenPauseMenu:
            device->SetClearColor(Color{0.0f, 0.0f, 0.0f, 1.0f});
            break;
        case kScreenPlay:
            device->SetClearColor(Color{0.129f, 0.094f, 0.0f, 1.0f});
            if (controller != nullptr) DrawPlayScene(*controller);
            break;
        default:
            break;
    }

    device->SetBlendEnable(1);
    device->SetBlendFunc(kBlendSourceAlpha, kBlendInverseSourceAlpha);
    device->BeginOverlay();
    if (canvas != nullptr && canvas->viewSet == 0) canvas->ResetView();
    device->SetOrtho(0.0f, 0.0f, static_cast<float>(vw), static_cast<float>(vh), 0.0f, 1.0f);
    device->SetViewMatrix(values.view2D);
    device->SetWorldMatrix(kIdentityMatrix34);
    device->SetCullMode(0);
    device->SetDepthMode(kDepthOff);
    if (Overlay().systemFont != nullptr) Overlay().systemFont->SetTracking(1.0f);

    DrawStatePartOne(state, canvas);

    device->SetAlphaTest(1);
    device->SetBlendFunc(kBlendSourceAlpha, kBlendInverseSourceAlpha);
    const std::int32_t a = ((overlay.displayRotation + static_cast<std::int32_t>(overlay.rotationIndex) * 90) % 360 + 360) % 360;
    const float keptScaleX = canvas != nullptr ? canvas->scaleX : 1.0f;
    const float keptScaleY = canvas != nullptr ? canvas->scaleY : 1.0f;
    const QuarterTurn turn = QuarterTurnView(a, values.viewportWidth, values.viewportHeight);
    device->SetViewMatrix(turn.view);
    if (canvas != nullptr) {
        canvas->scaleX = 1.0f;
        canvas->scaleY = 1.0f;
    }
    overlay.screenWidth = turn.width;
    overlay.screenHeight = turn.height;

    DrawStatePartTwo(state, canvas, turn.width, turn.height);

    device->SetViewMatrix(values.view2D);
    if (canvas != nullptr) {
        canvas->scaleX = keptScaleX;
        canvas->scaleY = keptScaleY;
    }
    device->EndOverlay();
    if (canvas != nullptr) {
        canvas->viewCount = 0;
        canvas->viewSet = 0;
    }
    device->Present();
    return 0;
}
