// Samples: memory for the caller to fill, their layout and loop mode, and freeing them.
#include <algorithm>
#include <cstring>

#include "platform/sound/ImaAdpcm.h"
#include "platform/sound/LibraryState.h"
#include "platform/sound/SoundPlatform.h"

using namespace platform::sound;

namespace {

constexpr unsigned int kLoopBits = FSOUND_LOOP_OFF | FSOUND_LOOP_NORMAL;

// The sample's source once its data can be played; PCM samples at once, IMA ADPCM ones
// when their block size is known.
void DescribeSample(FSOUND_SAMPLE& sample, std::uint32_t blockBytes) {
    if (sample.encoding == Encoding::ImaAdpcm)
        DescribeIma(sample.source, sample.data, sample.bytes, sample.channels, blockBytes);
    else
        DescribePcm(sample.source, sample.data, sample.bytes, sample.channels,
                    sample.encoding == Encoding::Pcm8 ? 8 : 16);
}

// The live sample, or null with FMOD_ERR_INVALID_PARAM; the lock must be held.
FSOUND_SAMPLE* Live(LibraryState& state, FSOUND_SAMPLE* sample) {
    if (sample != nullptr && IsLive(state.samples, sample)) return sample;
    SetError(FMOD_ERR_INVALID_PARAM);
    return nullptr;
}

}  // namespace

FSOUND_SAMPLE* FSOUND_Sample_Alloc(int index, int length, unsigned int mode, int defaultFrequency, int defaultVolume,
                                   int defaultPan, int defaultPriority) {
    const bool ima = (mode & FSOUND_IMAADPCM) != 0;
    const bool eightBits = (mode & FSOUND_8BITS) != 0;
    const std::uint32_t channels = (mode & FSOUND_STEREO) != 0 ? 2 : 1;
    // Only samples that their owner frees; one layout at a time.
    if (index != FSOUND_UNMANAGED || length <= 0 || (ima && (mode & (FSOUND_8BITS | FSOUND_16BITS)) != 0) ||
        (eightBits && (mode & FSOUND_16BITS) != 0) || ((mode & FSOUND_MONO) != 0 && channels == 2) ||
        defaultFrequency <= 0 || defaultFrequency > Mixer::kMaxFrequency) {
        SetError(FMOD_ERR_INVALID_PARAM);
        return nullptr;
    }
    DataBlock block;
    if (!AllocateData(static_cast<std::size_t>(length), block)) return nullptr;
    std::memset(block.data, 0, block.size);
    auto* sample = new FSOUND_SAMPLE;
    sample->data = block.data;
    sample->bytes = static_cast<std::uint32_t>(length);
    sample->release = block.release;
    sample->channels = channels;
    sample->encoding = ima ? Encoding::ImaAdpcm : eightBits ? Encoding::Pcm8 : Encoding::Pcm16;
    sample->frequency = defaultFrequency;
    sample->volume = std::clamp(defaultVolume, 0, kFullVolume);
    sample->pan = defaultPan;
    sample->priority = defaultPriority;
    sample->loop = (mode & FSOUND_LOOP_NORMAL) != 0;
    DescribeSample(*sample, 0);
    LibraryState& state = State();
    const auto guard = LockAtClock();
    state.samples.push_back(sample);
    return sample;
}

signed char FSOUND_Sample_Lock(FSOUND_SAMPLE* sample, int offset, int length, void** first, void** second,
                               unsigned int* firstLength, unsigned int* secondLength) {
    LibraryState& state = State();
    const auto guard = LockAtClock();
    if (Live(state, sample) == nullptr) return 0;
    if (offset < 0 || length <= 0 || static_cast<std::uint64_t>(offset) + static_cast<std::uint64_t>(length) >
                                         sample->bytes || first == nullptr || firstLength == nullptr) {
        SetError(FMOD_ERR_INVALID_PARAM);
        return 0;
    }
    *first = sample->data + offset;
    *firstLength = static_cast<unsigned int>(length);
    if (second != nullptr) *second = nullptr;
    if (secondLength != nullptr) *secondLength = 0;
    return 1;
}

signed char FSOUND_Sample_Unlock(FSOUND_SAMPLE* sample, void* first, void*, unsigned int, unsigned int) {
    LibraryState& state = State();
    const auto guard = LockAtClock();
    if (Live(state, sample) == nullptr) return 0;
    const auto* at = static_cast<const std::uint8_t*>(first);
    if (at < sample->data || at >= sample->data + sample->bytes) {
        SetError(FMOD_ERR_INVALID_PARAM);
        return 0;
    }
    return 1;
}

signed char FSOUND_Sample_SetMode(FSOUND_SAMPLE* sample, unsigned int mode) {
    LibraryState& state = State();
    const auto guard = LockAtClock();
    if (Live(state, sample) == nullptr) return 0;
    const unsigned int loop = mode & kLoopBits;
    if (loop == 0 || loop == kLoopBits) {
        SetError(FMOD_ERR_INVALID_PARAM);
        return 0;
    }
    sample->loop = loop == FSOUND_LOOP_NORMAL;
    return 1;
}

void FSOUND_Sample_Free(FSOUND_SAMPLE* sample) {
    LibraryState& state = State();
    {
        const auto guard = LockAtClock();
        if (sample == nullptr || !IsLive(state.samples, sample)) return;
        if (state.mixer != nullptr) state.mixer->StopSource(&sample->source);
        Forget(state.samples, sample);
    }
    ReleaseData(sample->data, sample->release);
    delete sample;
}

namespace platform::sound {

bool SetSampleBlockBytes(FSOUND_SAMPLE* sample, std::uint32_t blockBytes) {
    LibraryState& state = State();
    const auto guard = LockAtClock();
    if (Live(state, sample) == nullptr || sample->encoding != Encoding::ImaAdpcm) return false;
    if (ImaFramesPerBlock(blockBytes, sample->channels) == 0) {
        SetError(FMOD_ERR_INVALID_PARAM);
        return false;
    }
    if (state.mixer != nullptr) state.mixer->StopSource(&sample->source);
    DescribeSample(*sample, blockBytes);
    return sample->source.frames > 0;
}

}  // namespace platform::sound
