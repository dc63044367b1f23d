// KDLList: the engine's one container, a doubly linked list of untyped item pointers whose
// links come from the engine allocator's link pool. The list never owns its items; each
// clearing operation says what it does to them.
#pragma once

#include <cstdint>

#include "engine/core/memory/KDLLink.h"

// Embedded by value in its owner and zeroed with it; empty <=> head = tail = null <=> count 0.
struct KDLList {
    KDLLink* head = nullptr;
    KDLLink* tail = nullptr;
    std::uint32_t count = 0;
};

// Walks a list forward from its head.
struct KDLListIterator {
    KDLList* list;
    KDLLink* current;  // null at the end

    explicit KDLListIterator(KDLList& walked) : list(&walked), current(walked.head) {}
    bool AtEnd() const { return current == nullptr; }
    void* Item() const { return current != nullptr ? current->item : nullptr; }
    void Next() {
        if (current != nullptr) current = current->next;
    }
};

// Every insertion returns null (or 0, or false) and leaves the list as it was when no link
// can be allocated; the allocator has logged that.

// A new link at the tail.
KDLLink* ListAppend(KDLList& list, void* item);
// The same with the link taken straight from the link pool.
bool ListPushBack(KDLList& list, void* item);
// After the first link holding `after`; at the head when the list is empty or `after` is
// null. 1 on success, 0 when `after` is not in the list.
int ListInsertAfter(KDLList& list, void* item, void* after);

// Sorted insertions in ascending order. An entry equal to the tail goes after it, one equal
// to the head before it, and one equal to interior entries after the last of them. The
// inserts by name (ListInsertSortedByName, ListInsertSortedByKey) are in text/SortedNames.h.
// compare(new, other) < 0 when the new item sorts first.
using ListCompare = int (*)(const void* item, const void* other);
KDLLink* ListInsertSorted(KDLList& list, void* item, ListCompare compare);
// Items are records with a float time read by `timeOf`; times closer than 1/10000 are equal.
using ListTimeOf = float (*)(const void* entry);
KDLLink* ListInsertByTime(KDLList& list, void* entry, ListTimeOf timeOf);

// Puts the items in ascending order: a stable merge sort in n log n comparisons, without
// recursion, over an array of the items (one engine allocation, given back) or, when that
// cannot be had, over the links themselves. The list keeps its links.
void ListSort(KDLList& list, ListCompare compare);
// Moves every link of `from` into `into`, both in ascending order, keeping the order: items
// equal to ones of `into` go after them. `from` is left empty. Linear in both lengths.
void ListMergeSorted(KDLList& into, KDLList& from, ListCompare compare);

// Unlinks and frees the link; its item, or null for a null link.
void* ListUnlink(KDLList& list, KDLLink* link);
// Unlinks and frees the tail link; its item, or null when the list is empty.
void* ListPopBack(KDLList& list);
// Unlinks and frees the iterator's current link and moves on to the link that followed;
// the removed item, or null at the end.
void* ListIteratorRemove(KDLListIterator& iterator);
// The first link holding `item` leaves `from` and becomes the head of `to` (which may be the
// same list); the item, or null when it is not in `from` (nothing changes then).
void* ListMoveToFront(KDLList& from, void* item, KDLList& to);
// The iterator's current link becomes the head of its list; the iterator stays on it.
void ListIteratorMoveToFront(KDLListIterator& iterator);

// Clearing operations empty the list first and then visit the taken links, so an item's
// destructor that touches the same list finds it empty.
// ListClear and ListReleaseAll, for lists of engine objects, are in object/ObjectList.h.
// Each item is given back with EngineFree.
void ListFreeAll(KDLList& list);
// Each non-null item is deleted with the item type's own deleter (EngineString::DeleteItem
// for lists of engine strings).
void ListDeleteAll(KDLList& list, void (*deleteItem)(void* item));
// Items untouched.
void ListReset(KDLList& list);
// Frees every link reachable from the head without rewriting head, tail or count: for the
// destructor of an owner whose list is dead afterwards.
void ListDestroy(KDLList& list);

// The item after the first link holding `item`; null at the end or when it is absent.
void* ListItemAfter(const KDLList& list, const void* item);
