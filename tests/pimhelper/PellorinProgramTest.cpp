// Pellorin as the dialer starts it: the built program at its handset path, in a process of
// its own, with one option. The test plays the user (answering the item windows), the dialer
// (the hand-over, the command window) and a listener on the contacts database.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "dialer/data/PimDatabase.h"
#include "pimhelper/NewContactHandOver.h"
#include "platform/base/CodePage.h"
#include "platform/base/Handle.h"
#include "platform/base/WideString.h"
#include "platform/com/Com.h"
#include "platform/com/ComObject.h"
#include "platform/poom/ItemProperties.h"
#include "platform/poom/PimStore.h"
#include "platform/poom/Poom.h"
#include "platform/poom/SentItems.h"
#include "platform/process/Process.h"
#include "platform/registry/Registry.h"
#include "platform/sync/Wait.h"
#include "platform/user/Window.h"
#include "tests/support/TestSupport.h"

namespace {

using platform::com::ComPtr;
using Clock = std::chrono::steady_clock;

class ContactsListener : public CPimDatabase {
public:
    void OnRecordCreated(CEOID oid) override { created.push_back(oid); }
    std::vector<CEOID> created;
};

struct CommandWindowLog {
    std::vector<std::pair<UINT, WPARAM>> received;
};
CommandWindowLog commandLog;

LRESULT CommandWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_APP) {
        commandLog.received.push_back({message, wParam});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

class PellorinProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("HANDSET_DISPLAY", "headless", 1);
        std::filesystem::path folder = std::filesystem::path(root_.Path()) / "fs" / "Program Files" / "Calvane";
        std::filesystem::create_directories(folder);
        handset_test::InstallLauncher((folder / "Pellorin.exe").string(), PELLORIN_PROGRAM);
        platform::poom::RegisterPoom();
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        ASSERT_EQ(CoCreateInstance(CLSID_Application, nullptr, CLSCTX_ALL, IID_IPOutlookApp, app_.ReceiveVoid()),
                  S_OK);
        ASSERT_EQ(app_->Logon(nullptr), S_OK);  // makes the databases
    }
    void TearDown() override {
        if (started_.hProcess != nullptr) {
            TerminateProcess(started_.hProcess, 99);
            Finish();
        }
        app_.Reset();
        CoUninitialize();
    }

    void Start(const std::u16string& commandLine) {
        std::u16string line = commandLine;
        ASSERT_TRUE(CreateProcessW(u"\\Program Files\\Calvane\\Pellorin.exe", line.data(), nullptr, nullptr, FALSE,
                                   0, nullptr, nullptr, nullptr, &started_));
    }
    // Waits for the program's end, serving this thread's windows meanwhile; its exit code.
    DWORD Finish() {
        auto deadline = Clock::now() + std::chrono::seconds(20);
        while (WaitForSingleObject(started_.hProcess, 5) == WAIT_TIMEOUT && Clock::now() < deadline) Pump();
        DWORD code = 999;
        GetExitCodeProcess(started_.hProcess, &code);
        if (code == STILL_ACTIVE) TerminateProcess(started_.hProcess, 98);
        CloseHandle(started_.hThread);
        CloseHandle(started_.hProcess);
        started_ = {};
        return code;
    }
    DWORD RunToEnd(const std::u16string& commandLine) {
        Start(commandLine);
        return started_.hProcess != nullptr ? Finish() : 999;
    }
    // The program's visible "Dialog" window whose title begins with `title`.
    HWND WaitForItemWindow(const std::u16string& title) {
        auto deadline = Clock::now() + std::chrono::seconds(20);
        while (Clock::now() < deadline) {
            for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window != nullptr;
                 window = GetWindow(window, GW_HWNDNEXT)) {
                DWORD process = 0;
                WCHAR className[32] = {};
                WCHAR text[256] = {};
                GetWindowThreadProcessId(window, &process);
                GetClassNameW(window, className, 32);
                GetWindowTextW(window, text, 256);
                if (process == started_.dwProcessId && std::u16string(className) == u"Dialog" &&
                    IsWindowVisible(window) && std::u16string(text).rfind(title, 0) == 0)
                    return window;
            }
            Pump();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return nullptr;
    }
    void Answer(const std::u16string& title, WPARAM command) {
        HWND window = WaitForItemWindow(title);
        ASSERT_NE(window, nullptr) << platform::Utf16ToUtf8(title);
        PostMessageW(window, WM_COMMAND, command, 0);
    }

    CEOID SavedContact(const char16_t* first, const char16_t* last, const char16_t* mobile) {
        ComPtr<IDispatch> made;
        app_->CreateItem(olContactItem, made.Receive());
        ComPtr<IContact> contact;
        made.As(contact);
        BSTR text = SysAllocString(first);
        contact->put_FirstName(text);
        SysReAllocString(&text, last);
        contact->put_LastName(text);
        SysReAllocString(&text, mobile);
        contact->put_MobileTelephoneNumber(text);
        SysFreeString(text);
        EXPECT_EQ(contact->Save(), S_OK);
        CEOID oid = 0;
        contact->get_Oid(&oid);
        return oid;
    }
    int Count(int folder) {
        ComPtr<IFolder> found;
        ComPtr<IPOutlookItemCollection> items;
        int count = -1;
        if (app_->GetDefaultFolder(folder, found.Receive()) == S_OK && found->get_Items(items.Receive()) == S_OK)
            items->get_Count(&count);
        return count;
    }
    template <class T>
    ComPtr<T> Item(int folder, int index) {
        ComPtr<IFolder> found;
        ComPtr<IPOutlookItemCollection> items;
        ComPtr<IDispatch> item;
        ComPtr<T> typed;
        if (app_->GetDefaultFolder(folder, found.Receive()) == S_OK && found->get_Items(items.Receive()) == S_OK &&
            items->Item(index, item.Receive()) == S_OK)
            item.As(typed);
        return typed;
    }
    void HandOver(DWORD key, DWORD type, const void* data, DWORD bytes) {
        HKEY handOver = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kNewContactKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &handOver, nullptr),
                  ERROR_SUCCESS);
        WCHAR name[9];
        swprintf(name, 9, u"%08X", key);
        ASSERT_EQ(RegSetValueExW(handOver, name, 0, type, static_cast<const BYTE*>(data), bytes), ERROR_SUCCESS);
        RegCloseKey(handOver);
    }
    bool HandOverLeft(DWORD key) {
        HKEY handOver = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kNewContactKeyPath, 0, KEY_ALL_ACCESS, &handOver) != ERROR_SUCCESS)
            return false;
        WCHAR name[9];
        swprintf(name, 9, u"%08X", key);
        bool left = RegQueryValueExW(handOver, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
        RegCloseKey(handOver);
        return left;
    }
    static std::u16string Line(const char* option, DWORD number) {
        return platform::Utf8ToUtf16(std::string(option) + ":" + std::to_string(number));
    }
    static std::u16string Text(IContact* contact, HRESULT (IContact::*getter)(BSTR*)) {
        BSTR text = nullptr;
        (contact->*getter)(&text);
        std::u16string taken = text != nullptr ? text : u"";
        SysFreeString(text);
        return taken;
    }

    handset_test::TempHandsetRoot root_;
    ComPtr<IPOutlookApp> app_;
    PROCESS_INFORMATION started_{};
};

