// The least a program does to show one OpenGL ES 1 frame headless, as the start-up
// benchmark's baseline: EGL on the default display (the surfaceless platform when
// EGL_PLATFORM says so), a 5-6-5 pbuffer of the game's screen size, a context, one clear,
// one swap, and the same teardown. Exit status 0 when the frame was presented.
#include <EGL/egl.h>
#include <GLES/gl.h>

#include <cstdio>

int main() {
    EGLDisplay display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
        std::fprintf(stderr, "MinimalEglFrame: EGL could not be initialised.\n");
        return 1;
    }
    const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_ES_BIT,
                                 EGL_RED_SIZE,     5,              EGL_GREEN_SIZE,      6,
                                 EGL_BLUE_SIZE,    5,              EGL_DEPTH_SIZE,      16,
                                 EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display, attributes, &config, 1, &count) || count < 1) {
        std::fprintf(stderr, "MinimalEglFrame: no 5-6-5 pbuffer configuration.\n");
        return 1;
    }
    const EGLint size[] = {EGL_WIDTH, 480, EGL_HEIGHT, 800, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display, config, size);
    const EGLint version[] = {EGL_CONTEXT_CLIENT_VERSION, 1, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, version);
    if (surface == EGL_NO_SURFACE || context == EGL_NO_CONTEXT ||
        !eglMakeCurrent(display, surface, surface, context)) {
        std::fprintf(stderr, "MinimalEglFrame: no surface or context.\n");
        return 1;
    }
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const bool presented = eglSwapBuffers(display, surface) == EGL_TRUE;
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display, context);
    eglDestroySurface(display, surface);
    eglTerminate(display);
    return presented ? 0 : 1;
}
