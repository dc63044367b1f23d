// The plain frame of the HUD's stand-in.
#include "game/flow/interfaces/HudDrawing.h"

#include "engine/overlay/canvas/Brush.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/widgets/OverlayLayer.h"

namespace {

// A dark blue-grey box, three quarters opaque at full alpha.
constexpr DWORD kFrameColour = 0x00202838;
constexpr float kFrameOpacity = 0.75f;

}  // namespace

void HudDrawing::DrawFrameQuad(float x, float y, float width, float height, float alpha) {
    Brush brush;
    brush.colours[0] = kFrameColour;
    brush.SetAlpha(alpha * kFrameOpacity);
    // Untextured: the box is drawn in its colour alone.
    DrawQuad(OverlayCanvas(), x - width * 0.5f, y - height * 0.5f, width, height, &brush, 0.0f);
}
