// The layout framework's tolerant in-place XML parser: it cuts names and values out of
// the caller's UTF-16 buffer by writing zeros, builds node records that point into it,
// never reports a syntax error and skips what it cannot place. Nesting is followed with
// an explicit stack, so deep documents cannot exhaust the thread's stack.
#pragma once

#include "dialer/xml/XmlNode.h"
#include "platform/base/Types.h"

// Parses text below node and returns the position where parsing stopped (the end of the
// text, an end tag at node's own level, or the end of a DOCTYPE internal subset under
// XML_STOP_AFTER_DOCTYPE_SUBSET). Throws E_OUTOFMEMORY; what was built stays in the tree.
WCHAR* ParseXmlText(WCHAR* text, XmlNode* node, UINT growStep, DWORD flags);

// A letter or digit beyond ASCII, by the wide-character classes.
bool IsNonAsciiXmlNameChar(WCHAR c);

// A letter or digit, '_', ':', '-' or '.'.
inline bool IsXmlNameChar(WCHAR c) {
    if (c >= 0x80) return IsNonAsciiXmlNameChar(c);
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
           c == u':' || c == u'-' || c == u'.';
}
// A blank: any code unit from U+0001 to U+0020 (U+0000 ends the text).
inline bool IsXmlBlank(WCHAR c) { return c != 0 && c <= 0x20; }

// Moves the start past leading blanks and cuts trailing ones; with collapse, every inner
// run of blanks first becomes one U+0020. Returns the new start.
WCHAR* TrimXmlValue(WCHAR* value, bool collapse);
