// The null render device: start-up without EGL, the screen, viewport and matrices it
// answers, buffers and textures held on the processor, a frame of clear, queue and present,
// its clip-space transform against the GL device's, and its making by class name.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "engine/core/object/Module.h"
#include "engine/render/EffectBase.h"
#include "engine/render/NullRenderDevice.h"
#include "engine/render/RenderModule.h"
#include "engine/render/RenderQueue.h"
#include "engine/render/TextureDataOpenGL.h"
#include "engine/render/VertexBuffer.h"
#include "tests/engine/render/RenderTestSupport.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

using render_test::kScreenHeight;
using render_test::kScreenWidth;
using render_test::Placed;
using render_test::RenderDeviceTest;
using render_test::SquareMesh;

using Rect = std::array<int, 4>;

class NullRenderDeviceTest : public render_test::RenderWindowTest {
protected:
    void SetUp() override {
        RenderWindowTest::SetUp();
        if (HasFatalFailure()) return;
        ScreenSize size{kScreenWidth, kScreenHeight};
        ASSERT_EQ(device_.Init(window_, &size), 0u);
        OpenGLRenderDevice::ResetStatistics();
        OpenGLRenderDevice::ClearFailure();
    }
    void TearDown() override {
        device_.Shutdown();
        RenderWindowTest::TearDown();
    }

    Rect Viewport() const {
        ViewportRect rect{};
        device_.GetViewportRect(&rect);
        return {rect.x, rect.y, rect.width, rect.height};
    }

    NullRenderDevice device_;
};

TEST_F(NullRenderDeviceTest, StartsWithoutEglAndAnswersTheScreenViewportAndMatrices) {
    EXPECT_EQ(Device().display, EGL_NO_DISPLAY);
    EXPECT_EQ(Device().context, EGL_NO_CONTEXT);
    std::int32_t width = 0;
    std::int32_t height = 0;
    device_.GetScreenSize(&width, &height);
    EXPECT_EQ(width, kScreenWidth);
    EXPECT_EQ(height, kScreenHeight);
    EXPECT_EQ(device_.GetWindow(), window_);
    EXPECT_EQ(Viewport(), (Rect{0, 0, kScreenWidth, kScreenHeight}));
    device_.SetViewport(10, 20, 30, 15);
    EXPECT_EQ(Viewport(), (Rect{10, 20, 30, 15}));

    Matrix34 world = kIdentityMatrix34;
    world.m[0][3] = 5.0f;
    Matrix34 view = kIdentityMatrix34;
    view.m[1][1] = 2.0f;
    EXPECT_EQ(device_.SetWorldMatrix(world), 1);
    EXPECT_EQ(device_.SetViewMatrix(view), 1);
    EXPECT_EQ(device_.GetWorldMatrix().m[0][3], 5.0f);
    EXPECT_EQ(device_.GetViewMatrix().m[1][1], 2.0f);

    // As on the GL device, start-up needs a window; a device that is not started shows no frame.
    ScreenSize size{kScreenWidth, kScreenHeight};
    EXPECT_EQ(device_.Init(nullptr, &size), 1u);
    EXPECT_EQ(device_.Present(), 0);
    EXPECT_EQ(device_.Init(window_, &size), 0u);
    EXPECT_EQ(Viewport(), (Rect{0, 0, kScreenWidth, kScreenHeight}));
}

TEST_F(NullRenderDeviceTest, BuffersAndTexturesAreHeldOnTheProcessor) {
    VertexBuffer* vertices = device_.CreateVertexBuffer(4, 36, kBufferDynamic, kVertexPosition);
    IndexBuffer* indices = device_.CreateIndexBuffer(6, 0, 0);
    ASSERT_NE(vertices, nullptr);
    ASSERT_NE(indices, nullptr);
    EXPECT_EQ(vertices->Storage(), DeviceStorage::ProcessorOnly);
    EXPECT_EQ(vertices->Name(), 0u);
    EXPECT_EQ(OpenGLRenderDevice::LiveVertexBuffers(), 1);
    EXPECT_EQ(OpenGLRenderDevice::LiveIndexBuffers(), 1);
    auto* bytes = static_cast<std::uint8_t*>(vertices->Lock());
    ASSERT_NE(bytes, nullptr);
    bytes[35] = 42;
    EXPECT_EQ(vertices->Unlock(), 1);
    EXPECT_EQ(vertices->Staging()[35], 42);
    EXPECT_NE(indices->Lock(), nullptr);
    EXPECT_EQ(indices->Unlock(), 1);
    device_.DeleteObject(vertices);
    device_.DeleteObject(indices);
    EXPECT_EQ(OpenGLRenderDevice::LiveVertexBuffers(), 0);
    EXPECT_EQ(OpenGLRenderDevice::LiveIndexBuffers(), 0);
    // A size no GL buffer takes is refused here too.
    EXPECT_EQ(device_.CreateVertexBuffer(0x10000, 0x10000, 0, kVertexPosition), nullptr);
    EXPECT_TRUE(OpenGLRenderDevice::Failed());

    TextureData* texture = device_.CreateTextureObject();
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->Lock(0, nullptr, 0), nullptr) << "no image before Create";
    ASSERT_EQ(texture->Create(16, 8, 1, kFormatRgb565, 0), 0);
    std::int32_t pitch = 0;
    EXPECT_NE(texture->Lock(0, &pitch, 0), nullptr);
    EXPECT_EQ(pitch, 32);
    texture->Unlock(0);
    EXPECT_EQ(texture->DeviceName(), 0u);
    // Image files are read and checked as on the GL device.
    std::vector<std::uint8_t> file = render_test::MakeTga(2, 24, 0, 4, 2, std::vector<std::uint8_t>(4 * 2 * 3, 128));
    WriteDataFile("square.tga", file);
    file.resize(30);
    WriteDataFile("short.tga", file);
    EXPECT_EQ(texture->LoadFromFile("square.tga", kTextureLoadAsNamed), 0);
    EXPECT_EQ(texture->Width(), 4);
    EXPECT_EQ(texture->Height(), 2);
    EXPECT_EQ(texture->LoadFromFile("short.tga", kTextureLoadAsNamed), 1);
    EXPECT_EQ(texture->Lock(0, nullptr, 0), nullptr) << "a failed load leaves the object empty";
    delete texture;

    EffectBase* effect = device_.CreateEffect();
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->Load("shaders/any.fx", 0), 0);
    delete effect;
}

