// Block allocation for document trees.
#include "dialer/layout/XmlArena.h"

#include <cstdlib>
#include <cstring>

#include "dialer/foundation/OrmException.h"

XmlArena::~XmlArena() {
    while (m_blocks != nullptr) {
        Block* next = m_blocks->next;
        std::free(m_blocks);
        m_blocks = next;
    }
}

void* XmlArena::Allocate(std::size_t bytes) {
    const std::size_t rounded = (bytes + kAlignment - 1) / kAlignment * kAlignment;
    if (rounded < bytes) ThrowOrm(E_OUTOFMEMORY);
    if (static_cast<std::size_t>(m_end - m_cursor) < rounded) {
        // Blocks grow up to 1 MB; a larger request gets a block of its own size.
        std::size_t blockBytes = m_nextBlockBytes;
        if (m_nextBlockBytes < 1024 * 1024) m_nextBlockBytes *= 2;
        if (blockBytes < rounded) blockBytes = rounded;
        if (blockBytes > SIZE_MAX - kBlockHeader) ThrowOrm(E_OUTOFMEMORY);
        auto* block = static_cast<Block*>(std::malloc(kBlockHeader + blockBytes));
        if (block == nullptr) ThrowOrm(E_OUTOFMEMORY);
        block->next = m_blocks;
        m_blocks = block;
        m_cursor = reinterpret_cast<char*>(block) + kBlockHeader;
        m_end = m_cursor + blockBytes;
    }
    void* result = m_cursor;
    m_cursor += rounded;
    std::memset(result, 0, rounded);
    return result;
}
