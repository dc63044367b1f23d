// The key-state table: what each key did in the current frame, built from the window's key
// and pen events and stepped once a frame by the frame driver.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

constexpr int kKeyStateCount = 256;
// The pen (touch) is key 200 in the table; it sends no key game events.
constexpr std::int32_t kPenKey = 200;

// Key states.
constexpr int kKeyReleased = -1;  // released this frame
constexpr int kKeyUp = 0;
constexpr int kKeyPressed = 1;    // pressed this frame
constexpr int kKeyHeld = 2;

// A key event from the window (kind kInputKeyDown or kInputKeyUp of InputEvents.h): sends
// the key game event (not for the pen), updates the key's state once per frame and queues
// the event in the input ring. `frame` is the frame driver's frame counter.
void OnKeyEvent(std::int32_t kind, std::int32_t key, std::int32_t data, DWORD frame);
// Once a frame after the message pump: keys not changed in this frame move on (pressed to
// held, released to up, and a key still down after a release back to pressed).
void KeyStateStep(DWORD frame);
// The key's state; keys outside the table read as up.
int GetKeyState(std::int32_t key);
// Key-down events since the key's last key-up; 0 outside the table.
DWORD KeyDownCount(std::int32_t key);
// Every key up, as at start-up.
void ResetKeyStates();
