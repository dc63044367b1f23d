// EGL on the handset screen: the exact 5-6-5 configuration, the pbuffer of the screen's
// size, screenshots that show the GL frame, and presents paced by the display's refresh.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/base/Clock.h"
#include "platform/screen/Refresh.h"

#include "tests/platform/gles/GlesTestSupport.h"

namespace {

using gles_test::GlesTest;
using gles_test::kScreenHeight;
using gles_test::kScreenWidth;

EGLint Attribute(EGLDisplay display, EGLConfig config, EGLint name) {
    EGLint value = -1;
    eglGetConfigAttrib(display, config, name, &value);
    return value;
}

TEST_F(GlesTest, EveryChosenConfigurationIsExactly565WhereEglSortsDeeperOnesFirst) {
    const EGLint attributes[] = {EGL_RED_SIZE,   5, EGL_GREEN_SIZE, 6,  EGL_BLUE_SIZE,    5,
                                 EGL_ALPHA_SIZE, 0, EGL_DEPTH_SIZE, 16, EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
                                 EGL_NONE};
    EGLConfig raw[64];
    EGLint rawCount = 0;
    ASSERT_TRUE(eglChooseConfig(display_, attributes, raw, 64, &rawCount));
    ASSERT_GE(rawCount, 1);
    EXPECT_GT(Attribute(display_, raw[0], EGL_RED_SIZE), 5) << "EGL now lists 5-6-5 first; the filter is moot";

    EGLConfig chosen[10];
    EGLint count = 0;
    ASSERT_TRUE(platform::gles::ChooseConfig(display_, attributes, chosen, 10, &count));
    ASSERT_GE(count, 1);
    for (EGLint i = 0; i < count; ++i) {
        EXPECT_EQ(Attribute(display_, chosen[i], EGL_RED_SIZE), 5);
        EXPECT_EQ(Attribute(display_, chosen[i], EGL_GREEN_SIZE), 6);
        EXPECT_EQ(Attribute(display_, chosen[i], EGL_BLUE_SIZE), 5);
        EXPECT_EQ(Attribute(display_, chosen[i], EGL_ALPHA_SIZE), 0);
        EXPECT_GE(Attribute(display_, chosen[i], EGL_DEPTH_SIZE), 16);
    }
}

TEST_F(GlesTest, AConfigurationNoneMatchesGivesNone) {
    const EGLint attributes[] = {EGL_RED_SIZE, 3, EGL_GREEN_SIZE, 3, EGL_BLUE_SIZE, 2, EGL_NONE};
    EGLConfig chosen[4];
    EGLint count = 7;
    ASSERT_TRUE(platform::gles::ChooseConfig(display_, attributes, chosen, 4, &count));
    EXPECT_EQ(count, 0);
}

TEST_F(GlesTest, TheSurfaceHasTheScreensSizeAndReadsBackItsClearColour) {
    EGLint width = 0;
    EGLint height = 0;
    eglQuerySurface(display_, surface_, EGL_WIDTH, &width);
    eglQuerySurface(display_, surface_, EGL_HEIGHT, &height);
    EXPECT_EQ(width, kScreenWidth);
    EXPECT_EQ(height, kScreenHeight);

    glClearColor(1.0f, 0.5f, 0.25f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    auto pixel = PixelAt(kScreenWidth - 1, kScreenHeight - 1);
    EXPECT_EQ(pixel[0], 255);
    EXPECT_NEAR(pixel[1], gles_test::Quantised(128, 6), 4);
    EXPECT_NEAR(pixel[2], gles_test::Quantised(64, 5), 8);
}

TEST_F(GlesTest, AScreenshotShowsTheGlFrameTheRightWayUp) {
    // Top half red, bottom half blue in screen terms (GL's origin is bottom-left).
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, kScreenWidth, kScreenHeight / 2);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(0, kScreenHeight / 2, kScreenWidth, kScreenHeight / 2);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    ASSERT_TRUE(platform::gles::SwapBuffers(display_, surface_));

    platform::screen::Image image = platform::screen::Capture();
    ASSERT_EQ(image.width, kScreenWidth);
    ASSERT_EQ(image.height, kScreenHeight);
    const std::uint8_t* top = image.PixelAt(3, 2);
    const std::uint8_t* bottom = image.PixelAt(3, kScreenHeight - 3);
    EXPECT_EQ((std::array<int, 3>{top[0], top[1], top[2]}), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ((std::array<int, 3>{bottom[0], bottom[1], bottom[2]}), (std::array<int, 3>{0, 0, 255}));

    // Without the surface the screen shows its own pixels again.
    platform::gles::MakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    ASSERT_TRUE(platform::gles::DestroySurface(display_, surface_));
    surface_ = EGL_NO_SURFACE;
    EXPECT_FALSE(platform::screen::HasCaptureSource());
}

// Each present returns at the display's next refresh: on the manual clock at the first
// millisecond of the next period of 1000/60 ms, however much of the period the frame used.
TEST_F(GlesTest, PresentsArePacedToTheRefresh) {
    platform::clock::UseManualClock(1000, 0);
    platform::screen::SetRefreshRate(60);
    struct Step {
        DWORD work;    // ms the frame takes before it presents
        DWORD landed;  // the tick count when the present returns
    };
    // Refreshes at 60 Hz lie at 1016.7, 1033.3, 1050, 1066.7, 1083.3, 1100 ... ms.
    const Step steps[] = {{0, 1017}, {0, 1034}, {5, 1050}, {16, 1067}, {17, 1100}, {0, 1117}};
    for (const Step& step : steps) {
        platform::clock::Advance(step.work);
        glClear(GL_COLOR_BUFFER_BIT);
        ASSERT_TRUE(platform::gles::SwapBuffers(display_, surface_));
        EXPECT_EQ(GetTickCount(), step.landed) << "after " << step.work << " ms of work";
    }
    // Another rate moves the refreshes; 0 paces nothing.
    platform::screen::SetRefreshRate(25);
    ASSERT_TRUE(platform::gles::SwapBuffers(display_, surface_));
    EXPECT_EQ(GetTickCount(), 1120u);
    platform::screen::SetRefreshRate(0);
    ASSERT_TRUE(platform::gles::SwapBuffers(display_, surface_));
    EXPECT_EQ(GetTickCount(), 1120u);
    platform::screen::SetRefreshRate(platform::screen::kDefaultRefreshHz);
    platform::clock::UseRealClock();

    // On the real clock ten presents take about ten periods.
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(platform::gles::SwapBuffers(display_, surface_));
    const auto spent = std::chrono::steady_clock::now() - start;
    EXPECT_GE(spent, std::chrono::milliseconds(150));
    EXPECT_LT(spent, std::chrono::milliseconds(1000));
}

TEST_F(GlesTest, AWindowThatDoesNotExistGetsNoSurface) {
    HWND gone = CreateWindowExW(0, u"GlesTestWindow", u"gone", 0, 0, 0, 8, 8, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(DestroyWindow(gone));
    EXPECT_EQ(platform::gles::CreateWindowSurface(display_, config_, gone, nullptr), EGL_NO_SURFACE);
    EXPECT_EQ(platform::gles::CreateWindowSurface(display_, config_, nullptr, nullptr), EGL_NO_SURFACE);
}

}  // namespace
