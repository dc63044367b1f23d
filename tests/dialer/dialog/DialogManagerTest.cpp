// The dialog manager: its first state, the content stack's events for each push mode, pops,
// closing above the bottom and closing flagged overlays, handlers that throw or ask for a
// change in the middle of one, the window facts, and the active layer.
#include <gtest/gtest.h>

#include "dialer/dialog/DialogEvents.h"
#include "dialer/dialog/DialogManager.h"
#include "platform/base/Library.h"
#include "platform/user/Window.h"
#include "tests/dialer/dialog/DialogTestSupport.h"

namespace {

using dialog_test::CTestPlugin;
using dialog_test::EventLog;
using dialog_test::LayoutSet;
using dialog_test::Probe;
using XmlLayouts::CDialogContent;
using XmlLayouts::CDialogManager;

// "A:1 A:2 ..." from the event log.
std::string Events() {
    std::string text;
    for (const auto& record : EventLog())
        text += (text.empty() ? "" : " ") + std::string(record.who.begin(), record.who.end()) + ":" +
                std::to_string(record.code);
    return text;
}

class DialogManagerTest : public dialog_test::DialogTest {
protected:
    DialogManagerTest() {
        for (const char* name : {"A", "B", "C", "X", "Y", "Z"})
            Define(std::u16string(name, name + 1), LayoutSet("", ""));
        manager_ = MakeManager(100, 100);
    }
    // Opens the named dialog with a handler of the same name, which logs its events (a
    // dialog's items exist only once it is laid out; its handler hears every event).
    HRESULT Open(LPCWSTR name, DWORD flags, UINT throwOn = 0) {
        CInterfacePtr<CTestPlugin> plugin(new CTestPlugin());
        plugin->name = name;
        plugin->throwOn = throwOn;
        return manager_->OpenDialog(name, flags, static_cast<IPanelPlugin*>(plugin.Get()));
    }
    // Pushes the named dialog and clears the event log of it.
    void Push(LPCWSTR name, DWORD flags, UINT throwOn = 0) {
        ASSERT_EQ(Open(name, flags, throwOn), S_OK);
        EventLog().clear();
    }
    std::u16string TopName() {
        CInterfacePtr<IDialogContentBase> top;
        if (manager_->GetContentObject(top.Receive()) != S_OK) return u"(none)";
        BSTR name = nullptr;
        top->GetName(&name);
        std::u16string text = name != nullptr ? name : u"";
        SysFreeString(name);
        return text;
    }

