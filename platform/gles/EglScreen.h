// EGL on the handset screen: the display, the exact 5-6-5 configuration and the surface of
// the main window, drawn on the desktop window (desktop mode) or on a pbuffer of the screen's
// size (headless). The render device calls these where the handset called EGL with its
// device context and window.
#pragma once

#include <EGL/egl.h>

#include "platform/base/Types.h"

namespace platform::gles {

// The EGL display of the handset screen: the desktop window's X11 display in desktop mode
// when that display offers an exact 5-6-5 window configuration, Mesa's surfaceless platform
// otherwise (headless, or a 24-bit desktop: the screen then shows the pbuffer's frames in the
// desktop window). EGL_NO_DISPLAY when EGL offers neither.
EGLDisplay GetScreenDisplay();

// eglChooseConfig for the screen: when GL does not draw into the desktop window, a window bit in EGL_SURFACE_TYPE asks for
// a pbuffer instead, the configuration must render OpenGL ES 1, and every colour size the
// list names must match exactly (EGL sorts deeper configurations first, so a request for
// 5-6-5 would otherwise get 8-8-8 or 10-10-10). `count` is the number of configurations
// kept, at most `capacity`. EGL_FALSE when EGL refuses the list.
EGLBoolean ChooseConfig(EGLDisplay display, const EGLint* attributes, EGLConfig* configs, EGLint capacity,
                        EGLint* count);

// The surface of a window of this process: a window surface on the desktop window (claimed
// from the screen while it lives), or else a pbuffer of the screen's size. It
// becomes the screen's capture source, so screenshots show the GL frame. EGL_NO_SURFACE for
// a window that does not exist or when EGL refuses.
EGLSurface CreateWindowSurface(EGLDisplay display, EGLConfig config, HWND window, const EGLint* attributes);

// An OpenGL ES 1 context (the client version is 1 unless the list names one).
EGLContext CreateContext(EGLDisplay display, EGLConfig config, EGLContext share, const EGLint* attributes);

// eglMakeCurrent, remembering for this thread which context is current: the GL stand-ins
// (MatrixPalette.h) look at it on every call, and asking EGL each time costs a system call
// under the EGL dispatcher. A thread that makes contexts current through here must not call
// eglMakeCurrent itself.
EGLBoolean MakeCurrent(EGLDisplay display, EGLSurface draw, EGLSurface read, EGLContext context);

// eglSwapBuffers, keeping a copy of the frame for screenshots when the surface does not
// keep its pixels after a swap; then waits for the display's next refresh
// (platform::screen::WaitForRefresh), as the handset's display paced every present.
EGLBoolean SwapBuffers(EGLDisplay display, EGLSurface surface);

// Give the screen back (capture source, desktop window) before the surface goes.
EGLBoolean DestroySurface(EGLDisplay display, EGLSurface surface);
// Forgets what this layer kept for the context (buffer copies, palette), then destroys it.
EGLBoolean DestroyContext(EGLDisplay display, EGLContext context);
// Stands for eglTerminate: releases the thread's EGL state but keeps the screen's display
// initialised for the life of the process, as the handset keeps its display driver. (Mesa
// unloads its driver at eglTerminate and loses memory the driver allocated once, which the
// sanitizer then reports as a leak of every program that drew.) A later eglInitialize
// finds the display ready. EGL_FALSE for no display.
EGLBoolean TerminateDisplay(EGLDisplay display);

}  // namespace platform::gles
