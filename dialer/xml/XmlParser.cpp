// The in-place parser. It runs as one loop over the text with the current node as its only
// nesting state (an end tag moves to the parent); DOCTYPE internal subsets parsed as
// children push a frame that records where the outer text resumes.
#include "dialer/xml/XmlParser.h"

#include <algorithm>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "dialer/foundation/OrmException.h"
#include "platform/base/WideString.h"

bool IsNonAsciiXmlNameChar(WCHAR c) { return iswalpha(c) != 0 || iswdigit(c) != 0; }

WCHAR* TrimXmlValue(WCHAR* value, bool collapse) {
    while (IsXmlBlank(*value)) ++value;
    if (collapse) {
        WCHAR* out = value;
        const WCHAR* in = value;
        if (*in != 0) *out++ = *in++;
        while (*in != 0) {
            if (IsXmlBlank(*in)) {
                while (IsXmlBlank(*in)) ++in;
                *out++ = u' ';
            } else {
                *out++ = *in++;
            }
        }
        *out = 0;
        if (out > value && out[-1] == u' ') out[-1] = 0;
        return value;
    }
    WCHAR* end = value;
    for (WCHAR* scan = value; *scan != 0; ++scan)
        if (!IsXmlBlank(*scan)) end = scan + 1;
    *end = 0;
    return value;
}

namespace {

bool StartsWith(const WCHAR* text, const char16_t* prefix) {
    for (; *prefix != 0; ++text, ++prefix)
        if (*text != *prefix) return false;
    return true;
}

// The first `c` at or after text, or the text's terminating zero.
WCHAR* FindChar(WCHAR* text, WCHAR c) {
    while (*text != 0 && *text != c) ++text;
    return text;
}

// The start of the first `sequence` at or after text, or the text's terminating zero.
WCHAR* FindSequence(WCHAR* text, const char16_t* sequence) {
    for (; *text != 0; ++text)
        if (*text == sequence[0] && StartsWith(text, sequence)) return text;
    return text;
}

WCHAR* EndOfText(WCHAR* text) { return text + wcslen(text); }

// Where each '[' of the text is closed, counting nested brackets. Built once, on the first
// internal subset, so that nested subsets do not rescan the rest of the text each.
class BracketIndex {
public:
    WCHAR* CloseOf(WCHAR* open) {
        if (!m_built || open < m_start) Build(open);
        auto before = [](const std::pair<WCHAR*, WCHAR*>& pair, WCHAR* key) { return pair.first < key; };
        auto found = std::lower_bound(m_pairs.begin(), m_pairs.end(), open, before);
        return (found != m_pairs.end() && found->first == open) ? found->second : nullptr;
    }

private:
    void Build(WCHAR* from) {
        m_pairs.clear();
        std::vector<WCHAR*> open;
        for (WCHAR* p = from; *p != 0; ++p) {
            if (*p == u'[') {
                open.push_back(p);
            } else if (*p == u']' && !open.empty()) {
                m_pairs.emplace_back(open.back(), p);
                open.pop_back();
            }
        }
        std::sort(m_pairs.begin(), m_pairs.end());
        m_start = from;
        m_built = true;
    }

    bool m_built = false;
    WCHAR* m_start = nullptr;
    std::vector<std::pair<WCHAR*, WCHAR*>> m_pairs;
};

class Parser {
public:
    Parser(XmlNode* top, UINT growStep, DWORD flags)
        : m_top(top), m_current(top), m_growStep(growStep), m_flags(flags),
          m_collapse((flags & XML_COLLAPSE_BLANKS) != 0) {}

    WCHAR* Run(WCHAR* text) {
        m_position = text;
        for (;;) {
            if (!m_atMarkup) {
                m_position = FindChar(m_position, u'<');
                if (*m_position == 0) {
                    if (EndOfBuffer()) continue;
                    return m_stop;
                }
                ++m_position;
            }
            m_atMarkup = false;
            if (!ParseMarkup()) return m_stop;
        }
    }

private:
    struct SubsetFrame {
        XmlNode* outer;   // the node that was current before the subset
        XmlNode* owner;   // the DOCTYPE node
        WCHAR* resume;    // just after the subset's closing bracket
    };
    enum class DoctypeResult { Done, EnteredSubset, EndOfText, Stopped };

