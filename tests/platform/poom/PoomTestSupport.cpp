// The shared set-up and helpers of the object-model tests.
#include "tests/platform/poom/PoomTestSupport.h"

#include <chrono>

#include "platform/user/Window.h"

namespace poom_test {

std::u16string Take(BSTR text) {
    std::u16string taken = text != nullptr ? std::u16string(text, SysStringLen(text)) : std::u16string();
    SysFreeString(text);
    return taken;
}

void PoomTest::SetUp() {
    platform::poom::RegisterPoom();
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    ASSERT_EQ(CoCreateInstance(CLSID_Application, nullptr, CLSCTX_ALL, IID_IPOutlookApp, app_.ReceiveVoid()), S_OK);
    ASSERT_EQ(app_->Logon(nullptr), S_OK);
}

void PoomTest::TearDown() {
    app_.Reset();
    CoUninitialize();
}

ComPtr<IContact> PoomTest::NewContact() {
    ComPtr<IDispatch> item;
    EXPECT_EQ(app_->CreateItem(olContactItem, item.Receive()), S_OK);
    return As<IContact>(item.Get());
}

ComPtr<IContact> PoomTest::SavedContact(const char16_t* first, const char16_t* last, const char16_t* mobile) {
    ComPtr<IContact> contact = NewContact();
    if (!contact) return contact;
    if (first != nullptr) {
        EXPECT_EQ(contact->put_FirstName(Text(first)), S_OK);
    }
    if (last != nullptr) {
        EXPECT_EQ(contact->put_LastName(Text(last)), S_OK);
    }
    if (mobile != nullptr) {
        EXPECT_EQ(contact->put_MobileTelephoneNumber(Text(mobile)), S_OK);
    }
    EXPECT_EQ(contact->Save(), S_OK);
    return contact;
}

ComPtr<IDispatch> PoomTest::ItemOf(CEOID oid) {
    ComPtr<IDispatch> item;
    app_->GetItemFromOid(oid, item.Receive());
    return item;
}

WindowCall::WindowCall(std::function<HRESULT()> show)
    : thread_([this, show = std::move(show)] { result_ = show(); }) {}

WindowCall::~WindowCall() {
    if (thread_.joinable()) thread_.join();
}

HRESULT WindowCall::Join() {
    if (thread_.joinable()) thread_.join();
    return result_;
}

HWND WaitForDialog(const std::u16string& title) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window != nullptr;
             window = GetWindow(window, GW_HWNDNEXT)) {
            WCHAR className[32] = {};
            GetClassNameW(window, className, 32);
            if (std::u16string(className) == u"Dialog" && IsWindowVisible(window) &&
                WindowText(window).rfind(title, 0) == 0)
                return window;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return nullptr;
}

HWND ChildWithId(HWND dialog, int id) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        if (GetWindowLongW(child, GWL_ID) == id) return child;
    return nullptr;
}

std::u16string WindowText(HWND window) {
    WCHAR text[512] = {};
    int length = GetWindowTextW(window, text, 512);
    return std::u16string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

}  // namespace poom_test
