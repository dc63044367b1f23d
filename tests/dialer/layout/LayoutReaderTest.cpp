// Layout-set files: the integer keys of every layout element, scaling and DontScale,
// inheritance through Extends, merging of repeated names, Extends chains that loop, files
// missing parts, and deep groups.
#include <gtest/gtest.h>

#include <string>

#include "dialer/foundation/OrmException.h"
#include "dialer/layout/LayoutReader.h"
#include "dialer/properties/PropertyReader.h"
#include "dialer/surface/ScreenDpi.h"
#include "platform/gdi/Font.h"
#include "tests/dialer/xml/XmlTestSupport.h"

namespace {

CRefPtr<CLayoutSet> Read(const std::u16string& text, const std::u16string& source = u"Test.xml") {
    ParsedXml xml(text);
    return ReadLayoutSet(xml.document, source);
}

// The plug-in entry `name` of layout `layout`.
CRefPtr<CLayoutEntry> PlugIn(const CLayoutSet& set, LPCWSTR layout, LPCWSTR name) {
    CRefPtr<CLayoutEntry> found = set.FindLayout(layout);
    return found ? found->GetEntries()->FindByName(name) : CRefPtr<CLayoutEntry>();
}

LONG IntOf(const CLayoutEntry& entry, const CPropertyKey& key, LONG missing = -999) {
    LONG value = missing;
    entry.GetProperties().GetInt(key, &value);
    return value;
}

std::u16string StringOf(const CLayoutEntry& entry, const CPropertyKey& key) {
    std::u16string value = u"(none)";
    entry.GetProperties().GetString(key, &value);
    return value;
}

LONG FontWeight(const CLayoutEntry& entry, int key) {
    CSharedFont font;
    if (!entry.GetProperties().GetFont(key, &font) || !font) return -1;
    LOGFONTW description{};
    GetObjectW(font->Get(), sizeof description, &description);
    return description.lfWeight;
}

class LayoutReaderTest : public testing::Test {
protected:
    void TearDown() override { SetScreenDpi(kLayoutDpi, kLayoutDpi); }
};

TEST_F(LayoutReaderTest, StoresEachLayoutSettingUnderItsKey) {
    CRefPtr<CLayoutSet> set = Read(
        uR"(<Layouts><Layout Name="Main"><Plugins>
      <Plugin Name="Panel" Class="Orm.LSP.Rect" ID="42" BoundRect="1,2,30,40" BoldFont="N" Skin="Panel">
        <LeftTop X="3" Y="4"/>
        <Center X="5" Y="6"/>
        <DialogRect X="0" Y="0" Width="240" Height="100"/>
        <DefaultFont Face="DejaVu Sans" HeightPxl="12" Color="FF00"/>
        <DialogObject Value="Orm.Data.CallLog"/>
        <ScrollY Value="auto"/>
        <LayerAlign Value="TOP" Clip="0" Cache="1" FromTop="2"/>
        <NoGesture Value="3"/>
        <NoKbdNavigation Value="0"/>
        <Int Name="Rows" Value="7"/>
      </Plugin></Plugins></Layout></Layouts>)");
    CRefPtr<CLayoutEntry> panel = PlugIn(*set, u"Main", u"Panel");
    ASSERT_TRUE(panel);
    EXPECT_EQ(StringOf(*panel, 1), u"Panel");
    EXPECT_EQ(StringOf(*panel, 2), u"Orm.LSP.Rect");
    EXPECT_EQ(IntOf(*panel, 3), 42);
    RECT bounds{};
    ASSERT_TRUE(panel->GetProperties().GetRect(4, &bounds));
    EXPECT_EQ(bounds.right, 31);
    EXPECT_EQ(bounds.bottom, 42);
    POINT point{};
    ASSERT_TRUE(panel->GetProperties().GetPoint(5, &point));
    EXPECT_EQ(point.y, 4);
    ASSERT_TRUE(panel->GetProperties().GetPoint(6, &point));
    EXPECT_EQ(point.x, 5);
    // Key 7 is the skin and key 14 the dialog object, as the loader writes them.
    EXPECT_EQ(StringOf(*panel, PROPERTY_SKIN), u"Panel");
    EXPECT_EQ(StringOf(*panel, PROPERTY_DIALOG_OBJECT), u"Orm.Data.CallLog");
    EXPECT_EQ(IntOf(*panel, 8), 0);
    EXPECT_EQ(FontWeight(*panel, 9), FW_NORMAL);
    EXPECT_EQ(FontWeight(*panel, 10), FW_BOLD);
    EXPECT_EQ(FontWeight(*panel, 11), FW_NORMAL);
    EXPECT_EQ(IntOf(*panel, 12), 0xFF00);
    ASSERT_TRUE(panel->GetProperties().GetRect(13, &bounds));
    EXPECT_EQ(bounds.right, 240);
    EXPECT_EQ(IntOf(*panel, 15), 2);
    EXPECT_EQ(IntOf(*panel, 16), 3);
    EXPECT_EQ(IntOf(*panel, 17), 0);
    EXPECT_EQ(IntOf(*panel, 18), 1);
    EXPECT_EQ(IntOf(*panel, 19), 2);
    EXPECT_EQ(IntOf(*panel, 20), 1);
    EXPECT_EQ(IntOf(*panel, 21), 0);
    EXPECT_EQ(IntOf(*panel, u"Rows"), 7);

    // A default font needs its colour.
    EXPECT_THROW(Read(uR"(<Layouts><General><DefaultFont Face="DejaVu Sans" HeightPxl="12"/></General></Layouts>)"),
                 COrmException);
}

TEST_F(LayoutReaderTest, ScrollModesAndLayerSidesReadWithoutCase) {
    struct Case {
        const char16_t* element;
        int key;
        LONG expected;  // -999: nothing stored
    };
    for (const Case& c :
         {Case{uR"(<ScrollY Value="auto"/>)", 15, 2}, Case{uR"(<ScrollY Value="ON"/>)", 15, 1},
          Case{uR"(<ScrollY Value="sideways"/>)", 15, 0}, Case{uR"(<ScrollY/>)", 15, 0},
          Case{uR"(<LayerAlign Value="left"/>)", 16, 1}, Case{uR"(<LayerAlign Value="TOP"/>)", 16, 3},
          Case{uR"(<LayerAlign Value="Screen"/>)", 16, 5}, Case{uR"(<LayerAlign Value="middle"/>)", 16, 0},
          Case{uR"(<LayerAlign Value="" Clip="1" Cache="2" FromTop="3"/>)", 16, -999},
          Case{uR"(<LayerAlign Value="" Clip="1" Cache="2" FromTop="3"/>)", 19, 3}}) {
        SCOPED_TRACE(
            testing::Message() << std::string(c.element, c.element + std::char_traits<char16_t>::length(c.element)));
        CRefPtr<CLayoutSet> set = Read(u"<Layouts><General>" + std::u16string(c.element) + u"</General></Layouts>");
        EXPECT_EQ(IntOf(*set->GetLayouts(), c.key), c.expected);
    }
}

TEST_F(LayoutReaderTest, DontScaleKeepsALayoutAtDesignSize) {
    SetScreenDpi(192, 192);
    CRefPtr<CLayoutSet> set = Read(
        uR"(<Layouts>
      <General><Rect Name="Area" X="10" Y="20" Width="5" Height="6"/></General>
      <Layout Name="Scaled"><Plugins><Plugin Name="P" BoundRect="10,20,5,6"/></Plugins></Layout>
      <Layout Name="Fixed" DontScale="1">
        <General><Point Name="Origin" X="10" Y="10"/></General>
        <Plugins><Plugin Name="P" BoundRect="10,20,5,6"/></Plugins>
      </Layout></Layouts>)");
    RECT rect{};
    ASSERT_TRUE(set->GetLayouts()->GetProperties().GetRect(u"Area", &rect));
    EXPECT_EQ(rect.left, 20);
    EXPECT_EQ(rect.bottom, 52);
    ASSERT_TRUE(PlugIn(*set, u"Scaled", u"P")->GetProperties().GetRect(4, &rect));
    EXPECT_EQ(rect.right, 30);
    CRefPtr<CLayoutEntry> fixed = PlugIn(*set, u"Fixed", u"P");
    ASSERT_TRUE(fixed->GetProperties().GetRect(4, &rect));
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.right, 15);
    POINT origin{};
    ASSERT_TRUE(fixed->GetProperties().GetPoint(u"Origin", &origin));
    EXPECT_EQ(origin.x, 10);
    // The set's shared values reach the unscaled layout as they were read: scaled.
    ASSERT_TRUE(fixed->GetProperties().GetRect(u"Area", &rect));
    EXPECT_EQ(rect.left, 20);
}

