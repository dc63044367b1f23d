// Copying, comparing and searching wide (UTF-16) strings: the C library's string functions
// for WCHAR.
#include "platform/base/WideString.h"

#include <cstdlib>
#include <cstring>

namespace {

// Compares without case: the lower-case form, with the letters that have two lower-case
// forms (final sigma, long s, micro sign) folded onto one.
WCHAR FoldCase(WCHAR c) {
    c = towlower(c);
    if (c == 0x3C2) return 0x3C3;
    if (c == 0x17F) return u's';
    if (c == 0xB5) return 0x3BC;
    return c;
}

}  // namespace

size_t wcslen(const WCHAR* s) {
    const WCHAR* end = s;
    while (*end != 0) ++end;
    return static_cast<size_t>(end - s);
}

size_t wcsnlen(const WCHAR* s, size_t max) {
    size_t length = 0;
    while (length < max && s[length] != 0) ++length;
    return length;
}

WCHAR* wcscpy(WCHAR* dst, const WCHAR* src) {
    WCHAR* out = dst;
    while ((*out++ = *src++) != 0) {
    }
    return dst;
}

WCHAR* wcsncpy(WCHAR* dst, const WCHAR* src, size_t count) {
    // As the C library's: pads with zeros, and leaves dst unterminated when src is longer.
    size_t i = 0;
    for (; i < count && src[i] != 0; ++i) dst[i] = src[i];
    for (; i < count; ++i) dst[i] = 0;
    return dst;
}

WCHAR* wcscat(WCHAR* dst, const WCHAR* src) {
    wcscpy(dst + wcslen(dst), src);
    return dst;
}

WCHAR* wcsncat(WCHAR* dst, const WCHAR* src, size_t count) {
    WCHAR* out = dst + wcslen(dst);
    size_t i = 0;
    for (; i < count && src[i] != 0; ++i) out[i] = src[i];
    out[i] = 0;
    return dst;
}

int wcscmp(const WCHAR* a, const WCHAR* b) { return wcsncmp(a, b, static_cast<size_t>(-1)); }

int wcsncmp(const WCHAR* a, const WCHAR* b, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
        if (a[i] == 0) return 0;
    }
    return 0;
}

int _wcsicmp(const WCHAR* a, const WCHAR* b) { return _wcsnicmp(a, b, static_cast<size_t>(-1)); }

int _wcsnicmp(const WCHAR* a, const WCHAR* b, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        WCHAR lowerA = FoldCase(a[i]);
        WCHAR lowerB = FoldCase(b[i]);
        if (lowerA != lowerB) return lowerA < lowerB ? -1 : 1;
        if (lowerA == 0) return 0;
    }
    return 0;
}

WCHAR* wcschr(const WCHAR* s, WCHAR c) {
    // As the C library's: the terminator itself can be searched for.
    for (;; ++s) {
        if (*s == c) return const_cast<WCHAR*>(s);
        if (*s == 0) return nullptr;
    }
}

WCHAR* wcsrchr(const WCHAR* s, WCHAR c) {
    const WCHAR* last = nullptr;
    for (;; ++s) {
        if (*s == c) last = s;
        if (*s == 0) return const_cast<WCHAR*>(last);
    }
}

WCHAR* wcsstr(const WCHAR* haystack, const WCHAR* needle) {
    if (*needle == 0) return const_cast<WCHAR*>(haystack);
    size_t needleLength = wcslen(needle);
    for (; *haystack != 0; ++haystack) {
        if (*haystack == *needle && wcsncmp(haystack, needle, needleLength) == 0) return const_cast<WCHAR*>(haystack);
    }
    return nullptr;
}

WCHAR* _wcsdup(const WCHAR* s) {
    if (s == nullptr) return nullptr;
    size_t bytes = (wcslen(s) + 1) * sizeof(WCHAR);
    auto* copy = static_cast<WCHAR*>(std::malloc(bytes));
    if (copy != nullptr) std::memcpy(copy, s, bytes);
    return copy;
}

WCHAR* _wcslwr(WCHAR* s) {
    for (WCHAR* p = s; *p != 0; ++p) *p = towlower(*p);
    return s;
}

WCHAR* _wcsupr(WCHAR* s) {
    for (WCHAR* p = s; *p != 0; ++p) *p = towupper(*p);
    return s;
}
