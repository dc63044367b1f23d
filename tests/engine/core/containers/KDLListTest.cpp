// Tests of the engine lists: the tie rules of the sorted insertions, insertion after an
// item, unlinking and moving, and what each clearing operation does to items and links.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "engine/core/containers/KDLList.h"
#include "engine/core/object/Interface.h"
#include "engine/core/object/ObjectList.h"
#include "engine/core/text/EngineString.h"
#include "engine/core/text/SortedNames.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

// Checks the list's invariants and gives its items in order.
std::vector<void*> Items(const KDLList& list) {
    std::vector<void*> items;
    const KDLLink* previous = nullptr;
    for (const KDLLink* link = list.head; link != nullptr; link = link->next) {
        EXPECT_EQ(link->previous, previous);
        items.push_back(link->item);
        previous = link;
    }
    EXPECT_EQ(list.tail, previous);
    EXPECT_EQ(list.count, items.size());
    return items;
}

std::vector<std::string> Names(const KDLList& list) {
    std::vector<std::string> names;
    for (void* item : Items(list)) names.emplace_back(static_cast<const char*>(item));
    return names;
}

// Every test must give back every link it took.
class ListTest : public engine_test::HeapTest {
protected:
    void SetUp() override {
        HeapTest::SetUp();
        pooled_ = LinkPoolFreeCount();
        blocks_ = EngineBlockCount();
    }
    void TearDown() override {
        EXPECT_EQ(LinkPoolFreeCount(), pooled_);
        EXPECT_EQ(EngineBlockCount(), blocks_);
        HeapTest::TearDown();
    }

private:
    std::size_t pooled_ = 0;
    std::size_t blocks_ = 0;
};

TEST_F(ListTest, SortAndMergeKeepEveryLinkInStableOrder) {
    // Items are pairs {key, serial}: equal keys must keep their serial order.
    struct Item {
        int key;
        int serial;
    };
    const ListCompare byKey = [](const void* a, const void* b) {
        return static_cast<const Item*>(a)->key - static_cast<const Item*>(b)->key;
    };
    auto check = [](const KDLList& list, std::size_t count) {
        const std::vector<void*> items = Items(list);
        ASSERT_EQ(items.size(), count);
        for (std::size_t i = 1; i < items.size(); ++i) {
            const auto* before = static_cast<const Item*>(items[i - 1]);
            const auto* after = static_cast<const Item*>(items[i]);
            ASSERT_TRUE(before->key < after->key || (before->key == after->key && before->serial < after->serial))
                << "at " << i;
        }
    };
    for (const int count : {0, 1, 2, 3, 4, 5, 17, 64, 1000}) {
        SCOPED_TRACE(count);
        std::vector<Item> items;
        for (int i = 0; i < count; ++i) items.push_back({(i * 7919) % 13, i});
        KDLList list;
        for (Item& item : items) ASSERT_NE(ListAppend(list, &item), nullptr);
        ListSort(list, byKey);
        check(list, items.size());

        // Merging a sorted batch: equal keys of the list come first, then the batch's.
        std::vector<Item> batch;
        for (int i = 0; i < count / 2 + 1; ++i) batch.push_back({(i * 31) % 15, count + i});
        KDLList added;
        for (Item& item : batch) ASSERT_NE(ListAppend(added, &item), nullptr);
        ListSort(added, byKey);
        ListMergeSorted(list, added, byKey);
        EXPECT_EQ(added.head, nullptr);
        EXPECT_EQ(added.count, 0u);
        check(list, items.size() + batch.size());
        ListReset(list);
    }
}

TEST_F(ListTest, SortedNamesPlaceEqualEntriesByTheTieRules) {
    struct Case {
        std::vector<const char*> start;
        const char* inserted;
        std::vector<std::string> expected;
        int newIndex;
    };
    const Case cases[] = {
        {{"B", "d"}, "b", {"b", "B", "d"}, 0},                  // equal to the head: in front
        {{"b", "B", "d"}, "D", {"b", "B", "d", "D"}, 3},        // equal to the tail: behind
        {{"a", "c", "c", "e"}, "c", {"a", "c", "c", "c", "e"}, 3},  // equal inside: after the last
        {{}, "x", {"x"}, 0},
        {{"a", "c"}, "B", {"a", "B", "c"}, 1},
        {{"alpha", "beta"}, "ALPHA2", {"alpha", "ALPHA2", "beta"}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.inserted);
        KDLList list;
        for (const char* name : c.start) ASSERT_NE(ListAppend(list, const_cast<char*>(name)), nullptr);
        KDLLink* link = ListInsertSortedByName(list, c.inserted);
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(Names(list), c.expected);
        EXPECT_EQ(Items(list)[c.newIndex], c.inserted);
        ListReset(list);
    }
}

