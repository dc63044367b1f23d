// The generic place-marking object.
#include "dialer/objects/GenericObject.h"

HRESULT CGenericObject::GetState(LONG* state) {
    if (state == nullptr) return E_INVALIDARG;
    *state = 0;
    return S_OK;
}

HRESULT CGenericObject::OnKey(UINT key, BOOL* handled) {
    if (handled != nullptr) *handled = (key >= 37 && key <= 40) ? FALSE : TRUE;
    return E_FAIL;
}
