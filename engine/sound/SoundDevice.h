// SoundDevice: the engine interface through which all sound goes, reached through one
// global pointer. Start-up creates the configured class, falling back to the silent
// NullSoundDevice; every user checks the pointer, which is null while no device exists.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "engine/core/object/Interface.h"
#include "platform/base/Types.h"

class SoundSample;

// What the device's Init is handed: the application's name and the mixing rate.
struct SoundSettings {
    const char* applicationName;
    DWORD mixingRate;
};

// Channel handles are the device's channel index plus one; 0 is no channel.
class SoundDevice : public Interface {
    KEL_DECLARE_TYPE(SoundDevice, Interface, "SoundDevice")

public:
    // 0 on success, 1 on failure.
    virtual DWORD Init(const SoundSettings* settings) = 0;
    virtual void Shutdown() = 0;
    virtual int WantsRawSoundFile(const char* extension) = 0;
    virtual int Resume() = 0;
    virtual int Suspend() = 0;
    virtual int StopAllSounds() = 0;
    virtual int CreateSample(SoundSample* sample) = 0;
    virtual int FreeSample(SoundSample* sample) = 0;
    // Slots whose role is not settled; each class answers them as listed in its own file.
    virtual int ReservedSlot9() = 0;
    virtual int ReservedSlot10() = 0;
    virtual int ReservedSlot11() = 0;
    virtual int ReservedSlot12() = 0;
    virtual std::int32_t PlaySample(SoundSample* sample, DWORD flags) = 0;
    virtual int PlayMusic(const char* fileName, std::int32_t start) = 0;
    virtual int PlayMusicFromStart(const char* fileName) = 0;
    virtual int StopMusic() = 0;
    virtual int IsMusicPlaying() = 0;
    virtual int SetMusicOrder(std::int32_t order) = 0;
    virtual std::int32_t GetMusicOrder() = 0;
    virtual std::int32_t SetChannelPosition(std::int32_t channel, DWORD position) = 0;
    virtual DWORD GetChannelPosition(std::int32_t channel) = 0;
    virtual std::int32_t SetMusicVolume(std::int32_t volume) = 0;
    virtual std::int32_t GetMusicVolume() = 0;
    virtual int ReservedSlot24() = 0;
    virtual int IsChannelPlaying(std::int32_t channel) = 0;
    virtual int StopChannel(std::int32_t channel) = 0;
    virtual int ReservedSlot27() = 0;
    virtual std::int32_t SetChannelVolume(std::int32_t channel, float volume) = 0;
    virtual int ReservedSlot29() = 0;
    virtual int SetChannelFrequency(std::int32_t channel, std::int32_t frequency) = 0;
    virtual void SetListener(const Vector3& position, const Vector3& a, const Vector3& b) = 0;
    virtual void SetToggle(DWORD value) = 0;
    virtual void ReservedSlot33() = 0;
    // Once a frame, from the frame driver.
    virtual void Update() = 0;
    // Closes and re-opens the sound output; the window procedure calls it when the game is
    // paused by a cancel-mode message.
    virtual std::int32_t Reinit() = 0;

    // Start-up clears these three words before Init.
    void ClearStateWords() {
        for (DWORD& word : stateWords_) word = 0;
    }

protected:
    SoundDevice() = default;

    DWORD stateWords_[3] = {};
};

// The sound device, null while there is none.
SoundDevice* GetSoundDevice();

// Destroys any existing device, creates one by class name (a kind of SoundDevice) and runs
// its Init with the settings. 0 on success; 1 when it cannot be created or its Init fails
// (the object is then released).
int CreateSoundDevice(const char* moduleName, const char* className, const SoundSettings* settings);
// Runs the device's Shutdown and releases it; nothing without one.
void DestroySoundDevice();

// The configured device when a class is configured and it starts, else the silent
// "NullSoundDevice" of "libkel". 0, or 1 when even the silent device fails.
int CreateConfiguredSoundDevice(const char* moduleName, const char* className, const SoundSettings* settings);
