// A headless GL context on the handset screen for the platform GL tests: a fresh handset
// root, a small display, a window of this process, and the screen's EGL display with the
// 5-6-5 configuration, a pbuffer surface and an ES 1 context made current.
#pragma once

#include <EGL/egl.h>
#include <GLES/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "platform/gles/EglScreen.h"
#include "platform/screen/Display.h"
#include "platform/user/Window.h"
#include "tests/support/TestSupport.h"

namespace gles_test {

constexpr int kScreenWidth = 64;
constexpr int kScreenHeight = 48;

class GlesTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // RGBA bytes of the pixel at (x, y), GL's bottom-left origin.
    std::array<int, 4> PixelAt(int x, int y) const;

    handset_test::TempHandsetRoot root_;
    HWND window_ = nullptr;
    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLConfig config_ = nullptr;
    EGLSurface surface_ = EGL_NO_SURFACE;
    EGLContext context_ = EGL_NO_CONTEXT;
};

// A projection of the surface's pixels (0, 0 bottom-left) for drawing with raw GL.
void PixelProjection();

// The 8-bit value a channel of `bits` bits shows after it was quantised from `value`.
int Quantised(int value, int bits);

}  // namespace gles_test
