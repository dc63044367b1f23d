// Block allocation for document trees, and the freed blocks kept between documents.
#include "dialer/xml/XmlArena.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

#include "dialer/foundation/OrmException.h"
#include "platform/base/VirtualMemory.h"

namespace {

// The large page size the arena uses, or 0 when there are none it can use.
std::size_t LargePageBytes() {
    static const std::size_t bytes = [] {
        const SIZE_T size = GetLargePageMinimum();
        return size <= XmlArena::kMaxLargePageBytes ? static_cast<std::size_t>(size) : 0;
    }();
    return bytes;
}

// Blocks this size or smaller are kept when freed (within the bound on all kept bytes).
std::size_t MaxKeptBlockBytes() {
    return LargePageBytes() > XmlArena::kMaxBlockBytes ? LargePageBytes() : XmlArena::kMaxBlockBytes;
}

}  // namespace

// Freed blocks of every document, shared by all threads that parse.
class XmlArena::Pool {
public:
    // A kept block of at least `wanted` bytes, else the largest of at least `needed`;
    // null when none holds `needed`.
    Block* Take(std::size_t needed, std::size_t wanted) {
        std::lock_guard<std::mutex> lock(m_lock);
        Block** best = nullptr;
        for (Block*& chain : m_kept) {
            for (Block** link = &chain; *link != nullptr; link = &(*link)->next) {
                const std::size_t bytes = (*link)->bytes;
                if (bytes >= needed && (best == nullptr || ((*best)->bytes < wanted && bytes > (*best)->bytes)))
                    best = link;
            }
        }
        if (best == nullptr) return nullptr;
        Block* block = *best;
        *best = block->next;
        m_keptBytes -= block->bytes;
        return block;
    }

    // Keeps the blocks of a chain while the bound allows; frees the others.
    void Give(Block* chain) {
        std::lock_guard<std::mutex> lock(m_lock);
        while (chain != nullptr) {
            Block* block = chain;
            chain = chain->next;
            if (block->bytes <= MaxKeptBlockBytes() && m_keptBytes + block->bytes <= kMaxKeptBytes) {
                block->next = m_kept[block->largePages];
                m_kept[block->largePages] = block;
                m_keptBytes += block->bytes;
            } else {
                FreeBlock(block);
            }
        }
    }

    std::size_t KeptBytes() {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_keptBytes;
    }

    // Made once and never destroyed: documents freed while the process ends still find it.
    static Pool& Instance() {
        static Pool* const pool = new Pool;
        return *pool;
    }

private:
    std::mutex m_lock;
    Block* m_kept[2] = {};  // malloc'd blocks, large-page blocks (see XmlArena::m_blocks)
    std::size_t m_keptBytes = 0;
};

XmlArena::~XmlArena() {
    for (Block* chain : m_blocks) Pool::Instance().Give(chain);
}

std::size_t XmlArena::KeptBytes() { return Pool::Instance().KeptBytes(); }

XmlArena::Block* XmlArena::NewBlock(std::size_t rounded, std::size_t wanted) {
    const std::size_t largePage = LargePageBytes();
    if (largePage > kBlockHeader && wanted >= kLargeFromBytes && rounded <= largePage - kBlockHeader) {
        void* pages = VirtualAlloc(nullptr, largePage, MEM_RESERVE | MEM_COMMIT | MEM_LARGE_PAGES, PAGE_READWRITE);
        if (pages != nullptr) {
            auto* block = static_cast<Block*>(pages);
            block->bytes = largePage - kBlockHeader;
            block->largePages = true;
            return block;
        }
    }
    if (wanted > SIZE_MAX - kBlockHeader) ThrowOrm(E_OUTOFMEMORY);
    auto* block = static_cast<Block*>(std::malloc(kBlockHeader + wanted));
    if (block == nullptr) ThrowOrm(E_OUTOFMEMORY);
    block->bytes = wanted;
    block->largePages = false;
    return block;
}

void XmlArena::FreeBlock(Block* block) {
    if (block->largePages)
        VirtualFree(block, 0, MEM_RELEASE);
    else
        std::free(block);
}

void XmlArena::AddBlock(std::size_t rounded) {
    // Blocks grow up to kMaxBlockBytes; a larger request gets a block of its own size.
    std::size_t wanted = m_nextBlockBytes;
    if (m_nextBlockBytes < kMaxBlockBytes) m_nextBlockBytes *= 2;
    if (wanted < rounded) wanted = rounded;
    Block* block = rounded <= MaxKeptBlockBytes() ? Pool::Instance().Take(rounded, wanted) : nullptr;
    if (block == nullptr) block = NewBlock(rounded, wanted);
    block->next = m_blocks[block->largePages];
    m_blocks[block->largePages] = block;
    m_cursor = reinterpret_cast<char*>(block) + kBlockHeader;
    m_end = m_cursor + block->bytes;
}

void* XmlArena::AllocateUninitialized(std::size_t bytes) {
    const std::size_t rounded = (bytes + kAlignment - 1) / kAlignment * kAlignment;
    if (rounded < bytes) ThrowOrm(E_OUTOFMEMORY);
    if (static_cast<std::size_t>(m_end - m_cursor) < rounded) AddBlock(rounded);
    void* result = m_cursor;
    m_cursor += rounded;
    return result;
}

void* XmlArena::Allocate(std::size_t bytes) {
    void* result = AllocateUninitialized(bytes);
    std::memset(result, 0, bytes);
    return result;
}
