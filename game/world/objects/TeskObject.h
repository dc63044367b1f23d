// TESK: the sleeping creature. It wakes when the character comes near, attacks low, medium or
// high, goes back to sleep, and dies in one of three ways; a checkpoint keeps whether it lives.
#pragma once

#include "game/world/objects/LevelObject.h"
#include "game/world/objects/ObjectParts.h"

class Animation;

enum TeskAnimation : std::int32_t {
    kTeskSleep = 0,
    kTeskWakeUp = 1,
    kTeskIdle = 2,
    kTeskAttackLow = 3,
    kTeskAttackMedium = 4,
    kTeskAttackHigh = 5,
    kTeskDeathBack = 6,
    kTeskDeathFront = 7,
    kTeskDeathTop = 8,
    kTeskAnimationCount = 9,
};

class TeskObject : public LevelObject {
public:
    TeskObject();
    ~TeskObject() override;
    bool Init(std::uint32_t typeCode) override;
    void SaveState(std::int32_t attemptId) override;
    void Reset() override;
    void RestoreState() override;
    void Update(float dt) override;
    const TeskObject* Tesk() const override { return this; }

    bool IsAlive() const { return alive != 0; }
    // Plays one of the deaths (6, 7 or 8); nothing when already dead.
    void Kill(std::int32_t animationIndex);
    void Sleep();
    void Wake();
    void AttackLow() { Attack(kTeskAttackLow); }
    void AttackMedium() { Attack(kTeskAttackMedium); }
    void AttackHigh() { Attack(kTeskAttackHigh); }

    std::uint32_t alive = 1;
    std::uint32_t savedAlive = 1;
    std::int32_t reach[8] = {};  // four pairs, read by the encounter test
    float reachLength[2] = {0, 0};
    DWORD spare = 0;
    Animation* animations[kTeskAnimationCount] = {};  // held references
    std::int32_t playId = -1;
    std::int32_t current = kTeskSleep;
    float attackTimer = 0.0f;
    float secondTimer = 0.0f;
    MovingPart bodyPart;  // "tesk1"

private:
    void Attack(std::int32_t index);
    // Stops the current animation and plays the indexed one.
    void Switch(std::int32_t index, float stopFade, float playFade, bool loop);
    void PlaySleepAfresh();
    // "tesk1" at rest: position 0 and the code's rotation.
    void PoseBody();
};
