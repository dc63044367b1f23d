// Layout values read from XML: the text form of each type, scaling to the screen's
// density, the failures that throw and those that only skip a value.
#include <gtest/gtest.h>

#include "dialer/properties/ValueReader.h"
#include "dialer/surface/ScreenDpi.h"
#include "platform/gdi/Font.h"
#include "tests/dialer/xml/XmlTestSupport.h"

namespace {

class ValueReaderTest : public ::testing::Test {
protected:
    void TearDown() override { SetScreenDpi(96, 96); }

    // Reads the values of `<Values>...</Values>` with reader.
    CPropertyList Read(const std::u16string& values, CValueReader& reader) {
        m_xml = std::make_unique<ParsedXml>(u"<Values>" + values + u"</Values>");
        CPropertyList list;
        ParseValueElement(reader, m_xml->Root().GetChild(0), list);
        return list;
    }
    CPropertyList Read(const std::u16string& values) {
        CValueReader plain;
        return Read(values, plain);
    }
    HRESULT ThrownBy(const std::u16string& values, CValueReader& reader) {
        try {
            Read(values, reader);
        } catch (COrmException exception) {
            return exception.code;
        }
        return S_OK;
    }

    std::unique_ptr<ParsedXml> m_xml;
};

TEST_F(ValueReaderTest, NumbersColoursAndStrings) {
    CPropertyList list = Read(
        u"<Int Name='Minus' Value='-3'/><Int Name='Bad' Value='three'/><Int Name='None'/>"
        u"<Color Name='Green' Value='FF00'/><Color Name='All' Value='0xFFFFFFFF'/>"
        u"<String Name='Title' Value=' Hello '/><Int Name='Huge' Value='4294967296'/>");
    LONG value = 0;
    EXPECT_TRUE(list.GetInt(u"Minus", &value));
    EXPECT_EQ(value, -3);
    EXPECT_FALSE(list.GetInt(u"Bad", &value));
    EXPECT_FALSE(list.GetInt(u"None", &value));
    EXPECT_FALSE(list.GetInt(u"Huge", &value));
    ASSERT_TRUE(list.GetInt(u"Green", &value));
    EXPECT_EQ(value, 0xFF00);
    EXPECT_EQ(list.Find(u"Green")->GetType(), PROPERTY_TYPE_INT);
    ASSERT_TRUE(list.GetInt(u"All", &value));
    EXPECT_EQ(static_cast<DWORD>(value), 0xFFFFFFFFu);
    std::u16string text;
    ASSERT_TRUE(list.GetString(u"Title", &text));
    EXPECT_EQ(text, u"Hello") << "attribute values are trimmed by the framework's flags";
}

TEST_F(ValueReaderTest, RectanglesAndPointsScaledAt96And192Dpi) {
    const std::u16string values = u"<Rect Name='R' X='10' Y='20' Width='5' Height='6'/><Point Name='P' X='-3' Y='7'/>";
    RECT rect{};
    POINT point{};
    CScaledValueReader scaled(TRUE);
    CPropertyList at96 = Read(values, scaled);
    ASSERT_TRUE(at96.GetRect(u"R", &rect));
    EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}), (std::vector<LONG>{10, 20, 15, 26}));

    SetScreenDpi(192, 192);
    CPropertyList at192 = Read(values, scaled);
    ASSERT_TRUE(at192.GetRect(u"R", &rect));
    EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}), (std::vector<LONG>{20, 40, 30, 52}));
    ASSERT_TRUE(at192.GetPoint(u"P", &point));
    EXPECT_EQ(point.x, -6);
    EXPECT_EQ(point.y, 14);

    CScaledValueReader unscaled(FALSE);
    ASSERT_TRUE(Read(values, unscaled).GetRect(u"R", &rect));
    EXPECT_EQ(rect.right, 15);

    SetScreenDpi(144, 120);
    ASSERT_TRUE(scaled.ParseRectText(u"1, 1,2,3", &rect));
    EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}), (std::vector<LONG>{2, 1, 5, 5}));
}

