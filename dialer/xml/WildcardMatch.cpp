// Wildcard matching without recursion: on a mismatch the last star takes one more
// character. Every other pattern element consumes exactly one text character, so this
// finds a match whenever one exists.
#include "dialer/xml/WildcardMatch.h"

namespace {

// Tests c against the set that starts at the '[' at pattern; *next receives the position
// after the set. A ']' right after "[" or "[!" is a member; "a-b" is a range when a < b
// and b is not ']'; any other '-' is a member. A set left open runs to the pattern's end.
bool MatchSet(LPCWSTR pattern, WCHAR c, LPCWSTR* next) {
    LPCWSTR q = pattern + 1;
    bool negate = false;
    if (*q == u'!') {
        negate = true;
        ++q;
    }
    bool found = false;
    bool first = true;
    while (*q != 0 && (*q != u']' || first)) {
        first = false;
        const WCHAR low = *q;
        if (q[1] == u'-' && q[2] != 0 && q[2] != u']' && low < q[2]) {
            if (c >= low && c <= q[2]) found = true;
            q += 3;
        } else {
            if (c == low) found = true;
            ++q;
        }
    }
    if (*q == u']') ++q;
    *next = q;
    return found != negate;
}

}  // namespace

int WildcardMatch(LPCWSTR pattern, LPCWSTR text) {
    if (pattern == nullptr || text == nullptr) return 0;
    LPCWSTR p = pattern;
    LPCWSTR t = text;
    LPCWSTR starPattern = nullptr;  // the pattern after the last star
    LPCWSTR starText = nullptr;     // where that star's run currently ends
    while (*t != 0) {
        if (*p == u'*') {
            while (*p == u'*') ++p;
            if (*p == 0) return 1;
            starPattern = p;
            starText = t;
            continue;
        }
        bool matched = false;
        LPCWSTR next = p + 1;
        if (*p == u'?')
            matched = true;
        else if (*p == u'[')
            matched = MatchSet(p, *t, &next);
        else if (*p != 0)
            matched = *p == *t;
        if (matched) {
            p = next;
            ++t;
            continue;
        }
        if (starPattern == nullptr) return 0;
        p = starPattern;
        t = ++starText;
    }
    while (*p == u'*') ++p;
    return *p == 0 ? 1 : 0;
}
