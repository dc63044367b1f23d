// Tracker songs as the game's sound device loads them: the bytes go through FMUSIC_LoadSongEx
// to libxmp's memory loader, and a song that loads is started at an order, mixed for a few
// short buffers at the game's rate, sent to its next order, mixed again and freed.
#include <climits>
#include <cstddef>
#include <cstdint>

#include "platform/sound/SoundLibrary.h"
#include "platform/sound/SoundPlatform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The sound device's rate and channels; mixed by hand, with no output opened.
    static const bool open = [] {
        platform::sound::UseManualMixing(true);
        return FSOUND_Init(22050, 32, 0) != 0;
    }();
    if (!open || size == 0 || size > INT_MAX) return 0;
    FMUSIC_MODULE* song = FMUSIC_LoadSongEx(reinterpret_cast<const char*>(data), 0, static_cast<int>(size),
                                            FSOUND_LOADMEMORY, nullptr, 0);
    if (song == nullptr) return 0;
    FMUSIC_SetOrder(song, size % 3);
    FMUSIC_SetMasterVolume(song, 200);
    FMUSIC_PlaySong(song);
    static std::int16_t buffer[2 * 300];
    for (int mix = 0; mix < 6; ++mix) {
        if (mix == 3) FMUSIC_SetOrder(song, FMUSIC_GetOrder(song) + 1);
        platform::sound::MixFrames(buffer, 300);
    }
    FMUSIC_FreeSong(song);
    return 0;
}
