// The play camera and the play scene's draw order.
#include "game/flow/frame/PlayScene.h"

#include <cmath>

#include "engine/app/FrameDriver.h"
#include "engine/core/math/MatrixMath.h"
#include "engine/core/math/VectorMath.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/resources/texture/TextureHandle.h"
#include "game/flow/frame/RenderPass.h"
#include "game/flow/ingame/IngameController.h"
#include "game/flow/interfaces/PlayWorld.h"
#include "game/flow/services/GameServices.h"
#include "game/ui/StepVector.h"

namespace {

constexpr float kRadiansPerDegree = 0.017453292f;
constexpr float kEyeStepLimit = 40.0f;
constexpr float kEyeEaseRate = 3.0f;
constexpr float kStillSeconds = 1.0f;
constexpr Vector3 kSceneUp{0.0f, -1.0f, 0.0f};
constexpr std::int32_t kCullBack = 1;
constexpr std::int32_t kDepthOn = 3;
constexpr std::int32_t kDepthOff = 0;
constexpr DWORD kBlendSourceAlpha = 5;
constexpr DWORD kBlendInverseSourceAlpha = 6;
constexpr DWORD kBlendOne = 2;
constexpr const char* kGlowTexture = "gfx/fx/Flare1.dds";
constexpr float kGlowSize = 5.0f;
constexpr float kGlowAlpha = 0.5f;

SceneCameraState camera;

// The eye may move: in every state from the briefing on, and in the fly-in and the
// cut-scene once their first second is over.
bool EyeMoves(const IngameController& controller) {
    if (controller.state >= kPlayTutorialPage) return true;
    if (controller.state == kPlayFlyIn || controller.state == kPlayCutscene)
        return controller.stateTimer > kStillSeconds;
    return false;
}

// Column vectors into a matrix with the translation.
Matrix34 FromColumns(const Vector3& x, const Vector3& y, const Vector3& z, const Vector3& t) {
    return Matrix34{{{x.x, y.x, z.x, t.x}, {x.y, y.y, z.y, t.y}, {x.z, y.z, z.z, t.z}}};
}

// Draws the glow texture through the world once it is loaded; it stays with the cache.
void DrawGlow(PlayWorld& world, const Vector3& at) {
    TextureHandle& glow = camera.glow;
    if ((glow.flags & kTextureHandleHoldsTexture) == 0 && LoadTextureHandle(glow, kGlowTexture, 0) == 0) return;
    RenderDevice()->SetTexture(TextureDataOf(glow.texture), 0, 0);
    world.DrawGlowSprite(at, kGlowSize, kGlowAlpha);
}

}  // namespace

SceneCameraState& SceneCamera() { return camera; }
void ResetSceneCamera() {
    ReleaseTextureHandle(camera.glow);
    camera = SceneCameraState{};
}

Matrix34 LookRotation(const Vector3& forward, const Vector3& up) {
    Vector3 f = forward;
    Vector3Normalize(f);
    Vector3 right;
    Vector3Cross(f, up, right);
    // Looking along the up axis: any right will do.
    if (Vector3LengthSquared(right) < 1e-12f) right = Vector3{1.0f, 0.0f, 0.0f};
    Vector3Normalize(right);
    Vector3 down;
    Vector3Cross(f, right, down);
    return FromColumns(right, down, f, Vector3{0.0f, 0.0f, 0.0f});
}

Matrix34 PlaceSceneCamera(IngameController& controller, const CharacterFacts& character, float frameDelta,
                          float rollDegrees) {
    PlayCamera& view = controller.camera;
    if (character.position.z <= kCharacterAirHeight)
        Matrix34FromEuler(Vector3{0.0f, 0.0f, character.facingDegrees * kRadiansPerDegree}, camera.yaw);

    if (controller.state != kPlayCutscene) {
        Vector3 behind{0.0f, 0.2f, 1.0f};
        Vector3Normalize(behind);
        Vector3 d;
        Matrix34TransformVector(camera.yaw, behind, d);
        view.desiredEye = {view.target.x - view.distance * d.x, view.target.y - view.distance * d.y,
                           view.target.z - view.distance * d.z};
    }

    if (EyeMoves(controller)) {
        const Vector3 step = StepVectorToward(view.eye, view.desiredEye, kEyeStepLimit);
        const float scale = frameDelta * kEyeEaseRate;
        view.eye = {view.eye.x + step.x * scale, view.eye.y + step.y * scale, view.eye.z + step.z * scale};
    }

    Vector3 look;
    Vector3Sub(view.target, view.eye, look);
    if (Vector3LengthSquared(look) < 1e-12f) look = view.look;
    Vector3Normalize(look);
    view.look = look;

    Matrix34 rotation = LookRotation(look, kSceneUp);
    Matrix34 roll;
    Matrix34FromEuler(Vector3{0.0f, 0.0f, -rollDegrees * kRadiansPerDegree}, roll);
    Matrix34 rolled;
    Matrix34Multiply(rotation, roll, rolled);
    rolled.m[0][3] = view.eye.x;
    rolled.m[1][3] = view.eye.y;
    rolled.m[2][3] = view.eye.z;
    return rolled;
}

void DrawPlayScene(IngameController& controller) {
    OpenGLRenderDevice* device = RenderDevice();
    if (device == nullptr) return;
    PlayWorld& world = GetPlayWorld();
    const Overlay2DState& display = Overlay2D();
    const float roll = static_cast<float>(display.displayRotation) + 90.0f * static_cast<float>(display.rotationIndex);
    const Matrix34 placed = PlaceSceneCamera(controller, world.Character(), FrameTime(), roll);
    Matrix34 view;
    Matrix34InverseRigid(placed, view);

    const RenderPassValues& values = RenderValues();
    const float aspect = values.viewportHeight != 0
                             ? static_cast<float>(values.viewportWidth) / static_cast<float>(values.viewportHeight)
                             : 1.0f;
    device->SetCullMode(kCullBack);
    device->SetViewMatrix(view);
    device->SetWorldMatrix(kIdentityMatrix34);
    device->SetPerspective(kSceneFieldOfView, aspect, 1.0f, kSceneFarPlane);
    device->SetDepthMode(kDepthOn);

    const SceneFacts scene = world.Scene();
    world.DrawTileGrid();
    world.DrawObjects(0);
    device->FlushQueue();
    if (!scene.noBlend) {
        device->SetAlphaTest(1);
        device->SetBlendEnable(1);
        device->SetBlendFunc(kBlendSourceAlpha, kBlendInverseSourceAlpha);
        device->SetDepthMode(kDepthOn);
        world.DrawObjects(1);
        device->FlushQueue();
    }
    device->SetCullMode(kCullBack);
    device->SetAlphaTest(1);
    device->SetBlendEnable(0);
    device->SetDepthMode(kDepthOn);
    if (scene.characterVisible) {
        if (!scene.noExtras) {
            device->SetBlendEnable(1);
            device->SetBlendFunc(kBlendSourceAlpha, kBlendInverseSourceAlpha);
            world.DrawCharacterExtras();
        }
        world.DrawCharacter();
        device->FlushQueue();
    }
    device->SetAlphaTest(0);
    device->SetCullMode(0);
    device->SetBlendFunc(kBlendSourceAlpha, kBlendOne);
    device->SetBlendEnable(1);
    device->SetDepthMode(kDepthOff);
    world.DrawFireflies();
    if (scene.glow) DrawGlow(world, scene.characterNode);
    device->FlushQueue();
}
