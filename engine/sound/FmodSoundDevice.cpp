// The sound device's life (Init, Suspend, Resume, Shutdown, Reinit, the per-frame Update),
// its samples and its channel operations. The music operations are in
// FmodSoundDevice_music.cpp.
#include "engine/sound/FmodSoundDevice.h"

#include <algorithm>
#include <cstring>

#include "engine/sound/FmodCallbacks.h"
#include "engine/sound/FmodMusic.h"
#include "engine/sound/SoundSample.h"
#include "platform/sound/SoundLibrary.h"
#include "platform/sound/SoundPlatform.h"

namespace {

constexpr float kOldestLibrary = 3.75f;
constexpr int kMixRate = 22050;
constexpr int kChannels = 32;

// The device's record of a sample: the library's handle, freed with the sample.
class FmodDeviceSample final : public DeviceSample {
public:
    explicit FmodDeviceSample(FSOUND_SAMPLE* handle) : handle(handle) {}
    void Destroy() override {
        if (handle != nullptr) FSOUND_Sample_Free(handle);
        delete this;
    }

    FSOUND_SAMPLE* handle;
};

// Layout bits of a sample's data.
unsigned int SampleMode(const SoundSample& sample) {
    unsigned int mode = sample.channelCount == 2 ? FSOUND_STEREO : FSOUND_MONO;
    if (sample.formatCode == kSoundFormatImaAdpcm)
        mode |= FSOUND_IMAADPCM;
    else
        mode |= sample.bitsPerSample == 8 ? FSOUND_8BITS : FSOUND_16BITS;
    mode |= FSOUND_SIGNED;
    if ((sample.flags & 1) != 0) mode |= FSOUND_2D;
    return mode;
}

// Layouts the library plays: 8- or 16-bit PCM, or IMA ADPCM; one or two channels.
bool IsPlayableLayout(const SoundSample& sample) {
    if (sample.channelCount != 1 && sample.channelCount != 2) return false;
    if (sample.formatCode == kSoundFormatImaAdpcm) return true;
    return sample.formatCode == kSoundFormatPcm && (sample.bitsPerSample == 8 || sample.bitsPerSample == 16);
}

// Hands the sample data to a new library sample; null when the library refuses any step.
FSOUND_SAMPLE* UploadSample(const SoundSample& sample) {
    if (!IsPlayableLayout(sample) || sample.data == nullptr) return nullptr;
    FSOUND_SAMPLE* handle = FSOUND_Sample_Alloc(FSOUND_UNMANAGED, static_cast<int>(sample.dataSize),
                                                SampleMode(sample), static_cast<int>(sample.sampleRate), 255, -1, 255);
    if (handle == nullptr) return nullptr;
    // IMA ADPCM data is played block by block, so the library needs the file's block size.
    if (sample.formatCode == kSoundFormatImaAdpcm && !platform::sound::SetSampleBlockBytes(handle, sample.blockAlign)) {
        FSOUND_Sample_Free(handle);
        return nullptr;
    }
    void* first = nullptr;
    void* second = nullptr;
    unsigned int firstLength = 0;
    unsigned int secondLength = 0;
    if (FSOUND_Sample_Lock(handle, 0, static_cast<int>(sample.dataSize), &first, &second, &firstLength,
                           &secondLength) == 0) {
        FSOUND_Sample_Free(handle);
        return nullptr;
    }
    std::memcpy(first, sample.data, std::min<std::size_t>(firstLength, sample.dataSize));
    FSOUND_Sample_Unlock(handle, first, second, firstLength, secondLength);
    return handle;
}

}  // namespace

FSOUND_SAMPLE* FmodSampleHandle(const SoundSample* sample) {
    if (sample == nullptr || sample->deviceSample == nullptr) return nullptr;
    return static_cast<FmodDeviceSample*>(sample->deviceSample)->handle;
}

FmodSoundDevice::FmodSoundDevice() { ResetMusicState(); }

DWORD FmodSoundDevice::Init(const SoundSettings*) {
    if (FSOUND_GetVersion() < kOldestLibrary) return 1;
    FSOUND_File_SetCallbacks(FmodFileOpen, FmodFileClose, FmodFileRead, FmodFileSeek, FmodFileTell);
    FSOUND_SetMemorySystem(nullptr, 0, FmodMemoryAlloc, FmodMemoryRealloc, FmodMemoryFree);
    if (FSOUND_Init(kMixRate, kChannels, 0) != 0) return 0;
    FSOUND_Close();
    return 1;
}

