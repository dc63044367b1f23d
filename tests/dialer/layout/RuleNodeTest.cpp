// Rule trees choosing layouts by screen, platform, phone and the caller's properties, and
// entries resolved by them. The platform and the phone library are asked once per
// process, so the cases that change them run in child processes.
#include <gtest/gtest.h>

#include <string>

#include "dialer/foundation/RegistryKey.h"
#include "dialer/layout/DeviceConditions.h"
#include "dialer/layout/ResolveByRules.h"
#include "dialer/properties/PropertySet.h"
#include "dialer/surface/ScreenDpi.h"
#include "platform/phone/OsServices.h"
#include "platform/user/SystemParameters.h"
#include "platform/user/Window.h"
#include "tests/dialer/xml/XmlTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using platform::phone::WirelessDevice;

struct Device {
    int width;
    int height;
    int dpi;
    bool phone;
};

// The layout the rules in `layouts` choose on a device.
std::u16string Choose(const std::u16string& layouts, const Device& device, IPropertyReader* context = nullptr) {
    platform::SetDisplaySize(device.width, device.height);
    SetScreenDpi(device.dpi, device.dpi);
    platform::phone::SetWirelessDevices(device.phone ? std::vector<WirelessDevice>{WirelessDevice{}}
                                                     : std::vector<WirelessDevice>{});
    ParsedXml document(layouts);
    CRefPtr<CRuleNode> rules = ReadRules(document.Root());
    std::u16string chosen;
    if (!rules->Evaluate(context, &chosen)) return u"(none)";
    return chosen;
}

class RulesTest : public testing::Test {
protected:
    void SetUp() override { platform::phone::RegisterOsServicesStandIn(); }
    void TearDown() override {
        platform::SetDisplaySize(480, 800);
        SetScreenDpi(kLayoutDpi, kLayoutDpi);
        platform::phone::SetWirelessDevices({WirelessDevice{}});
    }
};

TEST_F(RulesTest, ChooseLayoutsByScreenPlatformAndPhone) {
    const Device portrait{480, 800, 96, true};
    const Device landscape{800, 480, 96, true};
    const Device dense{480, 800, 192, true};
    const Device noPhone{480, 800, 96, false};
    struct Case {
        const char* what;
        std::u16string rules;
        Device device;
        std::u16string chosen;
    };
    const std::u16string screenThenDefault =
        u"<Layouts><Rules><ScreenCondition Width='480' Height='800'><UseLayout Name='A'/></ScreenCondition>"
        u"<Default><UseLayout Name='B'/></Default></Rules></Layouts>";
    const Case cases[] = {
        {"the screen matches", screenThenDefault, portrait, u"A"},
        {"the screen does not match", screenThenDefault, landscape, u"B"},
        {"96-dpi units on a dense Pocket PC",
         u"<Layouts><Rules><ScreenCondition Width='240' Height='400'><UseLayout Name='Dense'/></ScreenCondition>"
         u"</Rules></Layouts>",
         dense, u"Dense"},
        {"a terminal discards the condition before it",
         u"<Layouts><Rules><ScreenCondition Width='1' Height='1'><UseLayout Name='A'/></ScreenCondition>"
         u"<UseLayout Name='Always'/><Default><UseLayout Name='Never'/></Default></Rules></Layouts>",
         landscape, u"Always"},
        {"a phone condition without Present holds without a phone",
         u"<Layouts><Rules><PhoneCondition><UseLayout Name='NoPhone'/></PhoneCondition>"
         u"<Default><UseLayout Name='Phone'/></Default></Rules></Layouts>",
         noPhone, u"NoPhone"},
        {"... and not with one",
         u"<Layouts><Rules><PhoneCondition><UseLayout Name='NoPhone'/></PhoneCondition>"
         u"<Default><UseLayout Name='Phone'/></Default></Rules></Layouts>",
         portrait, u"Phone"},
        {"a phone expected and present",
         u"<Layouts><Rules><PhoneCondition Present='1'><UseLayout Name='Phone'/></PhoneCondition></Rules></Layouts>",
         portrait, u"Phone"},
        {"the platform named in lower case",
         u"<Layouts><Rules><PlatformCondition Platform='pocketpc'><UseLayout Name='Touch'/></PlatformCondition>"
         u"</Rules></Layouts>",
         portrait, u"Touch"},
        {"another platform",
         u"<Layouts><Rules><PlatformCondition Platform='Smartphone'><UseLayout Name='Keys'/></PlatformCondition>"
         u"</Rules></Layouts>",
         portrait, u"(none)"},
        {"a holding condition whose children choose nothing falls through to its siblings",
         u"<Layouts><Rules><Default><PhoneCondition Present='0'><UseLayout Name='X'/></PhoneCondition></Default>"
         u"<Default><UseLayout Name='Next'/></Default></Rules></Layouts>",
         portrait, u"Next"},
        {"the earliest sibling that chooses wins",
         u"<Layouts><Rules><Default><UseLayout Name='First'/></Default><Default><UseLayout Name='Second'/>"
         u"</Default></Rules></Layouts>",
         portrait, u"First"},
        {"unknown elements are skipped, and the rules found below the top",
         u"<Layouts><Other><Rules><Unknown/><ScreenCondition Width='x' Height='800'><UseLayout Name='Zero'/>"
         u"</ScreenCondition><Default><UseLayout Name='D'/></Default></Rules></Other></Layouts>",
         portrait, u"D"},
        {"no rules", u"<Layouts><Layout Name='A'/></Layouts>", portrait, u"(none)"},
    };
    for (const Case& c : cases) EXPECT_EQ(Choose(c.rules, c.device), c.chosen) << c.what;
}

