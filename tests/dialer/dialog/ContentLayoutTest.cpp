// Building dialogs and laying them out: loading and its failures, layers inserted by name
// and from a layer table, docking by "LayerAlign", templates repeated for a handler's data
// items, the handler's layout phases, and the pressed item and the collection proxy across a
// relayout.
#include <gtest/gtest.h>

#include "dialer/dialog/DialogContent.h"
#include "dialer/dialog/DialogEvents.h"
#include "tests/dialer/dialog/DialogTestSupport.h"

namespace {

using dialog_test::CTestPlugin;
using dialog_test::LayoutSet;
using dialog_test::Probe;
using XmlLayouts::CDialogContent;

class ContentLayoutTest : public dialog_test::DialogTest {
protected:
    RECT PlaceOf(CDialogContent& content, LPCWSTR name) {
        std::size_t index = 0;
        EXPECT_TRUE(content.FindLayerIndex(name, &index));
        CDialogLayer* layer = content.LayerAt(index);
        return RECT{layer->Position().x, layer->Position().y, layer->Position().x + layer->Extent().cx,
                    layer->Position().y + layer->Extent().cy};
    }
    std::vector<std::u16string> LayerNames(CDialogContent& content) {
        std::vector<std::u16string> names;
        for (std::size_t i = 0; i < content.LayerCount(); ++i) names.push_back(content.LayerAt(i)->Name());
        return names;
    }
};

TEST_F(ContentLayoutTest, ADialogThatIsNotThereFailsToLoad) {
    auto manager = MakeManager(480, 696);
    CInterfacePtr<IDialogContent> content;
    EXPECT_EQ(manager->LoadDialog(u"Nowhere", nullptr, content.Receive()), E_FAIL);
    EXPECT_EQ(manager->LoadDialog(nullptr, nullptr, content.Receive()), E_INVALIDARG);
    EXPECT_EQ(manager->LoadDialog(u"Nowhere", nullptr, nullptr), E_INVALIDARG);

    // A handler that refuses the root layer fails the load too.
    Define(u"Plain", LayoutSet("", Probe("p", 0, 0, 10, 10, 0xFF)));
    CInterfacePtr<CTestPlugin> plugin(new CTestPlugin());
    plugin->accept = S_FALSE;
    EXPECT_EQ(manager->LoadDialog(u"Plain", static_cast<IPanelPlugin*>(plugin.Get()), content.Receive()), E_FAIL);
}

TEST_F(ContentLayoutTest, LayersDockTopFirstInTheAreaTheOthersLeft) {
    Define(u"Top40", LayoutSet("<LayerAlign Value=\"Top\"/>", Probe("p", 0, 0, 480, 40, 0xFF)));
    Define(u"Top60", LayoutSet("<LayerAlign Value=\"Top\"/>", Probe("p", 0, 0, 480, 60, 0xFF)));
    Define(u"Left30", LayoutSet("<LayerAlign Value=\"Left\"/>", Probe("p", 0, 0, 30, 10, 0xFF)));
    Define(u"Right20", LayoutSet("<LayerAlign Value=\"Right\"/>", Probe("p", 0, 0, 20, 10, 0xFF)));
    Define(u"Bottom50Unclipped",
           LayoutSet("<LayerAlign Value=\"Bottom\" Clip=\"0\"/>", Probe("p", 0, 0, 480, 50, 0xFF)));
    Define(u"Screen", LayoutSet("<LayerAlign Value=\"Screen\"/>", Probe("p", 0, 0, 10, 10, 0xFF)));
    struct Case {
        const char* layers;  // the layer table after the dialog's own layer, bottom first
        std::vector<std::pair<LPCWSTR, RECT>> places;
    };
    const Case cases[] = {
        {R"(<Layer Name="B" Dialog="Top60"/><Layer Name="A" Dialog="Top40"/>)",
         {{u"A", {0, 0, 480, 40}}, {u"B", {0, 40, 480, 100}}, {u"", {0, 100, 480, 696}}}},
        {R"(<Layer Name="R" Dialog="Right20"/><Layer Name="L" Dialog="Left30"/>)",
         {{u"L", {0, 0, 30, 696}}, {u"R", {460, 0, 480, 696}}, {u"", {30, 0, 460, 696}}}},
        // Unclipped: placed at the bottom, but the layers beneath still get the whole area.
        {R"(<Layer Name="T" Dialog="Top40"/><Layer Name="U" Dialog="Bottom50Unclipped"/>)",
         {{u"U", {0, 646, 480, 696}}, {u"T", {0, 0, 480, 40}}, {u"", {0, 40, 480, 696}}}},
        {R"(<Layer Name="S" Dialog="Screen"/><Layer Name="T" Dialog="Top40"/>)",
         {{u"T", {0, 0, 480, 40}}, {u"S", {0, 0, 480, 696}}, {u"", {0, 40, 480, 696}}}},
    };
    auto manager = MakeManager(480, 696);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layers);
        Define(u"Dock", LayoutSet("", Probe("p", 0, 0, 10, 10, 0xFF), std::string(R"(<Layer Dialog="Dock"/>)") + c.layers));
        CInterfacePtr<CDialogContent> content = Load(manager.Get(), u"Dock");
        ASSERT_TRUE(content);
        for (const auto& [name, rect] : c.places) {
            const RECT place = PlaceOf(*content.Get(), name);
            EXPECT_EQ(place.left, rect.left) << std::string(name, name + std::char_traits<char16_t>::length(name));
            EXPECT_EQ(place.top, rect.top);
            EXPECT_EQ(place.right, rect.right);
            EXPECT_EQ(place.bottom, rect.bottom);
        }
    }
}

