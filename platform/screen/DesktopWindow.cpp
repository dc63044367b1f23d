// The SDL2 desktop window: showing the display's surface and turning desktop input into
// handset input.
#include "platform/screen/DesktopWindow.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

#include "platform/base/CodePage.h"
#include "platform/fs/ModulePath.h"
#include "platform/screen/Display.h"
#include "platform/screen/KeyNames.h"
#include "platform/screen/SdlLibrary.h"
#include "platform/screen/Tilt.h"
#include "platform/screen/TouchInput.h"
#include "platform/user/HotKey.h"

namespace platform::screen {

namespace {

// Room left for the desktop's own title bar and panels when the window must shrink.
constexpr int kDesktopMarginPixels = 64;
// The window redraws at most this often when a presenter is asked for its frame.
constexpr std::uint32_t kRefreshIntervalMs = 16;

std::string WindowTitle() {
    WCHAR path[MAX_PATH] = {};
    std::u16string program = u"handset";
    if (GetModuleFileNameW(nullptr, path, MAX_PATH) > 0) {
        program = path;
        std::size_t slash = program.find_last_of(u'\\');
        if (slash != std::u16string::npos) program = program.substr(slash + 1);
    }
    DisplayGeometry geometry = Geometry();
    return platform::Utf16ToUtf8(program) + " - handset " + std::to_string(geometry.nativeWidth) + "x" +
           std::to_string(geometry.nativeHeight) + " at " + std::to_string(geometry.dpi) + " dpi";
}

// The window size that shows `size` whole on the desktop: the display's own size, or
// smaller keeping its shape.
SDL_Point FittedSize(const SdlLibrary& sdl, SIZE size) {
    double scale = 1.0;
    SDL_Rect usable{};
    if (sdl.GetDisplayUsableBounds(0, &usable) == 0 && usable.w > 0 && usable.h > 0) {
        double room = std::max(1, usable.h - kDesktopMarginPixels);
        scale = std::min({1.0, static_cast<double>(usable.w) / size.cx, room / size.cy});
    }
    return SDL_Point{std::max(1, static_cast<int>(std::lround(size.cx * scale))),
                     std::max(1, static_cast<int>(std::lround(size.cy * scale)))};
}

}  // namespace

std::unique_ptr<DesktopWindow> DesktopWindow::Open(std::string& error) {
    std::string missing;
    const SdlLibrary* sdl = Sdl(missing);
    if (sdl == nullptr) {
        error = "The desktop display cannot be opened: " + missing + ".";
        return nullptr;
    }
    // The window shows the screen's pixels through a plain X image: SDL's accelerated
    // framebuffer would make a GLX context current on the thread that draws with EGL.
    sdl->SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (sdl->InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = std::string("The desktop display cannot be opened: ") + sdl->GetError() + ".";
        return nullptr;
    }
    SIZE size = Size();
    SDL_Point fitted = FittedSize(*sdl, size);
    SDL_Window* window = sdl->CreateWindow(WindowTitle().c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                           fitted.x, fitted.y, SDL_WINDOW_SHOWN);
    if (window == nullptr) {
        error = std::string("The desktop window cannot be made: ") + sdl->GetError() + ".";
        sdl->QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    std::unique_ptr<DesktopWindow> desktop(new DesktopWindow(*sdl, window));
    desktop->shownSize_ = size;
    ReadNativeHandles(*sdl, window, desktop->nativeWindow_, desktop->nativeDisplay_);
    return desktop;
}

DesktopWindow::DesktopWindow(const SdlLibrary& sdl, SDL_Window* window) : sdl_(sdl), window_(window) {}

DesktopWindow::~DesktopWindow() {
    sdl_.DestroyWindow(window_);
    sdl_.QuitSubSystem(SDL_INIT_VIDEO);
}

void DesktopWindow::Pump() {
    SDL_Event event;
    while (sdl_.PollEvent(&event)) Handle(event);
    FitToDisplay();
    Refresh();
}

POINT DesktopWindow::ToDisplay(int x, int y) const {
    int width = 0;
    int height = 0;
    sdl_.GetWindowSize(window_, &width, &height);
    SIZE size = Size();
    if (width <= 0 || height <= 0) return POINT{x, y};
    // Truncation toward negative infinity keeps a point left of the window off the display.
    auto scaled = [](int value, int from, int to) {
        return static_cast<LONG>(std::floor(static_cast<double>(value) * to / from));
    };
    return POINT{scaled(x, width, size.cx), scaled(y, height, size.cy)};
}

void DesktopWindow::Handle(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT: CloseTopWindow(); break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) CloseTopWindow();
            if (event.window.event == SDL_WINDOWEVENT_EXPOSED || event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
                shownGeneration_ = 0;
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            UINT key = VirtualKeyOfDesktopKey(sdl_.GetKeyName(event.key.keysym.sym));
            if (key != 0) platform::InjectKey(key, event.type == SDL_KEYDOWN);
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            if (event.button.button == SDL_BUTTON_RIGHT) {
                // The right button tilts: dragged from where it went down, level when let go.
                tilting_ = event.type == SDL_MOUSEBUTTONDOWN;
                tiltOriginX_ = event.button.x;
                tiltOriginY_ = event.button.y;
                if (!tilting_) SetTilt(0, 0, 0);
                break;
            }
            if (event.button.button != SDL_BUTTON_LEFT) break;
            POINT point = ToDisplay(event.button.x, event.button.y);
            if (event.type == SDL_MOUSEBUTTONDOWN)
                TouchDown(point.x, point.y);
            else
                TouchUp(point.x, point.y);
            break;
        }
        case SDL_MOUSEMOTION:
            // A touch screen feels only a finger that is down.
            if ((event.motion.state & SDL_BUTTON_LMASK) != 0) {
                POINT point = ToDisplay(event.motion.x, event.motion.y);
                TouchMove(point.x, point.y);
            }
            if (tilting_) {
                // 200 window pixels make one g: sideways tips x, up and down tip z.
                auto g = [](int pixels) { return std::clamp(static_cast<float>(pixels) / 200.0f, -1.0f, 1.0f); };
                SetTilt(g(event.motion.x - tiltOriginX_), 0.0f, g(event.motion.y - tiltOriginY_));
            }
            break;
        default: break;
    }
}

