// EffectGL: the effect object of the OpenGL ES 1.x device, which has no programmable
// shading: every call is accepted and does nothing, and the fixed-function state set by the
// material and the device draws the frame. It is also the stand-alone effect the engine
// makes when no render device exists.
#pragma once

#include "engine/render/EffectBase.h"

class EffectGL : public EffectBase {
public:
    EffectGL() = default;

    // Any name loads: the fixed-function device needs nothing from a shader file.
    int Load(const char*, DWORD) override { return 0; }
    int Prepare() override { return 1; }
};
