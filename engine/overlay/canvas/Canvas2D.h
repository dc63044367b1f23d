// Canvas2D: the 2D drawing context (origin offset, scale, views), and the 2D layer's global
// state: the integer screen origin, the cached texture-combine mode, the text transform and
// scale, the reversed-lines flag, the display rotation and the 2D screen size.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "engine/core/memory/EngineMemory.h"
#include "platform/base/Types.h"

constexpr int kCanvasViewCapacity = 64;

struct CanvasRect {
    float left, top, right, bottom;
};

class Canvas2D : public EngineAllocated {
public:
    // The shared quad geometry and the shared glyph run, the scale, no views, and the clip
    // rectangle from the render device's viewport.
    void Init();
    // One view: the whole 2D screen; the view is set.
    void ResetView();
    // With the viewport (vw, vh), the 2D screen (sw, sh) and s = |sin r| for the display
    // rotation r: a = min(vh/sh, vw/sw), b = min(vw/sh, vh/sw), scale = (1 - s) a + s b.
    // Without a viewport or a screen size the scale stays.
    void UpdateScale();
    // The render device's overlay bracket; End forgets the views.
    void Begin();
    void End();

    DWORD reserved0 = 0;
    float offsetX = 0.0f;  // added to every coordinate: the drawn widget's absolute position
    float offsetY = 0.0f;
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    CanvasRect clip{};
    CanvasRect views[kCanvasViewCapacity] = {};
    std::uint32_t viewCount = 0;  // every quad is drawn once per view
    DWORD reserved1 = 0;
    DWORD viewSet = 0;
};

struct Overlay2DState {
    std::int32_t screenOriginX = 0;  // pixels added to every 2D position
    std::int32_t screenOriginY = 0;
    std::int32_t drawingMode = 0;  // the texture-combine mode last sent; 0: none known
    Matrix34 textTransform = kIdentityMatrix34;
    Matrix34 matrix2D = kIdentityMatrix34;  // the world matrix the 2D drawing starts from
    float textScale = 1.0f;                 // multiplies every text's scale
    DWORD reversedLines = 0;                // text blocks run from the last line (right to left)
    std::int32_t displayRotation = 0;       // degrees
    std::uint32_t rotationIndex = 0;        // quarter turns of the display surface
    std::uint32_t screenWidth = 800;        // the 2D screen the pages are laid out on
    std::uint32_t screenHeight = 480;
};

Overlay2DState& Overlay2D();
// Back to the state of a fresh start (tests).
void ResetOverlay2D();

// Render state for 2D drawing: combine preset 0, the 2D matrix as world matrix, the identity
// as view matrix, culling and depth off; the cached mode becomes 6.
void BeginOverlayDraw(Canvas2D* canvas);
