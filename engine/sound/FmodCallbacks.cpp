// The file and memory callbacks of the sound library.
#include "engine/sound/FmodCallbacks.h"

#include <algorithm>
#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/memory/KDLLink.h"

void* FmodFileOpen(const char* name) {
    auto* stream = new FileStream;
    if (stream == nullptr) return nullptr;
    if (stream->Open(name, kStreamBinary) == 0) {
        delete stream;
        return nullptr;
    }
    return stream;
}

void FmodFileClose(void* handle) {
    auto* stream = static_cast<FileStream*>(handle);
    if (stream == nullptr) return;
    stream->Close();
    delete stream;
}

int FmodFileRead(void* buffer, int size, void* handle) {
    auto* stream = static_cast<FileStream*>(handle);
    if (stream == nullptr || size <= 0) return 0;
    auto wanted = static_cast<DWORD>(size);
    // A memory stream reads all or nothing; the library reads in pieces and needs the rest.
    if (stream->IsMemory()) wanted = std::min(wanted, stream->Size() > stream->Tell() ? stream->Size() - stream->Tell() : 0);
    return static_cast<int>(stream->Read(buffer, wanted));
}

int FmodFileSeek(void* handle, int position, signed char mode) {
    auto* stream = static_cast<FileStream*>(handle);
    if (stream == nullptr) return 1;
    stream->Seek(position, mode == 1 || mode == 2 ? mode : 0);
    return 0;
}

int FmodFileTell(void* handle) {
    auto* stream = static_cast<FileStream*>(handle);
    return stream != nullptr ? static_cast<int>(stream->Tell()) : 0;
}

void* FmodMemoryAlloc(unsigned int size) { return size == 0 ? nullptr : EngineAlloc(size); }

std::size_t EngineBlockSize(const void* block) {
    const std::uintptr_t header = EngineBlockHeader(block);
    if ((header & kLinkHeader) != 0) return sizeof(KDLLink);
    return header & kBlockSizeMask;
}

void* FmodMemoryRealloc(void* block, unsigned int size) {
    if (size == 0) {
        EngineFree(block);
        return nullptr;
    }
    void* fresh = EngineAlloc(size);
    if (fresh == nullptr) return nullptr;
    if (block != nullptr) {
        std::memcpy(fresh, block, std::min<std::size_t>(EngineBlockSize(block), size));
        EngineFree(block);
    }
    return fresh;
}

void FmodMemoryFree(void* block) {
    if (block != nullptr) EngineFree(block);
}
