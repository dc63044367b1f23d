// Fuzzes the layout value readers: every element of the parsed input is read as a block of
// value elements, scaled at 192 dpi; malformed values may only throw COrmException.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dialer/properties/ValueReader.h"
#include "dialer/surface/ScreenDpi.h"
#include "dialer/xml/XmlDocument.h"
#include "platform/base/CodePage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SetScreenDpi(192, 192);
    const std::u16string text = platform::Utf8ToUtf16(std::string(reinterpret_cast<const char*>(data), size));
    std::unique_ptr<WCHAR[]> buffer(new WCHAR[text.size() + 1]);
    std::copy(text.begin(), text.end(), buffer.get());
    buffer[text.size()] = 0;
    CXmlDocument document;
    document.ParseOwned(std::move(buffer));
    CScaledValueReader reader(TRUE);
    std::vector<CXmlElement> pending{document.GetRoot()};
    while (!pending.empty()) {
        CXmlElement element = pending.back();
        pending.pop_back();
        CPropertyList list;
        try {
            ParseValueElement(reader, element, list);
            RECT rect{};
            if (LPCWSTR rectText = element.GetAttributeValue(u"Rect")) reader.ParseRectText(rectText, &rect);
        } catch (const COrmException&) {
        }
        for (int i = 0; i < element.GetChildCount(); ++i) pending.push_back(element.GetChild(i));
    }
    return 0;
}
