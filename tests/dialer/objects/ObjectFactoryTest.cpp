// The object factory: class names split into family and type, the complete type tables,
// and the objects made for them.
#include <gtest/gtest.h>

#include <functional>

#include "dialer/foundation/OrmException.h"
#include "dialer/objects/GenericObject.h"
#include "dialer/objects/ObjectFactory.h"

namespace {

TEST(ObjectFactory, SplitsClassNames) {
    struct Case {
        const char16_t* name;
        LayoutClassFamily family;
        const char16_t* type;
        const char16_t* argument;
    };
    const Case cases[] = {
        {u"Orm.LSP.Generic", LayoutClassFamily::Generic, u"Generic", u""},
        {u"Orm.LSP.A:b", LayoutClassFamily::Generic, u"A:b", u""},
        {u"Orm.Data.LetterScroll:anything", LayoutClassFamily::Data, u"LetterScroll", u"anything"},
        {u"Orm.Data.DialPad:a:b", LayoutClassFamily::Data, u"DialPad", u"a:b"},
        {u"Orm.Data.CallLog", LayoutClassFamily::Data, u"CallLog", u""},
        {u"Orm.Data.", LayoutClassFamily::Data, u"", u""},
        {u"orm.lsp.Generic", LayoutClassFamily::None, u"", u""},
        {u"Orm.LSP", LayoutClassFamily::None, u"", u""},
        {u"", LayoutClassFamily::None, u"", u""},
    };
    for (const Case& c : cases) {
        const LayoutClassName name = ParseLayoutClassName(c.name);
        EXPECT_EQ(name.family, c.family) << std::u16string(c.name).size();
        EXPECT_EQ(name.type, c.type);
        EXPECT_EQ(name.argument, c.argument);
    }
}

TEST(ObjectFactory, TablesListEveryKnownType) {
    const char16_t* generic[] = {u"SimpleBackgrd",
                                 u"Generic",
                                 u"Rect",
                                 u"Icon",
                                 u"Text",
                                 u"Frame",
                                 u"Button",
                                 u"PhoneNumber",
                                 u"PhoneNumberLocal",
                                 u"LetterScroll",
                                 u"Background",
                                 u"DigitalClock",
                                 u"AnalogClock",
                                 u"Status",
                                 u"Operator",
                                 u"Date",
                                 u"Weather",
                                 u"Battery",
                                 u"Calendar",
                                 u"AdvancedCalendar",
                                 u"ModernDClock",
                                 u"Profile",
                                 u"Form",
                                 u"Separator",
                                 u"TaskbarBackground",
                                 u"SpName",
                                 u"WirelessMngr",
                                 u"AgendaCalendar",
                                 u"Renderer",
                                 u"Contact",
                                 u"Link",
                                 u"MenuBar",
                                 u"ScrollBar",
                                 u"Media"};
    EXPECT_EQ(ARRAYSIZE(generic), 34u);
    for (const char16_t* type : generic) EXPECT_NE(FindGenericObjectType(type), nullptr);
    EXPECT_EQ(FindGenericObjectType(u"generic"), nullptr) << "types compare with case";
    EXPECT_EQ(FindGenericObjectType(u"CallLog"), nullptr);

    EXPECT_EQ(FindGenericObjectType(u"LetterScroll")->kind, GenericObjectKind::LetterScrollControl);
    EXPECT_EQ(FindGenericObjectType(u"PhoneNumber")->index, -1);
    EXPECT_EQ(FindGenericObjectType(u"PhoneNumberLocal")->index, 0);
    EXPECT_EQ(FindGenericObjectType(u"Form")->kind, GenericObjectKind::KnownWithoutObject);

    struct DataCase {
        const char16_t* type;
        DataObjectKind kind;
        LONG index;
    };
    for (const DataCase& c :
         {DataCase{u"CallLog", DataObjectKind::CallLog, -1}, DataCase{u"OrmContacts", DataObjectKind::Contacts, -1},
          DataCase{u"ListFavContacts", DataObjectKind::Favourites, -1},
          DataCase{u"LetterScroll", DataObjectKind::LetterScroll, -1},
          DataCase{u"LetterScrollLocal", DataObjectKind::LetterScroll, 0},
          DataCase{u"DialPad", DataObjectKind::DialPad, -1}, DataCase{u"DialPadLocal", DataObjectKind::DialPad, 0},
          DataCase{u"SearchPanel", DataObjectKind::SearchPanel, -1},
          DataCase{u"SearchPanelLocal", DataObjectKind::SearchPanel, 0}}) {
        const DataObjectType* entry = FindDataObjectType(c.type);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->kind, c.kind);
        EXPECT_EQ(entry->index, c.index);
    }
    EXPECT_EQ(FindDataObjectType(u"Generic"), nullptr);
    EXPECT_EQ(FindDataObjectType(u""), nullptr);
}

