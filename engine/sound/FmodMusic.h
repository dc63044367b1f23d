// The sound device's music, one for the process (shared by every device object): the last
// tracker song's name and handle, the wave stream and its channel.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

struct FSOUND_STREAM;
struct FMUSIC_MODULE;

constexpr std::size_t kSongNameCapacity = 888;

struct FmodMusicState {
    char songName[kSongNameCapacity] = {};
    FSOUND_STREAM* stream = nullptr;
    FMUSIC_MODULE* song = nullptr;
    DWORD songWanted = 0;  // 1 once a song was asked for, 0 after StopMusic
    std::int32_t streamChannel = -1;
};

FmodMusicState& MusicState();
// Empties the song name and clears the song-wanted flag (a new device).
void ResetMusicState();
// Frees the loaded song and empties its name.
void FreeSong();
// The per-frame step of an active device: starts an opened stream (paused, then unpaused)
// and a wanted song that does not play.
void StartPendingMusic();
