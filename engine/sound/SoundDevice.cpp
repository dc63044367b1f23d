// The global sound device: creation by class name and release.
#include "engine/sound/SoundDevice.h"

#include "engine/core/object/Module.h"

namespace {
SoundDevice* soundDevice = nullptr;
constexpr const char* kSilentModule = "libkel";
constexpr const char* kSilentClass = "NullSoundDevice";
}  // namespace

SoundDevice* GetSoundDevice() { return soundDevice; }

int CreateSoundDevice(const char* moduleName, const char* className, const SoundSettings* settings) {
    DestroySoundDevice();
    Interface* created = CreateByName(moduleName, className, SoundDevice::StaticTypeId());
    if (created == nullptr) return 1;
    auto* device = static_cast<SoundDevice*>(created);
    device->ClearStateWords();
    if (device->Init(settings) == 0) {
        soundDevice = device;
        return 0;
    }
    device->Release();
    return 1;
}

void DestroySoundDevice() {
    SoundDevice* device = soundDevice;
    if (device == nullptr) return;
    soundDevice = nullptr;
    device->Shutdown();
    device->Release();
}

int CreateConfiguredSoundDevice(const char* moduleName, const char* className, const SoundSettings* settings) {
    if (className != nullptr && className[0] != 0 && CreateSoundDevice(moduleName, className, settings) == 0) return 0;
    return CreateSoundDevice(kSilentModule, kSilentClass, settings);
}
