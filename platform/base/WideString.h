// Wide (UTF-16) string functions for WCHAR = char16_t, under the C library's names as
// overloads for char16_t, so that program code reads as it does on the handset.
// Formatting follows the handset's wide printf: %s and %ls take a wide string, %hs and
// %S a narrow one. Every formatter writes at most `count` characters including the
// terminator and always terminates when count > 0.
#pragma once

#include <cstdarg>
// The standard library takes the addresses of wcstol, wcstoul, wcstod and vswprintf
// (std::stoi, std::to_wstring) through using-declarations in namespace std; those must be
// made before the char16_t overloads below exist, or the addresses become ambiguous.
#include <cwchar>
#include <string>

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
// Integers have the handset's 32-bit ranges: out-of-range values are clamped (errno ERANGE).
long _wtol(const WCHAR* s);
int _wtoi(const WCHAR* s);
unsigned long wcstoul(const WCHAR* s, WCHAR** end, int base);
long wcstol(const WCHAR* s, WCHAR** end, int base);
double wcstod(const WCHAR* s, WCHAR** end);

// Case mapping for the Latin-1, Latin Extended-A, Greek and Cyrillic ranges, as the
// handset's wide compare functions use it (_wcsicmp also folds final sigma, long s and the
// micro sign onto their common lower-case letter).
WCHAR towlower(WCHAR c);
WCHAR towupper(WCHAR c);
int iswspace(WCHAR c);
int iswdigit(WCHAR c);
int iswalpha(WCHAR c);

// Returns the number of characters written (without the terminator), or -1 when the
// output was cut to fit `count` (a surrogate pair is never cut in half). Conversions:
// d i u o x X c s p f F e E g G and %%, with the flags - + 0 space #, width, precision and *.
// Sizes are the handset's: plain and `l` integers are 32-bit (its long), `ll`, `I64` and `j`
// 64-bit, `z`, `I` and `t` pointer-sized; `h` and `hh` narrow the value. %c, %lc and %wc take
// a wide character, %hc and %C a narrow one; narrow text is read in the ANSI page (1252).
// An unknown conversion is copied as it stands and takes no argument.
int _snwprintf(WCHAR* buffer, size_t count, const WCHAR* format, ...);
int swprintf(WCHAR* buffer, size_t count, const WCHAR* format, ...);
int _vsnwprintf(WCHAR* buffer, size_t count, const WCHAR* format, va_list args);
int vswprintf(WCHAR* buffer, size_t count, const WCHAR* format, va_list args);
