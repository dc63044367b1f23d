// The desktop window of the handset screen (SDL2): shows the display, scaled down when the
// desktop is smaller, and turns the desktop's mouse and keys into the handset's touch and
// key input (see KeyNames.h for the keys). Its close button asks the program to close.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/base/Types.h"

struct SDL_Window;
union SDL_Event;

namespace platform::screen {

struct SdlLibrary;

class DesktopWindow {
public:
    // Loads SDL (the first time), opens its video and the window; null with a sentence saying
    // why it failed.
    static std::unique_ptr<DesktopWindow> Open(std::string& error);
    ~DesktopWindow();
    DesktopWindow(const DesktopWindow&) = delete;
    DesktopWindow& operator=(const DesktopWindow&) = delete;

    // On the thread that opened it: handles the desktop's events, follows a turn of the
    // display and shows the display's pixels when they changed.
    void Pump();

    // The X11 window and Display* behind the window, for EGL; 0 and null on another
    // windowing system.
    std::uintptr_t NativeWindow() const { return nativeWindow_; }
    void* NativeDisplay() const { return nativeDisplay_; }

    // While a presenter draws into the native window itself (EGL on the window), the
    // window stops showing the display's surface over it.
    void SetClaimed(bool claimed) { claimed_ = claimed; }

private:
    DesktopWindow(const SdlLibrary& sdl, SDL_Window* window);
    // X11 handles of the window (DesktopWindow_native.cpp, which alone sees the X11 headers).
    static bool ReadNativeHandles(const SdlLibrary& sdl, SDL_Window* window, std::uintptr_t& nativeWindow,
                                  void*& nativeDisplay);

    void Handle(const SDL_Event& event);
    void FitToDisplay();
    void Refresh();
    // Window coordinates to display coordinates.
    POINT ToDisplay(int x, int y) const;

    const SdlLibrary& sdl_;  // loaded by Open (SdlLibrary.h)
    SDL_Window* window_ = nullptr;
    std::uintptr_t nativeWindow_ = 0;
    void* nativeDisplay_ = nullptr;
    bool claimed_ = false;
    SIZE shownSize_{0, 0};
    std::uint64_t shownGeneration_ = 0;
    bool tilting_ = false;  // the right button is held: the mouse tilts the handset
    int tiltOriginX_ = 0;
    int tiltOriginY_ = 0;
    std::uint32_t lastRefreshMs_ = 0;
};

}  // namespace platform::screen