TEST_F(ContentLayoutTest, LayersGoInByNameAroundTheirAnchor) {
    Define(u"Side", LayoutSet("", Probe("p", 0, 0, 10, 10, 0xFF)));
    // The table: one layer before the dialog's own, two after.
    Define(u"Main", LayoutSet("", Probe("p", 0, 0, 10, 10, 0xFF),
                              R"(<Layer Name="Under" Dialog="Side"/><Layer Dialog="Main"/>)"
                              R"(<Layer Name="Over1" Dialog="Side"/><Layer Name="Over2" Dialog="Side"/>)"));
    auto manager = MakeManager(100, 100);
    CInterfacePtr<CDialogContent> content = Load(manager.Get(), u"Main");
    ASSERT_TRUE(content);
    EXPECT_EQ(LayerNames(*content.Get()), (std::vector<std::u16string>{u"Under", u"", u"Over1", u"Over2"}));

    LayerDescription side{u"over1", u"Side", nullptr};
    EXPECT_EQ(content->InsertLayer(u"", TRUE, &side), E_FAIL) << "names compare without case";
    LayerDescription top{u"Top", u"Side", nullptr};
    EXPECT_EQ(content->InsertLayer(u"Missing", TRUE, &top), E_FAIL);
    LayerDescription lost{u"Lost", u"NoSuchSet", nullptr};
    EXPECT_EQ(content->InsertLayer(u"", TRUE, &lost), E_FAIL);
    EXPECT_EQ(content->InsertLayer(u"OVER2", TRUE, &top), S_OK) << "after the last one: appended";
    EXPECT_EQ(LayerNames(*content.Get()), (std::vector<std::u16string>{u"Under", u"", u"Over1", u"Over2", u"Top"}));
    EXPECT_EQ(content->RemoveLayer(u""), E_INVALIDARG);
    EXPECT_EQ(content->RemoveLayer(u"nothing"), E_INVALIDARG);
    EXPECT_EQ(content->RemoveLayer(u"under"), S_OK);
    IDialogLayer* layer = nullptr;
    EXPECT_EQ(content->GetLayer(u"under", &layer), S_FALSE);
    EXPECT_EQ(content->GetLayer(u"top", nullptr), S_OK);
}

