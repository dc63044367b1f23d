// CharLowerBuffW over the wide-character case table.
#include "platform/user/CharCase.h"

#include "platform/base/WideString.h"

DWORD CharLowerBuffW(LPWSTR text, DWORD length) {
    if (text == nullptr) return 0;
    for (DWORD i = 0; i < length; ++i) text[i] = towlower(text[i]);
    return length;
}
