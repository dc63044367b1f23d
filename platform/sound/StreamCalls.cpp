// Streams: wave files read whole at open and played on a channel like a sample.
#include "platform/sound/LibraryState.h"

using namespace platform::sound;

FSOUND_STREAM* FSOUND_Stream_Open(const char* name, unsigned int mode, int offset, int length) {
    DataBlock block;
    if (!ReadWholeFile(name, offset, length, block)) return nullptr;
    WaveImage wave;
    if (!ReadWaveImage(block.data, block.size, wave)) {
        // MP3, Ogg and AAC files, and broken wave files.
        ReleaseData(block.data, block.release);
        SetError(FMOD_ERR_FILE_FORMAT);
        return nullptr;
    }
    auto* stream = new FSOUND_STREAM;
    stream->wave = wave;
    stream->image = block.data;
    stream->release = block.release;
    stream->loop = (mode & FSOUND_LOOP_NORMAL) != 0;
    LibraryState& state = State();
    const auto guard = LockAtClock();
    state.streams.push_back(stream);
    return stream;
}

int FSOUND_Stream_PlayEx(int channel, FSOUND_STREAM* stream, FSOUND_DSPUNIT* dsp, signed char paused) {
    LibraryState& state = State();
    const auto guard = LockAtClock();
    if (!state.open) {
        SetError(FMOD_ERR_UNINITIALIZED);
        return -1;
    }
    if (stream == nullptr || !IsLive(state.streams, stream) || dsp != nullptr ||
        (channel < 0 && channel != FSOUND_FREE)) {
        SetError(FMOD_ERR_INVALID_PARAM);
        return -1;
    }
    // A stream plays on one channel at a time.
    if (stream->channel >= 0) state.mixer->StopSource(&stream->wave.source);
    stream->channel = state.mixer->Start(channel, &stream->wave.source, static_cast<std::int32_t>(stream->wave.rate),
                                         kFullVolume, stream->loop, paused != 0);
    if (stream->channel < 0) SetError(channel == FSOUND_FREE ? FMOD_ERR_CHANNEL_ALLOC : FMOD_ERR_INVALID_PARAM);
    return stream->channel;
}

signed char FSOUND_Stream_Close(FSOUND_STREAM* stream) {
    LibraryState& state = State();
    {
        const auto guard = LockAtClock();
        if (stream == nullptr || !IsLive(state.streams, stream)) {
            SetError(FMOD_ERR_INVALID_PARAM);
            return 0;
        }
        if (state.mixer != nullptr) state.mixer->StopSource(&stream->wave.source);
        Forget(state.streams, stream);
    }
    ReleaseData(stream->image, stream->release);
    delete stream;
    return 1;
}

unsigned int FSOUND_Stream_GetPosition(FSOUND_STREAM* stream) {
    LibraryState& state = State();
    const auto guard = LockAtClock();
    if (stream == nullptr || !IsLive(state.streams, stream)) {
        SetError(FMOD_ERR_INVALID_PARAM);
        return 0;
    }
    if (!state.open || stream->channel < 0) return 0;
    const Voice* voice = state.mixer->At(stream->channel);
    // A channel that has moved on to another sound no longer tells this stream's place.
    if (voice == nullptr || voice->source != &stream->wave.source) return 0;
    return static_cast<unsigned int>((voice->position >> 32) * PcmBytesPerFrame(stream->wave.source));
}
