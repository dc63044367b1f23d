// The sound-id table, the effect pool and the two channel groups.
#include "game/flow/sound/SoundManager.h"

#include "game/flow/services/GameServices.h"
#include "game/flow/sound/SoundOutput.h"

namespace {

constexpr const char* kSoundFiles[kSoundIdCount] = {
    "sound/Jump.wav",           "sound/Rotate.wav",          "sound/Die.wav",
    "sound/Exit.wav",           "sound/Key.wav",             "sound/Land.wav",
    "sound/Portal_Open.wav",    "sound/blockers.wav",        "sound/bridges.wav",
    "sound/spikecube_land.wav", "sound/score_count.wav",     "sound/score_count_end.wav",
    "sound/run_a.wav",          "sound/run_b.wav",           "sound/menu_select.wav",
    "sound/menu_back.wav",      "sound/menu_move.wav",       "sound/land_mushroom.wav",
    "sound/portal_idle.wav",    "sound/time_logic1.wav",     "sound/time_logic2.wav",
    "sound/time_logic3.wav",    "sound/time_logic4.wav",     "sound/time_logic5.wav",
    "sound/tesk_attack.wav",    "sound/tesk_die.wav",        "sound/tesk_sleep.wav",
    "sound/tesk_wakeup.wav",    "sound/fall_too_far.wav",    "sound/rotate_meter.wav",
    "sound/menu_select_big.wav", "sound/medal.wav",          "sound/unlock_world.wav",
    "sound/loading_spin.wav",
};

constexpr const char* kMusicFile = "music/quorvane.xm";

}  // namespace

const char* SoundFileName(std::uint32_t id) { return id < kSoundIdCount ? kSoundFiles[id] : nullptr; }

SoundManager::SoundManager(SoundOutput& output) : output_(output), musicFile_(kMusicFile) {
    for (auto& list : playing_) list.reserve(kEffectRecordCount);
}

SoundManager::~SoundManager() { ReleaseSounds(); }

int SoundManager::LoadAllSounds() {
    int all = 1;
    for (std::uint32_t id = 0; id < kSoundIdCount; ++id) {
        if (samples_[id] == nullptr) samples_[id] = output_.LoadSample(kSoundFiles[id]);
        if (samples_[id] == nullptr) all = 0;
    }
    samplesLoaded_ = all;
    return all;
}

void SoundManager::ReleaseSounds() {
    // Each slot gives its reference back once and forgets it, so a second call (or the
    // destructor after DestroySoundManager) releases nothing twice.
    for (SoundSample*& sample : samples_) {
        SoundSample* held = sample;
        sample = nullptr;
        if (held != nullptr) output_.ReleaseSample(held);
    }
    samplesLoaded_ = 0;
}

void SoundManager::SetEffectFrequency(const EffectRecord& record) {
    if (record.fixedFrequency != 0) return;
    const float hertz =
        static_cast<float>(output_.DefaultFrequency(Sample(record.soundId))) * pitch_[group_] * record.pitch;
    output_.SetFrequency(record.channel, hertz > 0.0f ? static_cast<DWORD>(hertz) : 0);
}

std::uint32_t SoundManager::PlaySoundEffect(std::uint32_t id, DWORD mode, DWORD fixedFrequency) {
    SoundSample* sample = Sample(id);
    if (sample == nullptr || freeEffects_ == 0 || deviceActive_ == 0 || effectsEnabled_ == 0) return 0;
    const std::int32_t channel = output_.PlaySound(sample, mode, effectsVolume_);
    if (channel == 0) return 0;
    EffectRecord record;
    record.handle = nextHandle_;
    record.channel = channel;
    record.soundId = id;
    record.mode = mode;
    record.fixedFrequency = fixedFrequency;
    // Handle 0 means none, so the count goes on at 1 after its wrap.
    if (++nextHandle_ == 0) nextHandle_ = 1;
    --freeEffects_;
    playing_[group_].push_back(record);
    output_.SetVolume(channel, record.volume * effectsVolume_);
    SetEffectFrequency(record);
    return record.handle;
}

void SoundManager::FreeRecord(std::vector<EffectRecord>& list, std::size_t index) {
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
    ++freeEffects_;
}

void SoundManager::StopSound(std::uint32_t handle) {
    if (handle == 0) return;
    for (std::uint32_t group : {group_, group_ ^ 1u}) {
        std::vector<EffectRecord>& list = playing_[group];
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (list[i].handle != handle) continue;
            output_.StopSound(list[i].channel);
            FreeRecord(list, i);
            return;
        }
    }
}

bool SoundManager::IsPlaying(std::uint32_t handle) {
    for (const auto& list : playing_)
        for (const EffectRecord& record : list)
            if (record.handle == handle) return record.channel != 0 && output_.IsPlaying(record.channel);
    return false;
}

void SoundManager::PauseEffects() {
    for (EffectRecord& record : playing_[group_]) {
        record.savedPosition = output_.GetPosition(record.channel);
        output_.StopSound(record.channel);
        record.channel = 0;
    }
}