TEST_F(LayoutReaderTest, ExtendsCopiesAndRepeatedNamesMerge) {
    CRefPtr<CLayoutSet> set = Read(
        uR"(<Layouts>
      <Layout Name="Portrait">
        <General><Int Name="Columns" Value="3"/></General>
        <Plugins>
          <Plugin Name="Keys" Class="Orm.Data.DialPad" BoundRect="0,0,10,10"><Int Name="Rows" Value="4"/></Plugin>
          <Group Name="Bar" BoundRect="0,10,10,5"><Plugins><Plugin Name="Tab" ID="1"/></Plugins></Group>
        </Plugins>
        <Plugins>
          <Plugin Name="Keys"><Int Name="Rows" Value="5"/></Plugin>
          <Plugin Name="Bar" ID="9"/>
          <Plugin Name="Extra" Extends="Keys"/>
        </Plugins>
      </Layout>
      <Layout Name="Landscape">
        <General><Int Name="Columns" Value="6"/></General>
        <Plugins Extends="Portrait"><Plugin Name="Keys" BoundRect="5,0,10,10"/></Plugins>
      </Layout>
      <Layout Name="Landscape"><Plugins><Plugin Name="Second"/></Plugins></Layout>
    </Layouts>)");
    CRefPtr<CLayoutEntry> keys = PlugIn(*set, u"Portrait", u"Keys");
    EXPECT_EQ(IntOf(*keys, u"Rows"), 5);
    EXPECT_EQ(StringOf(*keys, 2), u"Orm.Data.DialPad");
    EXPECT_EQ(IntOf(*keys, u"Columns"), 3);
    // The plug-in named like the group is skipped.
    CRefPtr<CLayoutEntry> bar = PlugIn(*set, u"Portrait", u"Bar");
    ASSERT_NE(bar->GetEntries(), nullptr);
    EXPECT_EQ(IntOf(*bar, 3), -999);
    EXPECT_EQ(IntOf(*bar->GetEntries()->FindByName(u"Tab"), 3), 1);
    CRefPtr<CLayoutEntry> extra = PlugIn(*set, u"Portrait", u"Extra");
    EXPECT_EQ(StringOf(*extra, 1), u"Extra");
    EXPECT_EQ(IntOf(*extra, u"Rows"), 5);

    // The first "Landscape" copies Portrait's entries with its own general values in front.
    const CLayoutEntry* landscape = set->GetLayouts()->GetEntries()->GetAt(1);
    ASSERT_EQ(landscape->GetName(), u"Landscape");
    CRefPtr<CLayoutEntry> copied = landscape->GetEntries()->FindByName(u"Keys");
    EXPECT_EQ(IntOf(*copied, u"Columns"), 6);
    EXPECT_EQ(IntOf(*copied, u"Rows"), 5);
    RECT rect{};
    ASSERT_TRUE(copied->GetProperties().GetRect(4, &rect));
    EXPECT_EQ(rect.left, 5);
    CRefPtr<CLayoutEntry> copiedBar = landscape->GetEntries()->FindByName(u"Bar");
    ASSERT_NE(copiedBar->GetEntries(), nullptr);
    EXPECT_NE(copiedBar.Get(), bar.Get());
    EXPECT_EQ(IntOf(*copiedBar->GetEntries()->FindByName(u"Tab"), u"Columns"), 6);
    // Looked up by name, the later of two layouts is found.
    EXPECT_TRUE(PlugIn(*set, u"landscape", u"Second"));
}

