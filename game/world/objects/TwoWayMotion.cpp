// Turning door and bridge motions round.
#include "game/world/objects/TwoWayMotion.h"

void StartForward(const TwoWayMotion& motion, float duration) {
    motion.forward = 1;
    motion.backward = 0;
    motion.atStart = 1;
    motion.forwardTime = duration - motion.backwardTime;
    motion.backwardTime = 0.0f;
}

void StartBackward(const TwoWayMotion& motion, float duration) {
    motion.backward = 1;
    motion.forward = 0;
    motion.atStart = 0;
    motion.backwardTime = duration - motion.forwardTime;
    motion.forwardTime = 0.0f;
}

bool TurnTowardSaved(const TwoWayMotion& motion, std::uint32_t savedAtStart, std::uint32_t savedForward,
                     std::uint32_t savedBackward, float duration) {
    if (motion.atStart == savedAtStart && motion.backward == savedBackward) {
        if (motion.forward == savedForward) return false;
        if (savedForward == 0)
            StartBackward(motion, duration);
        else
            StartForward(motion, duration);
        return true;
    }
    if (savedAtStart == 0)
        StartForward(motion, duration);
    else
        StartBackward(motion, duration);
    return true;
}
