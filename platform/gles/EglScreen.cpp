// The handset screen's EGL display, configuration, surfaces and contexts, and the capture
// source that puts the GL frame on the screen for screenshots.
#include "platform/gles/EglScreen.h"

#include <EGL/eglext.h>
#include <GLES/gl.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/gles/ContextState.h"
#include "platform/screen/Display.h"
#include "platform/screen/Refresh.h"
#include "platform/screen/Screen.h"
#include "platform/user/Window.h"

namespace platform::gles {

namespace {

struct SurfaceRecord {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface surface = EGL_NO_SURFACE;
    bool pbuffer = false;
    // The back buffer still holds the last frame after a swap (always so for a pbuffer).
    bool keepsFrame = false;
    // The last frame, copied before the swap when the surface does not keep it.
    std::vector<std::uint8_t> frame;
    int frameWidth = 0;
    int frameHeight = 0;
};

struct SurfaceTable {
    std::mutex mutex;
    std::vector<SurfaceRecord> records;
};

SurfaceTable& Surfaces() {
    static SurfaceTable* table = new SurfaceTable;  // the capture source may run at exit
    return *table;
}

bool DesktopMode() { return platform::screen::NativeWindow() != 0 && platform::screen::NativeDisplay() != nullptr; }

// Whether GL draws into the desktop window itself. Otherwise it draws into a pbuffer on the
// surfaceless platform whose frames the screen shows: headless, and on a desktop whose X
// server offers no exact 5-6-5 window configuration (a 24-bit display has none).
std::atomic<bool> drawsIntoWindow{false};

bool HasExactRgb565WindowConfig(EGLDisplay display) {
    const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_ES_BIT,
                             EGL_RED_SIZE,     5,              EGL_GREEN_SIZE,      6,
                             EGL_BLUE_SIZE,    5,              EGL_NONE};
    EGLint matching = 0;
    if (!eglChooseConfig(display, wanted, nullptr, 0, &matching) || matching < 1) return false;
    std::vector<EGLConfig> configs(static_cast<std::size_t>(matching));
    if (!eglChooseConfig(display, wanted, configs.data(), matching, &matching)) return false;
    for (EGLint i = 0; i < matching; ++i) {
        EGLint red = 0;
        EGLint green = 0;
        EGLint blue = 0;
        if (eglGetConfigAttrib(display, configs[static_cast<std::size_t>(i)], EGL_RED_SIZE, &red) &&
            eglGetConfigAttrib(display, configs[static_cast<std::size_t>(i)], EGL_GREEN_SIZE, &green) &&
            eglGetConfigAttrib(display, configs[static_cast<std::size_t>(i)], EGL_BLUE_SIZE, &blue) && red == 5 &&
            green == 6 && blue == 5)
            return true;
    }
    return false;
}

SurfaceRecord* Find(std::vector<SurfaceRecord>& records, EGLSurface surface) {
    for (SurfaceRecord& record : records)
        if (record.surface == surface) return &record;
    return nullptr;
}

// Reads the current draw surface's pixels (bottom row first, RGBA).
bool ReadFrame(EGLDisplay display, EGLSurface surface, std::vector<std::uint8_t>& pixels, int& width, int& height) {
    EGLint w = 0;
    EGLint h = 0;
    if (!eglQuerySurface(display, surface, EGL_WIDTH, &w) || !eglQuerySurface(display, surface, EGL_HEIGHT, &h) ||
        w < 1 || h < 1)
        return false;
    pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
    GLint packAlignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    width = w;
    height = h;
    return true;
}

void PresentFrame(const std::vector<std::uint8_t>& pixels, int width, int height) {
    if (pixels.empty()) return;
    platform::screen::Present(platform::screen::FrameView{
        pixels.data(), width, height, static_cast<std::size_t>(width) * 4, platform::screen::PixelOrder::Rgba, true});
}

// Puts the surface's last frame on the screen: read now when this thread draws on it and
// it still holds the frame, else the copy taken at the last swap.
void CaptureSurface(EGLSurface surface) {
    SurfaceTable& table = Surfaces();
    std::lock_guard<std::mutex> guard(table.mutex);
    SurfaceRecord* record = Find(table.records, surface);
    if (record == nullptr) return;
    if (record->keepsFrame && eglGetCurrentSurface(EGL_DRAW) == surface) {
        std::vector<std::uint8_t> pixels;
        int width = 0;
        int height = 0;
        if (ReadFrame(record->display, surface, pixels, width, height)) PresentFrame(pixels, width, height);
        return;
    }
    PresentFrame(record->frame, record->frameWidth, record->frameHeight);
}

void AddSurface(const SurfaceRecord& record) {
    {
        SurfaceTable& table = Surfaces();
        std::lock_guard<std::mutex> guard(table.mutex);
        table.records.push_back(record);
    }
    EGLSurface surface = record.surface;
    platform::screen::SetCaptureSource([surface] { CaptureSurface(surface); });
}

}  // namespace

