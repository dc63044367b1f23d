// SoundSample: a sound resource as the wave loader makes it and the sound device plays it:
// the file's format, its sample data (owned), and what the device made of it.
#pragma once

#include "engine/core/object/Interface.h"
#include "engine/core/text/EngineString.h"
#include "platform/base/Types.h"

// What a device keeps for a sample it was handed; destroyed with the sample.
class DeviceSample : public EngineAllocated {
public:
    // Gives back what the device holds and frees the record.
    virtual void Destroy() = 0;

protected:
    ~DeviceSample() = default;
};

// How the sample data is coded.
enum SoundFormatCode : DWORD {
    kSoundFormatPcm = 0,
    kSoundFormatImaAdpcm = 1,  // wave format tag 17
    kSoundFormatTag105 = 16,   // wave format tag 105, which no device here decodes
};

class SoundSample : public Interface {
    KEL_DECLARE_TYPE(SoundSample, Interface, "SoundSample")

public:
    // Takes `data` (an engine allocation, or null).
    SoundSample(BYTE* data, DWORD sampleCount, DWORD sampleRate, DWORD bitsPerSample, DWORD channels);
    // Frees the data and destroys the device sample.
    ~SoundSample() override;

    EngineString name;  // the file name
    DWORD sampleCount;
    DWORD sampleRate;
    DWORD bitsPerSample;
    DWORD channelCount;
    DWORD blockAlign = 0;
    DWORD averageBytesPerSecond = 0;
    DWORD extraFormatSize = 0;
    BYTE* extraFormat = nullptr;  // inside `data`, after the sample data
    DWORD flags = 0;              // bit 0: the device plays it as a plain 2D sound
    DWORD formatCode = kSoundFormatPcm;
    DWORD dataSize = 0;  // bytes of sample data
    BYTE* data;          // the device may free it (and clear the pointer) once it has a copy
    DeviceSample* deviceSample = nullptr;
};
