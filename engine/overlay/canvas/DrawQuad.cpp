// Brush quads: placement on the canvas, the texture-combine modes, plain and turned quads,
// and nine-slice boxes.
#include <cmath>

#include "engine/core/math/VectorMath.h"
#include "engine/overlay/canvas/Brush.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/render/TextureData.h"

namespace {

// The device's combine preset of each drawing mode 1 to 6.
constexpr DWORD kModePresets[7] = {0, 0, 1, 2, 5, 6, 4};
constexpr int kModeNineSliceOrTurned = 6;
constexpr float kRadiansPerDegree = 0.017453292f;

// Sends the mode's preset unless it is the one last sent; mode 6 is always sent.
void UseMode(OpenGLRenderDevice& device, int mode) {
    Overlay2DState& state = Overlay2D();
    if (state.drawingMode == mode && mode != kModeNineSliceOrTurned) return;
    device.SetTextureMode(kModePresets[mode]);
    state.drawingMode = mode;
}

struct ScreenRect {
    float x, y, width, height;
};

// Canvas units to whole screen pixels.
ScreenRect Place(const Canvas2D& canvas, float x, float y, float width, float height) {
    const Overlay2DState& state = Overlay2D();
    return ScreenRect{RoundHalfAway((canvas.offsetX + x) * canvas.scaleX + static_cast<float>(state.screenOriginX)),
                      RoundHalfAway((canvas.offsetY + y) * canvas.scaleY + static_cast<float>(state.screenOriginY)),
                      RoundHalfAway(canvas.scaleX * width), RoundHalfAway(canvas.scaleY * height)};
}

// ARGB to the device's R, G, B, A bytes.
void SetColour(ImmediateVertex& vertex, DWORD argb) {
    vertex.colour[0] = static_cast<std::uint8_t>(argb >> 16);
    vertex.colour[1] = static_cast<std::uint8_t>(argb >> 8);
    vertex.colour[2] = static_cast<std::uint8_t>(argb);
    vertex.colour[3] = static_cast<std::uint8_t>(argb >> 24);
}

// The quad's corners top-left, top-right, bottom-right, bottom-left with the brush's colours
// and, when `textured`, its corner coordinates (u exchanged left and right when mirrored).
void BuildQuad(ImmediateVertex (&quad)[4], const ScreenRect& rect, const Brush& brush, bool textured, bool mirrored) {
    const float xs[4] = {rect.x, rect.x + rect.width, rect.x + rect.width, rect.x};
    const float ys[4] = {rect.y, rect.y, rect.y + rect.height, rect.y + rect.height};
    static constexpr int kMirrorOf[4] = {1, 0, 3, 2};
    for (int i = 0; i < 4; ++i) {
        quad[i] = ImmediateVertex{};
        quad[i].position = Vector3{xs[i], ys[i], 0.0f};
        SetColour(quad[i], (brush.flags & kBrushCornerColours) != 0 ? brush.colours[i] : brush.colours[0]);
        if (!textured) continue;
        const int u = mirrored ? kMirrorOf[i] : i;
        quad[i].u = brush.corners[u * 2];
        quad[i].v = brush.corners[i * 2 + 1];
    }
}

void DrawPerView(OpenGLRenderDevice& device, const Canvas2D& canvas, const ImmediateVertex (&quad)[4]) {
    for (std::uint32_t view = 0; view < canvas.viewCount; ++view) device.DrawPrimitives(kDrawFan, 2, quad);
}

// Border widths scaled to fit a length: when the fixed parts reach it, all shrink together.
float ShrinkFactor(float fixed, float length) { return fixed > 0.0f ? length / fixed : 0.0f; }

void DrawNineSlice(OpenGLRenderDevice& device, const ScreenRect& rect, const Brush& brush, TextureData* texture) {
    const float textureWidth = texture != nullptr ? static_cast<float>(texture->Width()) : 0.0f;
    const float textureHeight = texture != nullptr ? static_cast<float>(texture->Height()) : 0.0f;
    const float* fraction = brush.corners;  // left, top, right, bottom
    // Horizontally: borders wider than the quad shrink together and leave no middle column.
    float left = fraction[0] * textureWidth;
    const float right = fraction[2] * textureWidth;
    float middleX = rect.width - left - right;
    if (left + right >= rect.width) {
        left *= ShrinkFactor(left + right, rect.width);
        middleX = 0.0f;
    }
    // Vertically: when the texture's whole height reaches the quad's, all three rows shrink
    // by it, the middle row included.
    float top = fraction[1] * textureHeight;
    const float bottom = fraction[3] * textureHeight;
    const float textureMiddle = (1.0f - fraction[1] - fraction[3]) * textureHeight;
    float middleY = rect.height - top - bottom;
    if (top + textureMiddle + bottom >= rect.height) {
        const float factor = ShrinkFactor(top + textureMiddle + bottom, rect.height);
        top *= factor;
        middleY = textureMiddle * factor;
    }
    float xs[4] = {0.0f, left, left + middleX, rect.width};
    const float ys[4] = {0.0f, top, top + middleY, rect.height};
    if ((brush.flags & kBrushMirror) != 0) {
        for (float& x : xs) x = rect.width - x;
    }
    const float us[4] = {0.0f, fraction[0], 1.0f - fraction[2], 1.0f};
    const float vs[4] = {0.0f, fraction[1], 1.0f - fraction[3], 1.0f};
    ImmediateVertex grid[16];
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            ImmediateVertex& vertex = grid[row * 4 + column];
            vertex = ImmediateVertex{};
            vertex.position = Vector3{rect.x + xs[column], rect.y + ys[row], 0.0f};
            SetColour(vertex, brush.colours[0]);
            vertex.u = us[column];
            vertex.v = vs[row];
        }
    }
    std::uint16_t indices[54];
    int at = 0;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const auto a = static_cast<std::uint16_t>(row * 4 + column);
            const std::uint16_t cell[6] = {a, static_cast<std::uint16_t>(a + 4), static_cast<std::uint16_t>(a + 5),
                                           a, static_cast<std::uint16_t>(a + 5), static_cast<std::uint16_t>(a + 1)};
            for (std::uint16_t index : cell) indices[at++] = index;
        }
    }
    device.SetTexture(texture, 0, 0);
    if ((brush.flags & kBrushKeepCombine) == 0) {
        const bool combineB = (brush.flags & kBrushCombineB) != 0;
        UseMode(device, combineB ? ((brush.flags & kBrushCombineA) != 0 ? 4 : 2) : kModeNineSliceOrTurned);
    }
    device.DrawIndexedPrimitives(kDrawTriangles, 18, 0, 16, grid, indices);
}

}  // namespace