    WCHAR* Trim(WCHAR* value, DWORD flag) { return (m_flags & flag) ? TrimXmlValue(value, m_collapse) : value; }

    // The text ended (for a subset: its closing bracket was reached). Inside subsets the
    // enclosing declaration goes on; at the outermost level parsing stops. False = stop.
    bool EndOfBuffer() {
        while (!m_frames.empty()) {
            switch (LeaveOneSubset()) {
                case DoctypeResult::Done:
                case DoctypeResult::EnteredSubset:
                    return true;
                case DoctypeResult::Stopped:
                    return false;
                case DoctypeResult::EndOfText:
                    break;
            }
        }
        m_stop = m_position;
        return false;
    }

    DoctypeResult LeaveOneSubset() {
        const SubsetFrame frame = m_frames.back();
        m_frames.pop_back();
        m_current = frame.outer;
        if (m_flags & XML_STOP_AFTER_DOCTYPE_SUBSET) {
            m_stop = frame.resume;
            return DoctypeResult::Stopped;
        }
        m_position = frame.resume;
        return ContinueDoctype(frame.owner);
    }

    bool AfterDoctype(DoctypeResult result) {
        switch (result) {
            case DoctypeResult::Done:
            case DoctypeResult::EnteredSubset:
                return true;
            case DoctypeResult::Stopped:
                return false;
            case DoctypeResult::EndOfText:
                break;
        }
        return EndOfBuffer();
    }

    // At the character after '<'.
    bool ParseMarkup() {
        const WCHAR c = *m_position;
        if (c == u'?') {
            if ((m_flags & XML_PARSE_PROCESSING_INSTRUCTIONS) && IsXmlNameChar(m_position[1])) {
                ++m_position;
                return ParseElement(XmlNodeType::ProcessingInstruction);
            }
            return SkipPast(u'>');
        }
        if (c == u'!') return ParseBang();
        if (c == u'/') return ParseEndTag();
        if (IsXmlNameChar(c)) return ParseElement(XmlNodeType::Element);
        return true;  // not markup: ignored up to the next '<'
    }

    bool SkipPast(WCHAR c) {
        m_position = FindChar(m_position, c);
        if (*m_position == 0) return EndOfBuffer();
        ++m_position;
        return true;
    }

    bool ParseBang() {
        WCHAR* q = m_position + 1;
        if (StartsWith(q, u"--"))
            return ParseDelimited(q + 2, u"-->", XmlNodeType::Comment, XML_PARSE_COMMENTS, XML_TRIM_COMMENTS);
        if (*q == u'[') {
            if (StartsWith(q, u"[CDATA["))
                return ParseDelimited(q + 7, u"]]>", XmlNodeType::CData, XML_PARSE_CDATA, XML_TRIM_CDATA);
            if (StartsWith(q, u"[INCLUDE["))
                return ParseDelimited(q + 9, u"]]>", XmlNodeType::Include, XML_PARSE_DOCTYPE, XML_TRIM_CDATA);
            return true;
        }
        if (StartsWith(q, u"DOCTYPE") && IsXmlBlank(q[7])) {
            if ((m_flags & XML_PARSE_DOCTYPE) == 0) return SkipPast(u'>');
            XmlNode* node = CreateXmlNode(XmlNodeType::DocType, m_current, m_growStep);
            m_position = q + 7;
            return AfterDoctype(ContinueDoctype(node));
        }
        if (*q == u'D') return SkipPast(u'>');
        if (IsXmlNameChar(*q)) return ParseDeclaration(q);
        return true;
    }

    bool ParseDelimited(WCHAR* start, const char16_t* terminator, XmlNodeType type, DWORD makeFlag, DWORD trimFlag) {
        WCHAR* end = FindSequence(start, terminator);
        if (*end == 0) {
            m_position = end;
            return EndOfBuffer();
        }
        *end = 0;
        if (m_flags & makeFlag) {
            XmlNode* node = CreateXmlNode(type, m_current, m_growStep);
            node->value = Trim(start, trimFlag);
        }
        m_position = end + 3;
        return true;
    }

