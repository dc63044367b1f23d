// Channels: playing a sample, and each channel's volume, frequency, pause and position.
#include <algorithm>

#include "platform/sound/LibraryState.h"

using namespace platform::sound;

namespace {

// The channel, or null with the library's error set; the lock must be held.
Voice* Channel(LibraryState& state, int channel) {
    if (!state.open) {
        SetError(FMOD_ERR_UNINITIALIZED);
        return nullptr;
    }
    Voice* voice = state.mixer->At(channel);
    if (voice == nullptr) SetError(FMOD_ERR_INVALID_PARAM);
    return voice;
}

}  // namespace

int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample) {
    LibraryState& state = State();
    const auto guard = LockAtClock();
    if (!state.open) {
        SetError(FMOD_ERR_UNINITIALIZED);
        return -1;
    }
    if (sample == nullptr || !IsLive(state.samples, sample) || (channel < 0 && channel != FSOUND_FREE)) {
        SetError(FMOD_ERR_INVALID_PARAM);
        return -1;
    }
    if (sample->source.frames == 0) {
        SetError(FMOD_ERR_PLAY);
        return -1;
    }
    const int played = state.mixer->Start(channel, &sample->source, sample->frequency, sample->volume, sample->loop,
                                          false);
    if (played < 0) SetError(channel == FSOUND_FREE ? FMOD_ERR_CHANNEL_ALLOC : FMOD_ERR_INVALID_PARAM);
    return played;
}

signed char FSOUND_StopSound(int channel) {
    LibraryState& state = State();
    const auto guard = LockAtClock();
    if (!state.open) {
        SetError(FMOD_ERR_UNINITIALIZED);
        return 0;
    }
    if (channel == FSOUND_ALL) {
        state.mixer->StopAll();
        return 1;
    }
    if (Channel(state, channel) == nullptr) return 0;
    state.mixer->Stop(channel);
    return 1;
}

signed char FSOUND_SetVolume(int channel, int volume) {
    LibraryState& state = State();
    const auto guard = LockAtClock();
    Voice* voice = Channel(state, channel);
    if (voice == nullptr) return 0;
    voice->volume = std::clamp(volume, 0, kFullVolume);
    return 1;
}

signed char FSOUND_SetFrequency(int channel, int frequency) {
    LibraryState& state = State();
    const auto guard = LockAtClock();
    if (Channel(state, channel) == nullptr) return 0;
    if (!state.mixer->SetFrequency(channel, frequency)) {
        SetError(FMOD_ERR_INVALID_PARAM);
        return 0;
    }
    return 1;
}

signed char FSOUND_SetPaused(int channel, signed char paused) {
    LibraryState& state = State();
    const auto guard = LockAtClock();
    Voice* voice = Channel(state, channel);
    if (voice == nullptr) return 0;
    voice->paused = paused != 0;
    return 1;
}

signed char FSOUND_IsPlaying(int channel) {
    LibraryState& state = State();
    const auto guard = LockAtClock();
    const Voice* voice = Channel(state, channel);
    return voice != nullptr && voice->active ? 1 : 0;
}

signed char FSOUND_SetCurrentPosition(int channel, unsigned int offset) {
    LibraryState& state = State();
    const auto guard = LockAtClock();
    if (Channel(state, channel) == nullptr) return 0;
    if (!state.mixer->SetPosition(channel, offset)) {
        SetError(FMOD_ERR_INVALID_PARAM);
        return 0;
    }
    return 1;
}

unsigned int FSOUND_GetCurrentPosition(int channel) {
    LibraryState& state = State();
    const auto guard = LockAtClock();
    const Voice* voice = Channel(state, channel);
    if (voice == nullptr || !voice->active) return 0;
    return static_cast<unsigned int>(voice->position >> 32);
}
