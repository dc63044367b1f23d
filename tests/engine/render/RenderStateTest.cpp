// The device's mirror of the GL state: a setting that changes nothing issues no GL call
// (counted), and what is issued is what GL then holds.
#include <GLES/gl.h>
#include <GLES/glext.h>
#include <gtest/gtest.h>

#include <functional>

#include "engine/render/TextureDataOpenGL.h"
#include "tests/engine/render/RenderTestSupport.h"

namespace {

using render_test::RenderDeviceTest;

std::uint64_t StateCalls() { return OpenGLRenderDevice::Statistics().stateCalls; }

GLint Integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

GLint TexEnv(GLenum name) {
    GLint value = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, name, &value);
    return value;
}

TEST_F(RenderDeviceTest, ARepeatedDepthModeIssuesNothing) {
    std::uint64_t before = StateCalls();
    device_->SetDepthMode(3);
    std::uint64_t first = StateCalls() - before;
    EXPECT_EQ(first, 1u);  // test and writes are on from the start: only the function changes
    EXPECT_EQ(Integer(GL_DEPTH_FUNC), GL_LEQUAL);
    device_->SetDepthMode(3);
    EXPECT_EQ(StateCalls() - before, first);

    device_->SetDepthMode(0);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    device_->SetDepthMode(1);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLboolean writes = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &writes);
    EXPECT_TRUE(writes);
    EXPECT_EQ(Integer(GL_DEPTH_FUNC), GL_ALWAYS);
}

