// Shared set-up of the object-model tests: a fresh handset root, the object model registered
// and logged on, and short forms for making items and driving item windows.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "platform/com/Com.h"
#include "platform/com/ComObject.h"
#include "platform/poom/ItemProperties.h"
#include "platform/poom/Poom.h"
#include "tests/support/TestSupport.h"

namespace poom_test {

using platform::com::ComPtr;

// The slot of a virtual function as the Itanium C++ ABI encodes a pointer to it (1 + the
// byte offset in the table), so that tests can check the order callers rely on.
template <class T, class R, class... A>
std::size_t SlotOf(R (T::*method)(A...)) {
    struct {
        std::uintptr_t pointer;
        std::ptrdiff_t adjustment;
    } representation;
    static_assert(sizeof(method) == sizeof(representation));
    std::memcpy(&representation, &method, sizeof representation);
    return (representation.pointer - 1) / sizeof(void*);
}

template <class T>
ComPtr<T> As(IUnknown* object) {
    ComPtr<T> wanted;
    if (object != nullptr) object->QueryInterface(T::kIid, wanted.ReceiveVoid());
    return wanted;
}

// A BSTR for the duration of a call.
class Text {
public:
    explicit Text(const char16_t* text) : text_(SysAllocString(text)) {}
    ~Text() { SysFreeString(text_); }
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
    operator BSTR() const { return text_; }

private:
    BSTR text_;
};

std::u16string Take(BSTR text);

class PoomTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    ComPtr<IContact> NewContact();
    // A saved contact with the given names and mobile number (empty ones left out).
    ComPtr<IContact> SavedContact(const char16_t* first, const char16_t* last, const char16_t* mobile);
    ComPtr<IDispatch> ItemOf(CEOID oid);

    handset_test::TempHandsetRoot root_;
    ComPtr<IPOutlookApp> app_;
};

// Runs `show` (a call that opens an item window) on a thread of its own, so that the test
// can find its window and answer it. Join() gives what the call returned.
class WindowCall {
public:
    explicit WindowCall(std::function<HRESULT()> show);
    ~WindowCall();
    HRESULT Join();

private:
    std::thread thread_;
    HRESULT result_ = E_FAIL;
};

// The top-level "Dialog" window whose title begins with `title`, waited for up to 5 s.
HWND WaitForDialog(const std::u16string& title);
// The child of `dialog` with that control id, or null.
HWND ChildWithId(HWND dialog, int id);
std::u16string WindowText(HWND window);

}  // namespace poom_test
