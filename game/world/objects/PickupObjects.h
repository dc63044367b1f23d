// The collectables: the key the level counts and the pickup spheres. Both spin by a looping
// path animation and shrink away once collected.
#pragma once

#include "game/world/objects/LevelObject.h"

class PathAnim;

// Scale lost per second once collected; below the snap limit it becomes 0.
constexpr float kCollectShrinkRate = 4.0f;
constexpr float kCollectSnapScale = 0.2f;

// What keys and spheres share: the spinning path and shrinking away once collected.
class CollectableObject : public LevelObject {
public:
    ~CollectableObject() override;

    PathAnim* path = nullptr;  // owned
    float animationTime = 0.0f;

protected:
    CollectableObject();
    // Loads the spin and sets the flare; false when the spin does not load.
    bool InitSpin(const char* pathName, float flareSize, float flareAmplitude, const char* flareTexture);
    // Advances the spin; false (outputs untouched) without a valid path.
    bool Spin(float dt, Vector3& position, Quaternion& rotation);
    // Once collected, the scale shrinks to nothing and the flare fades with it.
    void Shrink(float dt);
};

class KeyObject : public CollectableObject {
public:
    bool Init(std::uint32_t typeCode) override;
    void Update(float dt) override;
};

class SphereObject : public CollectableObject {
public:
    bool Init(std::uint32_t typeCode) override;
    void Update(float dt) override;
};
