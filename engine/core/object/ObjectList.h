// Clearing a KDLList whose items are engine objects. Like every clearing operation the list
// is emptied first, so an object's destructor that touches the same list finds it empty.
#pragma once

#include "engine/core/containers/KDLList.h"

// With deleteItems non-zero each item is deleted through its virtual destructor.
void ListClear(KDLList& list, int deleteItems);
// With releaseItems non-zero each item gets Interface::Release.
void ListReleaseAll(KDLList& list, int releaseItems);
