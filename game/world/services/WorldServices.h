// WorldServices: what the game world asks of the game's flow while a level runs: the in-game
// controller's record, sound effects, vibration and the player profile's counters and awards.
// The flow fills it in; until it does, a silent stand-in answers (no sound, no vibration, a
// controller record of its own), so the world runs on its own in tools and tests.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

// Play states the world tests.
constexpr std::uint32_t kPlayStateCutscene = 3;
constexpr std::uint32_t kPlayStatePlaying = 5;
constexpr std::uint32_t kPlayStateScroll = 6;
constexpr std::uint32_t kPlayStateComplete = 7;
constexpr std::uint32_t kPlayStateReset = 10;

// The built-in levels 0 to 7 are the tutorials.
constexpr std::int32_t kTutorialLevelCount = 8;

// The in-game controller's record as far as the world reads or writes it.
struct ControllerRecord {
    std::uint32_t playState = 0;
    std::uint32_t requestedState = 0;
    std::int32_t levelIndex = 0;      // 0-based
    std::uint32_t cutsceneStage = 0;  // set while the "levelcut" stage is loaded
    std::uint32_t customLevel = 0;
    std::uint32_t customWorld = 0;
    std::int32_t cutsceneEntry = 0;  // into the level's 64 cut-scene entries
};

// The world number of a built-in level: levels below 8 are world 0, others (level - 8) / 5 + 1,
// at most 10.
std::int32_t WorldOfLevelIndex(std::int32_t levelIndex);
inline std::int32_t WorldOfLevel(const ControllerRecord& controller) {
    return WorldOfLevelIndex(controller.levelIndex);
}

// Sound ids of the sound manager's table that the world plays.
enum WorldSound : int {
    kSoundJump = 0,
    kSoundRotate = 1,
    kSoundDie = 2,
    kSoundExit = 3,
    kSoundLand = 5,
    kSoundPortalOpen = 6,
    kSoundBlockers = 7,
    kSoundBridges = 8,
    kSoundSpikeCubeLand = 9,
    kSoundRunA = 12,
    kSoundRunB = 13,
    kSoundLandMushroom = 17,
    kSoundTeskAttack = 24,
    kSoundTeskDie = 25,
    kSoundTeskSleep = 26,
    kSoundTeskWakeup = 27,
    kSoundFallTooFar = 28,
};

class WorldServices {
public:
    virtual ~WorldServices() = default;

    virtual ControllerRecord& Controller() = 0;
    // Called after the level has raised its collected-key count.
    virtual void OnSphereCollected() = 0;
    virtual void RestartLevel() = 0;

    // A play handle (never 0), or 0 when the id has no sample, sound is off or the device
    // refuses.
    virtual DWORD PlaySoundEffect(int soundId, bool loop, bool keep) = 0;
    virtual bool IsSoundPlaying(DWORD handle) = 0;
    virtual void StopSound(DWORD handle) = 0;
    // The vibration pulse, unless the profile's rumble option is off or play has not yet
    // seen the player's input.
    virtual void TriggerRumble() = 0;

    // The player profile's signed counters, each raised by one; the new value.
    virtual std::int32_t RaiseOneLeafDoorCount() = 0;
    virtual std::int32_t RaiseTeskKillCount() = 0;
    // Each grants its award once and shows its name as floating text.
    virtual void GrantAward10() = 0;
    virtual void GrantAward11() = 0;
    // The player character's awards: the profile's award bit, once, with its floating text.
    virtual void GrantProfileAward(DWORD /*awardBit*/, const char* /*textName*/) {}
    // The engine clock's time in seconds (the platform's tick count), which paces the
    // fireflies' figure-eights.
    virtual float ClockSeconds();
};

// The services in use; the stand-in while none are set.
WorldServices& GetWorldServices();
// Null returns to the stand-in.
void SetWorldServices(WorldServices* services);
