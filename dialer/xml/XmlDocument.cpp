// Parsing into a document and freeing its tree.
#include "dialer/xml/XmlDocument.h"

#include <new>
#include <utility>

#include "dialer/foundation/OrmException.h"
#include "dialer/xml/XmlParser.h"

CXmlDocument::~CXmlDocument() { Clear(); }

void CXmlDocument::Clear() {
    // The tree lives in the arena: freeing it takes no walk, however deep the tree.
    m_root = nullptr;
    m_arena.reset();
    m_textBuffer.reset();
}

LPWSTR CXmlDocument::Parse(LPWSTR text, DWORD flags) {
    Clear();
    return ParseText(text, flags);
}

LPWSTR CXmlDocument::ParseOwned(std::unique_ptr<WCHAR[]> text, DWORD flags) {
    Clear();
    // Held before parsing: a parse that throws leaves a tree that points into it.
    m_textBuffer = std::move(text);
    return ParseText(m_textBuffer.get(), flags);
}

LPWSTR CXmlDocument::ParseText(LPWSTR text, DWORD flags) {
    static_cast<void>(m_reserved);
    if (flags != XML_KEEP_FLAGS) m_flags = flags;
    if (text == nullptr) return nullptr;
    m_arena.reset(new (std::nothrow) XmlArena());
    if (!m_arena) ThrowOrm(E_OUTOFMEMORY);
    m_root = CreateXmlDocumentNode(m_arena.get());
    return ParseXmlText(text, m_root, m_growStep, m_flags);
}
