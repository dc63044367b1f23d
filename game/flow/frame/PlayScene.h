// PlayScene: the camera of play and the 3D scene drawn with it. The controller keeps the
// camera's target, desired eye and distance; this places the eye actually used, turns the
// camera with the character (except while it is in the air), rolls the picture with the
// display and draws the level, the character, the fireflies and the character's glow.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "engine/resources/texture/TextureHandle.h"

class IngameController;
struct CharacterFacts;

// The camera's far plane and vertical field of view.
constexpr float kSceneFarPlane = 250.0f;
constexpr float kSceneFieldOfView = 1.0471976f;

// The camera's turn about the vertical axis, kept while the character is in the air, and the
// glow's texture once it has been drawn.
struct SceneCameraState {
    Matrix34 yaw = kIdentityMatrix34;
    TextureHandle glow;
};
SceneCameraState& SceneCamera();
// Back to a fresh start, the glow's texture given back.
void ResetSceneCamera();

// A rotation whose columns are right, down and forward for looking along `forward` with
// `up` the world's up; the translation is zero.
Matrix34 LookRotation(const Vector3& forward, const Vector3& up);

// The frame's camera: the yaw from the character on the ground, the desired eye behind the
// target (not in a cut-scene, whose shot sets it), the eye eased toward it once the state
// lets it move, and the look at the target. The result is the camera's world transform
// (columns right, down, forward; the eye as translation), rolled about the view axis by
// -rollDegrees.
Matrix34 PlaceSceneCamera(IngameController& controller, const CharacterFacts& character, float frameDelta,
                          float rollDegrees);

// One frame of the play scene: the camera placed with the frame driver's step and the
// display's roll, the projection for the viewport, and the world's drawing in its order.
void DrawPlayScene(IngameController& controller);