void DrawBrushQuad(Canvas2D* canvas, float x, float y, float width, float height, const Brush* brush,
                   Interface* texture) {
    OpenGLRenderDevice* device = RenderDevice();
    if (canvas == nullptr || brush == nullptr || device == nullptr) return;
    if (texture != nullptr) device->SetTexture(TextureDataOf(texture), 0, 0);
    UseMode(*device, (brush->flags & kBrushCombineB) != 0 ? 2 : (brush->flags & kBrushCombineA) != 0 ? 5 : 1);
    ImmediateVertex quad[4];
    BuildQuad(quad, Place(*canvas, x, y, width, height), *brush, true, false);
    DrawPerView(*device, *canvas, quad);
}

void DrawQuad(Canvas2D* canvas, float x, float y, float width, float height, const Brush* brush, float angle) {
    OpenGLRenderDevice* device = RenderDevice();
    if (canvas == nullptr || brush == nullptr || device == nullptr) return;
    const ScreenRect rect = Place(*canvas, x, y, width, height);
    const bool textured = (brush->flags & kBrushTextured) != 0;
    if ((brush->flags & kBrushNineSlice) != 0 && brush->texture != nullptr) {
        DrawNineSlice(*device, rect, *brush, TextureDataOf(brush->texture));
        return;
    }
    if (textured) device->SetTexture(TextureDataOf(brush->texture), 0, 0);
    if ((brush->flags & kBrushKeepCombine) == 0) {
        int mode = 3;
        if (textured) {
            const bool a = (brush->flags & kBrushCombineA) != 0;
            const bool b = (brush->flags & kBrushCombineB) != 0;
            mode = a && b ? 4 : b ? 2 : a ? kModeNineSliceOrTurned : 1;
        }
        UseMode(*device, mode);
    }
    ImmediateVertex quad[4];
    BuildQuad(quad, rect, *brush, textured, (brush->flags & kBrushMirror) != 0);
    if (angle != 0.0f) {
        const float centreX = rect.x + rect.width * 0.5f;
        const float centreY = rect.y + rect.height * 0.5f;
        float sine = 0.0f;
        float cosine = 1.0f;
        SinCos(angle * kRadiansPerDegree, sine, cosine);
        for (ImmediateVertex& vertex : quad) {
            const float dx = vertex.position.x - centreX;
            const float dy = vertex.position.y - centreY;
            vertex.position.x = centreX + cosine * dx - sine * dy;
            vertex.position.y = centreY + sine * dx + cosine * dy;
        }
    }
    DrawPerView(*device, *canvas, quad);
}
