// The sound resource's life.
#include "engine/sound/SoundSample.h"

SoundSample::SoundSample(BYTE* data, DWORD sampleCount, DWORD sampleRate, DWORD bitsPerSample, DWORD channels)
    : sampleCount(sampleCount), sampleRate(sampleRate), bitsPerSample(bitsPerSample), channelCount(channels),
      data(data) {}

SoundSample::~SoundSample() {
    EngineFree(data);
    data = nullptr;
    extraFormat = nullptr;
    if (deviceSample != nullptr) deviceSample->Destroy();
    deviceSample = nullptr;
}