TEST_F(NullRenderDeviceTest, AFrameClearsQueuesAndPresentsWithoutDrawing) {
    SquareMesh square(0xFF00FF00);
    const std::uint32_t freeRecords = Device().queue->FreeRecordCount();
    device_.SetClearColor(Color{0.0f, 0.0f, 1.0f, 1.0f});
    EXPECT_EQ(device_.Clear(0), 1);
    EXPECT_EQ(device_.SetDepthMode(3), 1);
    EXPECT_EQ(device_.SetTextureMode(2), 1);
    EXPECT_EQ(device_.SubmitMesh(nullptr, &square.mesh, Placed(0, 0, 10, 0)), 1);
    EXPECT_EQ(device_.SubmitMeshRange(&square.mesh, 0, 6, 3, Placed(0, 0, 10, 0)), 0) << "ranges are checked";
    ASSERT_NE(square.part.geometry, nullptr);
    EXPECT_EQ(square.part.geometry->vertices->Storage(), DeviceStorage::ProcessorOnly);
    float x = 0.0f;
    std::memcpy(&x, square.part.geometry->vertices->Staging() + 2 * 36, sizeof x);
    EXPECT_EQ(x, 1.0f) << "the prepared vertices hold the mesh";
    EXPECT_NE(square.part.batch, nullptr);

    EXPECT_EQ(device_.Present(), 1);
    EXPECT_EQ(square.part.batch, nullptr);
    EXPECT_EQ(Device().queue->FreeRecordCount(), freeRecords);
    EXPECT_EQ(device_.PresentedFrames(), 1u);
    EXPECT_EQ(OpenGLRenderDevice::Statistics().drawCalls, 0u);
    EXPECT_EQ(device_.DrawPrimitives(kDrawRefused, 1, nullptr), 0);
    device_.ReleaseMeshData(&square.mesh);
    EXPECT_EQ(OpenGLRenderDevice::LiveVertexBuffers(), 0);
}

// The same settings on the GL device and then on the null one: each maps points alike.
TEST_F(RenderDeviceTest, TheNullDeviceTransformsToClipSpaceAsTheGlDeviceDoes) {
    auto transformed = [](OpenGLRenderDevice& device) {
        std::vector<float> out;
        auto add = [&] {
            float clip[4] = {};
            EXPECT_EQ(device.TransformToClipSpace(Vector3{4.0f, -2.0f, 5.0f}, clip), 1);
            out.insert(out.end(), clip, clip + 4);
        };
        add();  // start-up's pixel projection
        Matrix34 world = kIdentityMatrix34;
        world.m[0][3] = 3.0f;
        world.m[1][1] = 2.0f;
        Matrix34 view = kIdentityMatrix34;
        view.m[2][3] = 20.0f;
        device.SetWorldMatrix(world);
        device.SetViewMatrix(view);
        add();
        device.SetOrtho(0, 0, 64.0f, 48.0f, 0.0f, 1.0f);
        add();
        device.SetPerspective(1.2f, 1.5f, 1.0f, 100.0f);
        add();
        return out;
    };
    const std::vector<float> gl = transformed(*device_);
    device_->Shutdown();
    NullRenderDevice null;
    ScreenSize size{kScreenWidth, kScreenHeight};
    ASSERT_EQ(null.Init(window_, &size), 0u);
    const std::vector<float> processor = transformed(null);
    null.Shutdown();
    ASSERT_EQ(processor.size(), gl.size());
    for (std::size_t i = 0; i < gl.size(); ++i)
        EXPECT_NEAR(processor[i], gl[i], 1e-5f * std::max(1.0f, std::fabs(gl[i]))) << "value " << i;
}

class NullRenderModuleTest : public engine_test::HeapTest {};

TEST_F(NullRenderModuleTest, TheRenderModuleMakesTheNullDeviceAsARenderDevice) {
    ASSERT_EQ(RegisterRenderModule(), 0);
    Interface* object = CreateByName("OpenGLRender", "NullRenderDevice", OpenGLRenderDevice::StaticTypeId());
    ASSERT_NE(object, nullptr);
    EXPECT_STREQ(object->GetTypeName(), "NullRenderDevice");
    EXPECT_STREQ(object->GetBaseTypeName(), "OpenGLRenderDevice");
    EXPECT_EQ(object->GetTypeDistance(OpenGLRenderDevice::StaticTypeId()), 2);
    object->Release();
    ShutdownModules();
}

}  // namespace