EGLDisplay GetScreenDisplay() {
    // Mesa's llvmpipe stands in for the handset's graphics chip. By default it starts a
    // rasteriser thread per core and wakes them all for every frame, which for a 480x800
    // screen costs more in waking than it gains, most of all in a game idling at the
    // display's refresh. Two threads, unless the user asks for another number.
    static std::once_flag threadsChosen;
    std::call_once(threadsChosen, [] { setenv("LP_NUM_THREADS", "2", 0); });
    if (DesktopMode()) {
        EGLDisplay window = eglGetPlatformDisplay(EGL_PLATFORM_X11_KHR, platform::screen::NativeDisplay(), nullptr);
        if (window != EGL_NO_DISPLAY && eglInitialize(window, nullptr, nullptr) &&
            HasExactRgb565WindowConfig(window)) {
            drawsIntoWindow = true;
            return window;
        }
    }
    drawsIntoWindow = false;
    return eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

EGLBoolean ChooseConfig(EGLDisplay display, const EGLint* attributes, EGLConfig* configs, EGLint capacity,
                        EGLint* count) {
    if (count == nullptr) return EGL_FALSE;
    *count = 0;
    // The requested list, with the surface kind of this screen and the ES 1 renderable bit.
    std::vector<EGLint> list;
    EGLint exact[4] = {EGL_DONT_CARE, EGL_DONT_CARE, EGL_DONT_CARE, EGL_DONT_CARE};  // red, green, blue, alpha
    const EGLint sizeNames[4] = {EGL_RED_SIZE, EGL_GREEN_SIZE, EGL_BLUE_SIZE, EGL_ALPHA_SIZE};
    bool hasRenderable = false;
    bool headless = !drawsIntoWindow;
    for (const EGLint* at = attributes; at != nullptr && at[0] != EGL_NONE; at += 2) {
        EGLint name = at[0];
        EGLint value = at[1];
        if (name == EGL_SURFACE_TYPE && headless && (value & EGL_WINDOW_BIT) != 0)
            value = (value & ~EGL_WINDOW_BIT) | EGL_PBUFFER_BIT;
        if (name == EGL_RENDERABLE_TYPE) {
            hasRenderable = true;
            value |= EGL_OPENGL_ES_BIT;
        }
        for (int i = 0; i < 4; ++i)
            if (name == sizeNames[i]) exact[i] = value;
        list.push_back(name);
        list.push_back(value);
    }
    if (!hasRenderable) {
        list.push_back(EGL_RENDERABLE_TYPE);
        list.push_back(EGL_OPENGL_ES_BIT);
    }
    list.push_back(EGL_NONE);

    EGLint matching = 0;
    if (!eglChooseConfig(display, list.data(), nullptr, 0, &matching)) return EGL_FALSE;
    std::vector<EGLConfig> all(static_cast<std::size_t>(std::max(matching, 0)));
    if (matching > 0 && !eglChooseConfig(display, list.data(), all.data(), matching, &matching)) return EGL_FALSE;
    all.resize(static_cast<std::size_t>(std::max(matching, 0)));
    for (EGLConfig config : all) {
        bool fits = true;
        for (int i = 0; i < 4 && fits; ++i) {
            if (exact[i] == EGL_DONT_CARE) continue;
            EGLint actual = -1;
            fits = eglGetConfigAttrib(display, config, sizeNames[i], &actual) && actual == exact[i];
        }
        if (!fits) continue;
        if (configs != nullptr && *count < capacity) configs[*count] = config;
        if (configs == nullptr || *count < capacity) ++*count;
    }
    return EGL_TRUE;
}

EGLSurface CreateWindowSurface(EGLDisplay display, EGLConfig config, HWND window, const EGLint* attributes) {
    if (window == nullptr || !IsWindow(window)) return EGL_NO_SURFACE;
    SurfaceRecord record;
    record.display = display;
    if (drawsIntoWindow) {
        record.surface = eglCreateWindowSurface(
            display, config, static_cast<EGLNativeWindowType>(platform::screen::NativeWindow()), attributes);
        if (record.surface == EGL_NO_SURFACE) return EGL_NO_SURFACE;
        // A back buffer kept across swaps can be read for a screenshot at any time; without
        // it every frame is copied before its swap.
        EGLint surfaceType = 0;
        if (eglGetConfigAttrib(display, config, EGL_SURFACE_TYPE, &surfaceType) &&
            (surfaceType & EGL_SWAP_BEHAVIOR_PRESERVED_BIT) != 0)
            eglSurfaceAttrib(display, record.surface, EGL_SWAP_BEHAVIOR, EGL_BUFFER_PRESERVED);
        EGLint behaviour = EGL_BUFFER_DESTROYED;
        record.keepsFrame = eglQuerySurface(display, record.surface, EGL_SWAP_BEHAVIOR, &behaviour) &&
                            behaviour == EGL_BUFFER_PRESERVED;
        platform::screen::ClaimNativeWindow(true);
    } else {
        SIZE size = platform::screen::Size();
        std::vector<EGLint> list = {EGL_WIDTH, static_cast<EGLint>(size.cx), EGL_HEIGHT, static_cast<EGLint>(size.cy)};
        for (const EGLint* at = attributes; at != nullptr && at[0] != EGL_NONE; at += 2)
            if (at[0] != EGL_WIDTH && at[0] != EGL_HEIGHT) list.insert(list.end(), {at[0], at[1]});
        list.push_back(EGL_NONE);
        record.surface = eglCreatePbufferSurface(display, config, list.data());
        if (record.surface == EGL_NO_SURFACE) return EGL_NO_SURFACE;
        record.pbuffer = true;
        record.keepsFrame = true;
    }
    AddSurface(record);
    return record.surface;
}

EGLContext CreateContext(EGLDisplay display, EGLConfig config, EGLContext share, const EGLint* attributes) {
    if (!eglBindAPI(EGL_OPENGL_ES_API)) return EGL_NO_CONTEXT;
    std::vector<EGLint> list;
    bool hasVersion = false;
    for (const EGLint* at = attributes; at != nullptr && at[0] != EGL_NONE; at += 2) {
        if (at[0] == EGL_CONTEXT_CLIENT_VERSION) hasVersion = true;
        list.insert(list.end(), {at[0], at[1]});
    }
    if (!hasVersion) list.insert(list.end(), {EGL_CONTEXT_CLIENT_VERSION, 1});
    list.push_back(EGL_NONE);
    return eglCreateContext(display, config, share, list.data());
}

EGLBoolean SwapBuffers(EGLDisplay display, EGLSurface surface) {
    {
        SurfaceTable& table = Surfaces();
        std::lock_guard<std::mutex> guard(table.mutex);
        SurfaceRecord* record = Find(table.records, surface);
        if (record != nullptr && !record->keepsFrame && eglGetCurrentSurface(EGL_DRAW) == surface)
            ReadFrame(display, surface, record->frame, record->frameWidth, record->frameHeight);
    }
    const EGLBoolean swapped = eglSwapBuffers(display, surface);
    // The frame goes out at the display's next refresh, which paces whoever presents.
    platform::screen::WaitForRefresh();
    return swapped;
}

EGLBoolean DestroySurface(EGLDisplay display, EGLSurface surface) {
    bool known = false;
    bool wasWindow = false;
    EGLSurface remaining = EGL_NO_SURFACE;
    {
        SurfaceTable& table = Surfaces();
        std::lock_guard<std::mutex> guard(table.mutex);
        auto& records = table.records;
        for (auto it = records.begin(); it != records.end(); ++it) {
            if (it->surface != surface) continue;
            known = true;
            wasWindow = !it->pbuffer;
            records.erase(it);
            break;
        }
        if (!records.empty()) remaining = records.back().surface;
    }
    if (known) {
        // The screen shows the newest surface that is left, or its own pixels again.
        if (remaining != EGL_NO_SURFACE)
            platform::screen::SetCaptureSource([remaining] { CaptureSurface(remaining); });
        else
            platform::screen::SetCaptureSource({});
        if (wasWindow) platform::screen::ClaimNativeWindow(false);
    }
    return eglDestroySurface(display, surface);
}

EGLBoolean DestroyContext(EGLDisplay display, EGLContext context) {
    ForgetState(context);
    return eglDestroyContext(display, context);
}

EGLBoolean TerminateDisplay(EGLDisplay display) {
    if (display == EGL_NO_DISPLAY) return EGL_FALSE;
    return eglReleaseThread();
}

}  // namespace platform::gles
