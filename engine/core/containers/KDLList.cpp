// The operations of KDLList.
#include "engine/core/containers/KDLList.h"

#include "engine/core/memory/EngineMemory.h"

namespace {

KDLLink* MakeLink(void* item) {
    auto* link = static_cast<KDLLink*>(EngineAlloc(sizeof(KDLLink)));
    if (link == nullptr) return nullptr;
    link->item = item;
    link->previous = link->next = nullptr;
    return link;
}

// Pooled links go back to the pool, heap links to the heap: EngineFree tells them apart.
void ReleaseLink(KDLLink* link) { EngineFree(link); }

void LinkAtTail(KDLList& list, KDLLink* link) {
    link->next = nullptr;
    link->previous = list.tail;
    if (list.tail != nullptr) list.tail->next = link;
    else list.head = link;
    list.tail = link;
    ++list.count;
}

void LinkAtHead(KDLList& list, KDLLink* link) {
    link->previous = nullptr;
    link->next = list.head;
    if (list.head != nullptr) list.head->previous = link;
    else list.tail = link;
    list.head = link;
    ++list.count;
}

void LinkAfter(KDLList& list, KDLLink* where, KDLLink* link) {
    if (where == list.tail) {
        LinkAtTail(list, link);
        return;
    }
    link->previous = where;
    link->next = where->next;
    where->next->previous = link;
    where->next = link;
    ++list.count;
}

void Detach(KDLList& list, KDLLink* link) {
    if (link->previous != nullptr) link->previous->next = link->next;
    else list.head = link->next;
    if (link->next != nullptr) link->next->previous = link->previous;
    else list.tail = link->previous;
    link->previous = link->next = nullptr;
    --list.count;
}

KDLLink* FindLink(const KDLList& list, const void* item) {
    for (KDLLink* link = list.head; link != nullptr; link = link->next)
        if (link->item == item) return link;
    return nullptr;
}

// The shared placement of the sorted insertions; compare(new, other) < 0 when new sorts first.
template <typename Compare>
KDLLink* InsertSorted(KDLList& list, void* item, Compare compare) {
    KDLLink* link = MakeLink(item);
    if (link == nullptr) return nullptr;
    if (list.head == nullptr || compare(item, list.tail->item) >= 0) {
        LinkAtTail(list, link);
    } else if (compare(item, list.head->item) <= 0) {
        LinkAtHead(list, link);
    } else {
        KDLLink* where = list.head;
        while (where->next != nullptr && compare(item, where->next->item) >= 0) where = where->next;
        LinkAfter(list, where, link);
    }
    return link;
}

// Merges two null-terminated chains linked through `next` only; ties take `first`'s link.
KDLLink* MergeChains(KDLLink* first, KDLLink* second, ListCompare compare, KDLLink*& last) {
    KDLLink head{nullptr, nullptr, nullptr};
    KDLLink* tail = &head;
    while (first != nullptr && second != nullptr) {
        KDLLink*& taken = compare(second->item, first->item) < 0 ? second : first;
        tail->next = taken;
        tail = taken;
        taken = taken->next;
    }
    tail->next = first != nullptr ? first : second;
    while (tail->next != nullptr) tail = tail->next;
    last = tail;
    return head.next;
}

// Sets the list's previous pointers, tail and count from a chain linked through `next`.
void AdoptChain(KDLList& list, KDLLink* chain, std::uint32_t count) {
    list.head = chain;
    list.tail = nullptr;
    list.count = count;
    for (KDLLink* link = chain; link != nullptr; link = link->next) {
        link->previous = list.tail;
        list.tail = link;
    }
}

// Empties the list and hands each taken link's item to `visit` before freeing the link.
template <typename Visit>
void Drain(KDLList& list, Visit visit) {
    KDLLink* link = list.head;
    list.head = list.tail = nullptr;
    list.count = 0;
    while (link != nullptr) {
        KDLLink* next = link->next;
        visit(link->item);
        ReleaseLink(link);
        link = next;
    }
}

}  // namespace

KDLLink* ListAppend(KDLList& list, void* item) {
    KDLLink* link = MakeLink(item);
    if (link != nullptr) LinkAtTail(list, link);
    return link;
}

bool ListPushBack(KDLList& list, void* item) {
    KDLLink* link = NewLink();
    if (link == nullptr) return false;
    link->item = item;
    LinkAtTail(list, link);
    return true;
}

int ListInsertAfter(KDLList& list, void* item, void* after) {
    if (list.head == nullptr || after == nullptr) {
        KDLLink* link = MakeLink(item);
        if (link == nullptr) return 0;
        LinkAtHead(list, link);
        return 1;
    }
    KDLLink* where = list.tail->item == after ? list.tail : FindLink(list, after);
    if (where == nullptr) return 0;
    KDLLink* link = MakeLink(item);
    if (link == nullptr) return 0;
    LinkAfter(list, where, link);
    return 1;
}

KDLLink* ListInsertSorted(KDLList& list, void* item, ListCompare compare) {
    return InsertSorted(list, item, compare);
}