TEST(ObjectFactory, MakesTheGenericObjectsAndNothingForOtherNames) {
    CObjectFactory factory;
    IUnknown* made = factory.CreateObject(u"Orm.LSP.Generic");
    ASSERT_NE(made, nullptr);
    ILayoutElement* element = nullptr;
    ASSERT_EQ(made->QueryInterface(IID_ILayoutElement, reinterpret_cast<void**>(&element)), S_OK);
    void* other = nullptr;
    EXPECT_EQ(made->QueryInterface(IID_ILayoutObject, &other), E_NOINTERFACE);
    EXPECT_EQ(made->QueryInterface(IID_ILayoutElement, nullptr), E_INVALIDARG);
    EXPECT_EQ(element->Release(), 1u);
    EXPECT_EQ(made->Release(), 0u) << "the factory hands out exactly one reference";

    for (const char16_t* name : {u"orm.lsp.Generic", u"Orm.LSP.Unknown", u"Orm.LSP.Form", u"Orm.Data.",
                                 u"Orm.Data.Generic", u"Orm.Data.LetterScroll:abc", u"orm.lsp.Rect", u"Generic", u""})
        EXPECT_EQ(factory.CreateObject(name), nullptr);

    // The drawn objects answer the layout-object interface too, with one reference.
    for (const char16_t* name : {u"Orm.LSP.Rect", u"Orm.LSP.Icon", u"Orm.LSP.Frame", u"Orm.LSP.Button"}) {
        IUnknown* drawn = factory.CreateObject(name);
        ASSERT_NE(drawn, nullptr);
        ASSERT_EQ(drawn->QueryInterface(IID_ILayoutObject, &other), S_OK);
        static_cast<IUnknown*>(other)->Release();
        EXPECT_EQ(drawn->Release(), 0u);
    }

    HRESULT thrown = S_OK;
    try {
        factory.CreateObject(nullptr);
    } catch (COrmException exception) {
        thrown = exception.code;
    }
    EXPECT_EQ(thrown, E_INVALIDARG);
}

TEST(ObjectFactory, ServesTheLocatorOnceInstalled) {
    EXPECT_EQ(CreateLayoutObject(u"Orm.LSP.Generic"), nullptr) << "no factory installed";
    CRefPtr<CObjectFactory> factory(new CObjectFactory());
    CObjectFactoryService* service = factory.Get();
    SetObjectFactory(&service);
    IUnknown* made = CreateLayoutObject(u"Orm.LSP.Generic");
    ASSERT_NE(made, nullptr);
    made->Release();
    SetObjectFactory(nullptr);
}

TEST(GenericObject, MarksAPlaceAndLeavesTheArrowKeys) {
    CInterfacePtr<CGenericObject> object(new CGenericObject());
    LONG state = 9;
    EXPECT_EQ(object->GetState(&state), S_OK);
    EXPECT_EQ(state, 0);
    EXPECT_EQ(object->GetState(nullptr), E_INVALIDARG);
    for (UINT key : {36u, 37u, 38u, 39u, 40u, 41u, 13u}) {
        BOOL handled = 7;
        EXPECT_EQ(object->OnKey(key, &handled), E_FAIL);
        EXPECT_EQ(handled, (key >= 37 && key <= 40) ? FALSE : TRUE) << key;
    }
    RECT rect{};
    EXPECT_EQ(object->GetRect(1, &rect), E_FAIL);
    EXPECT_EQ(object->Prepare(), S_FALSE);
    EXPECT_EQ(object->Measure(nullptr, nullptr, nullptr), S_FALSE);
    EXPECT_EQ(object->IsInactive(), S_FALSE);
    EXPECT_EQ(object->HandleEvent(17, 0, nullptr), S_FALSE);
    EXPECT_EQ(object->SetSite(nullptr, nullptr), S_OK);
    EXPECT_EQ(object->Attach(nullptr), S_OK);
    EXPECT_EQ(object->Select(0, 0, 0), S_OK);
}

}  // namespace
