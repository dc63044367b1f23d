// The render device's start-up and shutdown, clearing, presenting, the viewport's vertical
// flip, the EGL error names, its module and its effect object.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/app/CoreModule.h"
#include "engine/core/object/Module.h"
#include "engine/render/EffectGL.h"
#include "engine/render/RenderModule.h"
#include "tests/engine/render/RenderTestSupport.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

using render_test::kScreenHeight;
using render_test::kScreenWidth;
using render_test::RenderDeviceTest;

TEST_F(RenderDeviceTest, InitTakesTheWindowsSizeAndClearsToTheClearColour) {
    std::int32_t width = 0;
    std::int32_t height = 0;
    device_->GetScreenSize(&width, &height);
    EXPECT_EQ(width, kScreenWidth);
    EXPECT_EQ(height, kScreenHeight);
    EXPECT_EQ(device_->GetWindow(), window_);
    std::int32_t x = -1, y = -1, w = 0, h = 0;
    device_->GetViewport(&x, &y, &w, &h);
    EXPECT_EQ((std::array<int, 4>{x, y, w, h}), (std::array<int, 4>{0, 0, kScreenWidth, kScreenHeight}));

    device_->SetClearColor(Color{1.0f, 0.5f, 0.0f, 1.0f});
    EXPECT_EQ(Device().clearArgb, 0xFFFF7F00u);
    device_->Clear(0);
    EXPECT_EQ(FramePixel(0, 0), (std::array<int, 3>{255, 130, 0}));
    EXPECT_EQ(FramePixel(kScreenWidth - 1, kScreenHeight - 1), (std::array<int, 3>{255, 130, 0}));
}

TEST_F(RenderDeviceTest, ClearModesPickTheBuffers) {
    device_->SetClearColor(Color{0, 0, 1, 1});
    device_->Clear(0);
    device_->SetClearColor(Color{1, 0, 0, 1});
    device_->Clear(2);  // depth only: the colour stays
    EXPECT_EQ(FramePixel(5, 5), (std::array<int, 3>{0, 0, 255}));
    device_->Clear(1);
    EXPECT_EQ(FramePixel(5, 5), (std::array<int, 3>{255, 0, 0}));

    // Clear(1) keeps the depth of what was drawn; Clear(0) resets it.
    device_->SetDepthMode(3);
    device_->SetTextureMode(2);  // primary colour
    DrawQuad(0, 0, 10, 10, {0, 255, 0, 255}, 0.5f);
    device_->Clear(1);
    DrawQuad(0, 0, 10, 10, {0, 255, 0, 255}, 0.9f);  // behind the first quad's depth
    EXPECT_EQ(FramePixel(5, 5), (std::array<int, 3>{255, 0, 0}));
    device_->Clear(0);
    DrawQuad(0, 0, 10, 10, {0, 255, 0, 255}, 0.9f);
    EXPECT_EQ(FramePixel(5, 5), (std::array<int, 3>{0, 255, 0}));
}

TEST_F(RenderDeviceTest, PresentPutsTheFrameOnTheScreen) {
    device_->SetClearColor(Color{0, 1, 0, 1});
    device_->Clear(0);
    EXPECT_EQ(device_->Present(), 1);
    platform::screen::Image shot = platform::screen::Capture();
    ASSERT_EQ(shot.width, kScreenWidth);
    const std::uint8_t* pixel = shot.PixelAt(kScreenWidth / 2, kScreenHeight / 2);
    EXPECT_EQ((std::array<int, 3>{pixel[0], pixel[1], pixel[2]}), (std::array<int, 3>{0, 255, 0}));
}

