// The handset's sound library: the calls of its FSOUND_ (samples, channels, streams) and
// FMUSIC_ (tracker songs) families that the game uses, on our own mixer. Sample data, stream
// images and song files are read through the file callbacks and kept in memory from the
// memory callbacks, both only inside these calls, on the caller's thread; the mixer's thread
// (SDL's audio thread, or the library's own for the null and wave outputs) never calls
// either. Results: TRUE (1) or FALSE (0) for the signed char results; a null handle, -1 or
// 0 for failures elsewhere, with FSOUND_GetError telling why.
#pragma once

#include <cstdint>

struct FSOUND_SAMPLE;
struct FSOUND_STREAM;
struct FMUSIC_MODULE;
struct FSOUND_DSPUNIT;

// File callbacks: open gives a handle (null when the file cannot be opened); read gives the
// bytes read; seek (mode 0 from the start, 1 from the current position, 2 from the end)
// gives 0 on success; tell gives the position.
using FSOUND_OPENCALLBACK = void* (*)(const char* name);
using FSOUND_CLOSECALLBACK = void (*)(void* handle);
using FSOUND_READCALLBACK = int (*)(void* buffer, int size, void* handle);
using FSOUND_SEEKCALLBACK = int (*)(void* handle, int position, signed char mode);
using FSOUND_TELLCALLBACK = int (*)(void* handle);
// Memory callbacks; realloc of null allocates, a failed realloc keeps the old block.
using FSOUND_ALLOCCALLBACK = void* (*)(unsigned int size);
using FSOUND_REALLOCCALLBACK = void* (*)(void* block, unsigned int size);
using FSOUND_FREECALLBACK = void (*)(void* block);

// Channel arguments.
constexpr int FSOUND_FREE = -1;       // the first free channel
constexpr int FSOUND_UNMANAGED = -2;  // a sample the caller frees (the only kind kept here)
constexpr int FSOUND_ALL = -3;        // every channel

// Mode bits of samples and streams.
constexpr unsigned int FSOUND_LOOP_OFF = 0x1;
constexpr unsigned int FSOUND_LOOP_NORMAL = 0x2;
constexpr unsigned int FSOUND_8BITS = 0x8;
constexpr unsigned int FSOUND_16BITS = 0x10;
constexpr unsigned int FSOUND_MONO = 0x20;
constexpr unsigned int FSOUND_STEREO = 0x40;
constexpr unsigned int FSOUND_SIGNED = 0x100;
constexpr unsigned int FSOUND_2D = 0x2000;
constexpr unsigned int FSOUND_LOADMEMORY = 0x8000;      // the name is a pointer to the file's bytes
constexpr unsigned int FSOUND_IMAADPCM = 0x400000;      // sample data is IMA ADPCM blocks
constexpr unsigned int FSOUND_NONBLOCKING = 0x1000000;  // accepted; opening is done at once

enum FMOD_ERRORS {
    FMOD_ERR_NONE = 0,
    FMOD_ERR_UNINITIALIZED,  // the call needs FSOUND_Init
    FMOD_ERR_INIT,           // the output could not be opened, or the library is open already
    FMOD_ERR_PLAY,           // the channel cannot play that
    FMOD_ERR_FILE_NOTFOUND,
    FMOD_ERR_FILE_FORMAT,    // not a file this library plays (streams: wave files only)
    FMOD_ERR_FILE_BAD,       // the file could not be read to its end
    FMOD_ERR_MEMORY,
    FMOD_ERR_INVALID_PARAM,
    FMOD_ERR_CHANNEL_ALLOC,  // no free channel
};

// The library's version: 3.75.
float FSOUND_GetVersion();
int FSOUND_GetError();

// Before FSOUND_Init. No pool: `pool` must be null and `poolLength` 0. Null callbacks
// return to the runtime library's allocator.
signed char FSOUND_SetMemorySystem(void* pool, int poolLength, FSOUND_ALLOCCALLBACK alloc,
                                   FSOUND_REALLOCCALLBACK reallocate, FSOUND_FREECALLBACK release);
// Null callbacks return to reading handset paths directly.
signed char FSOUND_File_SetCallbacks(FSOUND_OPENCALLBACK open, FSOUND_CLOSECALLBACK close, FSOUND_READCALLBACK read,
                                     FSOUND_SEEKCALLBACK seek, FSOUND_TELLCALLBACK tell);

