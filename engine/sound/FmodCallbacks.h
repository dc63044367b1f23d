// The sound library's file and memory callbacks over the engine: files through FileStream
// (the mounted archives first, then the data folder), memory from the engine allocator. The
// library calls them only from its calls, on the game's thread, so the unlocked allocator is
// safe.
#pragma once

#include <cstddef>

// open(name): a new stream opened with flag 8, or null (nothing left behind).
void* FmodFileOpen(const char* name);
// Closes and frees the stream; nothing for null.
void FmodFileClose(void* handle);
// The bytes read; a memory stream gives what is left when fewer than `size` remain.
int FmodFileRead(void* buffer, int size, void* handle);
// Modes 0, 1, 2: from the start, the current position, the end (others: from the start).
// 0, or 1 for a null handle.
int FmodFileSeek(void* handle, int position, signed char mode);
int FmodFileTell(void* handle);

// Null for size 0.
void* FmodMemoryAlloc(unsigned int size);
// A new block of `size` bytes with the old contents up to the smaller size, the old block
// freed; size 0 frees and gives null. When the new block cannot be had the old one is kept
// and null returned.
void* FmodMemoryRealloc(void* block, unsigned int size);
void FmodMemoryFree(void* block);

// The usable size of an engine block: its header's size, or a link's size for a block of
// the link pool (whose header holds the pool's marker, not a size).
std::size_t EngineBlockSize(const void* block);