// A caller that answers one property by name.
class CCallerProperties : public CUnknownImpl<IPropertyReader> {
public:
    HRESULT GetInt(CPropertyKey, LONG*) override { return E_FAIL; }
    HRESULT GetString(CPropertyKey key, BSTR* out) override {
        if (!key.IsName() || std::u16string(key.GetName()) != u"Mode") return E_FAIL;
        *out = SysAllocString(u"Compact");
        return S_OK;
    }
    HRESULT GetPoint(CPropertyKey, POINT*) override { return E_FAIL; }
    HRESULT GetRect(CPropertyKey, RECT*) override { return E_FAIL; }
    HRESULT GetFont(CPropertyKey, HFONT*) override { return E_FAIL; }
    HRESULT GetObject(CPropertyKey, IUnknown**) override { return E_FAIL; }
};

CRefPtr<CLayoutEntry> Entry(LPCWSTR name) {
    return CRefPtr<CLayoutEntry>(new CLayoutEntry(name, CPropertyList(), nullptr));
}

TEST_F(RulesTest, ResolveByRulesTakesTheCallersPropertiesAndTheLastEntryOfTheName) {
    ParsedXml document(
        u"<Layouts><Rules><Condition Name='Mode' Value='Compact'><UseLayout Name='compact'/></Condition>"
        u"<Condition Name='Mode' Value='compact'><UseLayout Name='Wrong case'/></Condition>"
        u"<Default><UseLayout Name='Full'/></Default></Rules></Layouts>");
    CRefPtr<CRuleNode> rules = ReadRules(document.Root());
    CRefPtr<CEntryList> list(new CEntryList());
    CRefPtr<CLayoutEntry> firstCompact = Entry(u"Compact");
    CRefPtr<CLayoutEntry> lastCompact = Entry(u"COMPACT");
    CRefPtr<CLayoutEntry> full = Entry(u"Full");
    list->Append(firstCompact.Get());
    list->Append(full.Get());
    list->Append(lastCompact.Get());

    CInterfacePtr<CCallerProperties> caller(new CCallerProperties());
    EXPECT_EQ(ResolveByRules(list.Get(), rules.Get(), caller.Get()).Get(), lastCompact.Get());
    EXPECT_EQ(ResolveByRules(list.Get(), rules.Get(), nullptr).Get(), full.Get()) << "no override: no property";

    ParsedXml unnamed(u"<Layouts><Rules><UseLayout Name='Missing'/></Rules></Layouts>");
    EXPECT_FALSE(ResolveByRules(list.Get(), ReadRules(unnamed.Root()).Get(), caller.Get()));
    EXPECT_FALSE(ResolveByRules(list.Get(), nullptr, caller.Get()));
    EXPECT_EQ(list->FindByName(nullptr).Get(), nullptr);
}