TEST_F(RenderDeviceTest, TheViewportIsTurnedOverForGl) {
    device_->SetViewport(10, 20, 30, 15);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ((std::array<int, 4>{viewport[0], viewport[1], viewport[2], viewport[3]}),
              (std::array<int, 4>{10, kScreenHeight - 20 - 15, 30, 15}));
    ViewportRect rect{};
    device_->GetViewportRect(&rect);
    EXPECT_EQ((std::array<int, 4>{rect.x, rect.y, rect.width, rect.height}), (std::array<int, 4>{10, 20, 30, 15}));

    // A quad over the whole of a top-left viewport lands at the top left of the frame.
    device_->SetClearColor(Color{0, 0, 0, 1});
    device_->Clear(0);
    device_->SetViewportRect(ViewportRect{0, 0, kScreenWidth / 2, kScreenHeight / 2});
    device_->SetDepthMode(0);
    device_->SetTextureMode(2);
    DrawQuad(0, 0, kScreenWidth, kScreenHeight, {255, 255, 255, 255});
    EXPECT_EQ(FramePixel(2, 2), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(FramePixel(2, kScreenHeight - 3), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(FramePixel(kScreenWidth - 3, 2), (std::array<int, 3>{0, 0, 0}));
}

TEST_F(RenderDeviceTest, ShutdownTearsDownOnlyWhatExistsAndInitWorksAgain) {
    device_->Shutdown();
    device_->Shutdown();
    EXPECT_EQ(Device().display, EGL_NO_DISPLAY);
    ScreenSize size{kScreenWidth, kScreenHeight};
    ASSERT_EQ(device_->Init(window_, &size), 0u);
    EXPECT_EQ(device_->Init(nullptr, &size), 1u);
    OpenGLRenderDevice fresh;
    fresh.Shutdown();
}

TEST(EglErrorNames, KnownCodesHaveNamesAndOthersTheirNumber) {
    EXPECT_STREQ(EglErrorName(0x3009), "EGL_BAD_MATCH [12297]");
    EXPECT_STREQ(EglErrorName(0x3000), "EGL_SUCCESS [12288]");
    EXPECT_STREQ(EglErrorName(7), "7");
}

class RenderModuleTest : public engine_test::HeapTest {};

TEST_F(RenderModuleTest, TheDeviceIsMadeByClassNameAndAnswersToItsTypes) {
    ASSERT_EQ(RegisterRenderModule(), 0);
    Interface* object = CreateByName("OpenGLRender", "OpenGLRenderDevice", Interface::StaticTypeId());
    ASSERT_NE(object, nullptr);
    EXPECT_STREQ(object->GetTypeName(), "OpenGLRenderDevice");
    EXPECT_STREQ(object->GetBaseTypeName(), "Interface");
    EXPECT_TRUE(object->IsA("Interface"));
    EXPECT_EQ(object->GetTypeDistance(OpenGLRenderDevice::StaticTypeId()), 1);
    EXPECT_EQ(object->GetTypeDistance(Interface::StaticTypeId()), 2);
    EXPECT_EQ(object->ReferenceCount(), 0u);
    auto* device = static_cast<OpenGLRenderDevice*>(object);
    device->SetUserWord(77);
    EXPECT_EQ(device->GetUserWord(), 77u);
    EXPECT_EQ(device->GetReservedWord(), 0u);
    object->Release();

    KDLList names;
    auto enumerate =
        reinterpret_cast<ModuleEnumerateFunction>(FindModule("OpenGLRender")->FindEntry("EnumerateInterfaces"));
    ASSERT_NE(enumerate, nullptr);
    enumerate(&names, Interface::StaticTypeId());
    ASSERT_EQ(names.count, 2u);
    EXPECT_STREQ(static_cast<EngineString*>(names.head->item)->Text(), "OpenGLRenderDevice");
    EXPECT_STREQ(static_cast<EngineString*>(names.head->next->item)->Text(), "NullRenderDevice");
    ListDeleteAll(names, EngineString::DeleteItem);
    ShutdownModules();
}

TEST_F(RenderModuleTest, EffectsAcceptEveryNameAndAnswerNothing) {
    OpenGLRenderDevice device;
    EffectBase* effect = device.CreateEffect();
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->Load("shaders/no_such_shader.fx", 0), 0);
    EXPECT_EQ(effect->Prepare(), 1);
    EXPECT_EQ(effect->GetParameterByName("g_mWorldTM"), 0u);
    EXPECT_EQ(effect->GetTechniqueByName("RenderDefault"), 0u);
    EXPECT_STREQ(effect->GetTechniqueName(0), "");
    EXPECT_STREQ(effect->GetParameterName(0), "");
    EXPECT_EQ(effect->SetFloat(0, 1.0f), 0);
    std::uint32_t passes = 9;
    EXPECT_EQ(effect->Begin(&passes), 0);
    EXPECT_EQ(passes, 0u);
    EXPECT_EQ(effect->GetTexture(0), nullptr);
    delete effect;
}

}  // namespace