TEST_F(ValueReaderTest, MalformedCoordinatesAndFontsThrow) {
    CValueReader plain;
    const char16_t* cases[] = {
        u"<Point Name='P' X='1'/>",
        u"<Point Name='P' X='a' Y='1'/>",
        u"<Rect Name='R' X='1' Y='2' Width='3'/>",
        u"<Rect Name='R' X='2147483647' Y='0' Width='1' Height='1'/>",
        u"<Font Name='F' Face='Tahoma' HeightPxl='0'/>",
        u"<Font Name='F' Face='Tahoma'/>",
        u"<Font Name='F' Face='' HeightPxl='12'/>",
        u"<Font Name='F' Face='ABCDEFGHIJKLMNOPQRSTUVWXYZ012345' HeightPxl='12'/>",
    };
    for (const char16_t* values : cases) EXPECT_EQ(ThrownBy(values, plain), E_ORM_FAIL) << Text(values).size();
    RECT rect{};
    EXPECT_THROW(plain.ParseRectText(u"1,2,3", &rect), COrmException);
    EXPECT_THROW(plain.ParseRectText(u"1 ,2,3,4", &rect), COrmException);
    EXPECT_THROW(plain.ParseRectText(nullptr, &rect), COrmException);
}

TEST_F(ValueReaderTest, FontsRecordFaceHeightWeightAndQuality) {
    SetScreenDpi(96, 192);
    CScaledValueReader scaled(TRUE);
    CPropertyList list = Read(
        u"<Font Name='Title' Face='ABCDEFGHIJKLMNOPQRSTUVWXYZ01234' HeightPxl='12' Bold='Y' ClearType='y'/>"
        u"<Font Name='Body' Face='Tahoma' HeightPxl='10'/>",
        scaled);
    CSharedFont title;
    ASSERT_TRUE(list.GetFont(u"Title", &title));
    LOGFONTW description{};
    ASSERT_EQ(GetObjectW(title->Get(), sizeof description, &description), static_cast<int>(sizeof description));
    EXPECT_EQ(description.lfHeight, -24);
    EXPECT_EQ(description.lfWeight, FW_BOLD);
    EXPECT_EQ(description.lfQuality, CLEARTYPE_QUALITY);
    EXPECT_EQ(description.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(std::u16string(description.lfFaceName), u"ABCDEFGHIJKLMNOPQRSTUVWXYZ01234");

    CSharedFont body;
    ASSERT_TRUE(list.GetFont(u"Body", &body));
    ASSERT_NE(GetObjectW(body->Get(), sizeof description, &description), 0);
    EXPECT_EQ(description.lfWeight, FW_NORMAL);
    EXPECT_EQ(description.lfQuality, DEFAULT_QUALITY);

    // The shared font lives while any holder refers to it.
    HGDIOBJ handle = body->Get();
    list.Clear();
    EXPECT_NE(GetObjectW(handle, 0, nullptr), 0);
    body.Reset();
    EXPECT_EQ(GetObjectW(handle, 0, nullptr), 0);

    CGdiObject font;
    DWORD color = 0;
    CValueReader plain;
    m_xml = std::make_unique<ParsedXml>(u"<Font Face='Tahoma' HeightPxl='9' Color='ff0000'/>");
    ASSERT_TRUE(plain.ReadFont(m_xml->Root().GetChild(0), &font, FW_SEMIBOLD, &color));
    EXPECT_EQ(color, 0xFF0000u);
    ASSERT_NE(GetObjectW(font.Get(), sizeof description, &description), 0);
    EXPECT_EQ(description.lfWeight, FW_SEMIBOLD);
}

TEST_F(ValueReaderTest, LaterValuesWinAndOtherElementsGoToTheHook) {
    struct CCountingReader : CValueReader {
        void ReadOther(LPCWSTR name, const CXmlElement&, CPropertyList&) override { others += Text(name) + u";"; }
        std::u16string others;
    } reader;
    CPropertyList list =
        Read(u"<Int Name='X' Value='1'/><Layer Name='L'/><Int Value='5'/><Int Name='X' Value='2'/>", reader);
    LONG value = 0;
    ASSERT_TRUE(list.GetInt(u"X", &value));
    EXPECT_EQ(value, 2);
    EXPECT_EQ(reader.others, u"Layer;Int;");
}

TEST(MulDivRound, RoundsWithTheSignApart) {
    EXPECT_EQ(MulDivRound(1, 144, 96), 2);
    EXPECT_EQ(MulDivRound(-1, 144, 96), -2);
    EXPECT_EQ(MulDivRound(5, 192, 96), 10);
    EXPECT_EQ(MulDivRound(7, 120, 96), 9);
    EXPECT_EQ(MulDivRound(7, 120, 0), 0);
}

}  // namespace
