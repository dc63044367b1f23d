// Drawing the glow sprites of the objects and the fireflies: camera-facing quads added onto
// the frame, pulsing with the game's time.
#include <cmath>
#include <optional>

#include "engine/core/containers/KDLList.h"
#include "engine/core/math/VectorMath.h"
#include "engine/core/node/KNode.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/resources/collision/Culling.h"
#include "engine/resources/texture/TextureHandle.h"
#include "game/world/level/FireflySwarm.h"
#include "game/world/level/Level.h"
#include "game/world/objects/LevelObject.h"
#include "game/world/update/LevelGlowDraw.h"
#include "game/world/update/LevelUpdate.h"

namespace {

constexpr char kFireflyTexture[] = "gfx/fx/firefly.dds";
constexpr float kFireflySize = 1.0f;
constexpr float kFireflyPulse = 0.1f;
// A swarm is drawn unless its centre lies further than this behind a clip plane.
constexpr float kSwarmMargin = 1.0f;
// Blend codes of the render device: source alpha onto one (the sprites add light).
constexpr DWORD kBlendSourceAlpha = 5;
constexpr DWORD kBlendOne = 2;
// Depth test without depth writes.
constexpr std::int32_t kDepthTestOnly = 2;

// The quad's colour 0xAAFFFFFF: white at alpha 0xAA.
void FillQuad(GlowEffectState& glow, const Vector3 corners[4], ImmediateVertex out[6]) {
    static const float kUv[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    ImmediateVertex quad[4] = {};
    for (int i = 0; i < 4; ++i) {
        quad[i].position = corners[i];
        quad[i].normal = Vector3{0, 0, 1};
        quad[i].colour[0] = quad[i].colour[1] = quad[i].colour[2] = 0xFF;
        quad[i].colour[3] = 0xAA;
        quad[i].u = kUv[i][0];
        quad[i].v = kUv[i][1];
        glow.corners[i][0] = corners[i].x;
        glow.corners[i][1] = corners[i].y;
        glow.corners[i][2] = corners[i].z;
    }
    const int order[6] = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 6; ++i) out[i] = quad[order[i]];
}

// Holds the named texture set on unit 0 while the sprites that use it are drawn.
class SpriteTexture {
public:
    SpriteTexture(OpenGLRenderDevice& device, const char* name) {
        TextureData* data = LoadTextureHandle(handle_, name, 0) != 0 ? TextureDataOf(handle_.texture) : nullptr;
        // A missing texture leaves the sprite plain white rather than absent.
        if (data != nullptr)
            device.SetTexture(data, 0, 0);
        else
            device.ClearTexture(0);
    }
    ~SpriteTexture() { ReleaseTextureHandle(handle_); }
    SpriteTexture(const SpriteTexture&) = delete;
    SpriteTexture& operator=(const SpriteTexture&) = delete;

private:
    TextureHandle handle_;
};

}  // namespace

void PrepareGlowQuad(Level& level, const Matrix34& view) {
    // The view's first two rows are the camera's right and up axes in the world.
    Vector3 right{view.m[0][0], view.m[0][1], view.m[0][2]};
    Vector3 up{view.m[1][0], view.m[1][1], view.m[1][2]};
    if (Vector3Length(right) > 0.0f) Vector3Normalize(right);
    if (Vector3Length(up) > 0.0f) Vector3Normalize(up);
    level.glowAxes[0] = right;
    level.glowAxes[1] = up;
}

void DrawGlowSprite(Level& level, OpenGLRenderDevice& device, const Vector3& position, float size, float pulse,
                    float gameTime) {
    Vector3 corners[4];
    GlowSpriteCorners(position, level.glowAxes[0], level.glowAxes[1], size, pulse, gameTime, corners);
    ImmediateVertex vertices[6];
    FillQuad(level.glowEffect, corners, vertices);
    device.DrawPrimitives(kDrawTriangles, 2, vertices);
}

void DrawFireflies(Level& level, OpenGLRenderDevice& device, const PlaneSet* view, float gameTime) {
    PrepareGlowQuad(level, device.GetViewMatrix());
    device.SetWorldMatrix(kIdentityMatrix34);
    device.SetBlendEnable(1);
    device.SetBlendFunc(kBlendSourceAlpha, kBlendOne);
    device.SetDepthMode(kDepthTestOnly);
    for (KDLListIterator it(level.glowList); !it.AtEnd(); it.Next()) {
        const auto* object = static_cast<const LevelObject*>(it.Item());
        const FlareSprite& flare = object->flare;
        const float size = flare.baseSize * object->scale;
        if (!(size > 0.0f) || !(flare.intensity > 0.0f) || flare.glowNode == nullptr) continue;
        Matrix34 world;
        flare.glowNode->GetWorldMatrix(world);
        const Vector3 at{world.m[0][3], world.m[1][3], world.m[2][3]};
        if (view != nullptr && SphereOutsidePlaneSet(*view, at, size) != 0) continue;
        if (level.CoveringObject(WorldToTile(object->position), object) != nullptr) continue;
        const SpriteTexture texture(device, flare.texture.Text());
        DrawGlowSprite(level, device, at, size, flare.amplitude, gameTime);
    }
    std::optional<SpriteTexture> fireflyTexture;
    for (std::int32_t i = 0; i < level.fireflySwarmCount && i < kMaximumFireflySwarms; ++i) {
        const FireflySwarm* swarm = level.fireflySwarms[i];
        if (swarm == nullptr) continue;
        if (view != nullptr && SphereOutsidePlaneSet(*view, swarm->centre, kSwarmMargin) != 0) continue;
        if (!fireflyTexture) fireflyTexture.emplace(device, kFireflyTexture);
        for (std::int32_t firefly = 0; firefly < swarm->count; ++firefly)
            DrawGlowSprite(level, device, swarm->FireflyPosition(firefly), kFireflySize, kFireflyPulse, gameTime);
    }
}