// Opens the output named by HANDSET_AUDIO (sdl, null or wav:<file>) at `mixRate` Hz
// (8,000 to 48,000) with `channels` channels (1 to 32). Fails when the library is already
// open or the output cannot be opened.
signed char FSOUND_Init(int mixRate, int channels, unsigned int flags);
// Stops every channel and song and closes the output. Samples, streams and songs stay
// loaded (their owners free them) and play again after the next FSOUND_Init.
void FSOUND_Close();

// Samples. `length` is the size of the sample's data in bytes (for IMA ADPCM the size of
// its blocks). The mode names the layout: FSOUND_8BITS or FSOUND_16BITS (signed), or
// FSOUND_IMAADPCM; FSOUND_MONO or FSOUND_STEREO; FSOUND_LOOP_NORMAL or FSOUND_LOOP_OFF.
// Default volume 0..255; pan and priority are kept, not used.
FSOUND_SAMPLE* FSOUND_Sample_Alloc(int index, int length, unsigned int mode, int defaultFrequency, int defaultVolume,
                                   int defaultPan, int defaultPriority);
// Byte offset and length inside the sample; the data is one piece, so the second part is
// always empty. The caller fills a sample before playing it: writes into a sample that a
// channel plays are not guarded against the mixer's thread.
signed char FSOUND_Sample_Lock(FSOUND_SAMPLE* sample, int offset, int length, void** first, void** second,
                               unsigned int* firstLength, unsigned int* secondLength);
signed char FSOUND_Sample_Unlock(FSOUND_SAMPLE* sample, void* first, void* second, unsigned int firstLength,
                                 unsigned int secondLength);
// The loop mode for the next plays: FSOUND_LOOP_OFF or FSOUND_LOOP_NORMAL.
signed char FSOUND_Sample_SetMode(FSOUND_SAMPLE* sample, unsigned int mode);
// Stops the channels that play it. A handle that is not a live sample is ignored.
void FSOUND_Sample_Free(FSOUND_SAMPLE* sample);

// Channels: indices 0 to channels - 1. PlaySound gives the channel index or -1.
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample);
signed char FSOUND_StopSound(int channel);
// 0..255; larger values play at 255.
signed char FSOUND_SetVolume(int channel, int volume);
// 1 to 705,600 Hz.
signed char FSOUND_SetFrequency(int channel, int frequency);
signed char FSOUND_SetPaused(int channel, signed char paused);
// TRUE while the channel plays or is paused.
signed char FSOUND_IsPlaying(int channel);
// In sample frames.
signed char FSOUND_SetCurrentPosition(int channel, unsigned int offset);
unsigned int FSOUND_GetCurrentPosition(int channel);

// Streams: wave files (PCM or IMA ADPCM), read whole when opened. `offset` is where the
// file starts inside `name` (0 for a file of its own), `length` its size (0: to the end).
// Other kinds of files fail with FMOD_ERR_FILE_FORMAT. FSOUND_LOOP_NORMAL in the mode loops.
FSOUND_STREAM* FSOUND_Stream_Open(const char* name, unsigned int mode, int offset, int length);
// Plays the stream from its start; the DSP unit must be null. The channel index or -1.
int FSOUND_Stream_PlayEx(int channel, FSOUND_STREAM* stream, FSOUND_DSPUNIT* dsp, signed char paused);
signed char FSOUND_Stream_Close(FSOUND_STREAM* stream);
// Bytes of 16-bit (8-bit for 8-bit files) sample data played so far.
unsigned int FSOUND_Stream_GetPosition(FSOUND_STREAM* stream);

// Tracker songs through libxmp. With FSOUND_LOADMEMORY, `nameOrData` points to `length`
// bytes; otherwise it names a file read from `offset` (`length` 0: to its end). The
// sample list arguments must be null and 0. A new song stands at order 0 and master
// volume 256; songs loop.
FMUSIC_MODULE* FMUSIC_LoadSongEx(const char* nameOrData, int offset, int length, unsigned int mode,
                                 const int* sampleList, int sampleListCount);
signed char FMUSIC_FreeSong(FMUSIC_MODULE* song);
// Starts the song from its current order.
signed char FMUSIC_PlaySong(FMUSIC_MODULE* song);
signed char FMUSIC_StopSong(FMUSIC_MODULE* song);
signed char FMUSIC_IsPlaying(FMUSIC_MODULE* song);
// An order of the song's order list; playing songs jump there.
signed char FMUSIC_SetOrder(FMUSIC_MODULE* song, int order);
int FMUSIC_GetOrder(FMUSIC_MODULE* song);
// 0..256.
signed char FMUSIC_SetMasterVolume(FMUSIC_MODULE* song, int volume);
int FMUSIC_GetMasterVolume(FMUSIC_MODULE* song);
