// The library's state, its memory and file access through the callbacks, and the render
// function of the outputs.
#include "platform/sound/LibraryState.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/fs/FileStreams.h"

namespace platform::sound {

namespace {

std::atomic<int> lastError{FMOD_ERR_NONE};

// Without callbacks of the program's own, memory comes from the runtime library and files
// are handset paths.
void* DefaultAlloc(unsigned int size) { return std::malloc(size); }
void* DefaultRealloc(void* block, unsigned int size) { return std::realloc(block, size); }
void DefaultFree(void* block) { std::free(block); }

void* DefaultOpen(const char* name) { return platform::OpenHandsetStream(name, "rb"); }
void DefaultClose(void* handle) { std::fclose(static_cast<std::FILE*>(handle)); }
int DefaultRead(void* buffer, int size, void* handle) {
    return size <= 0 ? 0 : static_cast<int>(std::fread(buffer, 1, static_cast<std::size_t>(size), static_cast<std::FILE*>(handle)));
}
int DefaultSeek(void* handle, int position, signed char mode) {
    const int whence = mode == 1 ? SEEK_CUR : mode == 2 ? SEEK_END : SEEK_SET;
    return std::fseek(static_cast<std::FILE*>(handle), position, whence) == 0 ? 0 : 1;
}
int DefaultTell(void* handle) { return static_cast<int>(std::ftell(static_cast<std::FILE*>(handle))); }

// Files are read in growing pieces, so that a file whose size the callbacks cannot tell
// reads as well as any.
constexpr std::size_t kFirstReadBytes = 64 * 1024;
// The largest file read: what the program's allocator can hand out in one block.
constexpr std::size_t kMaxFileBytes = 0x0FFFFFFF;

}  // namespace

MemoryCallbacks DefaultMemoryCallbacks() { return MemoryCallbacks{DefaultAlloc, DefaultRealloc, DefaultFree}; }

FileCallbacks DefaultFileCallbacks() {
    return FileCallbacks{DefaultOpen, DefaultClose, DefaultRead, DefaultSeek, DefaultTell};
}

LibraryState& State() {
    static LibraryState* state = [] {
        auto* made = new LibraryState;
        made->memory = DefaultMemoryCallbacks();
        made->files = DefaultFileCallbacks();
        return made;
    }();
    return *state;
}

void SetError(int error) { lastError.store(error); }

int LastError() { return lastError.load(); }

bool AllocateData(std::size_t size, DataBlock& block) {
    MemoryCallbacks memory;
    {
        std::lock_guard<std::mutex> guard(State().lock);
        memory = State().memory;
    }
    if (size == 0 || size > kMaxFileBytes) {
        SetError(FMOD_ERR_MEMORY);
        return false;
    }
    auto* data = static_cast<std::uint8_t*>(memory.alloc(static_cast<unsigned int>(size)));
    if (data == nullptr) {
        SetError(FMOD_ERR_MEMORY);
        return false;
    }
    block = DataBlock{data, size, memory.release};
    return true;
}

void ReleaseData(std::uint8_t* data, FSOUND_FREECALLBACK release) {
    if (data != nullptr && release != nullptr) release(data);
}

bool ReadWholeFile(const char* name, int offset, int length, DataBlock& block) {
    if (name == nullptr || offset < 0 || length < 0) {
        SetError(FMOD_ERR_INVALID_PARAM);
        return false;
    }
    FileCallbacks files;
    MemoryCallbacks memory;
    {
        std::lock_guard<std::mutex> guard(State().lock);
        files = State().files;
        memory = State().memory;
    }
    void* handle = files.open(name);
    if (handle == nullptr) {
        SetError(FMOD_ERR_FILE_NOTFOUND);
        return false;
    }
    if (offset > 0 && files.seek(handle, offset, 0) != 0) {
        files.close(handle);
        SetError(FMOD_ERR_FILE_BAD);
        return false;
    }
    std::size_t capacity = length > 0 ? static_cast<std::size_t>(length) : kFirstReadBytes;
    auto* data = capacity <= kMaxFileBytes ? static_cast<std::uint8_t*>(memory.alloc(static_cast<unsigned int>(capacity)))
                                           : nullptr;
    std::size_t size = 0;
    bool failed = data == nullptr;
    while (!failed) {
        const std::size_t wanted = std::min<std::size_t>(capacity - size, std::numeric_limits<int>::max());
        const int read = files.read(data + size, static_cast<int>(wanted), handle);
        if (read <= 0) break;
        size += std::min<std::size_t>(static_cast<std::size_t>(read), wanted);
        if (size < capacity) continue;
        if (length > 0) break;
        if (capacity == kMaxFileBytes) {
            failed = true;
            break;
        }
        const std::size_t grown = std::min(capacity * 2, kMaxFileBytes);
        auto* bigger = static_cast<std::uint8_t*>(memory.reallocate(data, static_cast<unsigned int>(grown)));
        if (bigger == nullptr) {
            failed = true;
            break;
        }
        data = bigger;
        capacity = grown;
    }
    files.close(handle);
    if (failed) {
        ReleaseData(data, memory.release);
        SetError(FMOD_ERR_MEMORY);
        return false;
    }
    if (size == 0 || (length > 0 && size < static_cast<std::size_t>(length))) {
        ReleaseData(data, memory.release);
        SetError(FMOD_ERR_FILE_BAD);
        return false;
    }
    block = DataBlock{data, size, memory.release};
    return true;
}

std::unique_lock<std::mutex> LockAtClock() {
    LibraryState& state = State();
    AudioOutput* output = nullptr;
    {
        std::lock_guard<std::mutex> guard(state.lock);
        output = state.output.get();
    }
    // Without the lock: the output's render takes it. Only the caller's thread closes the
    // library, so the output stays while it catches up.
    if (output != nullptr) output->CatchUp();
    return std::unique_lock<std::mutex>(state.lock);
}

void RenderFrames(std::int16_t* out, std::uint32_t frames) {
    LibraryState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    if (!state.open || state.mixer == nullptr) {
        std::memset(out, 0, static_cast<std::size_t>(frames) * 4);
        return;
    }
    std::int32_t sum[2 * kMixChunkFrames];
    while (frames > 0) {
        const std::uint32_t chunk = std::min(frames, kMixChunkFrames);
        std::memset(sum, 0, sizeof(std::int32_t) * 2 * chunk);
        state.mixer->MixChannels(sum, chunk);
        MixSongs(state, sum, chunk);
        SumToPcm16(sum, out, chunk);
        out += 2 * static_cast<std::size_t>(chunk);
        frames -= chunk;
    }
}

}  // namespace platform::sound
