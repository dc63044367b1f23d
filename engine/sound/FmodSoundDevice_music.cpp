// The sound device's music: wave streams by extension, tracker songs otherwise; the same
// song asked for again is reused, not loaded again.
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "engine/core/text/TextCompare.h"
#include "engine/sound/FmodMusic.h"
#include "engine/sound/FmodSoundDevice.h"
#include "platform/sound/SoundLibrary.h"

namespace {

// 16-bit, mono, signed, looping, opened without waiting.
constexpr unsigned int kStreamMode = 0x1000132;

bool IsStreamName(const char* name) {
    const std::size_t length = std::strlen(name);
    if (length < 3) return false;
    const char* extension = name + length - 3;
    for (const char* streamed : {"mp3", "ogg", "aac", "wav"})
        if (CompareNoCase(extension, streamed) == 0) return true;
    return false;
}

}  // namespace

FmodMusicState& MusicState() {
    static FmodMusicState state;
    return state;
}

void ResetMusicState() {
    MusicState().songName[0] = 0;
    MusicState().songWanted = 0;
}

void FreeSong() {
    FmodMusicState& music = MusicState();
    if (music.song != nullptr) FMUSIC_FreeSong(music.song);
    music.song = nullptr;
    music.songName[0] = 0;
}

void StartPendingMusic() {
    FmodMusicState& music = MusicState();
    if (music.stream != nullptr && music.streamChannel < 0)
        music.streamChannel = FSOUND_Stream_PlayEx(FSOUND_FREE, music.stream, nullptr, 1);
    if (music.song != nullptr && FMUSIC_IsPlaying(music.song) == 0 && music.songWanted != 0)
        FMUSIC_PlaySong(music.song);
    if (music.streamChannel >= 0) FSOUND_SetPaused(music.streamChannel, 0);
}

int FmodSoundDevice::PlayMusic(const char* fileName, std::int32_t start) {
    if (!IsActive()) return 1;
    if (fileName == nullptr) return 0;
    FmodMusicState& music = MusicState();
    if (IsStreamName(fileName)) {
        StopMusic();
        music.stream = FSOUND_Stream_Open(fileName, kStreamMode, start, 0);
        return music.stream != nullptr ? 1 : 0;
    }
    if (music.song != nullptr && CompareNoCase(music.songName, fileName) == 0) {
        if (FMUSIC_IsPlaying(music.song) == 0) FMUSIC_PlaySong(music.song);
        FMUSIC_SetOrder(music.song, start);
        music.songWanted = 1;
        return 1;
    }
    StopMusic();
    FreeSong();
    // The start value is an order of the song, not a place in its file: the song is loaded
    // whole and waits at that order for Update to start it.
    music.song = FMUSIC_LoadSongEx(fileName, 0, 0, 0, nullptr, 0);
    std::snprintf(music.songName, sizeof music.songName, "%s", fileName);
    music.songWanted = 1;
    if (music.song == nullptr) {
        music.songWanted = 0;
        return 0;
    }
    FMUSIC_SetOrder(music.song, start);
    return 1;
}

int FmodSoundDevice::StopMusic() {
    FmodMusicState& music = MusicState();
    if (music.stream != nullptr) FSOUND_Stream_Close(music.stream);
    if (music.song != nullptr) FMUSIC_StopSong(music.song);
    music.stream = nullptr;
    music.streamChannel = -1;
    music.songWanted = 0;
    return 1;
}

int FmodSoundDevice::IsMusicPlaying() {
    if (!IsActive()) return 0;
    FmodMusicState& music = MusicState();
    if (music.stream != nullptr) {
        // Opened and waiting for Update to start it, or started and not yet heard: playing.
        if (music.streamChannel < 0 || FSOUND_Stream_GetPosition(music.stream) != 0 ||
            FSOUND_IsPlaying(music.streamChannel) != 0)
            return 1;
    }
    if (music.song != nullptr && FMUSIC_IsPlaying(music.song) != 0) return 1;
    if (music.stream != nullptr) FSOUND_Stream_Close(music.stream);
    music.stream = nullptr;
    music.streamChannel = -1;
    return 0;
}

int FmodSoundDevice::SetMusicOrder(std::int32_t order) {
    FmodMusicState& music = MusicState();
    if (music.song == nullptr) return 0;
    return FMUSIC_SetOrder(music.song, order) != 0 ? 1 : 0;
}

std::int32_t FmodSoundDevice::GetMusicOrder() {
    FmodMusicState& music = MusicState();
    return music.song != nullptr ? FMUSIC_GetOrder(music.song) : 0;
}

std::int32_t FmodSoundDevice::SetMusicVolume(std::int32_t volume) {
    FmodMusicState& music = MusicState();
    return music.song != nullptr ? FMUSIC_SetMasterVolume(music.song, volume) : 0;
}

std::int32_t FmodSoundDevice::GetMusicVolume() {
    FmodMusicState& music = MusicState();
    return music.song != nullptr ? FMUSIC_GetMasterVolume(music.song) : -1;
}
