// The render device's start-up and shutdown on EGL, its screen and viewport rectangles,
// clearing and presenting, and the objects it makes.
#include "engine/render/OpenGLRenderDevice.h"

#include <GLES/gl.h>
#include <GLES/glext.h>

#include <algorithm>
#include <cstdio>

#include "engine/core/math/ColorMath.h"
#include "engine/render/EffectGL.h"
#include "engine/render/RenderQueue.h"
#include "engine/render/TextureDataOpenGL.h"
#include "engine/render/VertexBuffer.h"
#include "platform/gles/EglScreen.h"
#include "platform/gles/MatrixPalette.h"
#include "platform/user/Window.h"

namespace {

OpenGLRenderDevice* g_renderDevice = nullptr;
char g_eglTrace[160] = "";

struct EglErrorText {
    EGLint code;
    const char* name;
};

constexpr EglErrorText kEglErrors[] = {
    {0x3000, "EGL_SUCCESS"},       {0x3001, "EGL_NOT_INITIALIZED"},     {0x3002, "EGL_BAD_ACCESS"},
    {0x3003, "EGL_BAD_ALLOC"},     {0x3004, "EGL_BAD_ATTRIBUTE"},       {0x3005, "EGL_BAD_CONFIG"},
    {0x3006, "EGL_BAD_CONTEXT"},   {0x3007, "EGL_BAD_CURRENT_SURFACE"}, {0x3008, "EGL_BAD_DISPLAY"},
    {0x3009, "EGL_BAD_MATCH"},     {0x300A, "EGL_BAD_NATIVE_PIXMAP"},   {0x300B, "EGL_BAD_NATIVE_WINDOW"},
    {0x300C, "EGL_BAD_PARAMETER"}, {0x300D, "EGL_BAD_SURFACE"},         {0x300E, "EGL_CONTEXT_LOST"},
};

// After a failed EGL step: "<step> failed! (<error>)" when EGL names an error, a debug
// trace only.
void TraceEglFailure(const char* step) {
    EGLint code = eglGetError();
    if (code == 0 || code == EGL_SUCCESS) return;
    std::snprintf(g_eglTrace, sizeof g_eglTrace, "%s failed! (%s)", step, EglErrorName(code));
}

// A step whose failure is not an EGL error (no configuration matched) is traced as it is.
void TraceFailure(const char* step) { std::snprintf(g_eglTrace, sizeof g_eglTrace, "%s failed!", step); }

}  // namespace

DeviceGlobals& Device() {
    static DeviceGlobals globals;
    return globals;
}

void ForgetBoundTexture(const TextureData* texture) {
    DeviceGlobals& device = Device();
    for (TextureUnitRecord& unit : device.state.units)
        if (unit.texture == texture && texture != nullptr) {
            unit.texture = nullptr;
            unit.word &= ~(kUnitMinFilterMask | kUnitMagFilterMask);
        }
    if (device.ownWhiteTexture == texture) device.ownWhiteTexture = nullptr;
}

const char* EglErrorName(EGLint code) {
    static char text[64];
    for (const EglErrorText& entry : kEglErrors)
        if (entry.code == code) {
            std::snprintf(text, sizeof text, "%s [%u]", entry.name, static_cast<unsigned>(code));
            return text;
        }
    std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(code));
    return text;
}

const char* LastEglTrace() { return g_eglTrace; }

OpenGLRenderDevice* RenderDevice() { return g_renderDevice; }
void SetRenderDevice(OpenGLRenderDevice* device) { g_renderDevice = device; }