void FmodSoundDevice::Shutdown() {
    StopAllSounds();
    StopMusic();
    FreeSong();
    FSOUND_Close();
}

int FmodSoundDevice::Resume() {
    if (active_ != 0) return 1;
    // A library that does not open leaves the device suspended: every operation keeps
    // answering 0 rather than calling into a closed library.
    if (Init(nullptr) != 0) return 0;
    active_ = 1;
    restartPending_ = 1;
    return 1;
}

int FmodSoundDevice::Suspend() {
    if (active_ == 0) return 1;
    StopAllSounds();
    StopMusic();
    FSOUND_Close();
    active_ = 0;
    restartPending_ = 1;
    return 1;
}

int FmodSoundDevice::StopAllSounds() {
    FSOUND_StopSound(FSOUND_ALL);
    return 1;
}

int FmodSoundDevice::CreateSample(SoundSample* sample) {
    if (sample == nullptr) return 0;
    auto* record = new FmodDeviceSample(nullptr);
    if (record == nullptr) return 0;
    record->handle = UploadSample(*sample);
    if (record->handle == nullptr) {
        // The data stays with the sample, whose owner frees it.
        record->Destroy();
        return 0;
    }
    EngineFree(sample->data);
    sample->data = nullptr;
    sample->extraFormat = nullptr;
    sample->deviceSample = record;
    return 1;
}

int FmodSoundDevice::FreeSample(SoundSample* sample) {
    if (sample == nullptr || sample->deviceSample == nullptr) return 0;
    auto* record = static_cast<FmodDeviceSample*>(sample->deviceSample);
    if (record->handle == nullptr) return 0;
    FSOUND_Sample_Free(record->handle);
    // The record stays with the sample; its handle must not be freed a second time.
    record->handle = nullptr;
    return 1;
}

std::int32_t FmodSoundDevice::PlaySample(SoundSample* sample, DWORD flags) {
    FSOUND_SAMPLE* handle = FmodSampleHandle(sample);
    if (active_ == 0 || handle == nullptr) return 0;
    FSOUND_Sample_SetMode(handle, (flags & 1) != 0 ? FSOUND_LOOP_NORMAL : FSOUND_LOOP_OFF);
    return FSOUND_PlaySound(FSOUND_FREE, handle) + 1;
}

std::int32_t FmodSoundDevice::SetChannelPosition(std::int32_t channel, DWORD position) {
    if (active_ == 0 || channel < 1) return 0;
    return FSOUND_SetCurrentPosition(channel - 1, position);
}

DWORD FmodSoundDevice::GetChannelPosition(std::int32_t channel) {
    if (active_ == 0 || channel < 1) return 0;
    return FSOUND_GetCurrentPosition(channel - 1);
}

int FmodSoundDevice::IsChannelPlaying(std::int32_t channel) {
    if (active_ == 0 || channel < 1) return 0;
    return FSOUND_IsPlaying(channel - 1) != 0 ? 1 : 0;
}

int FmodSoundDevice::StopChannel(std::int32_t channel) {
    if (channel < 1) return 0;
    FSOUND_StopSound(channel - 1);
    return 1;
}

std::int32_t FmodSoundDevice::SetChannelVolume(std::int32_t channel, float volume) {
    if (active_ == 0 || channel < 1) return 0;
    return FSOUND_SetVolume(channel - 1, static_cast<int>(volume * 256.0f));
}

int FmodSoundDevice::SetChannelFrequency(std::int32_t channel, std::int32_t frequency) {
    if (active_ == 0 || channel < 1) return 0;
    FSOUND_SetFrequency(channel - 1, frequency);
    return 1;
}

void FmodSoundDevice::SetListener(const Vector3& position, const Vector3& a, const Vector3& b) {
    listenerPosition_ = position;
    listenerPositionCopy_ = position;
    listenerA_ = a;
    listenerB_ = b;
}

void FmodSoundDevice::SetToggle(DWORD value) {
    if (value != toggle_) toggle_ = toggle_ == 0 ? 1 : 0;
}

void FmodSoundDevice::Update() {
    if (restartPending_ != 0) {
        if (active_ == 0) {
            StopAllSounds();
            StopMusic();
        }
        restartPending_ = 0;
    }
    if (active_ != 0) StartPendingMusic();
}

std::int32_t FmodSoundDevice::Reinit() {
    FSOUND_Close();
    const signed char opened = FSOUND_Init(kMixRate, kChannels, 0);
    if (opened == 0) FSOUND_Close();
    return opened;
}
