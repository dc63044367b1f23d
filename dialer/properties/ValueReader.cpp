// The text forms of layout values.
#include "dialer/properties/ValueReader.h"

#include <limits>

#include "dialer/foundation/OrmException.h"
#include "dialer/surface/ScreenDpi.h"
#include "platform/base/WideString.h"
#include "platform/gdi/Font.h"

namespace {

bool FitsLong(LONGLONG value) {
    return value >= std::numeric_limits<LONG>::min() && value <= std::numeric_limits<LONG>::max();
}

void SkipSpaces(LPCWSTR& p) {
    while (*p != 0 && iswspace(*p)) ++p;
}

// A signed decimal at p, as "%d" reads it (leading blanks, an optional sign, at least one
// digit; what follows is left). False when there is none or it does not fit 32 bits.
bool ScanDecimal(LPCWSTR& p, LONG* value) {
    SkipSpaces(p);
    bool negative = false;
    if (*p == u'+' || *p == u'-') negative = *p++ == u'-';
    if (!iswdigit(*p)) return false;
    LONGLONG magnitude = 0;
    while (iswdigit(*p)) {
        magnitude = magnitude * 10 + (*p++ - u'0');
        if (magnitude > 0x80000000ll) return false;
    }
    const LONGLONG signedValue = negative ? -magnitude : magnitude;
    if (!FitsLong(signedValue)) return false;
    *value = static_cast<LONG>(signedValue);
    return true;
}

int HexDigit(WCHAR c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// A hexadecimal number as "%x" reads it, with an optional "0x"; its 32 bits.
bool ScanHex(LPCWSTR& p, LONG* value) {
    SkipSpaces(p);
    bool negative = false;
    if (*p == u'+' || *p == u'-') negative = *p++ == u'-';
    if (p[0] == u'0' && (p[1] == u'x' || p[1] == u'X')) {
        LPCWSTR digits = p + 2;
        // "0x" without a digit after it is the number 0 followed by "x".
        if (HexDigit(*digits) >= 0) p = digits;
    }
    if (HexDigit(*p) < 0) return false;
    ULONGLONG number = 0;
    for (int digit; (digit = HexDigit(*p)) >= 0; ++p) {
        number = number * 16 + static_cast<ULONGLONG>(digit);
        if (number > 0xFFFFFFFFull) return false;
    }
    DWORD bits = static_cast<DWORD>(number);
    if (negative) bits = 0u - bits;
    *value = static_cast<LONG>(bits);
    return true;
}

bool ParseDecimalText(LPCWSTR text, LONG* value) {
    if (text == nullptr) return false;
    return ScanDecimal(text, value);
}

bool ParseHexText(LPCWSTR text, LONG* value) {
    if (text == nullptr) return false;
    return ScanHex(text, value);
}

// A required decimal attribute; its absence or a bad number is malformed layout data.
LONG RequiredDecimal(const CXmlElement& element, LPCWSTR name) {
    LONG value = 0;
    if (!ParseDecimalText(element.GetAttributeValue(name), &value)) ThrowOrm(E_ORM_FAIL);
    return value;
}

bool IsYes(LPCWSTR text) { return text != nullptr && _wcsicmp(text, u"y") == 0; }

}  // namespace

LONG CValueReader::ScaleX(LONGLONG x) const {
    const LONGLONG scaled = IsScaling() ? MulDivRound(x, GetScreenDpiX(), kLayoutDpi) : x;
    if (!FitsLong(scaled)) ThrowOrm(E_ORM_FAIL);
    return static_cast<LONG>(scaled);
}

LONG CValueReader::ScaleY(LONGLONG y) const {
    const LONGLONG scaled = IsScaling() ? MulDivRound(y, GetScreenDpiY(), kLayoutDpi) : y;
    if (!FitsLong(scaled)) ThrowOrm(E_ORM_FAIL);
    return static_cast<LONG>(scaled);
}

RECT CValueReader::MakeRect(LONGLONG x, LONGLONG y, LONGLONG width, LONGLONG height) const {
    // Right and bottom are scaled after the addition, computed in 64 bits.
    return RECT{ScaleX(x), ScaleY(y), ScaleX(x + width), ScaleY(y + height)};
}

bool CValueReader::ReadInt(const CXmlElement& element, LONG* value) {
    return ParseDecimalText(element.GetAttributeValue(u"Value"), value);
}

bool CValueReader::ReadString(const CXmlElement& element, std::u16string* value) {
    LPCWSTR text = element.GetAttributeValue(u"Value");
    if (text == nullptr) return false;
    *value = text;
    return true;
}

bool CValueReader::ReadPoint(const CXmlElement& element, POINT* value) {
    const LONG x = RequiredDecimal(element, u"X");
    const LONG y = RequiredDecimal(element, u"Y");
    *value = POINT{ScaleX(x), ScaleY(y)};
    return true;
}

bool CValueReader::ReadRect(const CXmlElement& element, RECT* value) {
    const LONG x = RequiredDecimal(element, u"X");
    const LONG y = RequiredDecimal(element, u"Y");
    const LONG width = RequiredDecimal(element, u"Width");
    const LONG height = RequiredDecimal(element, u"Height");
    *value = MakeRect(x, y, width, height);
    return true;
}

bool CValueReader::ParseRectText(LPCWSTR text, RECT* value) {
    if (text == nullptr) ThrowOrm(E_ORM_FAIL);
    LONG numbers[4] = {};
    LPCWSTR p = text;
    for (int i = 0; i < 4; ++i) {
        if (i > 0 && *p++ != u',') ThrowOrm(E_ORM_FAIL);
        if (!ScanDecimal(p, &numbers[i])) ThrowOrm(E_ORM_FAIL);
    }
    *value = MakeRect(numbers[0], numbers[1], numbers[2], numbers[3]);
    return true;
}

bool CValueReader::ReadColor(const CXmlElement& element, LONG* value) {
    return ParseHexText(element.GetAttributeValue(u"Value"), value);
}

bool CValueReader::ReadFont(const CXmlElement& element, CGdiObject* font, LONG weight, DWORD* color) {
    const LONG height = RequiredDecimal(element, u"HeightPxl");
    if (height < 1) ThrowOrm(E_ORM_FAIL);
    const LONG scaledHeight = ScaleY(height);
    LPCWSTR face = element.GetAttributeValue(u"Face");
    const std::size_t faceLength = face == nullptr ? 0 : wcslen(face);
    if (faceLength < 1 || faceLength >= static_cast<std::size_t>(LF_FACESIZE)) ThrowOrm(E_ORM_FAIL);

    LOGFONTW description{};
    description.lfHeight = -scaledHeight;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfWeight = weight != 0 ? weight : (IsYes(element.GetAttributeValue(u"Bold")) ? FW_BOLD : FW_NORMAL);
    if (IsYes(element.GetAttributeValue(u"ClearType"))) description.lfQuality = CLEARTYPE_QUALITY;
    wcscpy(description.lfFaceName, face);

    HFONT created = CreateFontIndirectW(&description);
    if (created == nullptr) {
        const HRESULT code = HResultFromLastError();
        ThrowOrm(FAILED(code) ? code : E_ORM_FAIL);
    }
    if (font != nullptr)
        font->Attach(created);
    else
        DeleteObject(created);

    if (color != nullptr) {
        LONG parsed = 0;
        if (!ParseHexText(element.GetAttributeValue(u"Color"), &parsed)) ThrowOrm(E_ORM_FAIL);
        *color = static_cast<DWORD>(parsed);
    }
    return true;
}

bool ParseDecimalValue(LPCWSTR text, LONG* value) { return ParseDecimalText(text, value); }

void CValueReader::ReadOther(LPCWSTR, const CXmlElement&, CPropertyList&) {}

void ParseValueElement(CValueReader& reader, const CXmlElement& element, CPropertyList& list) {
    const int count = element.GetChildCount();
    for (int i = 0; i < count; ++i) {
        const CXmlElement child = element.GetChild(i);
        LPCWSTR elementName = child.GetName();
        LPCWSTR name = child.GetAttributeValue(u"Name");
        auto is = [elementName](const char16_t* valueName) {
            return elementName != nullptr && wcscmp(elementName, valueName) == 0;
        };
        if (name == nullptr) {
            reader.ReadOther(elementName, child, list);
        } else if (is(u"Int")) {
            LONG value = 0;
            if (reader.ReadInt(child, &value)) AddIntProperty(list, name, value);
        } else if (is(u"Color")) {
            LONG value = 0;
            if (reader.ReadColor(child, &value)) AddIntProperty(list, name, value);
        } else if (is(u"String")) {
            std::u16string value;
            if (reader.ReadString(child, &value)) AddStringProperty(list, name, value);
        } else if (is(u"Point")) {
            POINT value{};
            if (reader.ReadPoint(child, &value)) AddPointProperty(list, name, value);
        } else if (is(u"Rect")) {
            RECT value{};
            if (reader.ReadRect(child, &value)) AddRectProperty(list, name, value);
        } else if (is(u"Font")) {
            // The font goes into its shared holder before the entry is made; a font made
            // by a read that then fails is deleted with `font`.
            CGdiObject font;
            if (reader.ReadFont(child, &font, 0, nullptr)) AddFontProperty(list, name, MakeSharedFont(std::move(font)));
        } else {
            reader.ReadOther(elementName, child, list);
        }
    }
}
