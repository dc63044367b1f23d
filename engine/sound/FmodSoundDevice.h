// FmodSoundDevice: the sound device over the handset's sound library. Effects play on the
// library's channels (handle = channel index + 1), music is a wave stream or a tracker song
// (the game's is an ".xm" song), and the library reads every file through the engine's
// file streams and takes its memory from the engine allocator.
#pragma once

#include "engine/sound/SoundDevice.h"

struct FSOUND_SAMPLE;

class FmodSoundDevice : public SoundDevice {
    KEL_DECLARE_TYPE(FmodSoundDevice, SoundDevice, "FmodSoundDevice")

public:
    // Active, listener at the origin facing (0, 0, 1) with (0, -1, 0); empties the
    // process-wide song name and clears the song-wanted flag.
    FmodSoundDevice();

    // 1 for a library older than 3.75 (untouched then) or when it does not open.
    DWORD Init(const SoundSettings* settings) override;
    void Shutdown() override;
    int WantsRawSoundFile(const char*) override { return 0; }
    // Opens the library again when the device was suspended; 0 (still suspended) when it
    // does not open.
    int Resume() override;
    int Suspend() override;
    int StopAllSounds() override;
    // Hands the sample's data to the library and frees it; 0 (the data left with the
    // sample) when the library refuses it.
    int CreateSample(SoundSample* sample) override;
    int FreeSample(SoundSample* sample) override;
    int ReservedSlot9() override { return 1; }
    int ReservedSlot10() override { return 1; }
    int ReservedSlot11() override { return 0; }
    int ReservedSlot12() override { return 0; }
    std::int32_t PlaySample(SoundSample* sample, DWORD flags) override;
    int PlayMusic(const char* fileName, std::int32_t start) override;
    int PlayMusicFromStart(const char* fileName) override { return PlayMusic(fileName, 0); }
    int StopMusic() override;
    // A stream counts as playing from its opening until its channel ends.
    int IsMusicPlaying() override;
    int SetMusicOrder(std::int32_t order) override;
    std::int32_t GetMusicOrder() override;
    std::int32_t SetChannelPosition(std::int32_t channel, DWORD position) override;
    DWORD GetChannelPosition(std::int32_t channel) override;
    std::int32_t SetMusicVolume(std::int32_t volume) override;
    std::int32_t GetMusicVolume() override;
    int ReservedSlot24() override { return 0; }
    int IsChannelPlaying(std::int32_t channel) override;
    int StopChannel(std::int32_t channel) override;
    int ReservedSlot27() override { return 1; }
    std::int32_t SetChannelVolume(std::int32_t channel, float volume) override;
    int ReservedSlot29() override { return 0; }
    int SetChannelFrequency(std::int32_t channel, std::int32_t frequency) override;
    void SetListener(const Vector3& position, const Vector3& a, const Vector3& b) override;
    void SetToggle(DWORD value) override;
    void ReservedSlot33() override {}
    void Update() override;
    std::int32_t Reinit() override;

    bool IsActive() const { return active_ != 0; }
    bool IsRestartPending() const { return restartPending_ != 0; }
    DWORD Toggle() const { return toggle_; }
    const Vector3& ListenerPosition() const { return listenerPosition_; }
    const Vector3& ListenerA() const { return listenerA_; }
    const Vector3& ListenerB() const { return listenerB_; }

private:
    DWORD active_ = 1;
    Vector3 listenerPosition_{};
    DWORD toggle_ = 0;
    Vector3 listenerPositionCopy_{};
    Vector3 listenerA_{0.0f, 0.0f, 1.0f};
    Vector3 listenerB_{0.0f, -1.0f, 0.0f};
    DWORD spare_[3] = {};
    DWORD restartPending_ = 0;
};

// The library's sample handle of a sample the device holds; null otherwise.
FSOUND_SAMPLE* FmodSampleHandle(const SoundSample* sample);