TEST_F(ListTest, SortedKeysAndTimesFollowTheSameRules) {
    struct Record {
        const char* name;
        float time;
    };
    Record b{"b", 1.0f};
    Record upperB{"B", 1.00005f};
    Record a{"a", 3.0f};
    Record c{"C", 2.0f};
    KDLList byKey;
    for (Record* record : {&b, &upperB, &c, &a}) ASSERT_NE(ListInsertSortedByKey(byKey, record), nullptr);
    EXPECT_EQ(Items(byKey), (std::vector<void*>{&a, &b, &upperB, &c}));

    KDLList byTime;
    auto timeOf = [](const void* entry) { return static_cast<const Record*>(entry)->time; };
    for (Record* record : {&a, &b, &c, &upperB}) ASSERT_NE(ListInsertByTime(byTime, record, timeOf), nullptr);
    // 1.00000 and 1.00005 are equal, and an entry equal to the head goes in front of it.
    EXPECT_EQ(Items(byTime), (std::vector<void*>{&upperB, &b, &c, &a}));

    // Times that do not fit the scaled comparison still sort without trouble.
    Record huge{"huge", std::numeric_limits<float>::max()};
    Record nan{"nan", std::nanf("")};
    Record negative{"negative", -std::numeric_limits<float>::infinity()};
    for (Record* record : {&huge, &negative, &nan}) ASSERT_NE(ListInsertByTime(byTime, record, timeOf), nullptr);
    EXPECT_EQ(Items(byTime).front(), &negative);
    EXPECT_EQ(byTime.count, 7u);
    ListReset(byKey);
    ListReset(byTime);
}

TEST_F(ListTest, InsertAfterFindsTheFirstOccurrence) {
    int x = 0, y = 0, z = 0, w = 0;
    KDLList list;
    EXPECT_EQ(ListInsertAfter(list, &x, &y), 1);  // empty: becomes the head
    EXPECT_EQ(ListInsertAfter(list, &y, &x), 1);  // after the tail: appended
    EXPECT_EQ(ListInsertAfter(list, &z, nullptr), 1);
    EXPECT_EQ(Items(list), (std::vector<void*>{&z, &x, &y}));
    EXPECT_EQ(ListInsertAfter(list, &w, &z), 1);
    EXPECT_EQ(Items(list), (std::vector<void*>{&z, &w, &x, &y}));
    EXPECT_EQ(ListInsertAfter(list, &w, &list), 0);  // absent: nothing changes
    EXPECT_EQ(list.count, 4u);
    EXPECT_EQ(ListItemAfter(list, &w), &x);
    EXPECT_EQ(ListItemAfter(list, &y), nullptr);
    EXPECT_EQ(ListItemAfter(list, &list), nullptr);
    ListReset(list);
}

TEST_F(ListTest, UnlinkPopAndIteratorRemove) {
    int a = 0, b = 0, c = 0;
    KDLList list;
    EXPECT_EQ(ListPopBack(list), nullptr);
    EXPECT_EQ(ListUnlink(list, nullptr), nullptr);
    ASSERT_TRUE(ListPushBack(list, &a));
    EXPECT_EQ(ListPopBack(list), &a);
    EXPECT_EQ(list.head, nullptr);
    EXPECT_EQ(list.tail, nullptr);
    EXPECT_EQ(list.count, 0u);

    for (int* item : {&a, &b, &c}) ListAppend(list, item);
    KDLListIterator iterator(list);
    iterator.Next();
    EXPECT_EQ(ListIteratorRemove(iterator), &b);
    EXPECT_EQ(iterator.Item(), &c);
    EXPECT_EQ(ListIteratorRemove(iterator), &c);
    EXPECT_TRUE(iterator.AtEnd());
    EXPECT_EQ(ListIteratorRemove(iterator), nullptr);
    EXPECT_EQ(Items(list), (std::vector<void*>{&a}));
    EXPECT_EQ(ListUnlink(list, list.head), &a);
    Items(list);
}

