// Lists kept in name order: the sorted inserts of KDLList for names compared as the engine
// compares file, archive and resource names (without regard to case).
#pragma once

#include "engine/core/containers/KDLList.h"

// Items are zero-terminated names.
KDLLink* ListInsertSortedByName(KDLList& list, const char* name);
// Items are records that start with a pointer to a zero-terminated name (their first member
// is a `const char*` or `char*`).
KDLLink* ListInsertSortedByKey(KDLList& list, void* record);
