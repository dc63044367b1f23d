// Wide (UTF-16) string functions for WCHAR = char16_t, under the C library's names as
// overloads for char16_t, so that program code reads as it does on the handset.
// Formatting follows the handset's wide printf: %s and %ls take a wide string, %hs and
// %S a narrow one. Every formatter writes at most `count` characters including the
// terminator and always terminates when count > 0.
#pragma once

#include <cstdarg>

#include "platform/base/Types.h"

size_t wcslen(const WCHAR* s);
size_t wcsnlen(const WCHAR* s, size_t max);
WCHAR* wcscpy(WCHAR* dst, const WCHAR* src);
WCHAR* wcsncpy(WCHAR* dst, const WCHAR* src, size_t count);
WCHAR* wcscat(WCHAR* dst, const WCHAR* src);
WCHAR* wcsncat(WCHAR* dst, const WCHAR* src, size_t count);
int wcscmp(const WCHAR* a, const WCHAR* b);
int wcsncmp(const WCHAR* a, const WCHAR* b, size_t count);
int _wcsicmp(const WCHAR* a, const WCHAR* b);
int _wcsnicmp(const WCHAR* a, const WCHAR* b, size_t count);
WCHAR* wcschr(const WCHAR* s, WCHAR c);
WCHAR* wcsrchr(const WCHAR* s, WCHAR c);
WCHAR* wcsstr(const WCHAR* haystack, const WCHAR* needle);
WCHAR* _wcsdup(const WCHAR* s);  // free() the result
WCHAR* _wcslwr(WCHAR* s);
WCHAR* _wcsupr(WCHAR* s);
long _wtol(const WCHAR* s);
int _wtoi(const WCHAR* s);
unsigned long wcstoul(const WCHAR* s, WCHAR** end, int base);
long wcstol(const WCHAR* s, WCHAR** end, int base);
double wcstod(const WCHAR* s, WCHAR** end);

// Case mapping for the Latin-1 and Latin Extended-A ranges, as the handset's wide
// compare functions use it.
WCHAR towlower(WCHAR c);
WCHAR towupper(WCHAR c);
int iswspace(WCHAR c);
int iswdigit(WCHAR c);
int iswalpha(WCHAR c);

// Returns the number of characters written (without the terminator), or -1 when the
// output was cut to fit `count`.
int _snwprintf(WCHAR* buffer, size_t count, const WCHAR* format, ...);
int swprintf(WCHAR* buffer, size_t count, const WCHAR* format, ...);
int _vsnwprintf(WCHAR* buffer, size_t count, const WCHAR* format, va_list args);
int vswprintf(WCHAR* buffer, size_t count, const WCHAR* format, va_list args);