TEST_F(ContentLayoutTest, LayerTablesThatNameEachOtherStopNesting) {
    // Each set inserts a layer of the next; the last one's names the first again.
    const auto chain = [](int i) { return std::string("Chain") + static_cast<char>('a' + i % 20); };
    for (int i = 0; i < 20; ++i) {
        const std::string name = chain(i);
        Define(std::u16string(name.begin(), name.end()),
               LayoutSet("", Probe("p", 0, 0, 10, 10, 0xFF),
                         "<Layer Name=\"L" + std::to_string(i + 1) + "\" Dialog=\"" + chain(i + 1) + "\"/>"));
    }
    auto manager = MakeManager(100, 100);
    CInterfacePtr<CDialogContent> content = Load(manager.Get(), u"Chaina");
    ASSERT_TRUE(content);
    EXPECT_GT(content->LayerCount(), 2u);
    EXPECT_LT(content->LayerCount(), 20u);
}

TEST_F(ContentLayoutTest, ATemplateRepeatsForTheHandlersDataItemsUpToMaxSize) {
    for (const bool horizontal : {false, true}) {
        SCOPED_TRACE(horizontal ? "ByHorz" : "one below the other");
        const std::string row =
            std::string(R"(<Group Name="Row" ID="5" BoundRect="0,0,100,20"><Int Name="MaxSize" Value="3"/>)") +
            (horizontal ? R"(<Int Name="ByHorz" Value="1"/>)" : "") + "<Plugins>" +
            Probe("Cell", 0, 0, 50, 20, 0xFF) + "</Plugins></Group>";
        Define(u"List", LayoutSet("", Probe("Head", 0, 0, 10, 10, 0xFF) + row));
        CInterfacePtr<CTestPlugin> plugin(new CTestPlugin());
        plugin->dataItems = 10;
        auto manager = MakeManager(480, 696);
        CInterfacePtr<CDialogContent> content = Load(manager.Get(), u"List", static_cast<IPanelPlugin*>(plugin.Get()));
        ASSERT_TRUE(content);
        CItemCollection* items = content->RootLayer()->Arranged();
        ASSERT_EQ(items->Count(), 4u) << "the head and three cells";
        for (std::size_t i = 1; i < 4; ++i) {
            const CLayerItem* cell = items->At(i);
            EXPECT_EQ(cell->name, u"Cell");
            EXPECT_EQ(cell->subId, static_cast<LONG>(99 + i)) << "the data item's key";
            EXPECT_EQ(cell->offsetX, horizontal ? static_cast<LONG>(100 * (i - 1)) : 0);
            EXPECT_EQ(cell->offsetY, horizontal ? 0 : static_cast<LONG>(20 * (i - 1)));
        }
        const RECT bounds = content->RootLayer()->Bounds();
        EXPECT_EQ(bounds.right, horizontal ? 300 : 100);
        EXPECT_EQ(bounds.bottom, horizontal ? 20 : 60);
        EXPECT_EQ(plugin->phases, (std::vector<LONG>{0, 1, 2, 3}));

        // Without a handler a template is not arranged at all.
        CInterfacePtr<CDialogContent> bare = Load(manager.Get(), u"List");
        EXPECT_EQ(bare->RootLayer()->Arranged()->Count(), 1u);
    }
}

TEST_F(ContentLayoutTest, ARelayoutKeepsThePressedItemWhenItIsPlacedAgain) {
    const std::string row = R"(<Group Name="Row" ID="5" BoundRect="0,0,100,20"><Plugins>)" +
                            Probe("Cell", 0, 0, 100, 20, 0xFF) + "</Plugins></Group>";
    Define(u"List", LayoutSet("", Probe("Head", 0, 0, 10, 10, 0xFF) + row));
    CInterfacePtr<CTestPlugin> plugin(new CTestPlugin());
    plugin->dataItems = 5;
    auto manager = MakeManager(480, 696);
    CInterfacePtr<CDialogContent> content = Load(manager.Get(), u"List", static_cast<IPanelPlugin*>(plugin.Get()));
    CDialogLayer* layer = content->RootLayer();
    EXPECT_EQ(layer->SelectItemById(-1, 104), S_OK) << "the fifth cell";
    plugin->events.clear();
    content->Layout(480, 696, LAYOUT_MODE_NORMAL);
    LONG id = 0;
    LONG subId = 0;
    EXPECT_EQ(layer->GetSelectedItemIds(&id, &subId), S_OK);
    EXPECT_EQ(subId, 104);
    ASSERT_FALSE(plugin->events.empty());
    EXPECT_EQ(plugin->events.back(), (std::pair<UINT, WPARAM>{DIALOG_EVENT_SELECTION_CHANGED, 1}));

    plugin->dataItems = 3;  // the fifth cell goes
    content->Layout(480, 696, LAYOUT_MODE_NORMAL);
    EXPECT_EQ(layer->GetSelectedItemIds(&id, &subId), S_FALSE);
    EXPECT_EQ(plugin->events.back(), (std::pair<UINT, WPARAM>{DIALOG_EVENT_SELECTION_CHANGED, 0}));
}

