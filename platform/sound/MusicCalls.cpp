// Tracker songs, loaded and played by libxmp: each song has its own player, started at the
// mixer's rate by FMUSIC_PlaySong and rendered into the mix at its master volume.
#include <xmp.h>

#include "platform/sound/LibraryState.h"

using namespace platform::sound;

struct FMUSIC_MODULE {
    xmp_context context = nullptr;
    int orderCount = 0;
    bool playing = false;
    int order = 0;              // where the song starts, or the order asked for while it plays
    bool orderPending = false;  // asked for, not yet reached by the player
    int masterVolume = 256;
};

namespace {

constexpr int kFullMasterVolume = 256;

// The live song, or null with FMOD_ERR_INVALID_PARAM; the lock must be held.
FMUSIC_MODULE* Live(LibraryState& state, FMUSIC_MODULE* song) {
    if (song != nullptr && IsLive(state.songs, song)) return song;
    SetError(FMOD_ERR_INVALID_PARAM);
    return nullptr;
}

void Stop(FMUSIC_MODULE& song) {
    if (song.playing) xmp_end_player(song.context);
    song.playing = false;
    song.orderPending = false;
}

}  // namespace

FMUSIC_MODULE* FMUSIC_LoadSongEx(const char* nameOrData, int offset, int length, unsigned int mode,
                                 const int* sampleList, int sampleListCount) {
    if (nameOrData == nullptr || offset < 0 || length < 0 || sampleList != nullptr || sampleListCount != 0 ||
        ((mode & FSOUND_LOADMEMORY) != 0 && length == 0)) {
        SetError(FMOD_ERR_INVALID_PARAM);
        return nullptr;
    }
    DataBlock file;
    const void* bytes = nullptr;
    std::size_t size = 0;
    if ((mode & FSOUND_LOADMEMORY) != 0) {
        bytes = nameOrData + offset;
        size = static_cast<std::size_t>(length);
    } else {
        if (!ReadWholeFile(nameOrData, offset, length, file)) return nullptr;
        bytes = file.data;
        size = file.size;
    }
    xmp_context context = xmp_create_context();
    // libxmp builds the song from the image and keeps nothing of it.
    const bool loaded = context != nullptr && xmp_load_module_from_memory(context, bytes, static_cast<long>(size)) == 0;
    ReleaseData(file.data, file.release);
    xmp_module_info info{};
    if (loaded) xmp_get_module_info(context, &info);
    // libxmp loads a song of no channels or no orders, but its player then never fills a
    // buffer and the mix would not return.
    const bool playable = loaded && info.mod != nullptr && info.mod->chn > 0 && info.mod->len > 0;
    if (!playable) {
        if (loaded) xmp_release_module(context);
        if (context != nullptr) xmp_free_context(context);
        SetError(context != nullptr ? FMOD_ERR_FILE_FORMAT : FMOD_ERR_MEMORY);
        return nullptr;
    }
    auto* song = new FMUSIC_MODULE;
    song->context = context;
    song->orderCount = info.mod != nullptr ? info.mod->len : 0;
    LibraryState& state = State();
    const auto guard = LockAtClock();
    state.songs.push_back(song);
    ++state.songLoads;
    return song;
}

signed char FMUSIC_FreeSong(FMUSIC_MODULE* song) {
    LibraryState& state = State();
    {
        const auto guard = LockAtClock();
        if (Live(state, song) == nullptr) return 0;
        Stop(*song);
        Forget(state.songs, song);
    }
    xmp_release_module(song->context);
    xmp_free_context(song->context);
    delete song;
    return 1;
}

signed char FMUSIC_PlaySong(FMUSIC_MODULE* song) {
    LibraryState& state = State();
    const auto guard = LockAtClock();
    if (Live(state, song) == nullptr) return 0;
    if (!state.open) {
        SetError(FMOD_ERR_UNINITIALIZED);
        return 0;
    }
    Stop(*song);
    if (xmp_start_player(song->context, static_cast<int>(state.mixer->Rate()), 0) != 0) {
        SetError(FMOD_ERR_PLAY);
        return 0;
    }
    if (song->order > 0 && xmp_set_position(song->context, song->order) >= 0) song->orderPending = true;
    song->playing = true;
    return 1;
}

signed char FMUSIC_StopSong(FMUSIC_MODULE* song) {
    LibraryState& state = State();
    const auto guard = LockAtClock();
    if (Live(state, song) == nullptr) return 0;
    Stop(*song);
    return 1;
}

signed char FMUSIC_IsPlaying(FMUSIC_MODULE* song) {
    LibraryState& state = State();
    const auto guard = LockAtClock();
    if (Live(state, song) == nullptr) return 0;
    return song->playing ? 1 : 0;
}

signed char FMUSIC_SetOrder(FMUSIC_MODULE* song, int order) {
    LibraryState& state = State();
    const auto guard = LockAtClock();
    if (Live(state, song) == nullptr) return 0;
    if (order < 0 || order >= song->orderCount) {
        SetError(FMOD_ERR_INVALID_PARAM);
        return 0;
    }
    if (song->playing) {
        if (xmp_set_position(song->context, order) < 0) {
            SetError(FMOD_ERR_INVALID_PARAM);
            return 0;
        }
        song->orderPending = true;
    }
    song->order = order;
    return 1;
}

int FMUSIC_GetOrder(FMUSIC_MODULE* song) {
    LibraryState& state = State();
    const auto guard = LockAtClock();
    if (Live(state, song) == nullptr) return 0;
    if (!song->playing || song->orderPending) return song->order;
    xmp_frame_info frame{};
    xmp_get_frame_info(song->context, &frame);
    return frame.pos;
}

signed char FMUSIC_SetMasterVolume(FMUSIC_MODULE* song, int volume) {
    LibraryState& state = State();
    const auto guard = LockAtClock();
    if (Live(state, song) == nullptr) return 0;
    if (volume < 0 || volume > kFullMasterVolume) {
        SetError(FMOD_ERR_INVALID_PARAM);
        return 0;
    }
    song->masterVolume = volume;
    return 1;
}

int FMUSIC_GetMasterVolume(FMUSIC_MODULE* song) {
    LibraryState& state = State();
    const auto guard = LockAtClock();
    if (Live(state, song) == nullptr) return -1;
    return song->masterVolume;
}

namespace platform::sound {

void MixSongs(LibraryState& state, std::int32_t* sum, std::uint32_t frames) {
    std::int16_t* buffer = state.songBuffer.data();
    for (FMUSIC_MODULE* song : state.songs) {
        if (!song->playing) continue;
        if (xmp_play_buffer(song->context, buffer, static_cast<int>(frames * 4), 0) != 0) {
            song->playing = false;
            continue;
        }
        song->orderPending = false;
        // The channels' scale: full volume is 255 times the sample.
        const std::int32_t gain = song->masterVolume * kFullVolume / kFullMasterVolume;
        for (std::uint32_t i = 0; i < 2 * frames; ++i) sum[i] += buffer[i] * gain;
    }
}

void StopAllSongs(LibraryState& state) {
    for (FMUSIC_MODULE* song : state.songs) Stop(*song);
}

}  // namespace platform::sound
