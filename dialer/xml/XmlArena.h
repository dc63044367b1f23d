// The memory of one document's tree: node and attribute records, their arrays and the
// copies they own come from large blocks that are freed together with the document, so
// that building and freeing a tree costs a few allocations instead of one per record.
// Freed blocks are kept, up to a bound, for the next document: layouts are parsed one
// after another, and memory handed back to the system would have to be faulted in and
// zeroed by it again for each of them. The blocks of a large tree come from large pages
// where the system offers them, so that even the first tree of a process is faulted in a
// few large pages at a time rather than in thousands of small ones.
#pragma once

#include <cstddef>
#include <cstdint>

class XmlArena {
public:
    // Blocks grow up to this size; a larger request gets a block of its own size, which is
    // not kept when freed.
    static constexpr std::size_t kMaxBlockBytes = 1024 * 1024;
    // From this block size on, blocks are whole large pages (when the system offers large
    // pages of at most kMaxLargePageBytes).
    static constexpr std::size_t kLargeFromBytes = 128 * 1024;
    static constexpr std::size_t kMaxLargePageBytes = 4 * 1024 * 1024;
    // Freed blocks kept for later documents, in all; beyond, blocks go back to the system.
    // A layout of 1 MB (larger than the dialer's own) builds about 5 MB of tree.
    static constexpr std::size_t kMaxKeptBytes = 8 * 1024 * 1024;

    XmlArena() = default;
    XmlArena(const XmlArena&) = delete;
    XmlArena& operator=(const XmlArena&) = delete;
    // Hands the blocks to the kept ones, or back to the system beyond the bound.
    ~XmlArena();

    // Zeroed memory aligned for the tree's records, which hold pointers and 32-bit words (no
    // wider types: every byte of padding is memory a large tree faults in); throws
    // E_OUTOFMEMORY.
    void* Allocate(std::size_t bytes);
    // The same without zeroing, for memory that the caller writes in full before reading.
    void* AllocateUninitialized(std::size_t bytes);

    // The bytes of the freed blocks kept for later documents (for tests).
    static std::size_t KeptBytes();

private:
    struct Block {
        Block* next;
        std::size_t bytes;  // usable bytes after the header
        bool largePages;    // from VirtualAlloc, else from malloc
    };
    static constexpr std::size_t kAlignment = alignof(void*) > 8 ? alignof(void*) : 8;
    static constexpr std::size_t kBlockHeader = (sizeof(Block) + kAlignment - 1) / kAlignment * kAlignment;
    class Pool;

    void AddBlock(std::size_t rounded);
    static Block* NewBlock(std::size_t rounded, std::size_t wanted);
    static void FreeBlock(Block* block);

    // Malloc'd blocks and large-page blocks in chains of their own: a leak checker, which
    // does not look into large pages, must still find every malloc'd block.
    Block* m_blocks[2] = {};
    char* m_cursor = nullptr;
    char* m_end = nullptr;
    std::size_t m_nextBlockBytes = 16 * 1024;
};
