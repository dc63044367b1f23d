// RenderContext: what the scene walk carries from node to node while it draws: the pass it
// draws, the world matrix accumulated down the tree and the planes it culls against.
#pragma once

#include "engine/core/math/MathTypes.h"
#include "platform/base/Types.h"

// Set for the passes after the main one (glow, reflections): only effects that ask to be
// drawn in every pass take part.
constexpr DWORD kRenderContextLaterPass = 0x100000;

struct RenderContext {
    DWORD flags = 0;
    Matrix34 matrix = kIdentityMatrix34;
    PlaneSet planes{};
};