void SoundManager::ResumeEffects() {
    for (EffectRecord& record : playing_[group_]) {
        record.channel = 0;
        if (effectsEnabled_ == 0 || deviceActive_ == 0) continue;
        record.channel = output_.PlaySound(Sample(record.soundId), record.mode, 1.0f);
        if (record.channel == 0) continue;
        output_.SetPosition(record.channel, record.savedPosition);
        output_.SetVolume(record.channel, effectsVolume_ * record.volume);
        SetEffectFrequency(record);
    }
}

void SoundManager::StopEffects() {
    std::vector<EffectRecord>& list = playing_[group_];
    for (const EffectRecord& record : list) output_.StopSound(record.channel);
    freeEffects_ += list.size();
    list.clear();
}

void SoundManager::StopGroup1Effects() {
    WithGroup(kSoundGroupPlay, [this] { StopEffects(); });
}

void SoundManager::MusicMasterVolume() { output_.SetMusicMasterVolume(static_cast<std::int32_t>(musicVolume_ * 256.0f)); }

std::uint32_t SoundManager::PlayMusic(std::int32_t order, int restart) {
    std::vector<std::int32_t>& music = music_[group_];
    if (restart == 0) {
        for (std::int32_t playing : music)
            if (playing == order) return 1;
    }
    freeMusic_ += music.size();
    music.clear();
    if (freeMusic_ == 0) return 0;
    std::uint32_t result = 1;
    if (musicEnabled_ != 0) {
        if (deviceActive_ != 0 && output_.PlayMusic(musicFile_, order) == 0) return 0;
        MusicMasterVolume();
    }
    --freeMusic_;
    music.push_back(order);
    return result;
}

void SoundManager::RestartMusic() {
    if (musicEnabled_ == 0) return;
    for (std::int32_t order : music_[group_]) {
        if (deviceActive_ == 0) continue;
        output_.PlayMusic(musicFile_, order);
        MusicMasterVolume();
    }
}

void SoundManager::StopMusic() {
    output_.StopMusic();
    freeMusic_ += music_[group_].size();
    music_[group_].clear();
}

void SoundManager::StopGroupMusic(std::uint32_t group) {
    WithGroup(group & 1, [this] { StopMusic(); });
}

void SoundManager::HaltMusic() {
    for (std::size_t i = 0; i < music_[group_].size(); ++i) output_.StopMusic();
}

void SoundManager::SetMusicEnabled(int enabled) {
    musicEnabled_ = enabled != 0 ? 1 : 0;
    if (enabled == 0)
        HaltMusic();
    else
        RestartMusic();
}

void SoundManager::SetEffectsEnabled(int enabled) {
    effectsEnabled_ = enabled != 0 ? 1 : 0;
    if (enabled != 0)
        ResumeEffects();
    else
        PauseEffects();
}

void SoundManager::SetMusicVolume(float volume) {
    if (volume == 0.0f) {
        musicEnabled_ = 0;
        HaltMusic();
    } else {
        if (musicEnabled_ == 0) {
            musicEnabled_ = 1;
            RestartMusic();
        }
        for (const auto& music : music_)
            for (std::size_t i = 0; i < music.size(); ++i)
                output_.SetMusicMasterVolume(static_cast<std::int32_t>(volume * 256.0f));
    }
    musicVolume_ = volume;
}

void SoundManager::SetEffectsVolume(float volume) {
    if (volume == 0.0f) {
        effectsEnabled_ = 0;
        PauseEffects();
        effectsVolume_ = 0.0f;
        return;
    }
    for (const auto& list : playing_)
        for (const EffectRecord& record : list) output_.SetVolume(record.channel, record.volume * volume);
    effectsVolume_ = volume;
    if (effectsEnabled_ == 0) {
        effectsEnabled_ = 1;
        ResumeEffects();
    }
}

void SoundManager::SetGroup(std::uint32_t group) {
    group &= 1;
    if (group == group_) return;
    if (group_ == kSoundGroupMenus)
        StopMusic();
    else
        PauseEffects();
    group_ = group;
    if (group == kSoundGroupPlay) ResumeEffects();
    RestartMusic();
}

void SoundManager::Suspend() {
    if (deviceActive_ == 0) return;
    deviceActive_ = 0;
    PauseEffects();
    HaltMusic();
    output_.Close();
}

void SoundManager::Resume() {
    if (deviceActive_ != 0) return;
    deviceActive_ = 1;
    output_.Reopen();
    ResumeEffects();
    RestartMusic();
}

void SoundManager::Update() {
    for (auto& list : playing_) {
        for (std::size_t i = list.size(); i-- > 0;) {
            const EffectRecord& record = list[i];
            if (record.channel == 0 || record.mode == 1 || output_.IsPlaying(record.channel)) continue;
            FreeRecord(list, i);
        }
    }
}

std::uint32_t PlaySoundEffect(std::uint32_t id, DWORD mode, DWORD fixedFrequency) {
    SoundManager* manager = GetSoundManager();
    return manager != nullptr ? manager->PlaySoundEffect(id, mode, fixedFrequency) : 0;
}
