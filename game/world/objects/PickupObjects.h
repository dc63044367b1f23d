// The collectables: the key the level counts and the pickup spheres. Both spin by a looping
// path animation and shrink away once collected.
#pragma once

#include "game/world/objects/LevelObject.h"

class PathAnim;

// Scale lost per second once collected; below the snap limit it becomes 0.
constexpr float kCollectShrinkRate = 4.0f;
constexpr float kCollectSnapScale = 0.2f;

class KeyObject : public LevelObject {
public:
    KeyObject();
    ~KeyObject() override;
    bool Init(std::uint32_t typeCode) override;
    void Update(float dt) override;

    PathAnim* path = nullptr;  // owned
    float animationTime = 0.0f;
};

class SphereObject : public LevelObject {
public:
    SphereObject();
    ~SphereObject() override;
    bool Init(std::uint32_t typeCode) override;
    void Update(float dt) override;

    PathAnim* path = nullptr;  // owned
    float animationTime = 0.0f;
};
