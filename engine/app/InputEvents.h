// The engine's input event ring: the window procedure queues pointer and key events and the
// overlay drains them once a frame. 32 entries; when the writer catches up with the reader
// the oldest entry is dropped, so a stalled reader never blocks input.
#pragma once

#include <cstdint>

// Event kinds.
constexpr std::int32_t kInputPointerPosition = 0;  // a = x, b = y
constexpr std::int32_t kInputPointerDown = 1;
constexpr std::int32_t kInputPointerUp = 2;
constexpr std::int32_t kInputKeyDown = 8;  // a = key, b = 1
constexpr std::int32_t kInputKeyUp = 9;    // a = key, b = 0

constexpr int kInputRingSize = 32;

struct InputEvent {
    std::int32_t kind;
    std::int32_t a;
    std::int32_t b;
    std::int32_t reserved;  // always -1
};

void PushInputEvent(std::int32_t kind, std::int32_t a, std::int32_t b);
// The oldest queued event, removed from the ring; null when the ring is empty. The entry
// stays valid until the next push.
const InputEvent* PopInputEvent();
bool HasInputEvent();
void ClearInputEvents();
