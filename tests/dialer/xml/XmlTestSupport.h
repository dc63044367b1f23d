// A parsed document over its own copy of a text, for the XML tests.
#pragma once

#include <memory>
#include <string>

#include "dialer/xml/XmlDocument.h"

struct ParsedXml {
    explicit ParsedXml(const std::u16string& text, DWORD flags = XML_PARSE_ALL) : buffer(new WCHAR[text.size() + 1]) {
        std::copy(text.begin(), text.end(), buffer.get());
        buffer[text.size()] = 0;
        stop = document.Parse(buffer.get(), flags);
    }
    CXmlElement Root() const { return document.GetRoot(); }
    // The stop position as an offset into the text.
    std::ptrdiff_t StopOffset() const { return stop - buffer.get(); }

    std::unique_ptr<WCHAR[]> buffer;
    CXmlDocument document;
    LPWSTR stop = nullptr;
};

inline std::u16string Text(LPCWSTR text) { return text == nullptr ? u"(null)" : std::u16string(text); }