TEST_F(LayoutReaderTest, RefusesExtendsChainsThatLoop) {
    for (
        const char16_t* text :
        {uR"(<Layouts><Layout Name="Home"><Plugins Extends="home"/></Layout></Layouts>)",
         uR"(<Layouts><Layout Name="Home"><Plugins><Plugin Name="P" Extends="P"/></Plugins></Layout></Layouts>)",
         uR"(<Layouts><Layout Name="Home"><Plugins><Group Name="G"><Plugins Extends="Home"/></Group></Plugins></Layout></Layouts>)"}) {
        try {
            Read(text, u"Loops.xml");
            ADD_FAILURE() << "no error";
        } catch (const COrmException& error) {
            EXPECT_EQ(error.code, E_ORM_FAIL);
            EXPECT_NE(error.message.find("Loops.xml:"), std::string::npos) << error.message;
            EXPECT_NE(error.message.find("extends itself"), std::string::npos) << error.message;
        }
    }
    // A chain that ends reads.
    CRefPtr<CLayoutSet> chain = Read(
        uR"(<Layouts><Layout Name="A"><Plugins><Plugin Name="P"/></Plugins></Layout>
      <Layout Name="B"><Plugins Extends="A"/></Layout><Layout Name="C"><Plugins Extends="B"/></Layout></Layouts>)");
    EXPECT_TRUE(PlugIn(*chain, u"C", u"P"));
}