KDLLink* ListInsertByTime(KDLList& list, void* entry, ListTimeOf timeOf) {
    return InsertSorted(list, entry, [timeOf](const void* a, const void* b) {
        // Scaled and truncated toward zero: times closer than 1/10000 compare equal. The
        // difference is clamped first, as converting an out-of-range float is undefined.
        double scaled = (static_cast<double>(timeOf(a)) - static_cast<double>(timeOf(b))) * 10000.0;
        if (!(scaled == scaled)) return 0;
        if (scaled > 2147483647.0) return 1;
        if (scaled < -2147483647.0) return -1;
        return static_cast<int>(scaled);
    });
}

namespace {

// The merge sort over an array of the items when one can be allocated: the passes walk
// memory in order, and the sorted items are written back into the links as they stand.
bool SortItemsInArray(KDLList& list, ListCompare compare) {
    const std::size_t count = list.count;
    auto** from = static_cast<void**>(EngineAlloc(2 * count * sizeof(void*)));
    if (from == nullptr) return false;
    void** to = from + count;
    std::size_t index = 0;
    for (KDLLink* link = list.head; link != nullptr; link = link->next) from[index++] = link->item;
    for (std::size_t width = 1; width < count; width *= 2) {
        for (std::size_t start = 0; start < count; start += 2 * width) {
            const std::size_t middle = start + width < count ? start + width : count;
            const std::size_t end = middle + width < count ? middle + width : count;
            std::size_t left = start;
            std::size_t right = middle;
            std::size_t out = start;
            // Ties take the left run's item: the sort is stable.
            while (left < middle && right < end)
                to[out++] = compare(from[right], from[left]) < 0 ? from[right++] : from[left++];
            while (left < middle) to[out++] = from[left++];
            while (right < end) to[out++] = from[right++];
        }
        void** swap = from;
        from = to;
        to = swap;
    }
    index = 0;
    for (KDLLink* link = list.head; link != nullptr; link = link->next) link->item = from[index++];
    EngineFree(from < to ? from : to);
    return true;
}

}  // namespace

void ListSort(KDLList& list, ListCompare compare) {
    if (list.count < 2 || SortItemsInArray(list, compare)) return;
    // No memory for the array: the same sort over the chain, runs of width 1, 2, 4 ...
    // merged pairwise along it.
    KDLLink* chain = list.head;
    for (std::uint32_t width = 1; width < list.count; width *= 2) {
        KDLLink head{nullptr, nullptr, chain};
        KDLLink* tail = &head;
        KDLLink* rest = chain;
        while (rest != nullptr) {
            KDLLink* first = rest;
            KDLLink* at = first;
            for (std::uint32_t i = 1; i < width && at->next != nullptr; ++i) at = at->next;
            KDLLink* second = at->next;
            at->next = nullptr;
            at = second;
            for (std::uint32_t i = 1; i < width && at != nullptr && at->next != nullptr; ++i) at = at->next;
            rest = at != nullptr ? at->next : nullptr;
            if (at != nullptr) at->next = nullptr;
            KDLLink* last = nullptr;
            tail->next = MergeChains(first, second, compare, last);
            tail = last;
        }
        chain = head.next;
        if (width > list.count / 2) break;
    }
    AdoptChain(list, chain, list.count);
}

void ListMergeSorted(KDLList& into, KDLList& from, ListCompare compare) {
    if (from.head == nullptr) return;
    if (into.tail != nullptr) into.tail->next = nullptr;
    KDLLink* last = nullptr;
    KDLLink* chain = MergeChains(into.head, from.head, compare, last);
    const std::uint32_t count = into.count + from.count;
    from.head = from.tail = nullptr;
    from.count = 0;
    AdoptChain(into, chain, count);
}

void* ListUnlink(KDLList& list, KDLLink* link) {
    if (link == nullptr) return nullptr;
    void* item = link->item;
    Detach(list, link);
    ReleaseLink(link);
    return item;
}

void* ListPopBack(KDLList& list) { return ListUnlink(list, list.tail); }

void* ListIteratorRemove(KDLListIterator& iterator) {
    KDLLink* link = iterator.current;
    if (link == nullptr) return nullptr;
    iterator.current = link->next;
    return ListUnlink(*iterator.list, link);
}

void* ListMoveToFront(KDLList& from, void* item, KDLList& to) {
    KDLLink* link = FindLink(from, item);
    if (link == nullptr) return nullptr;
    Detach(from, link);
    LinkAtHead(to, link);
    return item;
}

void ListIteratorMoveToFront(KDLListIterator& iterator) {
    KDLLink* link = iterator.current;
    if (link == nullptr || link == iterator.list->head) return;
    Detach(*iterator.list, link);
    LinkAtHead(*iterator.list, link);
}

void ListFreeAll(KDLList& list) {
    Drain(list, [](void* item) { EngineFree(item); });
}

void ListDeleteAll(KDLList& list, void (*deleteItem)(void* item)) {
    Drain(list, [deleteItem](void* item) {
        if (item != nullptr) deleteItem(item);
    });
}

void ListReset(KDLList& list) {
    Drain(list, [](void*) {});
}

void ListDestroy(KDLList& list) {
    KDLLink* link = list.head;
    while (link != nullptr) {
        KDLLink* next = link->next;
        ReleaseLink(link);
        link = next;
    }
}

void* ListItemAfter(const KDLList& list, const void* item) {
    KDLLink* link = FindLink(list, item);
    return link != nullptr && link->next != nullptr ? link->next->item : nullptr;
}
