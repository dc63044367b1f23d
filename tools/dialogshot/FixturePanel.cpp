// The fixture layouts' handler.
#include "tools/dialogshot/FixturePanel.h"

#include "dialer/dialog/ItemEventRecord.h"

HRESULT CFixturePanel::GetItemState(const ItemEventRecord* item, LONG* state) {
    if (item == nullptr || state == nullptr || item->id == -1) return S_FALSE;
    *state = 1;
    return S_OK;
}
