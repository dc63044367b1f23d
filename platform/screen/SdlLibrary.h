// SDL2, loaded when the first desktop window opens: a program that stays headless never maps
// it, nor the thirty libraries it brings (sound servers, codecs, input methods), which took
// longer to load than the game's own start-up.
#pragma once

#include <SDL.h>

#include <string>

namespace platform::screen {

// The SDL calls the desktop window makes.
struct SdlLibrary {
    decltype(&SDL_SetHint) SetHint;
    decltype(&SDL_InitSubSystem) InitSubSystem;
    decltype(&SDL_QuitSubSystem) QuitSubSystem;
    decltype(&SDL_GetError) GetError;
    decltype(&SDL_GetDisplayUsableBounds) GetDisplayUsableBounds;
    decltype(&SDL_CreateWindow) CreateWindow;
    decltype(&SDL_DestroyWindow) DestroyWindow;
    decltype(&SDL_GetWindowSize) GetWindowSize;
    decltype(&SDL_SetWindowSize) SetWindowSize;
    // (Declared in SDL_syswm.h, which brings in the X11 headers.)
    SDL_bool(SDLCALL* GetWindowWMInfo)(SDL_Window* window, struct SDL_SysWMinfo* info);
    decltype(&SDL_PollEvent) PollEvent;
    decltype(&SDL_GetKeyName) GetKeyName;
    decltype(&SDL_GetTicks) GetTicks;
    decltype(&SDL_CreateRGBSurfaceWithFormatFrom) CreateRGBSurfaceWithFormatFrom;
    decltype(&SDL_GetWindowSurface) GetWindowSurface;
    decltype(&SDL_SetSurfaceBlendMode) SetSurfaceBlendMode;
    decltype(&SDL_UpperBlitScaled) BlitScaled;
    decltype(&SDL_UpdateWindowSurface) UpdateWindowSurface;
    decltype(&SDL_FreeSurface) FreeSurface;
};

// The library, loaded on the first call and kept for the life of the process; null with a
// sentence in `error` when it or one of its calls cannot be found.
const SdlLibrary* Sdl(std::string& error);

}  // namespace platform::screen
