// The glow pass of a level: the glow sprites of its objects and its fireflies, drawn after the
// scene with the render device.
#pragma once

#include "engine/core/math/MathTypes.h"

class Level;
class OpenGLRenderDevice;

// The camera's right and up axes from the view matrix, kept for the quads.
void PrepareGlowQuad(Level& level, const Matrix34& view);
// One camera-facing quad at the position, of the size pulsing by `pulse` with the game's time.
void DrawGlowSprite(Level& level, OpenGLRenderDevice& device, const Vector3& position, float size, float pulse,
                    float gameTime);
// Every glow object in view whose tile no blocking object covers, then every swarm in view;
// `view` null draws all.
void DrawFireflies(Level& level, OpenGLRenderDevice& device, const PlaneSet* view, float gameTime);
