// Tests of the engine memory manager: the link pool, the first-fit heap with merging, the
// request limit, and the exception list.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "engine/core/containers/KDLList.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/memory/Heap.h"
#include "tests/engine/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using engine_test::CapturedLog;
using engine_test::HeapTest;

std::vector<Heap::Span> FreeBlocks(const Heap& heap) {
    std::vector<Heap::Span> blocks;
    heap.ForEachFreeBlock(
        [](const Heap::Span& block, void* context) { static_cast<std::vector<Heap::Span>*>(context)->push_back(block); },
        &blocks);
    return blocks;
}

void ExpectWholeHeapFree(const Heap& heap) {
    std::vector<Heap::Span> blocks = FreeBlocks(heap);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].address, heap.Base());
    EXPECT_EQ(blocks[0].size, heap.Size());
    EXPECT_EQ(heap.UsedBlockCount(), 0u);
    EXPECT_EQ(heap.UsedBytes(), 0u);
}

TEST_F(HeapTest, LinkSizedRequestsComeFromThePoolWithMarkedHeaders) {
    const std::size_t blocks = EngineBlockCount();
    const std::size_t pooled = LinkPoolFreeCount();
    void* link = EngineAlloc(sizeof(KDLLink));
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(EngineBlockHeader(link), kLinkHeader | kLinkHandedOut);
    EXPECT_EQ(LinkPoolFreeCount(), pooled - 1);
    EXPECT_EQ(EngineBlockCount(), blocks);  // links are not counted
    // The cell after it has never been handed out, and reads as a link in the pool.
    const std::size_t cellSize = (kBlockHeaderSize + sizeof(KDLLink) + 15) & ~std::size_t{15};
    EXPECT_EQ(EngineBlockHeader(reinterpret_cast<BYTE*>(link) + cellSize), kLinkHeader);
    EngineFree(link);
    EXPECT_EQ(EngineBlockHeader(link), kLinkHeader);
    EXPECT_EQ(LinkPoolFreeCount(), pooled);
}

TEST_F(HeapTest, LinkPoolIsFirstInFirstOutAndOverflowsIntoTheHeap) {
    ASSERT_EQ(LinkPoolFreeCount(), kLinkPoolCells);
    std::vector<KDLLink*> links;
    links.reserve(kLinkPoolCells);
    for (std::size_t i = 0; i < kLinkPoolCells; ++i) links.push_back(NewLink());
    ASSERT_EQ(std::count(links.begin(), links.end(), nullptr), 0);
    EXPECT_EQ(LinkPoolFreeCount(), 0u);
    // A fresh pool hands its links out in address order.
    EXPECT_TRUE(std::is_sorted(links.begin(), links.end()));

    // Freed links join the tail and come back in the order they were freed.
    FreeLink(links[5]);
    FreeLink(links[3]);
    EXPECT_EQ(NewLink(), links[5]);
    EXPECT_EQ(NewLink(), links[3]);

    // With the pool empty a link is an ordinary heap block whose header is its size.
    const std::size_t blocks = EngineBlockCount();
    KDLLink* extra = NewLink();
    ASSERT_NE(extra, nullptr);
    EXPECT_EQ(EngineBlockHeader(extra), sizeof(KDLLink));
    EXPECT_TRUE(GlobalHeap().Contains(extra));
    EXPECT_EQ(EngineBlockCount(), blocks + 1);
    FreeLink(extra);
    EXPECT_EQ(EngineBlockCount(), blocks);

    for (KDLLink* link : links) FreeLink(link);
    EXPECT_EQ(LinkPoolFreeCount(), kLinkPoolCells);
}