    // After "<!DOCTYPE" or after an internal subset: words, quoted literals and subsets up
    // to the closing '>'.
    DoctypeResult ContinueDoctype(XmlNode* node) {
        WCHAR* pendingEnd = nullptr;  // the end of the last word, cut once the next is read
        auto cut = [&pendingEnd]() {
            if (pendingEnd != nullptr) *pendingEnd = 0;
            pendingEnd = nullptr;
        };
        for (;;) {
            while (IsXmlBlank(*m_position)) ++m_position;
            const WCHAR c = *m_position;
            if (c == 0) {
                cut();
                return DoctypeResult::EndOfText;
            }
            if (c == u'>') {
                cut();
                ++m_position;
                return DoctypeResult::Done;
            }
            if (c == u'[') {
                WCHAR* close = m_brackets.CloseOf(m_position);
                cut();
                if (close == nullptr) {
                    m_position = EndOfText(m_position + 1);
                    return DoctypeResult::EndOfText;
                }
                *close = 0;
                WCHAR* subset = m_position + 1;
                node->value = subset;
                if (m_flags & XML_PARSE_DOCTYPE_SUBSET) {
                    m_frames.push_back({m_current, node, close + 1});
                    m_current = node;
                    m_position = subset;
                    return DoctypeResult::EnteredSubset;
                }
                node->value = Trim(subset, XML_TRIM_DOCTYPE_SUBSET);
                m_position = close + 1;
                if (m_flags & XML_STOP_AFTER_DOCTYPE_SUBSET) {
                    m_stop = m_position;
                    return DoctypeResult::Stopped;
                }
                continue;
            }
            if (c == u'"' || c == u'\'') {
                WCHAR* close = FindChar(m_position + 1, c);
                cut();
                if (*close == 0) {
                    m_position = close;
                    return DoctypeResult::EndOfText;
                }
                *close = 0;
                AppendXmlAttribute(node, nullptr, m_position + 1, m_growStep);
                m_position = close + 1;
                continue;
            }
            cut();
            WCHAR* word = m_position;
            while (*m_position != 0 && !IsXmlBlank(*m_position) && *m_position != u'>' && *m_position != u'[' &&
                   *m_position != u'"' && *m_position != u'\'')
                ++m_position;
            AppendXmlAttribute(node, word, word, m_growStep);
            pendingEnd = m_position;
        }
    }

    // "<!KEYWORD name content>" for ELEMENT, ATTLIST, NOTATION and any other keyword.
    bool ParseDeclaration(WCHAR* keyword) {
        WCHAR* q = keyword;
        while (IsXmlNameChar(*q)) ++q;
        const std::size_t length = static_cast<std::size_t>(q - keyword);
        auto is = [&](const char16_t* word) {
            return std::char_traits<char16_t>::length(word) == length && StartsWith(keyword, word);
        };
        XmlNodeType type = XmlNodeType::Declaration;
        if (is(u"ATTLIST"))
            type = XmlNodeType::AttributeListDeclaration;
        else if (is(u"ELEMENT"))
            type = XmlNodeType::ElementDeclaration;
        else if (is(u"NOTATION"))
            type = XmlNodeType::NotationDeclaration;
        XmlNode* node = CreateXmlNode(type, m_current, m_growStep);

        m_position = q;
        while (IsXmlBlank(*m_position)) ++m_position;
        WCHAR* name = m_position;
        if (*m_position == u'%') {
            // A parameter entity: "% name" becomes the one name "%name".
            ++m_position;
            while (IsXmlBlank(*m_position)) ++m_position;
            m_position[-1] = u'%';
            name = m_position - 1;
        }
        while (*m_position != 0 && !IsXmlBlank(*m_position) && *m_position != u'>') ++m_position;
        node->name = name;
        WCHAR* nameEnd = m_position;

        while (IsXmlBlank(*m_position)) ++m_position;
        WCHAR* value = m_position;
        WCHAR* end = m_position;
        while (*end != 0 && *end != u'>') {
            if (type == XmlNodeType::Declaration && (*end == u'"' || *end == u'\'')) {
                end = FindChar(end + 1, *end);
                if (*end == 0) break;
            }
            ++end;
        }
        *nameEnd = 0;
        if (*end == 0) {
            m_position = end;
            return EndOfBuffer();
        }
        *end = 0;
        node->value = Trim(value, XML_TRIM_DECLARATIONS);
        m_position = end + 1;
        return true;
    }

