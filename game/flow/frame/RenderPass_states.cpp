// The 2D layer of each screen state: the widget tree, the logos and the menu background
// before the quarter turn; the loading texts, the title, the comic pages and the play
// overlay after it. Pictures are drawn through the loading brush and stay loaded.
#include <cmath>
#include <cstring>
#include <map>
#include <string>

#include "engine/app/Application.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "game/flow/frame/FrameText.h"
#include "game/flow/frame/PlayOverlay.h"
#include "game/flow/frame/RenderPass.h"
#include "game/flow/interfaces/HudDrawing.h"
#include "game/flow/screens/ScreenFlow.h"
#include "game/flow/services/GameServices.h"

namespace {

constexpr float kMenuTextScale = 1.0f;
constexpr float kTextScaleBetween = 0.5f;
constexpr float kLogoDelay = 0.2f;
constexpr float kPlayFadeSeconds = 0.5f;
constexpr DWORD kOpaqueWhite = 0xFFFFFFFF;
constexpr DWORD kOpaqueBlack = 0xFF000000;
// Texture stage operation: the texture times the vertex colour.
constexpr DWORD kTextureTimesVertex = 4;

// Loaded pictures by name; a null entry remembers a picture that could not be loaded.
std::map<std::string, Interface*>& Pictures() {
    static std::map<std::string, Interface*> pictures;
    return pictures;
}

Interface* Picture(const char* name) {
    auto& pictures = Pictures();
    const auto found = pictures.find(name);
    if (found != pictures.end()) return found->second;
    Interface* texture = GlobalResourceCache().GetTexture(name, 0);
    pictures.emplace(name, texture);
    return texture;
}

void SetBrushColours(DWORD colour) {
    for (DWORD& corner : RenderValues().loadingBrush.colours) corner = colour;
}

void SetBrushTint(float r, float g, float b, float a) { SetBrushColours(RgbWithAlpha(r, g, b, a)); }

void DrawLoadingText(Canvas2D* canvas, std::uint32_t width, std::uint32_t height, float alpha) {
    const auto w = static_cast<float>(width);
    Overlay2D().textScale = w / 480.0f;
    DrawKeyedText(canvas, 0.52f * w, static_cast<float>(height) - 16.0f, "MENU_NOW_LOADING", WhiteWithAlpha(alpha),
                  kAlignCentre, 0.5f);
    Overlay2D().textScale = kTextScaleBetween;
}

void DrawSpinningIcon(Canvas2D* canvas, float loadingValue) {
    SetBrushColours(kOpaqueWhite);
    DrawQuad(canvas, 160.0f, 0.0f, 480.0f, 480.0f, &RenderValues().loadingBrush, -loadingValue);
}

// The widget tree draws under the identity view from the 2D matrix: the frame's 2D view goes
// there for the call and the device's matrices are put back afterwards.
void DrawWidgets(Canvas2D* canvas) {
    OpenGLRenderDevice* device = RenderDevice();
    Overlay2DState& overlay = Overlay2D();
    const Matrix34 keptMatrix = overlay.matrix2D;
    overlay.matrix2D = RenderValues().view2D;
    overlay.textScale = kMenuTextScale;
    Overlay().Draw(canvas, 0);
    overlay.textScale = kTextScaleBetween;
    overlay.matrix2D = keptMatrix;
    device->SetWorldMatrix(kIdentityMatrix34);
    device->SetViewMatrix(RenderValues().view2D);
}

void DrawLogo(const GameFlowState& state, Canvas2D* canvas, bool maker) {
    OpenGLRenderDevice* device = RenderDevice();
    SetCombinePreset(1);
    device->SetClearColor(Color{0.0f, 0.0f, 0.0f, 1.0f});
    device->SetBlendEnable(1);
    SetTextureCombine(kTextureTimesVertex, kTextureTimesVertex);
    const auto h0 = static_cast<float>(UiScreenSize().cy);
    if (maker) {
        if (state.stateTime > kLogoDelay) DrawPicture(canvas, 208.0f, std::floor(h0 / 2.0f) - 125.0f, 384.0f, 250.0f, "ui/halvorn.dds");
    } else {
        DrawPicture(canvas, 133.5f, std::floor(h0 / 2.0f) - 160.0f, 533.0f, 320.0f, "gfx/studiomark.dds");
    }
}

void DrawTitle(const GameFlowState& state, Canvas2D* canvas, std::uint32_t width, std::uint32_t height) {
    OpenGLRenderDevice* device = RenderDevice();
    const auto w = static_cast<float>(width);
    const auto h = static_cast<float>(height);
    device->SetClearColor(Color{0.0f, 0.0f, 0.0f, 1.0f});
    device->SetBlendEnable(1);
    SetTextureCombine(kTextureTimesVertex, kTextureTimesVertex);
    SetBrushTint(1.0f, 1.0f, 1.0f, TitlePictureAlpha(state.stateTime));
    DrawPicture(canvas, 0.0f, 0.0f, w, h, "gfx/splash2.dds");
    SetBrushColours(kOpaqueWhite);
    const float prompt = TitlePromptAlpha(state.stateTime);
    Overlay2D().textScale = w / 480.0f;
    DrawKeyedText(canvas, 0.52f * w, 0.65f * h, "MENU_TOUCH_TO_START", RgbWithAlpha(0.2f, 0.2f, 0.2f, prompt),
                  kAlignCentre, 0.75f);
    DrawKeyedText(canvas, 0.52f * w - 2.0f, 0.65f * h - 2.0f, "MENU_TOUCH_TO_START", WhiteWithAlpha(prompt),
                  kAlignCentre, 0.75f);
    Overlay2D().textScale = kTextScaleBetween;
}

}  // namespace

