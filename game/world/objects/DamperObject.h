// The damper: a pad whose top sinks when the character lands on it, and moves down and up as
// the character steps on and off.
#pragma once

#include "game/world/objects/LevelObject.h"
#include "game/world/objects/ObjectParts.h"

class PathAnim;

class DamperObject : public LevelObject {
public:
    DamperObject();
    ~DamperObject() override;
    bool Init(std::uint32_t typeCode) override;
    void Reset() override;
    void Update(float dt) override;

    void Trigger() { triggered = 1; }
    void Activate() {
        active = 1;
        stepOnTime = 0.0f;
    }
    void Deactivate() {
        active = 0;
        stepOffTime = 0.0f;
    }

    std::uint32_t triggered = 0;
    PathAnim* landing = nullptr;  // owned
    float landingTime = 0.0f;
    std::uint32_t active = 0;
    PathAnim* stepOn = nullptr;  // owned
    float stepOnTime = 0.0f;
    PathAnim* stepOff = nullptr;  // owned
    float stepOffTime = 0.0f;
    MovingPart top;  // "damper_01_top"
};
