// The engine's memory manager: EngineAlloc and EngineFree serve every engine object, string
// buffer, list link and loaded resource from areas committed once at start-up (HeapInit).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/base/Types.h"

class Heap;
struct KDLLink;

// Sizes of the areas. The global heap grows with the pointer size (its contents are mostly
// objects and lists made of pointers); the render heap holds vertex and index data only.
constexpr std::size_t kGlobalHeapSize = std::size_t{0xC00000} * (sizeof(void*) / 4);
constexpr DWORD kGlobalHeapRecords = 100000;
constexpr std::size_t kRenderHeapSize = 0x300000;
constexpr DWORD kRenderHeapRecords = 10000;
constexpr std::size_t kLinkPoolCells = 196608;

// Every engine block starts with a pointer-sized header word before the caller's bytes: the
// requested size for a heap block, or the link marker for a cell of the link pool, with
// bit 0 set while the link is handed out. (A pooled link's bit 0 is kept in a table beside
// the pool, and its cell gets the marker only when it is first handed out: read headers with
// EngineBlockHeader.)
constexpr std::size_t kBlockHeaderSize = sizeof(std::uintptr_t);
constexpr std::uintptr_t kLinkHeader = 0x40000000;
constexpr std::uintptr_t kLinkHandedOut = 1;
constexpr std::uintptr_t kBlockSizeMask = 0x0FFFFFFF;
// Requests above this are refused: sizes often come from file headers, and a larger size
// would not fit the header word beside the link marker.
constexpr std::size_t kMaximumEngineAllocation = kBlockSizeMask;

// Sets up the global heap, the render heap and the link pool; 0 on success, 1 on failure
// (logged). On a manager that is already set up it tears down first and starts afresh.
int HeapInit();
// Releases the link pool; the heaps stay until the program ends.
void HeapTeardown();
bool HeapIsInitialised();

// A request of exactly one link's size comes from the link pool; any other from the global
// heap, or from the runtime library before HeapInit. Null (logged) when memory runs out or
// the request is above kMaximumEngineAllocation.
void* EngineAlloc(std::size_t size);
// Null is ignored; so is an address in the heap or the pool where no handed-out block
// starts (a link freed twice warns once per run). Blocks from the runtime library are
// given back to it.
void EngineFree(void* pointer);
// EngineFree under the signature of zlib's free hook.
void ZipFree(void* opaque, void* address);

// Links are handed out first in, first out; when the pool is empty they come from the heap.
KDLLink* NewLink();
void FreeLink(KDLLink* link);

// The header of an engine block (diagnostics and tests): its size, or for a pooled link
// kLinkHeader with kLinkHandedOut while the link is handed out.
std::uintptr_t EngineBlockHeader(const void* pointer);

// The render device allocates from the render heap directly, without block headers.
Heap& GlobalHeap();
Heap& RenderHeap();

// Live engine blocks and their requested bytes; pooled links are not counted.
std::size_t EngineBlockCount();
std::size_t EngineByteCount();
std::size_t LinkPoolFreeCount();

// Base for classes whose objects live in engine memory: `new` gives null when memory runs
// out (the constructor then does not run), `delete` returns the block with EngineFree.
struct EngineAllocated {
    static void* operator new(std::size_t size) noexcept { return EngineAlloc(size); }
    static void operator delete(void* pointer) noexcept { EngineFree(pointer); }
};
