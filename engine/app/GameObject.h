// The game object as the engine drives it: created by class name from the configured game
// module, told the window's game events, and released at shutdown.
#pragma once

#include "engine/core/object/Engine.h"
#include "platform/base/Types.h"

// Game events, sent to Engine::OnEvent with two arguments.
constexpr DWORD kGameEventPenDown = 0;       // packed pointer position, 0
constexpr DWORD kGameEventPenMove = 1;       // packed pointer position, 0
constexpr DWORD kGameEventPenUp = 2;         // packed pointer position, 0
constexpr DWORD kGameEventSwipeRight = 3;    // packed position, bits of the x distance as a float
constexpr DWORD kGameEventSwipeLeft = 4;     // packed position, bits of the x distance as a float
constexpr DWORD kGameEventKeyUp = 5;         // key, 0
constexpr DWORD kGameEventKeyDown = 6;       // key, 1
constexpr DWORD kGameEventDisplayChanged = 7;
constexpr DWORD kGameEventFocusGained = 8;
constexpr DWORD kGameEventFocusLost = 9;
constexpr DWORD kGameEventResume = 10;       // cancel-mode while paused
constexpr DWORD kGameEventPause = 11;        // cancel-mode while running
constexpr DWORD kGameEventDeactivated = 12;
constexpr DWORD kGameEventActivated = 13;

// The game object, null while there is none.
Engine* GameObject();

// Nothing when there is no game object.
void SendGameEvent(DWORD event, LPARAM a, LPARAM b);

// Destroys any existing game object, creates one by class name (a kind of Engine) and runs
// its Init. 0 on success; 1 when it cannot be created or its Init fails (the object is then
// released and forgotten).
int CreateGameEngine(const char* moduleName, const char* className);
// Runs the game object's Shutdown, releases it and forgets it; nothing without one.
void DestroyGameEngine();
