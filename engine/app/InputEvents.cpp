// The 32-entry input event ring.
#include "engine/app/InputEvents.h"

namespace {

InputEvent ring[kInputRingSize];
int writeIndex = 0;
int readIndex = 0;
int queued = 0;  // equal indexes mean empty or full: the count tells which

int NextIndex(int index) { return (index + 1) % kInputRingSize; }

}  // namespace

void PushInputEvent(std::int32_t kind, std::int32_t a, std::int32_t b) {
    if (queued == kInputRingSize) {
        readIndex = NextIndex(readIndex);
        --queued;
    }
    ring[writeIndex] = InputEvent{kind, a, b, -1};
    writeIndex = NextIndex(writeIndex);
    ++queued;
}

const InputEvent* PopInputEvent() {
    if (queued == 0) return nullptr;
    const InputEvent* event = &ring[readIndex];
    readIndex = NextIndex(readIndex);
    --queued;
    return event;
}

bool HasInputEvent() { return queued != 0; }

void ClearInputEvents() {
    writeIndex = 0;
    readIndex = 0;
    queued = 0;
}