TEST_F(HeapTest, LinkStateHoldsAfterTheQueueWrapsAndStrayAddressesAreIgnored) {
    KDLLink* kept = NewLink();
    ASSERT_NE(kept, nullptr);
    const std::size_t pooled = LinkPoolFreeCount();
    // More requests and releases than the queue has room for, so that its positions wrap.
    KDLLink* previous = nullptr;
    for (int i = 0; i < 300000; ++i) {
        KDLLink* link = NewLink();
        ASSERT_NE(link, nullptr);
        ASSERT_NE(link, previous);  // the link freed last comes back only after all the others
        FreeLink(link);
        previous = link;
    }
    EXPECT_EQ(LinkPoolFreeCount(), pooled);
    EXPECT_EQ(EngineBlockHeader(kept), kLinkHeader | kLinkHandedOut);

    // Addresses inside a link, or of a link already in the pool, change nothing.
    auto* inside = reinterpret_cast<BYTE*>(kept) + 8;
    EngineFree(inside);
    EngineFree(previous);
    EXPECT_EQ(LinkPoolFreeCount(), pooled);
    EXPECT_EQ(EngineBlockHeader(kept), kLinkHeader | kLinkHandedOut);
    FreeLink(kept);
    EXPECT_EQ(LinkPoolFreeCount(), pooled + 1);
    EXPECT_EQ(EngineBlockHeader(kept), kLinkHeader);
}

TEST_F(HeapTest, FreeingThreeBlocksInAnyOrderLeavesOneFreeBlock) {
    const std::array<std::array<int, 3>, 6> orders = {{{0, 2, 1}, {0, 1, 2}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}}};
    for (const auto& order : orders) {
        SCOPED_TRACE(testing::Message() << order[0] << order[1] << order[2]);
        ASSERT_EQ(HeapInit(), 0);
        std::array<void*, 3> blocks = {EngineAlloc(100), EngineAlloc(200), EngineAlloc(300)};
        for (void* block : blocks) ASSERT_NE(block, nullptr);
        for (int index : order) EngineFree(blocks[index]);
        ExpectWholeHeapFree(GlobalHeap());
    }
}

TEST_F(HeapTest, BlocksAreSixteenByteMultiplesCutFromTheLowestFit) {
    // One byte and its header take one 16-byte block.
    auto* a = static_cast<BYTE*>(EngineAlloc(1));
    auto* b = static_cast<BYTE*>(EngineAlloc(1));
    EXPECT_EQ(b - a, 16);
    EXPECT_EQ(GlobalHeap().UsedBytes(), 32u);
    EXPECT_EQ(EngineBlockHeader(a), 1u);

    auto* c = static_cast<BYTE*>(EngineAlloc(100));  // 112 bytes
    auto* d = static_cast<BYTE*>(EngineAlloc(40));
    EngineFree(c);
    // The hole left by c is the lowest fit for a smaller request and is cut from its front.
    auto* e = static_cast<BYTE*>(EngineAlloc(30));
    EXPECT_EQ(e, c);
    auto* f = static_cast<BYTE*>(EngineAlloc(50));  // exactly the 64 bytes left of the hole
    EXPECT_EQ(f, c + 48);
    // Too large for what is left of the hole: taken after d.
    auto* g = static_cast<BYTE*>(EngineAlloc(60));
    EXPECT_GT(g, d);
    for (void* block : {a, b, d, e, f, g}) EngineFree(block);
    ExpectWholeHeapFree(GlobalHeap());
}

TEST(HeapRecords, SplitsFailWhenRecordsRunOutButExactFitsSucceed) {
    Heap heap;
    ASSERT_EQ(heap.Init(0, 4), 1);
    EXPECT_EQ(heap.Size(), Heap::kMinimumSize);
    void* first = heap.Alloc(16);
    void* second = heap.Alloc(16);
    void* third = heap.Alloc(16);
    ASSERT_NE(third, nullptr);
    // Four records: three used blocks and the remaining free block.
    EXPECT_EQ(heap.Alloc(16), nullptr);
    void* rest = heap.Alloc(heap.Size() - 48);
    EXPECT_EQ(rest, static_cast<BYTE*>(third) + 16);
    EXPECT_EQ(heap.FreeBlockCount(), 0u);
    EXPECT_EQ(heap.Alloc(16), nullptr);

    // Unknown addresses change nothing.
    EXPECT_FALSE(heap.Free(nullptr));
    EXPECT_FALSE(heap.Free(static_cast<BYTE*>(first) + 8));
    EXPECT_FALSE(heap.Free(heap.Base() + heap.Size()));
    EXPECT_EQ(heap.UsedBlockCount(), 4u);

    EXPECT_TRUE(heap.Free(second));
    EXPECT_FALSE(heap.Free(second));
    EXPECT_TRUE(heap.Free(rest));
    EXPECT_TRUE(heap.Free(first));
    EXPECT_TRUE(heap.Free(third));
    ExpectWholeHeapFree(heap);
}