TEST_F(ListTest, MoveToFrontWithinAndBetweenLists) {
    int a = 0, b = 0, c = 0;
    KDLList first;
    KDLList second;
    for (int* item : {&a, &b, &c}) ListAppend(first, item);
    EXPECT_EQ(ListMoveToFront(first, &c, first), &c);
    EXPECT_EQ(Items(first), (std::vector<void*>{&c, &a, &b}));
    EXPECT_EQ(ListMoveToFront(first, &a, second), &a);
    EXPECT_EQ(ListMoveToFront(first, &b, second), &b);
    EXPECT_EQ(Items(first), (std::vector<void*>{&c}));
    EXPECT_EQ(Items(second), (std::vector<void*>{&b, &a}));
    EXPECT_EQ(ListMoveToFront(first, &a, second), nullptr);
    EXPECT_EQ(Items(second), (std::vector<void*>{&b, &a}));

    KDLListIterator iterator(second);
    iterator.Next();
    ListIteratorMoveToFront(iterator);
    EXPECT_EQ(Items(second), (std::vector<void*>{&a, &b}));
    EXPECT_EQ(iterator.Item(), &a);
    ListReset(first);
    ListReset(second);
}

// An item that counts its destruction and looks at the list it lives in.
KDLList* watchedList = nullptr;
int itemsDestroyed = 0;
std::uint32_t countSeenByDestructor = 99;

class ListItem : public Interface {
    KEL_DECLARE_TYPE(ListItem, Interface, "ListItem")

public:
    ~ListItem() override {
        ++itemsDestroyed;
        if (watchedList != nullptr) countSeenByDestructor = watchedList->count;
    }
};

TEST_F(ListTest, ClearingDeletesOrReleasesItemsOnlyWhenAsked) {
    itemsDestroyed = 0;
    KDLList list;
    auto* kept = new ListItem();
    ListAppend(list, kept);
    ListAppend(list, nullptr);
    ListClear(list, 0);
    EXPECT_EQ(itemsDestroyed, 0);
    EXPECT_EQ(list.count, 0u);

    watchedList = &list;
    ListAppend(list, kept);
    ListAppend(list, new ListItem());
    ListAppend(list, nullptr);
    ListClear(list, 1);
    EXPECT_EQ(itemsDestroyed, 2);
    EXPECT_EQ(countSeenByDestructor, 0u);  // already empty while the items die

    auto* shared = new ListItem();
    shared->AddRef();
    auto* other = new ListItem();
    ListAppend(list, shared);
    ListAppend(list, other);
    ListReleaseAll(list, 0);
    EXPECT_EQ(itemsDestroyed, 2);
    EXPECT_EQ(shared->ReferenceCount(), 1u);
    ListAppend(list, shared);
    ListAppend(list, other);
    ListReleaseAll(list, 1);
    EXPECT_EQ(itemsDestroyed, 3);
    EXPECT_EQ(shared->ReferenceCount(), 0u);
    watchedList = nullptr;
    shared->Release();
    EXPECT_EQ(itemsDestroyed, 4);
}

TEST_F(ListTest, FreeAllAndDeleteAllGiveItemsBack) {
    KDLList blocks;
    ListAppend(blocks, EngineAlloc(30));
    ListAppend(blocks, EngineAlloc(300));
    ListAppend(blocks, nullptr);
    ListFreeAll(blocks);
    EXPECT_EQ(blocks.count, 0u);

    KDLList strings;
    ListAppend(strings, EngineString::New("one"));
    ListAppend(strings, EngineString::New("two"));
    ListDeleteAll(strings, EngineString::DeleteItem);
    EXPECT_EQ(strings.head, nullptr);
}

TEST_F(ListTest, ResetThenDestroyFreesNothingAndDestroyFreesReachableLinks) {
    int a = 0;
    KDLList list;
    ListAppend(list, &a);
    ListReset(list);
    ListDestroy(list);
    EXPECT_EQ(list.count, 0u);

    const std::size_t pooled = LinkPoolFreeCount();
    ListAppend(list, &a);
    ListAppend(list, &a);
    EXPECT_EQ(LinkPoolFreeCount(), pooled - 2);
    ListDestroy(list);
    EXPECT_EQ(LinkPoolFreeCount(), pooled);
}

TEST_F(ListTest, LinksFromTheHeapWhenThePoolIsEmptyGoBackToTheHeap) {
    std::vector<KDLLink*> all;
    while (KDLLink* link = LinkPoolFreeCount() > 0 ? NewLink() : nullptr) all.push_back(link);
    int a = 0;
    KDLList list;
    const std::size_t blocks = EngineBlockCount();
    ASSERT_NE(ListAppend(list, &a), nullptr);
    EXPECT_EQ(EngineBlockHeader(list.head), sizeof(KDLLink));
    EXPECT_EQ(EngineBlockCount(), blocks + 1);
    EXPECT_EQ(ListPopBack(list), &a);
    EXPECT_EQ(EngineBlockCount(), blocks);
    for (KDLLink* link : all) FreeLink(link);
}

}  // namespace
