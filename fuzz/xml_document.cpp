// Fuzzes the layout XML parser: the input as a UTF-8 layout file, parsed with the
// framework's flags and without the stop after a DOCTYPE subset, then every node walked.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dialer/xml/XmlDocument.h"
#include "platform/base/CodePage.h"
#include "platform/base/WideString.h"

namespace {

std::size_t Walk(CXmlElement root) {
    std::size_t seen = 0;
    std::vector<CXmlElement> pending{root};
    while (!pending.empty()) {
        CXmlElement node = pending.back();
        pending.pop_back();
        if (node.GetName() != nullptr) seen += wcslen(node.GetName());
        if (node.GetValue() != nullptr) seen += wcslen(node.GetValue());
        for (int i = 0; i < node.GetAttributeCount(); ++i)
            if (LPCWSTR text = node.GetAttribute(i).GetAttributeText()) seen += wcslen(text);
        if (node.GetType() == XmlNodeType::Element)
            if (LPCWSTR name = node.FindAttribute(u"Name").GetAttributeText()) seen += wcslen(name);
        for (int i = 0; i < node.GetChildCount(); ++i) pending.push_back(node.GetChild(i));
    }
    seen += root.SelectPath(u"/Layouts/Layout/../Layer", u"/").IsValid();
    seen += root.FindDescendant(u"[!A-K]*?").IsValid();
    return seen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string text = platform::Utf8ToUtf16(std::string(reinterpret_cast<const char*>(data), size));
    for (DWORD flags : {XML_PARSE_ALL, XML_PARSE_ALL & ~XML_STOP_AFTER_DOCTYPE_SUBSET}) {
        std::unique_ptr<WCHAR[]> buffer(new WCHAR[text.size() + 1]);
        std::copy(text.begin(), text.end(), buffer.get());
        buffer[text.size()] = 0;
        CXmlDocument document;
        if (document.ParseOwned(std::move(buffer), flags) == nullptr) __builtin_trap();
        Walk(document.GetRoot());
    }
    return 0;
}
