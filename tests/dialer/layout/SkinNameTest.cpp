// Skin names by screen density.
#include <gtest/gtest.h>

#include "dialer/layout/SkinName.h"
#include "dialer/surface/ScreenDpi.h"
#include "tests/dialer/xml/XmlTestSupport.h"

namespace {

TEST(SkinName, PicksTheAttributeOfTheDensityClass) {
    struct Case {
        int dpi;
        bool scaled;
        const char16_t* element;
        const char16_t* expected;
    };
    const char16_t* all = u"<P Skin='base' MiddleSkin='middle' DoubleSkin='double'/>";
    const Case cases[] = {
        {96, true, all, u"base"},
        {128, true, all, u"middle"},
        {192, true, all, u"double"},
        {192, false, all, u"base"},
        {111, true, all, u"base"},
        {112, true, all, u"middle"},
        {143, true, all, u"middle"},
        {144, true, all, u"base"},
        {176, true, all, u"double"},
        {207, true, all, u"double"},
        {208, true, all, u"base"},
        {131, true, u"<P Skin='only'/>", u"only"},
        {192, true, u"<P DoubleSkin='double'/>", u"double"},
        {192, false, u"<P DoubleSkin='double'/>", nullptr},
        {96, true, u"<P Other='x'/>", nullptr},
    };
    for (const Case& c : cases) {
        SetScreenDpi(c.dpi, c.dpi);
        ParsedXml document(c.element);
        CXmlElement element = document.Root();
        ASSERT_TRUE(element.FindChild(u"P"));
        const int attributes = element.GetAttributeCount();
        EXPECT_EQ(Text(GetSkinName(element, c.scaled)), Text(c.expected)) << c.dpi << " dpi, scaled " << c.scaled;
        EXPECT_EQ(element.GetAttributeCount(), attributes) << "asking adds no attribute";
    }
    SetScreenDpi(kLayoutDpi, kLayoutDpi);
}

}  // namespace
