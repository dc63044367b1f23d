// The sound library's state, shared by its calls: one lock around everything the mixer's
// thread reads, the open mixer and output, the callbacks, and the live samples, streams and
// songs. Records are the library's own memory; sample data, stream images and song files
// come from the memory callbacks, always outside the lock and on the caller's thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/sound/AudioOutput.h"
#include "platform/sound/Mixer.h"
#include "platform/sound/SoundLibrary.h"
#include "platform/sound/WaveFileWriter.h"
#include "platform/sound/WaveImage.h"

struct FSOUND_SAMPLE {
    platform::sound::SoundSource source;  // frames 0 until the sample can play
    std::uint8_t* data = nullptr;
    std::uint32_t bytes = 0;
    std::uint32_t channels = 1;
    platform::sound::Encoding encoding = platform::sound::Encoding::Pcm16;
    FSOUND_FREECALLBACK release = nullptr;  // the free callback of the memory it came from
    std::int32_t frequency = 22050;
    std::int32_t volume = 255;
    std::int32_t pan = 0;
    std::int32_t priority = 0;
    bool loop = false;
};

struct FSOUND_STREAM {
    platform::sound::WaveImage wave;
    std::uint8_t* image = nullptr;
    FSOUND_FREECALLBACK release = nullptr;
    bool loop = false;
    int channel = -1;  // while it plays
};

namespace platform::sound {

struct MemoryCallbacks {
    FSOUND_ALLOCCALLBACK alloc;
    FSOUND_REALLOCCALLBACK reallocate;
    FSOUND_FREECALLBACK release;
};

struct FileCallbacks {
    FSOUND_OPENCALLBACK open;
    FSOUND_CLOSECALLBACK close;
    FSOUND_READCALLBACK read;
    FSOUND_SEEKCALLBACK seek;
    FSOUND_TELLCALLBACK tell;
};

// The runtime library's allocator, and handset paths read directly: what the library uses
// until the program sets callbacks of its own.
MemoryCallbacks DefaultMemoryCallbacks();
FileCallbacks DefaultFileCallbacks();

struct LibraryState {
    std::mutex lock;
    bool open = false;
    bool manualMixing = false;
    float reportedVersion = 0.0f;
    std::unique_ptr<Mixer> mixer;
    std::unique_ptr<AudioOutput> output;
    // Kept open across FSOUND_Close, so that what is played after the library was closed and
    // opened again (a suspended game) follows what came before.
    WaveFileWriter waveFile;
    MemoryCallbacks memory;
    FileCallbacks files;
    std::vector<FSOUND_SAMPLE*> samples;
    std::vector<FSOUND_STREAM*> streams;
    std::vector<FMUSIC_MODULE*> songs;
    int songLoads = 0;
    std::vector<std::int16_t> songBuffer;  // one chunk of a song's output
};

// The one state. Never destroyed: the mixer's thread may still run while the process exits.
LibraryState& State();

void SetError(int error);
int LastError();

// A block of the library's data memory and the free callback that gives it back.
struct DataBlock {
    std::uint8_t* data = nullptr;
    std::size_t size = 0;
    FSOUND_FREECALLBACK release = nullptr;
};
// From the current memory callbacks; false (FMOD_ERR_MEMORY) when they give nothing.
bool AllocateData(std::size_t size, DataBlock& block);
void ReleaseData(std::uint8_t* data, FSOUND_FREECALLBACK release);
// The file (or the `length` bytes of it from `offset`; 0: to its end) read whole through
// the file callbacks. False with the library's error set when it cannot be opened or read.
bool ReadWholeFile(const char* name, int offset, int length, DataBlock& block);

// Mixing chunks: at most this many frames at a time.
constexpr std::uint32_t kMixChunkFrames = 1024;

// Brings a paced output up to the platform clock, then locks the state: every call sees and
// changes what plays at the clock's time, however far a manual clock jumped since the
// output's thread last woke.
std::unique_lock<std::mutex> LockAtClock();

// The outputs' render function: locks, mixes channels and songs (silence when closed).
void RenderFrames(std::int16_t* out, std::uint32_t frames);

// Songs (MusicCalls.cpp), with the lock held: add the playing songs to the sum; stop them all.
void MixSongs(LibraryState& state, std::int32_t* sum, std::uint32_t frames);
void StopAllSongs(LibraryState& state);

template <typename Handle>
bool IsLive(const std::vector<Handle*>& live, const Handle* handle) {
    for (const Handle* each : live)
        if (each == handle) return true;
    return false;
}

template <typename Handle>
void Forget(std::vector<Handle*>& live, const Handle* handle) {
    for (auto at = live.begin(); at != live.end(); ++at)
        if (*at == handle) {
            live.erase(at);
            return;
        }
}

}  // namespace platform::sound
