// The sound manager's output through the engine's sound device; without a device nothing
// plays and every call answers as a silent device would.
#include "engine/core/object/ResourceCache.h"
#include "engine/sound/SoundDevice.h"
#include "engine/sound/SoundSample.h"
#include "game/flow/sound/SoundOutput.h"

SoundSample* DeviceSoundOutput::LoadSample(const char* name) {
    Interface* resource = GlobalResourceCache().GetSound(name);
    return resource != nullptr && resource->IsKindOf(SoundSample::StaticTypeId()) ? static_cast<SoundSample*>(resource)
                                                                                  : nullptr;
}

// The cache holds the sample itself (and deletes it when it is cleared); what the manager
// gives back is the device's copy of its data.
void DeviceSoundOutput::ReleaseSample(SoundSample* sample) {
    SoundDevice* device = GetSoundDevice();
    if (device != nullptr && sample != nullptr) device->FreeSample(sample);
}

DWORD DeviceSoundOutput::DefaultFrequency(const SoundSample* sample) const {
    return sample != nullptr ? sample->sampleRate : 0;
}

std::int32_t DeviceSoundOutput::PlaySound(SoundSample* sample, DWORD mode, float volume) {
    SoundDevice* device = GetSoundDevice();
    if (device == nullptr || sample == nullptr) return 0;
    const std::int32_t channel = device->PlaySample(sample, mode & 1);
    if (channel > 0) device->SetChannelVolume(channel, volume);
    return channel > 0 ? channel : 0;
}

void DeviceSoundOutput::StopSound(std::int32_t channel) {
    if (SoundDevice* device = GetSoundDevice()) device->StopChannel(channel);
}

bool DeviceSoundOutput::IsPlaying(std::int32_t channel) {
    SoundDevice* device = GetSoundDevice();
    return device != nullptr && device->IsChannelPlaying(channel) != 0;
}

DWORD DeviceSoundOutput::GetPosition(std::int32_t channel) {
    SoundDevice* device = GetSoundDevice();
    return device != nullptr ? device->GetChannelPosition(channel) : 0;
}

void DeviceSoundOutput::SetPosition(std::int32_t channel, DWORD position) {
    if (SoundDevice* device = GetSoundDevice()) device->SetChannelPosition(channel, position);
}

void DeviceSoundOutput::SetVolume(std::int32_t channel, float volume) {
    if (SoundDevice* device = GetSoundDevice()) device->SetChannelVolume(channel, volume);
}

void DeviceSoundOutput::SetFrequency(std::int32_t channel, DWORD hertz) {
    if (SoundDevice* device = GetSoundDevice()) device->SetChannelFrequency(channel, static_cast<std::int32_t>(hertz));
}

int DeviceSoundOutput::PlayMusic(const char* file, std::int32_t order) {
    SoundDevice* device = GetSoundDevice();
    return device != nullptr ? device->PlayMusic(file, order) : 0;
}

void DeviceSoundOutput::StopMusic() {
    if (SoundDevice* device = GetSoundDevice()) device->StopMusic();
}

void DeviceSoundOutput::SetMusicMasterVolume(std::int32_t volume) {
    if (SoundDevice* device = GetSoundDevice()) device->SetMusicVolume(volume);
}

void DeviceSoundOutput::Close() {
    if (SoundDevice* device = GetSoundDevice()) device->Suspend();
}

void DeviceSoundOutput::Reopen() {
    if (SoundDevice* device = GetSoundDevice()) device->Resume();
}