void DesktopWindow::FitToDisplay() {
    SIZE size = Size();
    if (size.cx == shownSize_.cx && size.cy == shownSize_.cy) return;
    shownSize_ = size;
    SDL_Point fitted = FittedSize(sdl_, size);
    sdl_.SetWindowSize(window_, fitted.x, fitted.y);
    shownGeneration_ = 0;
}

void DesktopWindow::Refresh() {
    if (claimed_) return;
    bool asksPresenter = HasCaptureSource();
    if (!asksPresenter && SurfaceGeneration() == shownGeneration_) return;
    std::uint32_t now = sdl_.GetTicks();
    if (asksPresenter && shownGeneration_ != 0 && now - lastRefreshMs_ < kRefreshIntervalMs) return;
    lastRefreshMs_ = now;
    std::uint64_t generation = SurfaceGeneration();
    Image image = Capture();
    if (asksPresenter) generation = SurfaceGeneration();
    SDL_Surface* source = sdl_.CreateRGBSurfaceWithFormatFrom(image.rgba.data(), image.width, image.height, 32,
                                                              image.width * 4, SDL_PIXELFORMAT_RGBA32);
    SDL_Surface* target = sdl_.GetWindowSurface(window_);
    if (source != nullptr && target != nullptr) {
        sdl_.SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
        if (sdl_.BlitScaled(source, nullptr, target, nullptr) == 0 && sdl_.UpdateWindowSurface(window_) == 0)
            shownGeneration_ = generation;
    }
    sdl_.FreeSurface(source);
}

}  // namespace platform::screen
