// The game program's start-up and shutdown: ProgramEntry brings the engine up in a fixed
// order (configuration, folders, modules, archives, window, render and sound devices, name
// table, 2D canvas and overlay (OverlayLayerSteps.h), game object, lights), runs the game object's main loop and, when it returns, takes
// everything down again in a fixed order.
#pragma once

#include "engine/app/Application.h"
#include "platform/base/Types.h"

// What a program hands its start-up: registers the program's modules after the core module
// (the render device's, the sound device's and the game's, in that order). The engine knows
// only the modules it is given this way.
using ModuleRegistration = void (*)();

// The program's entry, which starts with the program's modules that `registerModules` names,
// with the engine log on standard error unless a log stream is set: 0 when the game ran and
// ended, or when a second start brought the running game to the front; 1 when start-up
// failed, after shutting down what it started and printing the exception list.
int ProgramEntry(HINSTANCE instance, ModuleRegistration registerModules);

// 0 on success; 1 on failure, after shutting down what it started. 1 at once when the
// application is already started. `registerModules` may be null (no modules of the program).
int AppInit(Application& application, HINSTANCE instance, const char* name, ModuleRegistration registerModules);
// Takes down, in order, whatever start-up made; nothing when the application is not started.
void AppShutdown(Application& application);