DWORD OpenGLRenderDevice::Init(HWND window, const ScreenSize* size) {
    DeviceGlobals& device = Device();
    if (device.display != EGL_NO_DISPLAY) Shutdown();
    g_eglTrace[0] = '\0';
    device.window = window;
    if (window == nullptr || size == nullptr) return 1;
    if (!GetWindowRect(window, &device.screen)) return 1;

    device.display = platform::gles::GetScreenDisplay();
    if (device.display == EGL_NO_DISPLAY) return 1;
    EGLint major = 0;
    EGLint minor = 0;
    if (!eglInitialize(device.display, &major, &minor)) {
        TraceEglFailure("eglInitialize");
        return 1;
    }
    const EGLint attributes[] = {EGL_RED_SIZE,     5,
                                 EGL_GREEN_SIZE,   6,
                                 EGL_BLUE_SIZE,    5,
                                 EGL_ALPHA_SIZE,   0,
                                 EGL_DEPTH_SIZE,   16,
                                 EGL_STENCIL_SIZE, EGL_DONT_CARE,
                                 EGL_SURFACE_TYPE, EGL_WINDOW_BIT,
                                 EGL_NONE,         EGL_NONE};
    EGLConfig configs[10];
    EGLint matching = 0;
    if (!platform::gles::ChooseConfig(device.display, attributes, configs, 10, &matching)) {
        TraceEglFailure("eglChooseConfig");
        return 1;
    }
    if (matching < 1) {
        TraceFailure("eglChooseConfig [matchingConfigs < 1]");
        return 1;
    }
    device.surface = platform::gles::CreateWindowSurface(device.display, configs[0], window, nullptr);
    if (device.surface == EGL_NO_SURFACE) {
        TraceEglFailure("eglCreateWindowSurface");
        return 1;
    }
    device.context = platform::gles::CreateContext(device.display, configs[0], EGL_NO_CONTEXT, nullptr);
    if (device.context == EGL_NO_CONTEXT) {
        TraceEglFailure("eglCreateContext");
        return 1;
    }
    if (!platform::gles::MakeCurrent(device.display, device.surface, device.surface, device.context)) {
        TraceEglFailure("eglMakeCurrent");
        return 1;
    }

    glViewport(0, 0, size->width, size->height);
    glScissor(0, 0, size->width, size->height);
    device.viewport = device.screen;
    auto left = static_cast<float>(device.screen.left);
    auto top = static_cast<float>(device.screen.top);
    auto right = static_cast<float>(device.screen.right);
    auto bottom = static_cast<float>(device.screen.bottom);
    device.quad = FullScreenQuad{{{left, top, 0}, {left, bottom, 0}, {right, bottom, 0}, {right, top, 0}},
                                 {{0, 0}, {0, 1}, {1, 1}, {1, 0}},
                                 {{0, 0, -1}, {0, 0, -1}, {0, 0, -1}, {0, 0, -1}}};

    device.queue = RenderQueue::Create();
    if (device.queue == nullptr) return 1;
    ResetRenderState();

    // Every unit combines (a unit left in GL's default modulate mode would ignore the
    // combiner operations set on it); unit 0 stays active.
    GLint units = 1;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
    for (GLint unit = std::min<GLint>(units, kTextureUnitCount) - 1; unit >= 0; --unit) {
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
        glTexEnvx(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    }
    glShadeModel(GL_SMOOTH);
    glEnable(GL_TEXTURE_2D);
    device.state.word1 |= kStateTexturing;
    device.state.units[0].word |= kUnitTexturingOn;
    glDepthRangef(0.0f, 1.0f);
    glFogx(GL_FOG_MODE, GL_LINEAR);
    glTexParameterx(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterx(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameterx(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameterx(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);

    std::int32_t width = 0;
    std::int32_t height = 0;
    GetScreenSize(&width, &height);
    platform::gles::MatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrthof(0.0f, static_cast<float>(width), static_cast<float>(height), 0.0f, 0.0f, 1.0f);
    glViewport(0, 0, width, height);
    glScissor(0, 0, width, height);
    platform::gles::MatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return 0;
}

void OpenGLRenderDevice::Shutdown() {
    DeviceGlobals& device = Device();
    if (device.queue != nullptr) {
        delete device.queue;
        device.queue = nullptr;
    }
    if (device.display == EGL_NO_DISPLAY) return;
    // The device's own white texture goes while its context is still current.
    delete device.ownWhiteTexture;
    device.ownWhiteTexture = nullptr;
    for (TextureUnitRecord& unit : device.state.units) unit = TextureUnitRecord{};
    if (!eglWaitGL()) TraceEglFailure("eglWaitGL");
    if (!platform::gles::MakeCurrent(device.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT))
        TraceEglFailure("eglMakeCurrent");
    if (device.surface != EGL_NO_SURFACE) {
        if (!platform::gles::DestroySurface(device.display, device.surface)) TraceEglFailure("eglDestroySurface");
        device.surface = EGL_NO_SURFACE;
    }
    if (device.context != EGL_NO_CONTEXT) {
        if (!platform::gles::DestroyContext(device.display, device.context)) TraceEglFailure("eglDestroyContext");
        device.context = EGL_NO_CONTEXT;
    }
    if (!platform::gles::TerminateDisplay(device.display)) TraceEglFailure("eglTerminate");
    device.display = EGL_NO_DISPLAY;
}

TextureData* OpenGLRenderDevice::CreateTextureObject() { return new TextureDataOpenGL; }

EffectBase* OpenGLRenderDevice::CreateEffect() { return new EffectGL; }

void OpenGLRenderDevice::DeleteObject(DeviceObject* object) { delete object; }

void OpenGLRenderDevice::SetClearColor(const Color& colour) {
    DeviceGlobals& device = Device();
    device.clearColour[0] = colour.r;
    device.clearColour[1] = colour.g;
    device.clearColour[2] = colour.b;
    device.clearColour[3] = colour.a;
    device.clearArgb = ColorToARGB(colour);
}

void OpenGLRenderDevice::GetScreenSize(std::int32_t* width, std::int32_t* height) const {
    const RECT& screen = Device().screen;
    if (width != nullptr) *width = screen.right - screen.left;
    if (height != nullptr) *height = screen.bottom - screen.top;
}

void OpenGLRenderDevice::GetViewport(std::int32_t* x, std::int32_t* y, std::int32_t* width,
                                     std::int32_t* height) const {
    const RECT& viewport = Device().viewport;
    if (x != nullptr) *x = viewport.left;
    if (y != nullptr) *y = viewport.top;
    if (width != nullptr) *width = viewport.right - viewport.left;
    if (height != nullptr) *height = viewport.bottom - viewport.top;
}

void OpenGLRenderDevice::SetViewport(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
    Device().viewport = RECT{x, y, x + width, y + height};
    std::int32_t screenHeight = 0;
    GetScreenSize(nullptr, &screenHeight);
    GLint glY = screenHeight - y - height;
    glViewport(x, glY, width, height);
    glScissor(x, glY, width, height);
}

void OpenGLRenderDevice::GetViewportRect(ViewportRect* rect) const {
    if (rect != nullptr) GetViewport(&rect->x, &rect->y, &rect->width, &rect->height);
}

void OpenGLRenderDevice::SetViewportRect(const ViewportRect& rect) {
    SetViewport(rect.x, rect.y, rect.width, rect.height);
}

HWND OpenGLRenderDevice::GetWindow() const { return Device().window; }

int OpenGLRenderDevice::UpdateScreenRect() {
    DeviceGlobals& device = Device();
    RECT client{};
    if (device.window != nullptr && GetClientRect(device.window, &client)) device.screen = client;
    return 1;
}

int OpenGLRenderDevice::Clear(DWORD mode) {
    const GLfloat* colour = Device().clearColour;
    glClearColor(colour[0], colour[1], colour[2], colour[3]);
    if (mode == 1) {
        glClearDepthf(1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    } else if (mode == 2) {
        glClear(GL_DEPTH_BUFFER_BIT);
    } else {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    return 1;
}

int OpenGLRenderDevice::Present() {
    FlushQueue();
    SetArrays(0, 0, 0, 0);
    glFlush();
    DeviceGlobals& device = Device();
    if (device.display == EGL_NO_DISPLAY || device.surface == EGL_NO_SURFACE) return 0;
    return platform::gles::SwapBuffers(device.display, device.surface) ? 1 : 0;
}

void OpenGLRenderDevice::SetWhiteTextureSource(TextureData* (*source)()) { Device().whiteTextureSource = source; }

const RenderStatistics& OpenGLRenderDevice::Statistics() { return Device().statistics; }
void OpenGLRenderDevice::ResetStatistics() { Device().statistics = RenderStatistics{}; }
bool OpenGLRenderDevice::Failed() { return Device().failed; }
void OpenGLRenderDevice::ClearFailure() { Device().failed = false; }
std::int32_t OpenGLRenderDevice::LiveVertexBuffers() { return Device().liveVertexBuffers; }
std::int32_t OpenGLRenderDevice::LiveIndexBuffers() { return Device().liveIndexBuffers; }
