// Loading SDL2 by name on first use, and finding its calls.
#include "platform/screen/SdlLibrary.h"

#include <dlfcn.h>

#include <mutex>

namespace platform::screen {

namespace {

constexpr const char* kLibraryName = "libSDL2-2.0.so.0";

template <typename Call>
bool Find(void* library, const char* name, Call& call, std::string& missing) {
    call = reinterpret_cast<Call>(dlsym(library, name));
    if (call == nullptr && missing.empty()) missing = name;
    return call != nullptr;
}

struct Loaded {
    SdlLibrary calls{};
    bool ok = false;
    std::string error;

    Loaded() {
        void* library = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) {
            const char* reason = dlerror();
            error = std::string(kLibraryName) + " cannot be loaded (" + (reason != nullptr ? reason : "unknown") + ")";
            return;
        }
        std::string missing;
        Find(library, "SDL_SetHint", calls.SetHint, missing);
        Find(library, "SDL_InitSubSystem", calls.InitSubSystem, missing);
        Find(library, "SDL_QuitSubSystem", calls.QuitSubSystem, missing);
        Find(library, "SDL_GetError", calls.GetError, missing);
        Find(library, "SDL_GetDisplayUsableBounds", calls.GetDisplayUsableBounds, missing);
        Find(library, "SDL_CreateWindow", calls.CreateWindow, missing);
        Find(library, "SDL_DestroyWindow", calls.DestroyWindow, missing);
        Find(library, "SDL_GetWindowSize", calls.GetWindowSize, missing);
        Find(library, "SDL_SetWindowSize", calls.SetWindowSize, missing);
        Find(library, "SDL_GetWindowWMInfo", calls.GetWindowWMInfo, missing);
        Find(library, "SDL_PollEvent", calls.PollEvent, missing);
        Find(library, "SDL_GetKeyName", calls.GetKeyName, missing);
        Find(library, "SDL_GetTicks", calls.GetTicks, missing);
        Find(library, "SDL_CreateRGBSurfaceWithFormatFrom", calls.CreateRGBSurfaceWithFormatFrom, missing);
        Find(library, "SDL_GetWindowSurface", calls.GetWindowSurface, missing);
        Find(library, "SDL_SetSurfaceBlendMode", calls.SetSurfaceBlendMode, missing);
        Find(library, "SDL_UpperBlitScaled", calls.BlitScaled, missing);
        Find(library, "SDL_UpdateWindowSurface", calls.UpdateWindowSurface, missing);
        Find(library, "SDL_FreeSurface", calls.FreeSurface, missing);
        // The library stays loaded: SDL keeps threads and handlers of its own.
        if (!missing.empty()) {
            error = std::string(kLibraryName) + " lacks " + missing;
            return;
        }
        ok = true;
    }
};

}  // namespace

const SdlLibrary* Sdl(std::string& error) {
    // Never destroyed: windows may close while the program exits.
    static Loaded* loaded = new Loaded;
    if (!loaded->ok) {
        error = loaded->error;
        return nullptr;
    }
    return &loaded->calls;
}

}  // namespace platform::screen
