// SoundOutput: the sound device as the game's sound manager uses it: samples by name,
// effects on channels (handle = channel + 1, 0 none), the music module and the audio
// hardware. DeviceSoundOutput plays through the engine's sound device and resource cache.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

class SoundSample;

class SoundOutput {
public:
    virtual ~SoundOutput() = default;

    // The sample of that name; null when it cannot be loaded.
    virtual SoundSample* LoadSample(const char* name) = 0;
    // Frees what the device holds of the sample; once for each sample loaded.
    virtual void ReleaseSample(SoundSample* sample) = 0;
    virtual DWORD DefaultFrequency(const SoundSample* sample) const = 0;
    // Bit 0 of `mode` loops; the channel handle, 0 when nothing plays.
    virtual std::int32_t PlaySound(SoundSample* sample, DWORD mode, float volume) = 0;
    virtual void StopSound(std::int32_t channel) = 0;
    virtual bool IsPlaying(std::int32_t channel) = 0;
    virtual DWORD GetPosition(std::int32_t channel) = 0;
    virtual void SetPosition(std::int32_t channel, DWORD position) = 0;
    virtual void SetVolume(std::int32_t channel, float volume) = 0;
    virtual void SetFrequency(std::int32_t channel, DWORD hertz) = 0;
    // 0 on failure.
    virtual int PlayMusic(const char* file, std::int32_t order) = 0;
    virtual void StopMusic() = 0;
    virtual void SetMusicMasterVolume(std::int32_t volume) = 0;  // 0..256
    virtual void Close() = 0;
    virtual void Reopen() = 0;
};

class DeviceSoundOutput : public SoundOutput {
public:
    SoundSample* LoadSample(const char* name) override;
    void ReleaseSample(SoundSample* sample) override;
    DWORD DefaultFrequency(const SoundSample* sample) const override;
    std::int32_t PlaySound(SoundSample* sample, DWORD mode, float volume) override;
    void StopSound(std::int32_t channel) override;
    bool IsPlaying(std::int32_t channel) override;
    DWORD GetPosition(std::int32_t channel) override;
    void SetPosition(std::int32_t channel, DWORD position) override;
    void SetVolume(std::int32_t channel, float volume) override;
    void SetFrequency(std::int32_t channel, DWORD hertz) override;
    int PlayMusic(const char* file, std::int32_t order) override;
    void StopMusic() override;
    void SetMusicMasterVolume(std::int32_t volume) override;
    void Close() override;
    void Reopen() override;
};
