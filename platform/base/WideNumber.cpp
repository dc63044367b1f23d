// Reading numbers from wide text: wcstol, wcstoul, _wtol, _wtoi and wcstod. Integers have the
// handset's ranges (its long is 32-bit): a value out of range is clamped, with errno ERANGE,
// so that a caller storing the result in a LONG or DWORD never gets a wrapped value.
#include <locale.h>
#include <stdlib.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "platform/base/WideString.h"

namespace {

constexpr std::uint64_t kMaxUnsigned = 0xFFFFFFFFu;
constexpr std::uint64_t kMaxSigned = 0x7FFFFFFFu;

struct ParsedInteger {
    std::uint64_t magnitude = 0;  // clamped just above kMaxUnsigned when too large
    bool negative = false;
    bool tooLarge = false;
    const WCHAR* end = nullptr;  // the first character not read; the start when no digits
};

int DigitValue(WCHAR c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'z') return c - u'a' + 10;
    if (c >= u'A' && c <= u'Z') return c - u'A' + 10;
    return 99;
}

bool ParseInteger(const WCHAR* text, int base, ParsedInteger& out) {
    out.end = text;
    if (text == nullptr || base < 0 || base == 1 || base > 36) {
        errno = EINVAL;
        return false;
    }
    const WCHAR* p = text;
    while (iswspace(*p)) ++p;
    if (*p == u'+' || *p == u'-') out.negative = *p++ == u'-';
    if ((base == 0 || base == 16) && p[0] == u'0' && (p[1] == u'x' || p[1] == u'X') && DigitValue(p[2]) < 16) {
        p += 2;
        base = 16;
    } else if (base == 0) {
        base = p[0] == u'0' ? 8 : 10;
    }
    const WCHAR* digits = p;
    for (int digit; (digit = DigitValue(*p)) < base; ++p) {
        out.magnitude = out.magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (out.magnitude > kMaxUnsigned) {
            out.tooLarge = true;
            out.magnitude = kMaxUnsigned + 1;
        }
    }
    if (p == digits) return false;
    out.end = p;
    return true;
}

void StoreEnd(WCHAR** end, const WCHAR* at) {
    if (end != nullptr) *end = const_cast<WCHAR*>(at);
}

bool IsAsciiDigit(WCHAR c) { return c >= u'0' && c <= u'9'; }

// Matches `word` without case at `p`; gives its length or 0.
std::size_t MatchWord(const WCHAR* p, const char* word) {
    std::size_t i = 0;
    for (; word[i] != 0; ++i)
        if (towlower(p[i]) != static_cast<WCHAR>(word[i])) return 0;
    return i;
}

}  // namespace

long wcstol(const WCHAR* s, WCHAR** end, int base) {
    ParsedInteger parsed;
    bool ok = ParseInteger(s, base, parsed);
    StoreEnd(end, parsed.end);
    if (!ok) return 0;
    if (parsed.negative) {
        if (parsed.magnitude > kMaxSigned + 1) {
            errno = ERANGE;
            return -static_cast<long>(kMaxSigned) - 1;
        }
        return -static_cast<long>(parsed.magnitude);
    }
    if (parsed.magnitude > kMaxSigned) {
        errno = ERANGE;
        return static_cast<long>(kMaxSigned);
    }
    return static_cast<long>(parsed.magnitude);
}

unsigned long wcstoul(const WCHAR* s, WCHAR** end, int base) {
    ParsedInteger parsed;
    bool ok = ParseInteger(s, base, parsed);
    StoreEnd(end, parsed.end);
    if (!ok) return 0;
    if (parsed.tooLarge) {
        errno = ERANGE;
        return static_cast<unsigned long>(kMaxUnsigned);
    }
    // As the C library does: a minus sign negates within the unsigned range.
    if (parsed.negative) return static_cast<unsigned long>((kMaxUnsigned + 1 - parsed.magnitude) & kMaxUnsigned);
    return static_cast<unsigned long>(parsed.magnitude);
}

long _wtol(const WCHAR* s) { return wcstol(s, nullptr, 10); }

int _wtoi(const WCHAR* s) { return static_cast<int>(wcstol(s, nullptr, 10)); }

double wcstod(const WCHAR* s, WCHAR** end) {
    StoreEnd(end, s);
    if (s == nullptr) return 0.0;
    // Take the longest decimal number (or inf / nan) as ASCII, then let the C library's
    // reader in the "C" locale turn it into the nearest double, so the decimal point is
    // always '.' whatever locale the process runs in.
    const WCHAR* p = s;
    while (iswspace(*p)) ++p;
    std::string ascii;
    if (*p == u'+' || *p == u'-') ascii += static_cast<char>(*p++);
    std::size_t word = MatchWord(p, "infinity");
    if (word == 0) word = MatchWord(p, "inf");
    if (word == 0) word = MatchWord(p, "nan");
    if (word != 0) {
        for (std::size_t i = 0; i < word; ++i) ascii += static_cast<char>(p[i]);
        p += word;
    } else {
        bool anyDigit = false;
        for (; IsAsciiDigit(*p); ++p, anyDigit = true) ascii += static_cast<char>(*p);
        if (*p == u'.') {
            ascii += '.';
            for (++p; IsAsciiDigit(*p); ++p, anyDigit = true) ascii += static_cast<char>(*p);
        }
        if (!anyDigit) return 0.0;
        if (*p == u'e' || *p == u'E') {
            const WCHAR* exponent = p + 1;
            if (*exponent == u'+' || *exponent == u'-') ++exponent;
            if (IsAsciiDigit(*exponent)) {
                ascii += 'e';
                if (p[1] == u'-') ascii += '-';
                for (p = exponent; IsAsciiDigit(*p); ++p) ascii += static_cast<char>(*p);
            }
        }
    }
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    double value = cLocale != static_cast<locale_t>(nullptr) ? strtod_l(ascii.c_str(), nullptr, cLocale)
                                                             : strtod(ascii.c_str(), nullptr);
    StoreEnd(end, p);
    return value;
}
