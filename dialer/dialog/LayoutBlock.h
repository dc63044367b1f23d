// The block handed down a layout pass: the area a layer is given, the dialog's size and the
// pass's mode, and in the handler's later phases the layer's node and collections.
#pragma once

#include "platform/base/Types.h"

class CLayoutEntry;
class IItemCollection;

// Modes of a pass.
constexpr LONG LAYOUT_MODE_NORMAL = 0;
constexpr LONG LAYOUT_MODE_MEASURE = 1;  // a dialog laid out on its own

struct LayoutBlock {
    LONG availableWidth = 0;
    LONG availableHeight = 0;
    LONG reserved1[4] = {};
    LONG originX = 0;
    LONG originY = 0;
    LONG dialogWidth = 0;
    LONG dialogHeight = 0;
    LONG reserved2[2] = {};
    LONG mode = LAYOUT_MODE_NORMAL;
    // Phase 2: the layer's layout node and the working collection (which the handler may
    // change before it is arranged). Phase 3: the node, the arranged collection and the
    // template collection. Null otherwise.
    CLayoutEntry* node = nullptr;
    IItemCollection* items = nullptr;
    IItemCollection* templates = nullptr;
};
