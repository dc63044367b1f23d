// The item window: a modal "Dialog" window titled with the item's type and summary whose
// "STATIC" children show the item's fields, a label child (id 0xFFFF) and a value child
// (id = the field's property number) per field. On IDOK the values of the children are
// taken into the item and saved; IDCANCEL or WM_CLOSE leaves the item as it was.
#pragma once

#include "platform/poom/PimItem.h"

namespace platform::poom {

constexpr int kItemWindowLabelId = 0xFFFF;

// `allFields` lists every field of the type, otherwise only those that hold a value. A value
// child whose text does not read as a value of its field keeps the field as it was. S_OK once
// the window was closed (and the item saved when it was closed with IDOK); the save's error
// when saving failed.
HRESULT ShowItemWindow(PimItemState& item, HWND owner, bool allFields);

}  // namespace platform::poom
