// The game program's start-up and shutdown: ProgramEntry brings the engine up in a fixed
// order (configuration, folders, modules, archives, window, render and sound devices, name
// table, 2D canvas and overlay (OverlayLayerSteps.h), game object, lights), runs the game object's main loop and, when it returns, takes
// everything down again in a fixed order.
#pragma once

#include "engine/app/Application.h"
#include "platform/base/Types.h"

// Defined by each program: registers the program's modules after the core module (the
// render device's, the sound device's and the game's, in that order).
void RegisterModules();

// The program's entry, with the engine log on standard error unless a log stream is set: 0 when the game ran and ended,
// or when a second start brought the running game to the front; 1 when start-up failed, after
// shutting down what it started and printing the exception list.
int ProgramEntry(HINSTANCE instance);

// 0 on success; 1 on failure, after shutting down what it started. 1 at once when the
// application is already started.
int AppInit(Application& application, HINSTANCE instance, const char* name);
// Takes down, in order, whatever start-up made; nothing when the application is not started.
void AppShutdown(Application& application);