    bool ParseEndTag() {
        m_position = FindChar(m_position, u'>');
        if (*m_position == 0) return EndOfBuffer();
        ++m_position;
        if (!m_frames.empty() && m_current == m_frames.back().owner) {
            // An end tag at the subset's own level ends the subset.
            return AfterDoctype(LeaveOneSubset());
        }
        if (m_current == m_top) {
            m_stop = m_position;
            return false;
        }
        m_current = m_current->parent;
        return true;
    }

    // An element (or a processing instruction, whose closing '?' acts as '/').
    bool ParseElement(XmlNodeType type) {
        WCHAR* name = m_position;
        while (IsXmlNameChar(*m_position)) ++m_position;
        XmlNode* node = CreateXmlNode(type, m_current, m_growStep);
        node->name = name;
        // The end of the last name, cut once the character after it has been read.
        WCHAR* tokenEnd = m_position;
        for (;;) {
            while (IsXmlBlank(*m_position)) ++m_position;
            const WCHAR c = *m_position;
            if (tokenEnd != nullptr && (tokenEnd != m_position || !IsXmlNameChar(c))) *tokenEnd = 0;
            tokenEnd = nullptr;
            if (c == 0) return EndOfBuffer();
            if (c == u'>') {
                ++m_position;
                m_current = node;
                return ParseTextAfterStartTag();
            }
            if (c == u'/' || (c == u'?' && type == XmlNodeType::ProcessingInstruction)) {
                ++m_position;
                return SkipPast(u'>');
            }
            if (!IsXmlNameChar(c)) {
                ++m_position;  // a stray character
                continue;
            }
            WCHAR* attributeName = m_position;
            while (IsXmlNameChar(*m_position)) ++m_position;
            WCHAR* attributeNameEnd = m_position;
            WCHAR* q = m_position;
            while (IsXmlBlank(*q)) ++q;
            if (*q != u'=') {
                AppendXmlAttribute(node, attributeName, nullptr, m_growStep);
                tokenEnd = attributeNameEnd;
                continue;
            }
            *attributeNameEnd = 0;
            ++q;
            while (IsXmlBlank(*q)) ++q;
            if (*q != u'"' && *q != u'\'') {
                AppendXmlAttribute(node, attributeName, nullptr, m_growStep);
                m_position = q;
                continue;
            }
            WCHAR* close = FindChar(q + 1, *q);
            if (*close == 0) {
                m_position = close;
                return EndOfBuffer();
            }
            *close = 0;
            AppendXmlAttribute(node, attributeName, Trim(q + 1, XML_TRIM_ATTRIBUTES), m_growStep);
            m_position = close + 1;
        }
    }

    // The content right after a start tag: a text node unless only blanks come before the
    // next '<'.
    bool ParseTextAfterStartTag() {
        WCHAR* start = m_position;
        WCHAR* q = m_position;
        bool blankOnly = true;
        for (; *q != 0 && *q != u'<'; ++q)
            if (!IsXmlBlank(*q)) blankOnly = false;
        if (blankOnly) {
            m_position = q;
            return true;
        }
        XmlNode* text = CreateXmlNode(XmlNodeType::Text, m_current, m_growStep);
        const bool atTag = *q == u'<';
        *q = 0;
        text->value = Trim(start, XML_TRIM_TEXT);
        if (!atTag) {
            m_position = q;
            return EndOfBuffer();
        }
        // The '<' is now the text's terminator: the next markup starts right after it.
        m_position = q + 1;
        m_atMarkup = true;
        return true;
    }

    XmlNode* m_top;
    XmlNode* m_current;
    UINT m_growStep;
    DWORD m_flags;
    bool m_collapse;
    WCHAR* m_position = nullptr;
    WCHAR* m_stop = nullptr;
    bool m_atMarkup = false;
    std::vector<SubsetFrame> m_frames;
    BracketIndex m_brackets;
};

}  // namespace

WCHAR* ParseXmlText(WCHAR* text, XmlNode* node, UINT growStep, DWORD flags) {
    if (text == nullptr || node == nullptr) return nullptr;
    try {
        Parser parser(node, growStep, flags);
        return parser.Run(text);
    } catch (const std::bad_alloc&) {
        ThrowOrm(E_OUTOFMEMORY);
    }
}
