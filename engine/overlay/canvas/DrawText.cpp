// Text: placing a glyph run by the alignment and turn flags, and drawing it as one batch
// through the ring of vertex buffers.
#include <algorithm>
#include <cstring>

#include "engine/core/math/ColorMath.h"
#include "engine/core/math/MatrixMath.h"
#include "engine/core/math/VectorMath.h"
#include "engine/core/text/EngineString.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/canvas/QuadBuffers.h"
#include "engine/overlay/text/GlyphRun.h"
#include "engine/overlay/text/TextRef.h"
#include "engine/overlay/text/TextTable.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/render/VertexBuffer.h"
#include "engine/resources/font/BitmapFont.h"

namespace {

constexpr float kRadiansPerDegree = 0.017453292f;
// Texture stage operation: the texture times the constant colour, for colour and alpha.
constexpr DWORD kTextureTimesConstant = 5;
constexpr Color kWhite{1.0f, 1.0f, 1.0f, 1.0f};

// The text transform for a run `width` x `height` font pixels drawn at (x, y) with the flags.
void PlaceText(const Canvas2D* canvas, float x, float y, float width, float height, DWORD flags, float scale) {
    if ((flags & kTextRoundPosition) != 0) {
        x = RoundHalfAway(x);
        y = RoundHalfAway(y);
    }
    float h = 0.0f;
    if ((flags & kTextRight) != 0)
        h = width * scale;
    else if ((flags & kTextCentre) != 0)
        h = width * scale * 0.5f;
    float v = 0.0f;
    if ((flags & kTextMiddle) != 0)
        v = height * scale * 0.5f;
    else if ((flags & kTextBottom) != 0)
        v = height * scale;
    h = RoundHalfAway(h);
    v = RoundHalfAway(v);
    const Overlay2DState& state = Overlay2D();
    x += static_cast<float>(state.screenOriginX) + (canvas != nullptr ? canvas->offsetX : 0.0f);
    y += static_cast<float>(state.screenOriginY) + (canvas != nullptr ? canvas->offsetY : 0.0f);
    float angle = 0.0f;
    if ((flags & kTextTurn90) != 0) {
        angle = 90.0f;
        x -= v;
        y -= h;
    } else if ((flags & kTextTurn180) != 0) {
        angle = 180.0f;
        x += h;
        y += v;
    } else if ((flags & kTextTurnMinus90) != 0) {
        angle = -90.0f;
        x += v;
        y += h;
    } else {
        x -= h;
        y -= v;
    }
    Matrix34 turn;
    Matrix34FromEuler(Vector3{0.0f, 0.0f, angle * kRadiansPerDegree}, turn);
    Matrix34 transform = turn;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) transform.m[row][column] = turn.m[row][column] * scale;
    transform.m[0][3] = x;
    transform.m[1][3] = y;
    transform.m[2][3] = 0.0f;
    Overlay2D().textTransform = transform;
}

void PlaceAndDraw(const Canvas2D* canvas, float x, float y, const GlyphRun& run, DWORD colour, DWORD flags,
                  float scale) {
    const float effective = Overlay2D().textScale * scale;
    PlaceText(canvas, x, y, run.width, run.lineHeight, flags, effective);
    DrawGlyphBatch(run, run.count, colour);
}

}  // namespace

void DrawGlyphBatch(const GlyphRun& run, std::uint32_t count, DWORD colour) {
    OpenGLRenderDevice* device = RenderDevice();
    const std::uint32_t n = std::min({count, run.count, kSharedRunGlyphs});
    if (device == nullptr || n == 0 || run.quads == nullptr || !HasQuadBuffers()) return;
    VertexBuffer* vertices = NextQuadVertexBuffer();
    auto* staging = static_cast<std::uint8_t*>(vertices->Lock());
    if (staging == nullptr) return;
    std::memcpy(staging, run.quads, std::size_t{n} * 4 * sizeof(ImmediateVertex));
    vertices->Unlock();

    Interface* page = run.font != nullptr ? run.font->Page().texture : nullptr;
    device->SetTexture(TextureDataOf(page != nullptr ? page : MissingGlyphTexture()), 0, 0);
    Color tint;
    ColorFromARGB(colour, tint);
    device->SetTextureConstantColour(tint, 0);
    device->SetTextureStageOps(kTextureTimesConstant, kTextureTimesConstant, 0);
    // The stage operations changed behind the quads' mode cache: the next quad sends its mode.
    Overlay2D().drawingMode = 0;

    const Matrix34 world = device->GetWorldMatrix();
    Matrix34 placed;
    Matrix34Multiply(world, Overlay2D().textTransform, placed);
    device->SetWorldMatrix(placed);
    device->DrawBuffers(kDrawTriangles, 2 * n, 0, 4 * n, vertices, QuadIndexBuffer());
    device->SetWorldMatrix(world);
    device->SetTextureConstantColour(kWhite, 0);
}

void DrawText(Canvas2D* canvas, float x, float y, const TextRef& text, BitmapFont* font, DWORD colour, DWORD flags,
              float scale) {
    GlyphRun* run = SharedGlyphRun();
    if (run == nullptr || FillGlyphRun(*run, text, font) == 0) return;
    PlaceAndDraw(canvas, x, y, *run, colour, flags, scale);
}

void DrawTextRef(Canvas2D* canvas, float x, float y, const TextRef& text, DWORD colour, DWORD flags, float scale) {
    if (text.text == nullptr && text.key != nullptr) {
        if (const GlyphRun* run = FindTextGlyphRun(text.key->Text())) {
            PlaceAndDraw(canvas, x, y, *run, colour, flags, scale);
            return;
        }
    }
    DrawText(canvas, x, y, text, nullptr, colour, flags, scale);
}

void DrawTextRefWhite(Canvas2D* canvas, float x, float y, const TextRef& text, DWORD flags, float scale) {
    DrawTextRef(canvas, x, y, text, 0xFFFFFFFF, flags, scale);
}
