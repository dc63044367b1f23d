// The 256-entry key-state table.
#include "engine/app/KeyStates.h"

#include "engine/app/GameObject.h"
#include "engine/app/InputEvents.h"

namespace {

struct KeyState {
    int state;
    DWORD downCount;
    DWORD changeFrame;  // the frame counter of the last change; frames count from 1
};

KeyState keys[kKeyStateCount];

bool InTable(std::int32_t key) { return key >= 0 && key < kKeyStateCount; }

}  // namespace

void OnKeyEvent(std::int32_t kind, std::int32_t key, std::int32_t data, DWORD frame) {
    if (key != kPenKey) {
        if (kind == kInputKeyDown) SendGameEvent(kGameEventKeyDown, key, data);
        if (kind == kInputKeyUp) SendGameEvent(kGameEventKeyUp, key, data);
    }
    if (InTable(key)) {
        KeyState& entry = keys[key];
        const bool down = kind == kInputKeyDown;
        entry.downCount = down ? entry.downCount + 1 : 0;
        // Only the first change in a frame counts, so a press and release within one frame
        // is still seen as a press.
        if (entry.changeFrame != frame) {
            switch (entry.state) {
            case kKeyReleased:
                if (down) entry.state = kKeyPressed;
                break;
            case kKeyUp:
                entry.state = kKeyPressed;
                break;
            default:
                entry.state = down ? kKeyPressed : kKeyReleased;
                break;
            }
            entry.changeFrame = frame;
        }
    }
    PushInputEvent(kind, key, data);
}

void KeyStateStep(DWORD frame) {
    for (KeyState& entry : keys) {
        if (entry.changeFrame == frame) continue;
        if (entry.downCount == 0) {
            if (entry.state == kKeyPressed || entry.state == kKeyHeld)
                entry.state = kKeyReleased;
            else if (entry.state == kKeyReleased)
                entry.state = kKeyUp;
        } else {
            if (entry.state == kKeyReleased || entry.state == kKeyUp)
                entry.state = kKeyPressed;
            else if (entry.state == kKeyPressed)
                entry.state = kKeyHeld;
        }
    }
}

int GetKeyState(std::int32_t key) { return InTable(key) ? keys[key].state : kKeyUp; }

DWORD KeyDownCount(std::int32_t key) { return InTable(key) ? keys[key].downCount : 0; }

void ResetKeyStates() {
    for (KeyState& entry : keys) entry = KeyState{};
}
