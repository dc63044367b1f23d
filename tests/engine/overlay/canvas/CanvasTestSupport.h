// Canvas fixtures: a null render device that records what the 2D drawing asks of it, the
// canvas started on it, and small fonts and textures in the data folder.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/canvas/QuadBuffers.h"
#include "engine/overlay/text/GlyphRun.h"
#include "engine/render/NullRenderDevice.h"
#include "engine/render/VertexBuffer.h"
#include "tests/engine/resources/support/ResourceTestSupport.h"

namespace canvas_test {

struct DrawCall {
    std::string kind;  // "fan", "indexed" or "buffers"
    DWORD count;       // primitives
    std::vector<ImmediateVertex> vertices;
    std::vector<std::uint16_t> indices;
};

class RecordingDevice : public NullRenderDevice {
public:
    int SetTextureMode(DWORD mode) override {
        log.push_back("mode " + std::to_string(mode));
        return NullRenderDevice::SetTextureMode(mode);
    }
    int SetTextureStageOps(DWORD colourOp, DWORD alphaOp, DWORD unit) override {
        if (unit == 0) log.push_back("ops " + std::to_string(colourOp) + " " + std::to_string(alphaOp));
        return NullRenderDevice::SetTextureStageOps(colourOp, alphaOp, unit);
    }
    int SetTexture(TextureData* texture, DWORD unit, DWORD flags) override {
        textures.push_back(texture);
        return NullRenderDevice::SetTexture(texture, unit, flags);
    }
    int DrawPrimitives(DWORD type, DWORD count, const ImmediateVertex* vertices) override {
        draws.push_back(DrawCall{type == kDrawFan ? "fan" : "other", count, {vertices, vertices + count + 2}, {}});
        return NullRenderDevice::DrawPrimitives(type, count, vertices);
    }
    int DrawIndexedPrimitives(DWORD type, DWORD count, DWORD first, DWORD vertexCount, const ImmediateVertex* vertices,
                              const std::uint16_t* indices) override {
        draws.push_back(DrawCall{"indexed", count, {vertices, vertices + vertexCount}, {indices, indices + count * 3}});
        return NullRenderDevice::DrawIndexedPrimitives(type, count, first, vertexCount, vertices, indices);
    }
    int DrawBuffers(DWORD type, DWORD count, DWORD first, DWORD vertexCount, VertexBuffer* vertices,
                    IndexBuffer* indices) override {
        const auto* staged = reinterpret_cast<const ImmediateVertex*>(vertices->Staging());
        draws.push_back(DrawCall{"buffers", count, {staged, staged + vertexCount}, {}});
        worlds.push_back(GetWorldMatrix());
        return NullRenderDevice::DrawBuffers(type, count, first, vertexCount, vertices, indices);
    }
    // The texture-combine and stage calls only.
    std::vector<std::string> log;
    std::vector<TextureData*> textures;
    std::vector<DrawCall> draws;
    std::vector<Matrix34> worlds;  // the world matrix of each batch
};

class CanvasTest : public resource_test::ResourceTest {
protected:
    void SetUp() override {
        ResourceTest::SetUp();
        if (HasFatalFailure()) return;
        device_ = new RecordingDevice;
        ASSERT_NE(device_, nullptr);
        const ScreenSize size{render_test::kScreenWidth, render_test::kScreenHeight};
        ASSERT_EQ(device_->Init(window_, &size), 0u);
        SetRenderDevice(device_);
        canvas_ = new Canvas2D;
        ASSERT_NE(canvas_, nullptr);
        canvas_->Init();
        ASSERT_TRUE(HasQuadBuffers());
        canvas_->ResetView();
        canvas_->scaleX = canvas_->scaleY = 1.0f;
        Forget();
    }
    void TearDown() override {
        ReleaseQuadBuffers();
        FreeGlyphBuffer();
        SetSystemFont(nullptr);
        ResetOverlay2D();
        delete canvas_;
        ResourceTest::TearDown();
    }
    void Forget() {
        device_->log.clear();
        device_->textures.clear();
        device_->draws.clear();
        device_->worlds.clear();
    }

    RecordingDevice* device_ = nullptr;
    Canvas2D* canvas_ = nullptr;
};

}  // namespace canvas_test