TEST_F(ContentLayoutTest, ThePressedItemSurvivesChangesToItsCollection) {
    Define(u"Rows", LayoutSet("", Probe("a", 0, 0, 10, 10, 0xFF) + Probe("b", 0, 10, 10, 10, 0xFF)));
    auto manager = MakeManager(100, 100);
    CInterfacePtr<CDialogContent> content = Load(manager.Get(), u"Rows");
    CDialogLayer* layer = content->RootLayer();
    ASSERT_EQ(layer->SelectItemByName(u"b"), S_OK);
    CInterfacePtr<IItemCollection> items;
    ASSERT_EQ(layer->GetProxy(items.Receive()), S_OK);
    // Enough items in front of it to move every item's storage several times.
    const ItemDescription added{u"new", -1, nullptr, nullptr, FALSE};
    for (int i = 0; i < 100; ++i) ASSERT_EQ(items->InsertItem(0, &added), S_OK);
    BSTR name = nullptr;
    ASSERT_EQ(layer->GetSelectedItemName(&name), S_OK);
    EXPECT_EQ(std::u16string(name), u"b");
    SysFreeString(name);

    LONG index = -1;
    ASSERT_EQ(items->FindByName(u"b", &index), S_OK);
    ASSERT_EQ(items->RemoveItem(index), S_OK);
    EXPECT_EQ(layer->GetSelectedItemName(&name), S_FALSE) << "an item that left is pressed no more";
}

TEST_F(ContentLayoutTest, ARelayoutDetachesTheOldCollectionsProxy) {
    Define(u"Rows", LayoutSet("", Probe("a", 0, 0, 10, 10, 0xFF)));
    auto manager = MakeManager(100, 100);
    CInterfacePtr<CDialogContent> content = Load(manager.Get(), u"Rows");
    CInterfacePtr<IItemCollection> old;
    ASSERT_EQ(content->RootLayer()->GetProxy(old.Receive()), S_OK);
    LONG count = 0;
    EXPECT_EQ(old->GetCount(&count), S_OK);
    EXPECT_EQ(count, 1);
    content->Layout(100, 100, LAYOUT_MODE_NORMAL);
    count = 0;
    EXPECT_EQ(old->GetCount(&count), E_FAIL) << "the old collection is gone; its proxy must say so";
    CInterfacePtr<IItemCollection> current;
    ASSERT_EQ(content->RootLayer()->GetProxy(current.Receive()), S_OK);
    EXPECT_EQ(current->GetCount(&count), S_OK);
    EXPECT_EQ(count, 1);
}

TEST_F(ContentLayoutTest, ElementsThatCannotBeMadeOrRefuseCostOnlyTheirItem) {
    Define(u"Mixed", LayoutSet("", Probe("a", 0, 0, 10, 10, 0xFF) +
                                       R"(<Plugin Name="Unknown" Class="Orm.LSP.NoSuchThing"/>)" +
                                       Probe("refuses", 0, 10, 10, 10, 0xFF, R"(<Int Name="RefuseAttach" Value="1"/>)") +
                                       Probe("b", 0, 20, 10, 10, 0xFF)));
    auto manager = MakeManager(100, 100);
    CInterfacePtr<CDialogContent> content = Load(manager.Get(), u"Mixed");
    CItemCollection* items = content->RootLayer()->Arranged();
    ASSERT_EQ(items->Count(), 2u);
    EXPECT_EQ(items->At(0)->name, u"a");
    EXPECT_EQ(items->At(1)->name, u"b");
}

}  // namespace