    CInterfacePtr<CDialogManager> manager_;
};

TEST_F(DialogManagerTest, AFreshManagerNeedsPaintingAndHoldsNothing) {
    EXPECT_TRUE(manager_->NeedsRepaint());
    IDialogContentBase* content = nullptr;
    EXPECT_EQ(manager_->GetContentObject(&content), E_FAIL);
    EXPECT_EQ(manager_->GetContentObject(nullptr), E_INVALIDARG);
    EXPECT_EQ(manager_->IsTopLayerFlagClear(), S_FALSE);
    EXPECT_EQ(manager_->CloseTopDialog(), E_FAIL);
    void* out = nullptr;
    EXPECT_EQ(manager_->QueryInterface(IID_IDialogLayer, &out), E_NOINTERFACE);
    EXPECT_EQ(manager_->QueryInterface(IID_IDialogManager, nullptr), E_INVALIDARG);
    ASSERT_EQ(manager_->QueryInterface(IID_IDialogManager, &out), S_OK);
    static_cast<IDialogManager*>(out)->Release();
    SIZE size{};
    EXPECT_EQ(manager_->GetSize(&size), S_OK);
    EXPECT_EQ(size.cx, 100);
    EXPECT_EQ(manager_->GetSize(nullptr), E_FAIL);
    EXPECT_EQ(manager_->ActivateLayer(u""), S_FALSE) << "no content";

    // The site goes dead with the manager.
    CInterfacePtr<IDialogManager> site;
    ASSERT_EQ(manager_->GetSite(site.Receive()), S_OK);
    manager_.Reset();
    EXPECT_EQ(site->GetSize(&size), E_FAIL);
}

TEST_F(DialogManagerTest, EachPushModeSendsItsEvents) {
    struct Case {
        std::vector<std::pair<LPCWSTR, DWORD>> before;
        LPCWSTR pushed;
        DWORD flags;
        const char* events;
        std::size_t entries;
    };
    const Case cases[] = {
        {{}, u"A", 1, "A:1 A:2 A:3", 1},
        {{{u"A", 1}}, u"B", 1, "B:1 A:4 B:2 B:3", 1},
        {{{u"A", 1}, {u"B", 3}}, u"C", 2, "C:1 B:4 A:4 C:2 C:3", 1},
        {{{u"A", 1}}, u"B", 3, "B:1 A:8 B:2 B:3", 2},
        {{{u"A", 1}, {u"B", 3}}, u"C", 4, "C:1 B:4 C:2 C:3", 2},
        {{{u"A", 1}}, u"B", 4, "B:1 A:8 B:2 B:3", 2},
        {{{u"A", 1}, {u"B", 3 | DialogOverlay}}, u"C", 5, "C:1 B:4 C:2 C:3", 2},
        {{{u"A", 1}}, u"C", 5, "C:1 A:9 C:2 C:3", 2},
        {{{u"A", 1}}, u"B", 0, "B:1 B:2 B:3", 2},
    };
    for (const Case& c : cases) {
        manager_ = MakeManager(100, 100);
        for (const auto& [name, flags] : c.before) Push(name, flags);
        SCOPED_TRACE(c.events);
        ASSERT_EQ(Open(c.pushed, c.flags), S_OK);
        EXPECT_EQ(Events(), c.events);
        EXPECT_EQ(manager_->Stack().Count(), c.entries);
        EXPECT_EQ(TopName(), c.pushed);
    }
}

TEST_F(DialogManagerTest, ClosingSendsItsEventsAndKeepsTheBottom) {
    Push(u"A", 1);
    EXPECT_EQ(manager_->CloseTopDialog(), E_FAIL);
    EXPECT_EQ(Events(), "") << "nothing closed, nothing told";
    Push(u"B", 3);
    EXPECT_EQ(manager_->CloseTopDialog(), S_OK);
    EXPECT_EQ(Events(), "A:5 B:4 A:6 A:7");
    EXPECT_EQ(TopName(), u"A");

    Push(u"B", 3);
    Push(u"C", 3);
    EXPECT_EQ(manager_->CloseDialogs(FALSE), S_OK);
    EXPECT_EQ(Events(), "A:5 C:4 B:4 A:6 A:7");
    EXPECT_EQ(manager_->Stack().Count(), 1u);
    EventLog().clear();
    EXPECT_EQ(manager_->CloseDialogs(TRUE), S_OK);
    EXPECT_EQ(Events(), "A:4");
    EXPECT_EQ(TopName(), u"(none)");
}

TEST_F(DialogManagerTest, FlaggedOverlaysCloseWithWhatIsAboveThem) {
    Push(u"X", 1);
    Push(u"Y", 3 | DialogClosable);
    EXPECT_EQ(manager_->IsTopLayerFlagClear(), S_OK);
    Push(u"Z", 3 | DialogOverlay);
    EXPECT_EQ(manager_->IsTopLayerFlagClear(), S_FALSE);
    EXPECT_EQ(manager_->CloseFlaggedOverlays(), S_OK);
    EXPECT_EQ(manager_->Stack().Count(), 1u);
    EXPECT_EQ(TopName(), u"X");

    Push(u"Y", 3 | DialogOverlay);
    EXPECT_EQ(manager_->CloseFlaggedOverlays(), S_OK);
    EXPECT_EQ(manager_->Stack().Count(), 2u) << "every entry above the bottom is an overlay: nothing closes";
    EXPECT_EQ(Events(), "");
}

TEST_F(DialogManagerTest, AHandlerThatThrowsDuringAPushLeavesTheTopCurrent) {
    Define(u"Touchy", LayoutSet("", ""));
    Push(u"Touchy", 1, DIALOG_EVENT_COVERED);
    EXPECT_EQ(Open(u"B", 3), E_FAIL);
    EXPECT_EQ(TopName(), u"Touchy") << "input must still reach the dialog on top";
    EXPECT_EQ(manager_->Stack().Count(), 1u);
    EXPECT_EQ(Open(u"B", 1), S_OK) << "the stack is not left busy";
    EXPECT_EQ(TopName(), u"B");
}

TEST_F(DialogManagerTest, AChangeAskedForDuringAChangeIsRefused) {
    Push(u"A", 1);
    Push(u"B", 3);
    CInterfacePtr<CTestPlugin> plugin(new CTestPlugin());
    HRESULT nested = S_OK;
    plugin->onEvent = [&](UINT code) {
        if (code == DIALOG_EVENT_SHOWN) nested = manager_->CloseTopDialog();
    };
    ASSERT_EQ(manager_->OpenDialog(u"C", 3, static_cast<IPanelPlugin*>(plugin.Get())), S_OK);
    EXPECT_EQ(nested, E_FAIL);
    EXPECT_EQ(manager_->Stack().Count(), 3u);
}

TEST_F(DialogManagerTest, TheActiveLayerChangesByNameOnly) {
    Define(u"Two", LayoutSet("", Probe("a", 0, 0, 10, 10, 0xFF), R"(<Layer Dialog="Two"/><Layer Name="Side" Dialog="Keys"/>)"));
    Define(u"Keys", LayoutSet("", Probe("k", 0, 0, 10, 10, 0xFF)));
    Push(u"Two", 1);
    CInterfacePtr<CDialogContent> top = manager_->Stack().GetTop();
    EXPECT_EQ(manager_->ActivateLayer(u"nobody"), S_OK);
    EXPECT_EQ(top->ActiveLayer(), nullptr);
    EXPECT_EQ(manager_->ActivateLayer(u"SIDE"), S_OK);
    ASSERT_NE(top->ActiveLayer(), nullptr);
    EXPECT_EQ(top->ActiveLayer()->Name(), u"Side");
    // Leaving a layer clears its selection.
    ASSERT_EQ(top->ActiveLayer()->SelectItemByName(u"k"), S_OK);
    CDialogLayer* side = top->ActiveLayer();
    EXPECT_EQ(manager_->ActivateLayer(nullptr), S_OK);
    EXPECT_EQ(top->ActiveLayer(), top->RootLayer());
    EXPECT_EQ(side->PressedItem(), nullptr);
}

TEST_F(DialogManagerTest, TheTitleGoesToTheWindowAndTheShell) {
    static std::u16string shown;
    platform::RegisterStandInLibrary(
        u"aygshell.dll", {{nullptr, 88, reinterpret_cast<FARPROC>(+[](HWND, LPCWSTR text) -> BOOL {
                               shown = text;
                               return TRUE;
                           })}});
    HWND window = dialog_test::MakeWindow(u"TitleWindow", 10, 10);
    manager_->SetWindow(window);
    EXPECT_EQ(manager_->SetTitle(nullptr), E_FAIL);
    EXPECT_EQ(manager_->SetTitle(u"Contacts"), S_OK);
    WCHAR text[32] = {};
    GetWindowTextW(window, text, 32);
    EXPECT_EQ(std::u16string(text), u"Contacts");
    EXPECT_EQ(shown, u"Contacts");
    HWND reported = nullptr;
    manager_->GetWindow(&reported);
    EXPECT_EQ(reported, window);
    manager_->SetWindow(nullptr);
    DestroyWindow(window);
    platform::UnregisterStandInLibrary(u"aygshell.dll");
}

}  // namespace
