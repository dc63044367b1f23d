// The motion shared by blocker doors and bridges: at rest at its start, moving forward (a door
// opening, a bridge swinging over), moving back, each with its own clock. A checkpoint restore
// turns an interrupted motion round from the mirrored time instead of jumping.
#pragma once

#include <cstdint>

// The fields of one object's motion.
struct TwoWayMotion {
    std::uint32_t& atStart;  // a door's closed flag, a bridge's swung flag
    std::uint32_t& forward;
    std::uint32_t& backward;
    float& forwardTime;
    float& backwardTime;
};

// Forward from where the backward motion was: forward time = duration - backward time.
void StartForward(const TwoWayMotion& motion, float duration);
void StartBackward(const TwoWayMotion& motion, float duration);
// Toward the flags saved at the checkpoint. False when nothing turns and the saved state is
// to be copied back whole; true when the motion was turned round toward it.
bool TurnTowardSaved(const TwoWayMotion& motion, std::uint32_t savedAtStart, std::uint32_t savedForward,
                     std::uint32_t savedBackward, float duration);