void DrawPicture(Canvas2D* canvas, float x, float y, float width, float height, const char* name) {
    Interface* texture = Picture(name);
    if (texture == nullptr) return;
    DrawBrushQuad(canvas, x, y, width, height, &RenderValues().loadingBrush, texture);
}

void ReleaseFramePictures() {
    for (auto& [name, texture] : Pictures())
        if (texture != nullptr) ResourceCache::ReleaseTexture(texture);
    Pictures().clear();
}

bool LoadLoadingIcon() {
    Brush& brush = RenderValues().loadingBrush;
    return LoadTextureHandle(brush, "ui/loading.dds", 0) != 0;
}

void DrawStatePartOne(const GameFlowState& state, Canvas2D* canvas) {
    OpenGLRenderDevice* device = RenderDevice();
    switch (state.screenState) {
        case kScreenStartupMenu:
            device->SetClearColor(Color{0.0f, 0.0f, 0.0f, 1.0f});
            DrawWidgets(canvas);
            break;
        case kScreenMakerLogo:
            DrawLogo(state, canvas, true);
            break;
        case kScreenStudioLogo:
            DrawLogo(state, canvas, false);
            break;
        case kScreenMenus:
        case kScreenPauseMenu: {
            DrawWidgets(canvas);
            if (state.languageChanged == 0) break;
            const SIZE screen = UiScreenSize();
            DrawPicture(canvas, 0.0f, 0.0f, static_cast<float>(screen.cx), static_cast<float>(screen.cy), "ui/menubg.dds");
            DrawKeyedText(canvas, 208.0f, 220.0f, "MENU_NOW_LOADING", kOpaqueBlack, kAlignCentre, 1.5f);
            break;
        }
        default:
            break;
    }
}

void DrawStatePartTwo(const GameFlowState& state, Canvas2D* canvas, std::uint32_t width, std::uint32_t height) {
    HudDrawing& hud = GetHudDrawing();
    switch (state.screenState) {
        case kScreenLoading:
            DrawLoadingText(canvas, width, height, LoadingTextAlpha(state.stateTime));
            break;
        case kScreenTitle:
            DrawTitle(state, canvas, width, height);
            break;
        case kScreenLevelLoading:
            DrawSpinningIcon(canvas, state.loadingValue);
            DrawLoadingText(canvas, width, height, LoadingTextAlpha(state.stateTime));
            break;
        case kScreenIntroComic:
            hud.DrawIntroPage(state.comicTimer);
            hud.DrawPauseButton();
            hud.Flush();
            break;
        case kScreenOutroComic:
            hud.DrawOutroPage(state.comicTimer);
            break;
        case kScreenPlay:
            if (state.stateTime < kPlayFadeSeconds) {
                if (state.previousScreenState == kScreenLevelLoading) {
                    SetBrushTint(1.0f, 1.0f, 1.0f, 1.0f - 2.0f * state.stateTime);
                    DrawPicture(canvas, 160.0f, 0.0f, 480.0f, 480.0f, "ui/loading.dds");
                }
                SetBrushColours(kOpaqueBlack);
            } else if (IngameController* controller = GetController()) {
                DrawPlayOverlay(*controller, hud, canvas, width, height);
            }
            break;
        case kScreenLeavePlay:
            if (state.leaveKind == 1) DrawSpinningIcon(canvas, state.loadingValue);
            SetCombinePreset(1);
            DrawLoadingText(canvas, width, height, std::fmin(state.stateTime, 1.0f));
            break;
        default:
            break;
    }
}
