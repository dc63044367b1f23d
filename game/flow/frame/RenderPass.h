// RenderPass: one frame of the game. The game lays out a landscape screen of 800 x 480
// pixels while the handset's display is portrait: the frame turns the one into the other,
// eases the display rotation toward its target, draws the play scene while a level runs,
// then the 2D layer of the screen state in two parts (the widget tree and logos under the
// rotation, then loading texts, the title, comics and the play overlay under a quarter-turn
// view), and presents.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "engine/overlay/canvas/Brush.h"
#include "platform/base/Types.h"

struct GameFlowState;
class IngameController;
class Canvas2D;

// The values the frame keeps from one frame to the next; one instance for the program.
struct RenderPassValues {
    std::int32_t rotationTarget = 90;  // degrees; the angle eases toward it
    float rotationAngle = 90.0f;       // the eased angle, kept in [0, 360)
    Matrix34 view2D = kIdentityMatrix34;
    std::uint32_t viewportWidth = 480;  // the viewport as read back after this frame set it
    std::uint32_t viewportHeight = 800;
    // Every picture of the frame is drawn through it; its corner colours carry tint and fade,
    // its own texture is the loading icon once level loading has begun.
    Brush loadingBrush;

    RenderPassValues();
};

RenderPassValues& RenderValues();
// Back to the values of a fresh start, the loading icon given back (tests, shutdown).
void ResetRenderValues();

// What the frame needs of the application beyond the flow's state.
struct FrameConditions {
    bool deviceExists = false;
    bool shellStarted = false;
    bool applicationActive = false;
};

// The frame is drawn only when no state change is pending, a device exists, the power is on,
// the shell has started and the application is active.
bool MayDrawFrame(const GameFlowState& state, const FrameConditions& conditions);

// One step of the rotation easing: a fifth of the signed shortest difference toward the
// target, the result wrapped into [0, 360).
float EaseRotation(float angle, std::int32_t target);
// The display rotation shown for an eased angle: rounded half away from zero, 360 as 0.
std::int32_t ShownRotation(float angle);

// The 2D view: T(vw/2, vh/2) x Rz(degrees) x T(-scale w0/2, -scale h0/2), halves whole.
Matrix34 MakeView2D(float degrees, float scale, std::uint32_t w0, std::uint32_t h0, std::uint32_t vw,
                    std::uint32_t vh);

// The quarter-turn view of the second 2D part for an angle `a` in [0, 360), with the 2D
// screen it lays out on.
struct QuarterTurn {
    Matrix34 view;
    std::uint32_t width;
    std::uint32_t height;
};
QuarterTurn QuarterTurnView(std::int32_t a, std::uint32_t vw, std::uint32_t vh);

// The game's 800 x 480 area centred in a surface of sw x sh: landscape for an odd quarter
// turn of the surface, portrait for an even one.
struct ScreenArea {
    std::int32_t x, y, width, height;
};
ScreenArea GameArea(std::int32_t sw, std::int32_t sh, std::uint32_t rotationIndex);

// Alpha of the loading text in states 5 and 8: full for a second, then pulsing down to 0.5
// and back every two seconds.
float LoadingTextAlpha(float stateTime);
// Alpha of the title picture (fades in over a second) and of its prompt (pulses, period 2 s).
float TitlePictureAlpha(float stateTime);
float TitlePromptAlpha(float stateTime);

// One frame; always 0.
DWORD RenderFrame(const GameFlowState& state, const FrameConditions& conditions, IngameController* controller);

// The 2D layer of each state, before and after the quarter turn (RenderPass_states.cpp).
void DrawStatePartOne(const GameFlowState& state, Canvas2D* canvas);
void DrawStatePartTwo(const GameFlowState& state, Canvas2D* canvas, std::uint32_t width, std::uint32_t height);

// A texture-combine preset, or the stage's operations, set on the device directly; the 2D
// layer's remembered mode is forgotten, so that its next quad sends its own again.
void SetCombinePreset(DWORD preset);
void SetTextureCombine(DWORD colourOperation, DWORD alphaOperation);

// A picture by name, drawn through the loading brush; nothing when it cannot be loaded.
// Pictures stay loaded until ReleaseFramePictures.
void DrawPicture(Canvas2D* canvas, float x, float y, float width, float height, const char* name);
void ReleaseFramePictures();
// Gives the loading brush the loading icon as its texture: false when it is missing.
bool LoadLoadingIcon();
