// NullRenderDevice: the render device's null sibling, which starts no EGL and calls no GL, for
// tests that are not about pixels. Start-up remembers the window and takes its rectangle as
// the screen and the viewport; the viewport and the matrices are kept, so that their getters
// and the clip-space transform answer what was set; buffers and textures are held on the
// processor; state changes and draws are accepted and do nothing; the render queue takes
// submissions as on the GL device and drops them at the flush. Its state is the same
// process-global record as the GL device's (one device at a time).
//
// The operations that the GL device does on the processor alone are inherited: the clear
// colour, the screen, viewport and window getters, the user word, effects, mesh preparation
// and the submission forms (which make their buffers through CreateVertexBuffer and
// CreateIndexBuffer), and deleting objects. The render-state helpers outside the operation
// table (ResetRenderState, SetArrays, ...) are the GL device's and are not called on this one.
#pragma once

#include <cstdint>

#include "engine/render/OpenGLRenderDevice.h"

class NullRenderDevice : public OpenGLRenderDevice {
    KEL_DECLARE_TYPE(NullRenderDevice, OpenGLRenderDevice, "NullRenderDevice")

public:
    NullRenderDevice() = default;

    // 0, or 1 for no window or size, a window without a rectangle, or no memory for the queue.
    DWORD Init(HWND window, const ScreenSize* size) override;
    void Shutdown() override;

    // Held on the processor; null (with the failure flag) for more bytes than a GL buffer takes.
    VertexBuffer* CreateVertexBuffer(DWORD vertexCount, DWORD vertexSize, DWORD usage, DWORD layout) override;
    IndexBuffer* CreateIndexBuffer(DWORD indexCount, DWORD usage, DWORD indexFormat) override;
    // Texture data held on the processor: files are read and checked, nothing is uploaded.
    TextureData* CreateTextureObject() override;

    void SetViewport(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) override;
    int SetDepthMode(std::int32_t) override { return 1; }
    int Clear(DWORD) override { return 1; }
    // Flushes the render queue and counts the frame; 0 before Init.
    int Present() override;
    int SetLights(int, const RenderLightSet*) override { return 1; }
    int SetCullMode(std::int32_t) override { return 1; }
    // The GL device's argument checks: 0 for a unit or operation out of range.
    int SetTextureStageOps(DWORD colourOp, DWORD alphaOp, DWORD unit) override;
    int SetTexture(TextureData*, DWORD unit, DWORD) override { return IsUnit(unit); }
    int ClearTexture(DWORD unit) override { return IsUnit(unit); }
    int SetBlendEnable(int) override { return 1; }
    int SetAlphaTest(int) override { return 1; }
    int SetBlendFunc(DWORD, DWORD) override { return 1; }
    int SetWorldMatrix(const Matrix34& matrix) override;
    int SetViewMatrix(const Matrix34& matrix) override;
    int SetPerspective(float fieldOfView, float aspect, float nearPlane, float farPlane) override;
    int SetOrtho(float, float, float width, float height, float nearPlane, float farPlane) override;
    int SetTextureConstantColour(const Color&, DWORD unit) override { return IsUnit(unit); }
    int SetWrapSRepeat(DWORD unit) override { return IsUnit(unit); }
    int SetWrapSClamp(DWORD unit) override { return IsUnit(unit); }
    int SetWrapTRepeat(DWORD unit) override { return IsUnit(unit); }
    int SetWrapTClamp(DWORD unit) override { return IsUnit(unit); }

    // The GL device's answers: 0 for the refused draw type (and always from DrawBuffers).
    int DrawPrimitives(DWORD type, DWORD, const ImmediateVertex*) override { return type == kDrawRefused ? 0 : 1; }
    int DrawIndexedPrimitives(DWORD type, DWORD, DWORD, DWORD, const ImmediateVertex*, const std::uint16_t*) override {
        return type == kDrawRefused ? 0 : 1;
    }
    int DrawBuffers(DWORD, DWORD, DWORD, DWORD, VertexBuffer*, IndexBuffer*) override { return 0; }

    // With the projection GL would hold (start-up's pixel projection, SetOrtho's or
    // SetPerspective's) and the view and world matrices set.
    int TransformToClipSpace(const Vector3& point, float* result) override;
    // Gives every queued batch back undrawn; 0 before Init.
    int FlushQueue() override;
    int SetFog(int, DWORD, float, float) override { return 1; }

    // Frames presented since Init.
    std::uint32_t PresentedFrames() const { return presentedFrames_; }

private:
    static int IsUnit(DWORD unit) { return unit < kTextureUnitCount ? 1 : 0; }

    GLfloat projection_[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::uint32_t presentedFrames_ = 0;
};