TEST_F(RenderDeviceTest, SwitchesIssueOnlyChanges) {
    struct Case {
        const char* what;
        std::function<void()> set;
        std::uint64_t firstCalls;
    };
    const Case cases[] = {
        {"blend", [this] { device_->SetBlendEnable(1); }, 1},
        {"lighting", [this] { device_->SetLighting(1); }, 1},
        {"arrays", [this] { device_->SetArrays(1, 1, 0, 1); }, 3},
        {"cull", [this] { device_->SetCullMode(1); }, 2},
        {"wrap", [this] { device_->SetWrapSClamp(0); }, 1},
        // Unit 1 made active, its texturing on, five combiner settings each for colour and alpha.
        {"unit ops", [this] { device_->SetTextureStageOps(4, 4, 1); }, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::uint64_t before = StateCalls();
        c.set();
        EXPECT_EQ(StateCalls() - before, c.firstCalls);
        before = StateCalls();
        c.set();
        EXPECT_EQ(StateCalls() - before, 0u);
    }
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
}

TEST_F(RenderDeviceTest, CullingKeepsItsFaceWhileItIsOn) {
    device_->SetCullMode(1);
    device_->SetCullMode(2);  // back-face culling is on: nothing changes
    EXPECT_EQ(Integer(GL_CULL_FACE_MODE), GL_BACK);
    device_->SetCullMode(0);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    device_->SetCullMode(2);
    EXPECT_EQ(Integer(GL_CULL_FACE_MODE), GL_FRONT);
}

TEST_F(RenderDeviceTest, StageOperationsSetTheCombinerAndOffSwitchesTexturingOff) {
    EXPECT_EQ(device_->SetTextureStageOps(4, 2, 1), 1);
    EXPECT_EQ(device_->SetTextureStageOps(0, 0, 1), 1);
    EXPECT_EQ(Integer(GL_ACTIVE_TEXTURE), GL_TEXTURE1);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    std::uint64_t before = StateCalls();
    EXPECT_EQ(device_->SetTextureStageOps(0, 0, 1), 0);
    EXPECT_EQ(StateCalls(), before);
    EXPECT_EQ(device_->SetTextureStageOps(12, 0, 0), 0);

    // Mode 3: texture x primary colour for colour, primary alpha for alpha.
    device_->SetTextureMode(3);
    device_->SetActiveTextureUnit(0);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(TexEnv(GL_COMBINE_RGB), GL_MODULATE);
    EXPECT_EQ(TexEnv(GL_SRC0_RGB), GL_TEXTURE);
    EXPECT_EQ(TexEnv(GL_SRC1_RGB), GL_PRIMARY_COLOR);
    EXPECT_EQ(TexEnv(GL_OPERAND0_RGB), GL_SRC_COLOR);
    EXPECT_EQ(TexEnv(GL_COMBINE_ALPHA), GL_REPLACE);
    EXPECT_EQ(TexEnv(GL_SRC0_ALPHA), GL_PRIMARY_COLOR);
    EXPECT_EQ(TexEnv(GL_OPERAND0_ALPHA), GL_SRC_ALPHA);
}

TEST_F(RenderDeviceTest, TexturingIsTrackedPerUnit) {
    // Unit 0 off, then unit 1 on: unit 0 must come back on when it is asked for again.
    device_->SetTextureStageOps(1, 1, 0);
    device_->SetTextureStageOps(0, 0, 0);
    device_->SetTextureStageOps(4, 4, 1);
    device_->SetTextureStageOps(4, 0, 0);
    device_->SetActiveTextureUnit(0);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(RenderDeviceTest, BlendFactorCodesMapToGl) {
    device_->SetBlendFunc(5, 6);
    EXPECT_EQ(Integer(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(Integer(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    device_->SetBlendFunc(7, 10);  // destination alpha: the surface has none
    EXPECT_EQ(Integer(GL_BLEND_SRC), GL_ZERO);
    EXPECT_EQ(Integer(GL_BLEND_DST), GL_ONE_MINUS_DST_COLOR);
    device_->SetAlphaTest(1);
    EXPECT_EQ(Integer(GL_ALPHA_TEST_FUNC), GL_GREATER);
}

TEST_F(RenderDeviceTest, NoTextureBindsWhiteAndBindingFollowsFiltersAndLifetime) {
    device_->SetTexture(nullptr, 0, 0);
    GLint white = Integer(GL_TEXTURE_BINDING_2D);
    EXPECT_NE(white, 0);

    // The engine's white texture, when it gives one, wins.
    auto* engineWhite = static_cast<TextureDataOpenGL*>(device_->CreateTextureObject());
    ASSERT_EQ(engineWhite->Create(2, 2, 1, kFormatRgb565, 0), 0);
    static TextureData* given = nullptr;
    given = engineWhite;
    OpenGLRenderDevice::SetWhiteTextureSource([] { return given; });
    device_->SetTexture(nullptr, 1, 0);
    device_->SetActiveTextureUnit(1);
    EXPECT_EQ(static_cast<GLuint>(Integer(GL_TEXTURE_BINDING_2D)), engineWhite->DeviceName());

    // Binding the same texture again issues nothing; new filters are issued.
    auto* texture = static_cast<TextureDataOpenGL*>(device_->CreateTextureObject());
    ASSERT_EQ(texture->Create(4, 4, 3, kFormatArgb8888, 0), 0);
    device_->SetTexture(texture, 0, 0);
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR_MIPMAP_NEAREST);
    std::uint64_t before = StateCalls();
    device_->SetTexture(texture, 0, 0);
    EXPECT_EQ(StateCalls(), before);
    device_->SetTexture(texture, 0, 0x6000);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_NEAREST_MIPMAP_NEAREST);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(filter, GL_NEAREST);

    // A texture that goes leaves the unit, so a new one is bound even at the same address.
    delete texture;
    auto* next = static_cast<TextureDataOpenGL*>(device_->CreateTextureObject());
    ASSERT_EQ(next->Create(4, 4, 1, kFormatArgb8888, 0), 0);
    device_->SetTexture(next, 0, 0);
    device_->SetActiveTextureUnit(0);
    EXPECT_EQ(static_cast<GLuint>(Integer(GL_TEXTURE_BINDING_2D)), next->DeviceName());
    device_->ClearTexture(0);
    EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D), 0);
    delete next;
    delete engineWhite;
}

TEST_F(RenderDeviceTest, MatricesReachGlInColumnOrder) {
    Matrix34 view = kIdentityMatrix34;
    view.m[0][3] = 5.0f;  // moved along x
    Matrix34 world = kIdentityMatrix34;
    world.m[1][1] = 2.0f;
    world.m[2][3] = -3.0f;
    device_->SetViewMatrix(view);
    device_->SetWorldMatrix(world);
    GLfloat modelView[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    EXPECT_EQ(modelView[5], 2.0f);
    EXPECT_EQ(modelView[12], 5.0f);
    EXPECT_EQ(modelView[14], -3.0f);
    EXPECT_EQ(device_->GetWorldMatrix().m[1][1], 2.0f);
    EXPECT_EQ(device_->GetViewMatrix().m[0][3], 5.0f);

    // The orthographic projection maps the screen's corners to the clip corners.
    device_->SetViewMatrix(kIdentityMatrix34);
    device_->SetWorldMatrix(kIdentityMatrix34);
    device_->SetOrtho(0, 0, 64.0f, 48.0f, 0.0f, 1.0f);
    float clip[4];
    device_->TransformToClipSpace(Vector3{64.0f, 48.0f, 0.0f}, clip);
    EXPECT_FLOAT_EQ(clip[0], 1.0f);
    EXPECT_FLOAT_EQ(clip[1], -1.0f);
    EXPECT_FLOAT_EQ(clip[3], 1.0f);

    // The perspective keeps its own copy of the projection and puts a point ahead at w = -z.
    device_->SetPerspective(1.5707964f, 1.0f, 1.0f, 100.0f);
    device_->TransformToClipSpace(Vector3{0.0f, 0.0f, 10.0f}, clip);
    EXPECT_NEAR(clip[3], 10.0f, 1e-4f);
    EXPECT_NEAR(Device().state.projection[0], 1.0f, 1e-6f);
}

TEST_F(RenderDeviceTest, LightsAndFogReachGl) {
    RenderLightSet set{};
    set.ambient = Color{0.1f, 0.2f, 0.3f, 1.0f};
    set.count = 3;
    set.lights[0].kind = 0;
    set.lights[0].position = Vector3{1, 2, 3};
    set.lights[0].diffuse = Color{1, 0, 0, 1};
    set.lights[1].kind = 5;  // not a kind the device draws
    set.lights[2].kind = 2;
    set.lights[2].direction = Vector3{0, 0, 1};
    device_->SetLights(1, &set);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT2));
    GLfloat position[4];
    glGetLightfv(GL_LIGHT2, GL_POSITION, position);
    EXPECT_EQ(position[3], 0.0f);
    device_->SetLights(0, &set);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));

    device_->SetFog(1, 0xFF00FF00, 10.0f, 50.0f);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    GLfloat end = 0;
    glGetFloatv(GL_FOG_END, &end);
    EXPECT_EQ(end, 50.0f);
    device_->SetFog(0, 0, 0, 0);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
}

}  // namespace
