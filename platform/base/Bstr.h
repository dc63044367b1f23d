// OLE automation strings (BSTR): a UTF-16 text with its byte length stored in the 32 bits
// just before the first character, always terminated. Interfaces hand text out this way
// and the receiver frees it with SysFreeString.
#pragma once

#include "platform/base/Types.h"

using OLECHAR = WCHAR;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;

// A copy of the terminated text; null for a null text or when memory runs out.
BSTR SysAllocString(LPCOLESTR text);
// A string of `length` characters copied from `text` (or zero-filled when text is null);
// null when memory runs out or the byte length would not fit in 32 bits.
BSTR SysAllocStringLen(LPCOLESTR text, UINT length);
// Replaces *target by a copy of text (which may point into *target). FALSE, with *target
// unchanged, when target is null or memory runs out.
INT SysReAllocString(BSTR* target, LPCOLESTR text);
// Frees a string made by the functions above; null is ignored.
void SysFreeString(BSTR text);
// Length in characters and in bytes (the stored prefix); 0 for null.
UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);
