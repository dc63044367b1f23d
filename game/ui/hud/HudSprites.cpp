// The HUD's sprite batch and the quads it draws at once: icons by id, frames, the banner
// strip, award and medal icons.
#include <cmath>

#include "engine/core/math/VectorMath.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/resources/texture/TextureHandle.h"
#include "game/ui/hud/Hud.h"

namespace {

// The 2D layer's drawing mode of a plain textured quad, and the device preset it sends.
constexpr int kPlainTexturedMode = 1;
constexpr DWORD kPlainTexturedPreset = 0;

enum IconFlip : std::uint8_t { kFlipNone, kFlipUpsideDown, kFlipMirrored };

struct IconCell {
    std::int16_t x, y, w, h;  // atlas pixels; w 0: no icon
    std::int16_t baseW, baseH;
    IconFlip flip;
};

constexpr IconCell kIcons[] = {
    {0, 0, 64, 64, 32, 32, kFlipNone},          // 0 look mode: up
    {0, 0, 64, 64, 32, 32, kFlipUpsideDown},    // 1 look mode: down
    {64, 0, 64, 64, 32, 32, kFlipMirrored},     // 2 look mode: left
    {64, 0, 64, 64, 32, 32, kFlipNone},         // 3 look mode: right
    {0, 385, 64, 64, 32, 32, kFlipNone},        // 4-8 direction buttons
    {64, 385, 64, 64, 32, 32, kFlipNone},
    {128, 385, 64, 64, 32, 32, kFlipNone},
    {192, 385, 64, 64, 32, 32, kFlipNone},
    {256, 385, 64, 64, 32, 32, kFlipNone},
    {0, 449, 64, 64, 32, 32, kFlipNone},        // 9-13 pressed
    {64, 449, 64, 64, 32, 32, kFlipNone},
    {128, 449, 64, 64, 32, 32, kFlipNone},
    {192, 449, 64, 64, 32, 32, kFlipNone},
    {256, 449, 64, 64, 32, 32, kFlipNone},
    {256, 0, 64, 64, 32, 32, kFlipNone},        // 14
    {448, 0, 64, 64, 32, 32, kFlipNone},        // 15
    {384, 0, 64, 64, 32, 32, kFlipNone},        // 16
    {320, 0, 64, 64, 32, 32, kFlipNone},        // 17
    {128, 0, 32, 32, 16, 16, kFlipNone},        // 18-21 pips
    {160, 0, 32, 32, 16, 16, kFlipNone},
    {128, 32, 32, 32, 16, 16, kFlipNone},
    {160, 32, 32, 32, 16, 16, kFlipNone},
    {0, 0, 0, 0, 0, 0, kFlipNone},              // 22: none
    {368, 192, 64, 64, 32, 32, kFlipNone},      // 23
    {448, 192, 64, 64, 32, 32, kFlipNone},      // 24
    {129, 256, 128, 128, 64, 64, kFlipNone},    // 25
    {383, 256, 128, 128, 64, 64, kFlipNone},    // 26
    {257, 256, 128, 128, 64, 64, kFlipNone},    // 27
    {383, 384, 128, 128, 64, 64, kFlipNone},    // 28
    {384, 64, 64, 64, 32, 32, kFlipNone},       // 29
    {2, 192, 148, 64, 74, 32, kFlipNone},       // 30
    {262, 142, 118, 48, 59, 24, kFlipNone},     // 31
    {0, 194, 148, 64, 74, 32, kFlipNone},       // 32
    {156, 132, 148, 64, 74, 32, kFlipNone},     // 33
    {0, 132, 148, 64, 74, 32, kFlipNone},       // 34
    {320, 384, 64, 64, 32, 32, kFlipNone},      // 35
    {0, 256, 128, 128, 64, 64, kFlipNone},      // 36
    {328, 94, 44, 104, 22, 52, kFlipNone},      // 37
};
constexpr std::int32_t kIconCount = static_cast<std::int32_t>(sizeof kIcons / sizeof kIcons[0]);

// The awards atlas: 4 x 4 cells of 128 pixels; (column, row) of each award icon.
struct AwardCell {
    std::uint8_t column, row;
};
constexpr AwardCell kAwardCells[] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {1, 2}, {1, 1}, {2, 1}, {3, 1},
                                     {0, 2}, {1, 3}, {2, 3}, {0, 3}, {3, 3}, {0, 1}, {2, 2}};
constexpr std::int32_t kAwardIconCount = static_cast<std::int32_t>(sizeof kAwardCells / sizeof kAwardCells[0]);

void SetVertexColour(ImmediateVertex& vertex, DWORD argb) {
    vertex.colour[0] = static_cast<std::uint8_t>(argb >> 16);
    vertex.colour[1] = static_cast<std::uint8_t>(argb >> 8);
    vertex.colour[2] = static_cast<std::uint8_t>(argb);
    vertex.colour[3] = static_cast<std::uint8_t>(argb >> 24);
}

// The brush's corners for a cell of a square atlas of `size` pixels.
void SetCell(Brush& brush, float left, float top, float right, float bottom, float size) {
    const float l = left / size;
    const float t = top / size;
    const float r = right / size;
    const float b = bottom / size;
    const float corners[8] = {l, t, r, t, r, b, l, b};
    for (int i = 0; i < 8; ++i) brush.corners[i] = corners[i];
}

}  // namespace

void Hud::SetAtlasCell(float left, float top, float right, float bottom) {
    SetCell(brushes[kHudBrushAtlas], left, top, right, bottom, kHudAtlasSize);
}