TEST(HeapRecords, RandomTrafficKeepsTheFreeListOrderedAndMerged) {
    Heap heap;
    ASSERT_EQ(heap.Init(0x200000, 1000), 1);
    std::vector<void*> live;
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int step = 0; step < 20000; ++step) {
        if (!live.empty() && (next() >> 8) % 3 == 0) {
            std::size_t index = (next() >> 8) % live.size();
            ASSERT_TRUE(heap.Free(live[index]));
            live[index] = live.back();
            live.pop_back();
        } else if (void* block = heap.Alloc((next() >> 8) % (step % 7 == 0 ? 20000 : 3000))) {
            live.push_back(block);
        }
        if (step % 1000 == 0) {
            std::vector<Heap::Span> blocks = FreeBlocks(heap);
            ASSERT_EQ(blocks.size(), heap.FreeBlockCount());
            std::size_t freeBytes = 0;
            for (std::size_t i = 0; i < blocks.size(); ++i) {
                freeBytes += blocks[i].size;
                if (i > 0) {
                    ASSERT_LT(blocks[i - 1].address + blocks[i - 1].size, blocks[i].address);  // ordered, apart
                }
            }
            ASSERT_EQ(freeBytes + heap.UsedBytes(), heap.Size());
        }
    }
    for (void* block : live) ASSERT_TRUE(heap.Free(block));
    ExpectWholeHeapFree(heap);
}

TEST_F(HeapTest, RequestsAboveTheLimitOrTheHeapAreRefusedAndLogged) {
    CapturedLog log;
    const std::size_t blocks = EngineBlockCount();
    for (std::size_t size : {std::size_t{kMaximumEngineAllocation} + 1, std::size_t{0xFFFFFFFF},
                             std::size_t{0xFFFFFFFC}, std::size_t{0x100000000}, SIZE_MAX, SIZE_MAX - 3}) {
        SCOPED_TRACE(size);
        EXPECT_EQ(EngineAlloc(size), nullptr);
    }
    EXPECT_EQ(log.Count("is above the limit"), 6);
    EXPECT_EQ(EngineBlockCount(), blocks);

    EXPECT_EQ(EngineAlloc(kGlobalHeapSize), nullptr);
    EXPECT_TRUE(log.Contains("Exception: "));
    EXPECT_TRUE(log.Contains(" : FATAL: out of system memory\r\n"));
    EXPECT_EQ(EngineBlockCount(), blocks);
}

TEST_F(HeapTest, CountersFollowLiveBlocksAndNullIsIgnored) {
    const std::size_t blocks = EngineBlockCount();
    const std::size_t bytes = EngineByteCount();
    void* a = EngineAlloc(10);
    void* b = EngineAlloc(1000);
    EXPECT_EQ(EngineBlockCount(), blocks + 2);
    EXPECT_EQ(EngineByteCount(), bytes + 1010);
    EngineFree(a);
    ZipFree(nullptr, b);
    EngineFree(nullptr);
    EXPECT_EQ(EngineBlockCount(), blocks);
    EXPECT_EQ(EngineByteCount(), bytes);
}

TEST_F(HeapTest, RenderHeapServesBlocksWithoutHeaders) {
    Heap& render = RenderHeap();
    ASSERT_TRUE(render.IsInitialised());
    auto* vertices = static_cast<BYTE*>(render.Alloc(100));
    ASSERT_NE(vertices, nullptr);
    EXPECT_EQ((vertices - render.Base()) % 16, 0);
    EXPECT_EQ(render.UsedBytes(), 112u);
    EXPECT_TRUE(render.Free(vertices));
    EXPECT_FALSE(render.Free(vertices));
    ExpectWholeHeapFree(render);
}

