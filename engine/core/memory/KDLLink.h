// KDLLink: one link of a KDLList. The allocator keeps a pool of link-sized cells, so links
// are declared beside it; the list operations are in containers/KDLList.h.
#pragma once

struct KDLLink {
    void* item;
    KDLLink* previous;  // null at the head
    KDLLink* next;      // null at the tail
};