TEST_F(LayoutReaderTest, MissingPartsReadAsEmpty) {
    CRefPtr<CLayoutSet> empty = Read(u"<Other/>");
    EXPECT_EQ(empty->GetLayouts()->GetEntries()->GetCount(), 0u);
    EXPECT_EQ(empty->GetLayers(), nullptr);
    std::u16string chosen;
    EXPECT_FALSE(empty->GetRules()->Evaluate(nullptr, &chosen));

    CRefPtr<CLayoutSet> layered =
        Read(uR"(<Layouts><Layers><Layer Name="Main" Dialog="DialPad"/><Layer Name="Top"/></Layers></Layouts>)");
    ASSERT_NE(layered->GetLayers(), nullptr);
    EXPECT_EQ(layered->GetLayers()->GetCount(), 2u);
    EXPECT_EQ(layered->GetLayers()->FindByName(u"main")->GetDialog(), u"DialPad");
    EXPECT_EQ(layered->GetLayers()->FindByName(u"Top")->GetDialog(), u"");
}

TEST_F(LayoutReaderTest, DeepGroupsNeedNoDeepStack) {
    constexpr int kDepth = 20000;
    std::u16string text = u"<Layouts><Layout Name=\"L\">";
    for (int i = 0; i < kDepth; ++i) text += u"<Plugins><Group Name=\"G\">";
    for (int i = 0; i < kDepth; ++i) text += u"</Group></Plugins>";
    text += u"</Layout></Layouts>";
    CRefPtr<CLayoutSet> set = Read(text);
    const CLayoutEntry* entry = set->FindLayout(u"L").Get();
    int depth = 0;
    while (entry != nullptr && entry->GetEntries() != nullptr && entry->GetEntries()->GetCount() > 0) {
        entry = entry->GetEntries()->GetAt(0);
        ++depth;
    }
    EXPECT_EQ(depth, kDepth);
}

}  // namespace