TEST_F(PellorinProgramTest, ANewContactGetsTheHandedOverNumber) {
    ContactsListener listener;
    ASSERT_TRUE(listener.Open(u"pim.vol", u"Contacts Database", true));
    const DWORD key = 0x9ABCDEF0;  // a tick count past 2^31
    const char16_t number[] = u"+49 170 5550100";
    HandOver(key, REG_SZ, number, sizeof number);
    Start(Line("-new", key));
    Answer(u"Contact: +49 170 5550100", IDOK);
    EXPECT_EQ(Finish(), 0u);
    EXPECT_FALSE(HandOverLeft(key));

    // The dialer's side learns of the new record and finds the number in it.
    auto deadline = Clock::now() + std::chrono::seconds(5);
    while (listener.created.empty() && Clock::now() < deadline) Pump();
    ASSERT_EQ(listener.created.size(), 1u);
    EXPECT_EQ(listener.GetChangeCount(), 2u);
    ASSERT_TRUE(listener.SeekToOid(listener.created[0]));
    DbRecord record;
    CEPROPID ids[] = {0x0096001F};
    ASSERT_TRUE(listener.ReadCurrent(&record, ids, 1));
    EXPECT_EQ(GetRecordString(record, 0x0096), u"+49 170 5550100");
}

TEST_F(PellorinProgramTest, AHandOverThatIsNoNumberIsDeletedAndMakesNoContact) {
    DWORD notText = 7;
    HandOver(0x10, REG_DWORD, &notText, sizeof notText);
    EXPECT_EQ(RunToEnd(u"-new:16"), 1u);
    EXPECT_FALSE(HandOverLeft(0x10));
    EXPECT_EQ(RunToEnd(u"-new:17"), 1u);  // nothing handed over under that key
    EXPECT_EQ(Count(olFolderContacts), 0);
}

