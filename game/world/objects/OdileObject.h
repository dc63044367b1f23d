// ODILE: the other character of the cut-scenes. She shows one of eight moods and may hold the
// twizturn in her left hand, which she gives away in her give-item mood.
#pragma once

#include "game/world/objects/LevelObject.h"

class Animation;

enum OdileMood : std::int32_t {
    kOdileIdle = 0,
    kOdileAngry = 1,
    kOdileHappy = 2,
    kOdileThinking = 3,
    kOdileRelax = 4,
    kOdileZombie = 5,
    kOdileGiveItem = 6,
    kOdileListen = 7,
    kOdileMoodCount = 8,
};

class OdileObject : public LevelObject {
public:
    OdileObject();
    ~OdileObject() override;
    bool Init(std::uint32_t typeCode) override;
    void Reset() override;
    void Update(float dt) override;

    // Nothing without a model or when the mood is already shown.
    void SetMood(std::int32_t index);
    bool IsItemShown() const;

    Animation* moods[kOdileMoodCount] = {};  // held references
    std::int32_t playId = -1;
    std::int32_t currentMood = kOdileIdle;
    KNode* heldItem = nullptr;  // owned
    KNode* leftHand = nullptr;  // the model's, not owned

private:
    void ShowItem(bool shown);
    void PlayIdleAfresh();
};