void Hud::DrawHudSprite(float x, float y, float w, float h) {
    Brush& brush = brushes[kHudBrushAtlas];
    if (vertexCount + 4 <= kHudBatchVertices) {
        const Overlay2DState& state = Overlay2D();
        const float ox = canvas != nullptr ? canvas->offsetX : 0.0f;
        const float oy = canvas != nullptr ? canvas->offsetY : 0.0f;
        const float sx = canvas != nullptr ? canvas->scaleX : 1.0f;
        const float sy = canvas != nullptr ? canvas->scaleY : 1.0f;
        const float left = RoundHalfAway((x + ox) * sx + static_cast<float>(state.screenOriginX));
        const float top = RoundHalfAway((y + oy) * sy + static_cast<float>(state.screenOriginY));
        const float width = RoundHalfAway(sx * w);
        const float height = RoundHalfAway(sy * h);
        const float xs[4] = {left, left + width, left + width, left};
        const float ys[4] = {top, top, top + height, top + height};
        const bool cornerColours = (brush.flags & kBrushCornerColours) != 0;
        for (int i = 0; i < 4; ++i) {
            ImmediateVertex& vertex = vertices[vertexCount + i];
            vertex = ImmediateVertex{};
            vertex.position = Vector3{xs[i], ys[i], 0.0f};
            vertex.u = brush.corners[i * 2];
            vertex.v = brush.corners[i * 2 + 1];
            SetVertexColour(vertex, cornerColours ? brush.colours[i] : brush.colours[0]);
        }
        vertexCount += 4;
    }
    // A reduced opacity never leaks into the next sprite.
    brush.SetAlpha(1.0f);
}

void Hud::DrawAtlasSprite(float left, float top, float right, float bottom, float x, float y, float w, float h,
                          float spriteAlpha) {
    SetAtlasCell(left, top, right, bottom);
    if (spriteAlpha < 1.0f) brushes[kHudBrushAtlas].SetAlpha(spriteAlpha);
    DrawHudSprite(x, y, w, h);
}

bool Hud::DrawIcon(std::int32_t id, float x, float y, bool centred, float scale, float iconAlpha) {
    if (id < 0 || id >= kIconCount || kIcons[id].w == 0) return false;
    const IconCell& cell = kIcons[id];
    Brush& brush = brushes[kHudBrushAtlas];
    if (iconAlpha < 1.0f) brush.SetAlpha(iconAlpha);
    float left = cell.x;
    float right = cell.x + cell.w;
    float top = cell.y;
    float bottom = cell.y + cell.h;
    if (cell.flip == kFlipMirrored) std::swap(left, right);
    if (cell.flip == kFlipUpsideDown) std::swap(top, bottom);
    SetAtlasCell(left, top, right, bottom);
    const float w = cell.baseW * scale;
    const float h = cell.baseH * scale;
    if (centred)
        DrawHudSprite(x - w * 0.5f, y - h * 0.5f, w, h);
    else
        DrawHudSprite(x, y, w, h);
    return true;
}

void Hud::Flush() {
    OpenGLRenderDevice* device = RenderDevice();
    if (device == nullptr) return;
    Overlay2DState& state = Overlay2D();
    if (state.drawingMode != kPlainTexturedMode) {
        device->SetTextureMode(kPlainTexturedPreset);
        state.drawingMode = kPlainTexturedMode;
    }
    const Brush& atlas = brushes[kHudBrushAtlas];
    // Without its texture the batch still draws, in the sprites' colours.
    if ((atlas.flags & kBrushTextured) != 0) device->SetTexture(TextureDataOf(atlas.texture), 0, 0);
    if (vertexCount >= 4) device->DrawPrimitives(kDrawQuads, vertexCount / 4, vertices);
}

void Hud::DrawFrameQuad(float x, float y, float w, float h, float frameAlpha) {
    Brush& frame = brushes[kHudBrushFrame];
    frame.SetAlpha(frameAlpha);
    DrawQuad(canvas, x - w * 0.5f, y - h * 0.5f, w, h, &frame, 0.0f);
    frame.SetAlpha(1.0f);
}

void Hud::DrawBanner(float x, float y, bool tall) {
    const float bottom = tall ? 128.0f : 78.0f;
    SetAtlasCell(0.0f, 64.0f, 320.0f, bottom);
    DrawQuad(canvas, x - 160.0f, y, 320.0f, bottom - 64.0f, &brushes[kHudBrushAtlas], 0.0f);
}

void Hud::DrawAwardIcon(std::int32_t icon, float x, float y, float scale) {
    if (icon < 0 || icon >= kAwardIconCount) return;
    const AwardCell cell = kAwardCells[icon];
    Brush& awards = brushes[kHudBrushAwards];
    const float left = cell.column * 128.0f;
    const float top = cell.row * 128.0f;
    SetCell(awards, left, top, left + 128.0f, top + 128.0f, kHudAtlasSize);
    const float size = 64.0f * scale;
    DrawQuad(canvas, x - size * 0.5f, y - size * 0.5f, size, size, &awards, 0.0f);
}

void Hud::DrawMedalIcon(std::int32_t medal, float x, float y, float scale) {
    Brush* brush = nullptr;
    float top = 0.0f;
    switch (medal) {
        case 1: brush = &brushes[kHudBrushAtlas]; top = 0.0f; break;
        case 2: brush = &brushes[kHudBrushMenu]; top = 384.0f; break;
        case 3: brush = &brushes[kHudBrushMenu]; top = 256.0f; break;
        case 4: brush = &brushes[kHudBrushMenu]; top = 128.0f; break;
        default: return;
    }
    SetCell(*brush, 384.0f, top, 512.0f, top + 128.0f, kHudAtlasSize);
    const float size = 64.0f * scale;
    DrawQuad(canvas, x - size * 0.5f, y - size * 0.5f, size, size, brush, 0.0f);
}
