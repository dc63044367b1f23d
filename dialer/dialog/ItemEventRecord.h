// What a layer tells its handler and its items about one item (or, with only the first three
// words filled, about the layer itself).
#pragma once

#include "platform/base/Types.h"

class IDialogManager;
class IDialogLayer;
class IStandardProperties;
class ILayoutElement;

struct ItemEventRecord {
    IDialogManager* site = nullptr;  // the layer's site: the dialog manager's proxy
    IDialogLayer* layer = nullptr;   // the layer's proxy
    LPCWSTR layerName = nullptr;
    LONG id = -1;
    LONG subId = -1;
    LPCWSTR name = nullptr;
    IStandardProperties* layoutObject = nullptr;
    ILayoutElement* element = nullptr;
    LONG offsetX = 0;  // the item's origin inside the layer's content
    LONG offsetY = 0;
};
