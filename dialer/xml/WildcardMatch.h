// Name patterns of the layout document model: '?' any one character, '*' any run,
// "[...]" a set (leading '!' negates, "a-b" ranges). Case-sensitive, whole strings.
#pragma once

#include "platform/base/Types.h"

// 1 when text matches pattern, else 0 (also for a null pattern or text).
int WildcardMatch(LPCWSTR pattern, LPCWSTR text);
