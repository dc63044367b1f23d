// The exit portal, which opens once every key is collected, and the spawn effect that flares
// up where the character appears. Both spin their "portaleffect1" node by a looping path.
#pragma once

#include "game/world/objects/LevelObject.h"

class PathAnim;

enum PortalState : std::uint32_t {
    kPortalClosed = 0,
    kPortalOpening = 1,
    kPortalOpen = 2,
    kPortalClosing = 3,
};

class ExitPortalObject : public LevelObject {
public:
    ExitPortalObject();
    ~ExitPortalObject() override;
    bool Init(std::uint32_t typeCode) override;
    void Update(float dt) override;

    // False when the portal is not closed; plays the opening sound when asked.
    bool Open(bool playSound);
    bool Close();

    PathAnim* path = nullptr;  // owned
    float animationTime = 0.0f;
    std::uint32_t state = kPortalClosed;
    Vector3 effectScale{0, 0, 0};
    DWORD spare = 0;
};

class SpawnEffectObject : public LevelObject {
public:
    SpawnEffectObject();
    ~SpawnEffectObject() override;
    bool Init(std::uint32_t typeCode) override;
    void Reset() override;
    void Update(float dt) override;

    PathAnim* path = nullptr;  // owned
    float lifeTime = 0.0f;
    float animationTime = 0.0f;
    Vector3 effectScale{0, 0, 0};
};