TEST_F(PellorinProgramTest, RunsWithoutAnActionEndWithOne) {
    CEOID noNumber = SavedContact(u"No", u"Number", u"");
    for (const std::u16string& line : {std::u16string(u""), std::u16string(u"-bkg"), std::u16string(u"-open"),
                                       Line("-open", 0x80000063), Line("-copysim", noNumber)})
        EXPECT_EQ(RunToEnd(line), 1u) << platform::Utf16ToUtf8(line);
}

TEST_F(PellorinProgramTest, ContactsOpenEditBeamAndCopyByObjectIdsWithBit31) {
    CEOID anna = SavedContact(u"Anna", u"Berg", u"111");
    ASSERT_EQ(anna, 0x80000001u);
    Start(Line("-open", anna));  // the id as the dialer writes it, with bit 31
    Answer(u"Contact: Anna Berg", IDCANCEL);
    EXPECT_EQ(Finish(), 0u);
    Start(Line("-edit", 1));
    Answer(u"Contact: Anna Berg", IDOK);
    EXPECT_EQ(Finish(), 0u);

    EXPECT_EQ(RunToEnd(Line("-beam", 1)), 0u);
    std::vector<platform::poom::SentItem> sent;
    ASSERT_TRUE(platform::poom::ReadSentItems(sent));
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].oid, anna);
    EXPECT_EQ(sent[0].summary, u"Anna Berg");

    EXPECT_EQ(RunToEnd(Line("-copy", 1)), 0u);
    EXPECT_EQ(RunToEnd(Line("-copysim", anna)), 0u);
    ASSERT_EQ(Count(olFolderContacts), 3);
    ComPtr<IContact> sim = Item<IContact>(olFolderContacts, 3);
    ASSERT_TRUE(sim);
    EXPECT_EQ(Text(sim.Get(), &IContact::get_LastName), u"Berg");
    EXPECT_EQ(Text(sim.Get(), &IContact::get_MobileTelephoneNumber), u"111");
}

TEST_F(PellorinProgramTest, NewAppointmentsTasksAndItemsOfAnyType) {
    Start(u"-appt -date:31/12/2009");
    Answer(u"Appointment", IDOK);
    EXPECT_EQ(Finish(), 0u);
    ComPtr<IAppointment> appointment = Item<IAppointment>(olFolderCalendar, 1);
    ASSERT_TRUE(appointment);
    DATE start = 0;
    LONG minutes = 0;
    appointment->get_Start(&start);
    appointment->get_Duration(&minutes);
    EXPECT_DOUBLE_EQ(start, 40178.5);  // 2009-12-31 12:00
    EXPECT_EQ(minutes, 60);

    Start(u"-newany");
    Answer(u"New", platform::poom::kNewItemChoiceBaseId + olTaskItem);
    Answer(u"Task", IDOK);
    EXPECT_EQ(Finish(), 0u);
    EXPECT_EQ(Count(olFolderTasks), 1);
}

TEST_F(PellorinProgramTest, DialerThreeSendsTheContactsPageCommand) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &CommandWindowProcedure;
    windowClass.lpszClassName = u"Calvane_Cmd";
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    HWND command = CreateWindowExW(0, u"Calvane_Cmd", nullptr, 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(command, nullptr);
    commandLog.received.clear();
    EXPECT_EQ(RunToEnd(u"-dialer.3"), 0u);
    ASSERT_EQ(commandLog.received.size(), 1u);
    EXPECT_EQ(commandLog.received[0].first, 0x8003u);
    EXPECT_EQ(commandLog.received[0].second, 3u);
    DestroyWindow(command);
    UnregisterClassW(u"Calvane_Cmd", nullptr);
}

TEST_F(PellorinProgramTest, LeavingForAnotherProgramClosesTheItemWithOkAndEnds) {
    Start(u"-task");
    ASSERT_NE(WaitForItemWindow(u"Task"), nullptr);
    EXPECT_EQ(Count(olFolderTasks), 0);
    HWND other = CreateWindowExW(0, u"STATIC", u"another program", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    SetForegroundWindow(other);
    auto left = Clock::now();
    EXPECT_EQ(Finish(), 0u);
    EXPECT_GE(Clock::now() - left, std::chrono::milliseconds(900));  // a second in the other program first
    EXPECT_EQ(Count(olFolderTasks), 1);  // the item window was closed with OK
    DestroyWindow(other);
}

}  // namespace
