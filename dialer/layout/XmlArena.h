// The memory of one document's tree: node and attribute records, their arrays and the
// copies they own come from large blocks that are freed together with the document, so
// that building and freeing a tree costs a few allocations instead of one per record.
#pragma once

#include <cstddef>
#include <cstdint>

class XmlArena {
public:
    XmlArena() = default;
    XmlArena(const XmlArena&) = delete;
    XmlArena& operator=(const XmlArena&) = delete;
    ~XmlArena();

    // Zeroed memory aligned for any record; throws E_OUTOFMEMORY.
    void* Allocate(std::size_t bytes);

private:
    struct Block {
        Block* next;
    };
    static constexpr std::size_t kAlignment = alignof(std::max_align_t);
    static constexpr std::size_t kBlockHeader = (sizeof(Block) + kAlignment - 1) / kAlignment * kAlignment;

    Block* m_blocks = nullptr;
    char* m_cursor = nullptr;
    char* m_end = nullptr;
    std::size_t m_nextBlockBytes = 16 * 1024;
};
