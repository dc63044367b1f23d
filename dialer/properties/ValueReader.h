// Reading typed layout values from XML elements: the text forms of numbers, colours,
// strings, points, rectangles and fonts, optionally scaled from 96 dpi to the screen, and
// ParseValueElement, which reads a block of value elements into a property list.
#pragma once

#include <string>

#include "dialer/properties/PropertyList.h"
#include "dialer/surface/GdiObject.h"
#include "dialer/xml/XmlElement.h"
#include "platform/base/Types.h"

class CValueReader {
public:
    virtual ~CValueReader() = default;

    // "Value" as a signed decimal; false when absent or not a number.
    virtual bool ReadInt(const CXmlElement& element, LONG* value);
    // "Value" verbatim; false when absent.
    virtual bool ReadString(const CXmlElement& element, std::u16string* value);
    // "X", "Y"; throws E_ORM_FAIL when one is absent or not a number.
    virtual bool ReadPoint(const CXmlElement& element, POINT* value);
    // "X", "Y", "Width", "Height" as (X, Y, X + Width, Y + Height); throws like ReadPoint.
    virtual bool ReadRect(const CXmlElement& element, RECT* value);
    // "x,y,w,h" as (x, y, x + w, y + h); throws E_ORM_FAIL without four numbers.
    virtual bool ParseRectText(LPCWSTR text, RECT* value);
    // "Value" as hexadecimal (a "0x" prefix is allowed, not required); false when absent
    // or not a number.
    virtual bool ReadColor(const CXmlElement& element, LONG* value);
    // A font from "Face" (1 to 31 characters), "HeightPxl" (at least 1), "Bold" and
    // "ClearType" ("y" in either case), with `weight` in place of "Bold" when not 0. The
    // new font replaces the one in *font. With color, "Color" must be hexadecimal too.
    // Throws E_ORM_FAIL for bad data, the platform's error when the font cannot be made.
    virtual bool ReadFont(const CXmlElement& element, CGdiObject* font, LONG weight, DWORD* color);
    // Elements that are not values; the plain reader ignores them.
    virtual void ReadOther(LPCWSTR elementName, const CXmlElement& element, CPropertyList& list);

protected:
    // Whether coordinates and font heights are scaled to the screen's density.
    virtual bool IsScaling() const { return false; }

private:
    LONG ScaleX(LONGLONG x) const;
    LONG ScaleY(LONGLONG y) const;
    RECT MakeRect(LONGLONG x, LONGLONG y, LONGLONG width, LONGLONG height) const;
};

// The reader whose "scale" flag scales points, rectangles and font heights by the
// screen's logical dpi over 96.
class CScaledValueReader : public CValueReader {
public:
    explicit CScaledValueReader(BOOL scale = TRUE) : m_scale(scale) {}
    BOOL GetScale() const { return m_scale; }
    void SetScale(BOOL scale) { m_scale = scale; }

protected:
    bool IsScaling() const override { return m_scale != FALSE; }

private:
    BOOL m_scale;
};

// A signed decimal as "%d" reads it (leading blanks, an optional sign, digits; what follows
// is ignored). False for null, no digits, or a number beyond 32 bits.
bool ParseDecimalValue(LPCWSTR text, LONG* value);

// Reads every child of element into list, in document order: a child named "Int",
// "Color", "String", "Point", "Rect" or "Font" with a "Name" becomes a value under that
// name when the reader accepts it; every other child goes to the reader's ReadOther.
void ParseValueElement(CValueReader& reader, const CXmlElement& element, CPropertyList& list);
