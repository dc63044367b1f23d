// The spike cube: a sliding object that the level update lets fall along the fall direction
// and that bounces when it lands hard.
#pragma once

#include "game/world/objects/LevelObject.h"

class SpikeCubeObject : public LevelObject {
public:
    SpikeCubeObject();
    bool Init(std::uint32_t typeCode) override;
    void Reset() override;
    void RestoreState() override;
    void Update(float dt) override;

    // Called by the level update when the motion's second component exceeds 8: after more
    // than a second at rest the cube launches; every later bounce keeps 0.6 of the last until
    // it drops below 6 and the cube stops.
    void Bounce();

    Vector3 bounce{0, 0, 0};
    float restTimer = 0.0f;
};
