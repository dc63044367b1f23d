// UI sounds through the sound cache and the sound device.
#include "engine/overlay/widgets/UiSound.h"

#include "engine/core/object/ResourceCache.h"
#include "engine/sound/SoundDevice.h"
#include "engine/sound/SoundSample.h"

namespace {

void PlayOnDevice(const char* name) {
    SoundDevice* device = GetSoundDevice();
    if (device == nullptr) return;
    Interface* resource = GlobalResourceCache().GetSound(name);
    if (resource == nullptr || !resource->IsKindOf(SoundSample::StaticTypeId())) return;
    const std::int32_t channel = device->PlaySample(static_cast<SoundSample*>(resource), 0);
    if (channel > 0) device->SetChannelVolume(channel, 1.0f);
}

UiSoundPlayer uiSoundPlayer = nullptr;

}  // namespace

void PlayUiSound(const char* name) {
    if (name == nullptr || name[0] == '\0') return;
    if (uiSoundPlayer != nullptr) {
        uiSoundPlayer(name);
    } else {
        PlayOnDevice(name);
    }
}

void SetUiSoundPlayer(UiSoundPlayer player) { uiSoundPlayer = player; }
