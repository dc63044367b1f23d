// The X11 handles of the desktop window. Kept apart because SDL_syswm.h brings in the X11
// headers, whose macros (None, KeyPress, Bool...) clash with the handset's names.
#include <SDL.h>
#include <SDL_syswm.h>

#include "platform/screen/DesktopWindow.h"
#include "platform/screen/SdlLibrary.h"

namespace platform::screen {

bool DesktopWindow::ReadNativeHandles(const SdlLibrary& sdl, SDL_Window* window, std::uintptr_t& nativeWindow,
                                      void*& nativeDisplay) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!sdl.GetWindowWMInfo(window, &info)) return false;
#if defined(SDL_VIDEO_DRIVER_X11)
    if (info.subsystem == SDL_SYSWM_X11) {
        nativeWindow = static_cast<std::uintptr_t>(info.info.x11.window);
        nativeDisplay = info.info.x11.display;
        return true;
    }
#endif
    return false;
}

}  // namespace platform::screen
