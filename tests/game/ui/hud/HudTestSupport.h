// HUD fixtures: engine heaps, a null render device that records the quads drawn at once
// and the batches flushed, and a play state the test sets.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/core/memory/EngineMemory.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/render/NullRenderDevice.h"
#include "game/ui/hud/Hud.h"

namespace hud_test {

struct Quad {
    float x, y, w, h;  // screen pixels
    float u0, v0, u1, v1;  // top-left and bottom-right texture corners, atlas pixels
    int alpha;
};

inline Quad QuadOf(const ImmediateVertex* v) {
    return Quad{v[0].position.x, v[0].position.y, v[2].position.x - v[0].position.x,
                v[2].position.y - v[0].position.y, v[0].u * 512.0f, v[0].v * 512.0f, v[2].u * 512.0f,
                v[2].v * 512.0f, v[0].colour[3]};
}

class RecordingDevice : public NullRenderDevice {
public:
    int DrawPrimitives(DWORD type, DWORD count, const ImmediateVertex* vertices) override {
        if (type == kDrawFan) quads.push_back(QuadOf(vertices));
        if (type == kDrawQuads) batches.push_back(count);
        return NullRenderDevice::DrawPrimitives(type, count, vertices);
    }
    int SetTexture(TextureData* texture, DWORD unit, DWORD flags) override {
        ++textureBinds;
        return NullRenderDevice::SetTexture(texture, unit, flags);
    }
    std::vector<Quad> quads;  // fans: quads drawn at once
    std::vector<DWORD> batches;
    int textureBinds = 0;
};

class FakeHost : public HudHost {
public:
    HudPlayState PlayState() const override { return state; }
    void PlaySound(std::int32_t id) override { sounds.push_back(id); }
    HudPlayState state;
    std::vector<std::int32_t> sounds;
};

class HudTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(HeapInit(), 0);
        ResetOverlay2D();
        SetRenderDevice(&device_);
        hud_ = new Hud;
        ASSERT_NE(hud_, nullptr);
        hud_->host = &host_;
        hud_->canvas = &canvas_;
        canvas_.viewCount = 1;
    }
    void TearDown() override {
        delete hud_;
        SetRenderDevice(nullptr);
        ResetOverlay2D();
        HeapTeardown();
    }
    // The batch's quads.
    std::vector<Quad> Batch() const {
        std::vector<Quad> out;
        for (std::uint32_t i = 0; i + 4 <= hud_->vertexCount; i += 4) out.push_back(QuadOf(&hud_->vertices[i]));
        return out;
    }

    RecordingDevice device_;
    FakeHost host_;
    Canvas2D canvas_;
    Hud* hud_ = nullptr;
};

inline ::testing::AssertionResult SameQuad(const Quad& a, const Quad& b) {
    const float got[8] = {a.x, a.y, a.w, a.h, a.u0, a.v0, a.u1, a.v1};
    const float want[8] = {b.x, b.y, b.w, b.h, b.u0, b.v0, b.u1, b.v1};
    for (int i = 0; i < 8; ++i)
        if (std::fabs(got[i] - want[i]) > 0.01f)
            return ::testing::AssertionFailure()
                   << "quad (" << a.x << ", " << a.y << ", " << a.w << " x " << a.h << ", uv " << a.u0 << "," << a.v0
                   << "-" << a.u1 << "," << a.v1 << ") differs from (" << b.x << ", " << b.y << ", " << b.w << " x "
                   << b.h << ", uv " << b.u0 << "," << b.v0 << "-" << b.u1 << "," << b.v1 << ") at value " << i;
    return ::testing::AssertionSuccess();
}

}  // namespace hud_test
