// NullSoundDevice: the silent sound device of the "libkel" module. It answers every
// operation without making a sound, so a configuration naming it, or one whose sound device
// fails, runs with a working but silent device; tests that are not about sound use it.
#pragma once

#include "engine/sound/SoundDevice.h"

class NullSoundDevice : public SoundDevice {
    KEL_DECLARE_TYPE(NullSoundDevice, SoundDevice, "NullSoundDevice")

public:
    NullSoundDevice() = default;

    DWORD Init(const SoundSettings*) override { return 0; }
    void Shutdown() override {}
    int WantsRawSoundFile(const char*) override { return 0; }
    int Resume() override { return 1; }
    int Suspend() override { return 1; }
    int StopAllSounds() override { return 1; }
    int CreateSample(SoundSample*) override { return 1; }
    int FreeSample(SoundSample*) override { return 1; }
    int ReservedSlot9() override { return 1; }
    int ReservedSlot10() override { return 1; }
    int ReservedSlot11() override { return 0; }
    int ReservedSlot12() override { return 0; }
    std::int32_t PlaySample(SoundSample*, DWORD) override { return 0; }
    int PlayMusic(const char*, std::int32_t) override { return 0; }
    int PlayMusicFromStart(const char*) override { return 0; }
    int StopMusic() override { return 0; }
    int IsMusicPlaying() override { return 0; }
    int SetMusicOrder(std::int32_t) override { return 0; }
    std::int32_t GetMusicOrder() override { return 0; }
    std::int32_t SetChannelPosition(std::int32_t, DWORD) override { return 0; }
    DWORD GetChannelPosition(std::int32_t) override { return 0; }
    std::int32_t SetMusicVolume(std::int32_t) override { return 0; }
    std::int32_t GetMusicVolume() override { return 0; }
    int ReservedSlot24() override { return 0; }
    int IsChannelPlaying(std::int32_t) override { return 0; }
    int StopChannel(std::int32_t) override { return 1; }
    int ReservedSlot27() override { return 1; }
    std::int32_t SetChannelVolume(std::int32_t, float) override { return 1; }
    int ReservedSlot29() override { return 1; }
    int SetChannelFrequency(std::int32_t, std::int32_t) override { return 1; }
    void SetListener(const Vector3&, const Vector3&, const Vector3&) override {}
    void SetToggle(DWORD) override {}
    void ReservedSlot33() override {}
    void Update() override {}
    std::int32_t Reinit() override { return 0; }
};

// "Create_NullSoundDevice" of the core module.
Interface* CreateNullSoundDevice();
