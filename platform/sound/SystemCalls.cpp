// Opening and closing the library, its callbacks and version, and the platform's own calls
// around them (manual mixing, counts for tests).
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/sound/LibraryState.h"
#include "platform/sound/SoundPlatform.h"

using namespace platform::sound;

namespace {

constexpr float kLibraryVersion = 3.75f;
constexpr int kMinMixRate = 8000;
constexpr int kMaxMixRate = 48000;

}  // namespace

float FSOUND_GetVersion() {
    LibraryState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    return state.reportedVersion > 0.0f ? state.reportedVersion : kLibraryVersion;
}

int FSOUND_GetError() { return LastError(); }

signed char FSOUND_SetMemorySystem(void* pool, int poolLength, FSOUND_ALLOCCALLBACK alloc,
                                   FSOUND_REALLOCCALLBACK reallocate, FSOUND_FREECALLBACK release) {
    LibraryState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    const bool allSet = alloc != nullptr && reallocate != nullptr && release != nullptr;
    const bool noneSet = alloc == nullptr && reallocate == nullptr && release == nullptr;
    if (state.open) {
        SetError(FMOD_ERR_INIT);
        return 0;
    }
    if (pool != nullptr || poolLength != 0 || !(allSet || noneSet)) {
        SetError(FMOD_ERR_INVALID_PARAM);
        return 0;
    }
    // Blocks handed out before keep the free callback they came with.
    state.memory = noneSet ? DefaultMemoryCallbacks() : MemoryCallbacks{alloc, reallocate, release};
    return 1;
}

signed char FSOUND_File_SetCallbacks(FSOUND_OPENCALLBACK open, FSOUND_CLOSECALLBACK close, FSOUND_READCALLBACK read,
                                     FSOUND_SEEKCALLBACK seek, FSOUND_TELLCALLBACK tell) {
    LibraryState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    const bool allSet = open != nullptr && close != nullptr && read != nullptr && seek != nullptr && tell != nullptr;
    const bool noneSet = open == nullptr && close == nullptr && read == nullptr && seek == nullptr && tell == nullptr;
    if (!(allSet || noneSet)) {
        SetError(FMOD_ERR_INVALID_PARAM);
        return 0;
    }
    state.files = noneSet ? DefaultFileCallbacks() : FileCallbacks{open, close, read, seek, tell};
    return 1;
}

signed char FSOUND_Init(int mixRate, int channels, unsigned int) {
    LibraryState& state = State();
    OutputSpec spec;
    bool manual = false;
    {
        std::lock_guard<std::mutex> guard(state.lock);
        if (state.open) {
            SetError(FMOD_ERR_INIT);
            return 0;
        }
        if (mixRate < kMinMixRate || mixRate > kMaxMixRate || channels < 1 || channels > kMaxMixerChannels) {
            SetError(FMOD_ERR_INVALID_PARAM);
            return 0;
        }
        manual = state.manualMixing;
        state.mixer = std::make_unique<Mixer>(static_cast<std::uint32_t>(mixRate), static_cast<std::uint32_t>(channels));
        state.songBuffer.assign(2 * kMixChunkFrames, 0);
        state.open = true;
    }
    if (manual) return 1;
    std::string error;
    std::unique_ptr<AudioOutput> output;
    if (ReadAudioVariable(spec, error))
        output = OpenOutput(spec, static_cast<std::uint32_t>(mixRate), RenderFrames, state.waveFile, error);
    std::lock_guard<std::mutex> guard(state.lock);
    if (output == nullptr) {
        std::fprintf(stderr, "%s\n", error.c_str());
        state.open = false;
        state.mixer.reset();
        SetError(FMOD_ERR_INIT);
        return 0;
    }
    state.output = std::move(output);
    return 1;
}

void FSOUND_Close() {
    LibraryState& state = State();
    std::unique_ptr<AudioOutput> output;
    {
        std::lock_guard<std::mutex> guard(state.lock);
        if (!state.open) return;
        output = std::move(state.output);
    }
    // The output renders what is due and stops; it takes the lock itself.
    output.reset();
    std::lock_guard<std::mutex> guard(state.lock);
    StopAllSongs(state);
    for (FSOUND_STREAM* stream : state.streams) stream->channel = -1;
    state.mixer.reset();
    state.open = false;
}

namespace platform::sound {

void UseManualMixing(bool manual) {
    std::lock_guard<std::mutex> guard(State().lock);
    State().manualMixing = manual;
}

bool MixFrames(std::int16_t* out, std::size_t frames) {
    {
        LibraryState& state = State();
        std::lock_guard<std::mutex> guard(state.lock);
        if (!state.open || state.output != nullptr) return false;
    }
    while (frames > 0) {
        const auto chunk = static_cast<std::uint32_t>(std::min<std::size_t>(frames, kMixChunkFrames));
        RenderFrames(out, chunk);
        out += 2 * static_cast<std::size_t>(chunk);
        frames -= chunk;
    }
    return true;
}

void SetReportedVersion(float version) {
    std::lock_guard<std::mutex> guard(State().lock);
    State().reportedVersion = version;
}

LibraryCounts Counts() {
    LibraryState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    return LibraryCounts{static_cast<int>(state.samples.size()), static_cast<int>(state.streams.size()),
                         static_cast<int>(state.songs.size()), state.songLoads};
}

bool ChannelSettings(int channel, int& volume, int& frequency) {
    LibraryState& state = State();
    const auto guard = LockAtClock();
    if (!state.open) return false;
    const Voice* voice = state.mixer->At(channel);
    if (voice == nullptr) return false;
    volume = voice->volume;
    frequency = voice->frequency;
    return true;
}

}  // namespace platform::sound