TEST_F(HeapTest, BeforeSetUpBlocksComeFromTheRuntimeLibraryAndGoBack) {
    HeapTeardown();
    const std::size_t blocks = EngineBlockCount();
    void* early = EngineAlloc(40);
    void* earlyLink = EngineAlloc(sizeof(KDLLink));
    ASSERT_NE(early, nullptr);
    ASSERT_NE(earlyLink, nullptr);
    EXPECT_FALSE(GlobalHeap().Contains(early));
    EXPECT_EQ(EngineBlockHeader(earlyLink), sizeof(KDLLink));
    ASSERT_EQ(HeapInit(), 0);
    // Freed after the heaps exist: back to the runtime library (the leak checker sees it).
    EngineFree(early);
    EngineFree(earlyLink);
    EXPECT_EQ(EngineBlockCount(), blocks);
}

// Child roles: the exception list and the double-delete warning belong to a whole run, so
// they are checked in a fresh process.
TEST(EngineMemoryChild, ExceptionListRole) {
    if (!handset_test::InChildRole()) GTEST_SKIP() << "runs as a child of ExceptionListKeepsTheFirst64";
    CapturedLog log;
    log.SetDiskFile(false);
    const std::string longText(100, 'm');
    const std::string longFile(100, 'f');
    for (int i = 0; i < 70; ++i) LogException("%d %s", longFile.c_str(), i, i, longText.c_str());
    ASSERT_EQ(ExceptionCount(), kExceptionListCapacity);
    const ExceptionRecord* first = ExceptionAt(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(std::string(first->message), "0 " + longText) << "messages are kept whole";
    EXPECT_EQ(std::string(first->file), longFile.substr(0, 63));
    EXPECT_EQ(first->line, 0);
    EXPECT_EQ(ExceptionAt(63)->line, 63);
    EXPECT_EQ(ExceptionAt(64), nullptr);
    // Every one reaches the log; a stream that is not a disk file is not flushed.
    EXPECT_EQ(log.Count("Exception: "), 70);
    EXPECT_TRUE(log.Contains("(69) : 69 mmm"));
    EXPECT_EQ(log.Flushes(), 0);
    // A message longer than the formatting buffer is cut, not overrun.
    const std::string huge(5000, 'h');
    LogException("%s", "file", 1, huge.c_str());
    std::ofstream(handset_test::ChildArgument("out")) << ExceptionCount() << ' ' << log.Count("Exception: ");
}

TEST(EngineMemoryChild, ExceptionListKeepsTheFirst64) {
    handset_test::TempHandsetRoot root;
    const std::string out = root.Path() + "/exceptions.txt";
    ASSERT_EQ(handset_test::RunChild("EngineMemoryChild.ExceptionListRole", {{"out", out}}), 0);
    std::ifstream in(out);
    int kept = 0;
    int logged = 0;
    in >> kept >> logged;
    EXPECT_EQ(kept, 64);
    EXPECT_EQ(logged, 71);
}

TEST(EngineMemoryChild, DoubleDeleteRole) {
    if (!handset_test::InChildRole()) GTEST_SKIP() << "runs as a child of DoubleDeleteOfALinkWarnsOncePerRun";
    ASSERT_EQ(HeapInit(), 0);
    CapturedLog log;
    KDLLink* link = NewLink();
    const std::size_t pooled = LinkPoolFreeCount();
    FreeLink(link);
    FreeLink(link);
    FreeLink(link);
    EngineFree(link);
    EXPECT_EQ(LinkPoolFreeCount(), pooled + 1);
    std::ofstream(handset_test::ChildArgument("out"))
        << log.Count("WARNING: multiple deletes of KDLLink") << ' ' << ExceptionCount();
}

TEST(EngineMemoryChild, DoubleDeleteOfALinkWarnsOncePerRun) {
    handset_test::TempHandsetRoot root;
    const std::string out = root.Path() + "/warnings.txt";
    ASSERT_EQ(handset_test::RunChild("EngineMemoryChild.DoubleDeleteRole", {{"out", out}}), 0);
    std::ifstream in(out);
    int warnings = 0;
    int kept = 0;
    in >> warnings >> kept;
    EXPECT_EQ(warnings, 1);
    EXPECT_EQ(kept, 1);
}

}  // namespace