// Deep enough that recursion in proportion to the depth would exhaust the stack.
constexpr int kDeep = 100000;

TEST_F(RulesTest, DeepTreesNeedNoDeepStack) {
    std::u16string deep = u"<Layouts><Rules>";
    for (int i = 0; i < kDeep; ++i) deep += u"<Default>";
    deep += u"<UseLayout Name='Bottom'/>";
    for (int i = 0; i < kDeep; ++i) deep += u"</Default>";
    deep += u"</Rules></Layouts>";
    EXPECT_EQ(Choose(deep, {480, 800, 96, true}), u"Bottom");
}

TEST_F(RulesTest, LongSiblingChainsNeedNoDeepStack) {
    // Each sibling holds the one before it as its alternative.
    std::u16string wide = u"<Layouts><Rules>";
    for (int i = 0; i < kDeep; ++i) wide += u"<Condition Name='Absent'><UseLayout Name='No'/></Condition>";
    wide += u"<Default><UseLayout Name='Last'/></Default></Rules></Layouts>";
    EXPECT_EQ(Choose(wide, {480, 800, 96, true}), u"Last");
}

TEST(EntryList, NestedGroupsAreReleasedWithoutRecursion) {
    CRefPtr<CEntryList> top(new CEntryList());
    CEntryList* level = top.Get();
    for (int i = 0; i < kDeep; ++i) {
        CRefPtr<CEntryList> inner(new CEntryList());
        CRefPtr<CLayoutEntry> group(new CLayoutEntry(u"Group", CPropertyList(), inner));
        level->Append(group.Get());
        level = inner.Get();
    }
    EXPECT_EQ(top->GetCount(), 1u);
    top.Reset();
}

void ReportChoice(const std::u16string& chosen) {
    RegistryKey key(HKEY_LOCAL_MACHINE, u"\\SOFTWARE\\Test\\Rules", TRUE);
    key.SetString(u"Chosen", chosen.c_str());
}

const std::u16string kPlatformRules =
    u"<Layouts><Rules><PlatformCondition Platform='PocketPC'><UseLayout Name='Touch'/></PlatformCondition>"
    u"<ScreenCondition Width='240' Height='400'><UseLayout Name='Scaled'/></ScreenCondition>"
    u"<PlatformCondition Platform='SMARTPHONE'><UseLayout Name='Keys'/></PlatformCondition></Rules></Layouts>";

TEST(RulesChild, OnASmartphone) {
    if (!handset_test::InChildRole()) GTEST_SKIP() << "runs as a child process";
    platform::SetPlatformType(u"Smartphone");
    platform::phone::RegisterOsServicesStandIn();
    ReportChoice(Choose(kPlatformRules, {480, 800, 192, true}));
}

TEST(Rules, OnASmartphoneScreensAreNotScaled) {
    handset_test::TempHandsetRoot root;
    ASSERT_EQ(handset_test::RunChild("RulesChild.OnASmartphone"), 0);
    RegistryKey key(HKEY_LOCAL_MACHINE, u"\\SOFTWARE\\Test\\Rules", FALSE);
    EXPECT_EQ(key.GetString(u"Chosen", u"(none)"), u"Keys");
}

TEST(RulesChild, WithoutTheServicesLibrary) {
    if (!handset_test::InChildRole()) GTEST_SKIP() << "runs as a child process";
    ReportChoice(
        Choose(u"<Layouts><Rules><PhoneCondition Present='1'><UseLayout Name='Phone'/></PhoneCondition>"
               u"<PhoneCondition Present='0'><UseLayout Name='NoPhone'/></PhoneCondition></Rules></Layouts>",
               {480, 800, 96, true}));
}

TEST(Rules, WithoutTheServicesLibraryThereIsNoPhone) {
    handset_test::TempHandsetRoot root;
    ASSERT_EQ(handset_test::RunChild("RulesChild.WithoutTheServicesLibrary"), 0);
    RegistryKey key(HKEY_LOCAL_MACHINE, u"\\SOFTWARE\\Test\\Rules", FALSE);
    EXPECT_EQ(key.GetString(u"Chosen", u"(none)"), u"NoPhone");
}

}  // namespace
