// The headless GL fixture of the platform GL tests.
#include "tests/platform/gles/GlesTestSupport.h"

#include <cmath>

namespace gles_test {

namespace {
LRESULT PlainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

void GlesTest::SetUp() {
    ASSERT_TRUE(platform::screen::Configure(platform::screen::DisplayGeometry{kScreenWidth, kScreenHeight, 96}));
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = PlainProcedure;
    windowClass.lpszClassName = u"GlesTestWindow";
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, u"GlesTestWindow", u"gles", WS_VISIBLE, 0, 0, kScreenWidth, kScreenHeight, nullptr,
                              nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
    display_ = platform::gles::GetScreenDisplay();
    ASSERT_NE(display_, EGL_NO_DISPLAY);
    ASSERT_TRUE(eglInitialize(display_, nullptr, nullptr));
    const EGLint attributes[] = {EGL_RED_SIZE,   5, EGL_GREEN_SIZE, 6,  EGL_BLUE_SIZE,    5,
                                 EGL_ALPHA_SIZE, 0, EGL_DEPTH_SIZE, 16, EGL_SURFACE_TYPE, EGL_WINDOW_BIT,
                                 EGL_NONE};
    EGLint count = 0;
    ASSERT_TRUE(platform::gles::ChooseConfig(display_, attributes, &config_, 1, &count));
    ASSERT_GE(count, 1);
    surface_ = platform::gles::CreateWindowSurface(display_, config_, window_, nullptr);
    ASSERT_NE(surface_, EGL_NO_SURFACE);
    context_ = platform::gles::CreateContext(display_, config_, EGL_NO_CONTEXT, nullptr);
    ASSERT_NE(context_, EGL_NO_CONTEXT);
    ASSERT_TRUE(platform::gles::MakeCurrent(display_, surface_, surface_, context_));
    glDisable(GL_DITHER);
}

void GlesTest::TearDown() {
    if (display_ != EGL_NO_DISPLAY) {
        platform::gles::MakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (surface_ != EGL_NO_SURFACE) platform::gles::DestroySurface(display_, surface_);
        if (context_ != EGL_NO_CONTEXT) platform::gles::DestroyContext(display_, context_);
        platform::gles::TerminateDisplay(display_);
    }
    if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
    platform::screen::SetCaptureSource({});
    platform::screen::Configure(platform::screen::DisplayGeometry{});
}

std::array<int, 4> GlesTest::PixelAt(int x, int y) const {
    std::uint8_t pixel[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return {pixel[0], pixel[1], pixel[2], pixel[3]};
}

void PixelProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrthof(0.0f, static_cast<float>(kScreenWidth), 0.0f, static_cast<float>(kScreenHeight), -1.0f, 1.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glViewport(0, 0, kScreenWidth, kScreenHeight);
}

int Quantised(int value, int bits) {
    int levels = (1 << bits) - 1;
    int step = static_cast<int>(std::lround(value * levels / 255.0));
    return static_cast<int>(std::lround(step * 255.0 / levels));
}

}  // namespace gles_test
