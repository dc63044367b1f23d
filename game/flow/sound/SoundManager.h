// SoundManager: the game's one layer over the sound device. It owns the table of the 34
// sound effects, plays effects and music in two channel groups (0 the menus, 1 play),
// pauses and resumes them, applies the player's volumes and frees finished effects once a
// frame. At most 10 effects (both groups together) and 2 music records exist.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/base/Types.h"

class SoundOutput;
class SoundSample;

constexpr std::int32_t kSoundIdCount = 34;
constexpr std::int32_t kEffectRecordCount = 10;
constexpr std::int32_t kMusicRecordCount = 2;
constexpr std::uint32_t kSoundGroupMenus = 0;
constexpr std::uint32_t kSoundGroupPlay = 1;

// Sound ids the flow plays.
constexpr std::uint32_t kSoundKey = 4;
constexpr std::uint32_t kSoundPortalOpen = 6;
constexpr std::uint32_t kSoundMenuSelect = 14;
constexpr std::uint32_t kSoundLoadingSpin = 33;

// Music orders of the module.
constexpr std::int32_t kMusicMenus = 0;
constexpr std::int32_t kMusicPlay = 17;
constexpr std::int32_t kMusicComic = 34;
constexpr std::int32_t kMusicLevelComplete = 39;

// The file of a sound id; null outside the table.
const char* SoundFileName(std::uint32_t id);

struct EffectRecord {
    std::uint32_t handle = 0;
    std::int32_t channel = 0;  // 0: not playing
    float pitch = 1.0f;
    DWORD savedPosition = 0;
    std::uint32_t soundId = 0;
    DWORD mode = 0;  // bit 0 loops
    float volume = 1.0f;
    DWORD fixedFrequency = 0;
};

class SoundManager {
public:
    explicit SoundManager(SoundOutput& output);
    ~SoundManager();
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

    // 1 when all 34 samples were found; a missing one leaves its slot empty.
    int LoadAllSounds();
    // Gives every loaded sample back, each once.
    void ReleaseSounds();

    // The handle of the effect, 0 when nothing was played.
    std::uint32_t PlaySoundEffect(std::uint32_t id, DWORD mode, DWORD fixedFrequency);
    void StopSound(std::uint32_t handle);
    bool IsPlaying(std::uint32_t handle);
    void PauseEffects();
    void ResumeEffects();
    void StopEffects();
    void StopGroup1Effects();
    std::uint32_t PlayMusic(std::int32_t order, int restart);
    void RestartMusic();
    void StopMusic();
    void StopGroupMusic(std::uint32_t group);
    void HaltMusic();
    void SetMusicEnabled(int enabled);
    void SetEffectsEnabled(int enabled);
    void SetMusicVolume(float volume);
    void SetEffectsVolume(float volume);
    void SetGroup(std::uint32_t group);
    void Suspend();
    void Resume();
    // Finished one-shot effects go back to the free pool.
    void Update();

    std::uint32_t Group() const { return group_; }
    // Runs `action` with `group` as the current group, then restores it.
    template <typename Action>
    void WithGroup(std::uint32_t group, Action action) {
        const std::uint32_t saved = group_;
        group_ = group;
        action();
        group_ = saved;
    }
    bool SamplesLoaded() const { return samplesLoaded_ != 0; }
    SoundSample* Sample(std::uint32_t id) const { return id < kSoundIdCount ? samples_[id] : nullptr; }
    const std::vector<EffectRecord>& PlayingEffects(std::uint32_t group) const { return playing_[group & 1]; }
    const std::vector<std::int32_t>& MusicOrders(std::uint32_t group) const { return music_[group & 1]; }
    std::size_t FreeEffectCount() const { return freeEffects_; }
    float EffectsVolume() const { return effectsVolume_; }
    float MusicVolume() const { return musicVolume_; }
    bool EffectsEnabled() const { return effectsEnabled_ != 0; }
    bool MusicEnabled() const { return musicEnabled_ != 0; }
    void SetNextHandle(std::uint32_t handle) { nextHandle_ = handle; }

private:
    void SetEffectFrequency(const EffectRecord& record);
    void FreeRecord(std::vector<EffectRecord>& list, std::size_t index);
    void MusicMasterVolume();

    SoundOutput& output_;
    const char* musicFile_;
    SoundSample* samples_[kSoundIdCount] = {};
    DWORD effectsEnabled_ = 1;
    DWORD musicEnabled_ = 1;
    DWORD samplesLoaded_ = 0;
    DWORD deviceActive_ = 1;
    std::uint32_t nextHandle_ = 1;
    std::size_t freeEffects_ = kEffectRecordCount;
    std::size_t freeMusic_ = kMusicRecordCount;
    std::vector<EffectRecord> playing_[2];
    std::vector<std::int32_t> music_[2];  // the orders of the music records
    std::uint32_t group_ = kSoundGroupMenus;
    float pitch_[2] = {1.0f, 1.0f};
    float effectsVolume_ = 1.0f;
    float musicVolume_ = 1.0f;
};

// The process-wide manager's PlaySoundEffect; 0 without a manager.
std::uint32_t PlaySoundEffect(std::uint32_t id, DWORD mode, DWORD fixedFrequency);
