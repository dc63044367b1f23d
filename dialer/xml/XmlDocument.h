// CXmlDocument: one parsed layout, index or style document. Parsing edits the caller's
// UTF-16 text in place and the tree points into it, so the text must live as long as the
// document (or be handed to the document with ParseOwned).
#pragma once

#include <memory>

#include "dialer/xml/XmlArena.h"
#include "dialer/xml/XmlElement.h"
#include "dialer/xml/XmlNode.h"
#include "platform/base/Types.h"

class CXmlDocument {
public:
    static constexpr UINT kGrowStep = 4;

    CXmlDocument() = default;
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;
    virtual ~CXmlDocument();

    // Discards any earlier tree, makes the document node, stores flags (unless
    // XML_KEEP_FLAGS) and parses text in place. Returns where parsing stopped, or null for
    // a null text. Throws E_OUTOFMEMORY.
    LPWSTR Parse(LPWSTR text, DWORD flags = XML_PARSE_ALL);
    // The same for a buffer that the document keeps and frees with itself.
    LPWSTR ParseOwned(std::unique_ptr<WCHAR[]> text, DWORD flags = XML_PARSE_ALL);

    // A handle on the document node, whose children are the top-level nodes; empty before
    // a parse.
    CXmlElement GetRoot() const { return CXmlElement(m_root); }
    DWORD GetFlags() const { return m_flags; }

private:
    void Clear();
    LPWSTR ParseText(LPWSTR text, DWORD flags);

    std::unique_ptr<XmlArena> m_arena;  // every record of the tree
    XmlNode* m_root = nullptr;
    UINT m_growStep = kGrowStep;
    std::unique_ptr<WCHAR[]> m_textBuffer;
    DWORD m_reserved = 0;
    DWORD m_flags = XML_PARSE_ALL;
};
