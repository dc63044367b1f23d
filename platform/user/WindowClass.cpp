// RegisterClassW and UnregisterClassW, and the look-up of classes for window creation.
#include "platform/user/WindowClass.h"

#include <algorithm>

#include "platform/base/Errors.h"
#include "platform/base/WideString.h"
#include "platform/user/Window.h"
#include "platform/user/WindowTable.h"

namespace platform::user {

namespace {

// A class's window bytes hold whole LONG_PTR words; more than this is a mistake.
constexpr int kMaxWindowBytes = 4096;

bool SameName(const std::u16string& name, const char16_t* other) {
    std::size_t length = wcslen(other);
    if (name.size() != length) return false;
    for (std::size_t i = 0; i < length; ++i)
        if (towlower(name[i]) != towlower(other[i])) return false;
    return true;
}

ATOM AtomOf(LPCWSTR nameOrAtom) { return static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(nameOrAtom)); }

std::shared_ptr<WindowClassRecord> Search(const std::vector<std::shared_ptr<WindowClassRecord>>& classes,
                                          LPCWSTR nameOrAtom) {
    for (const auto& record : classes) {
        bool match = IS_INTRESOURCE(nameOrAtom) ? record->atom == AtomOf(nameOrAtom) : SameName(record->name, nameOrAtom);
        if (match) return record;
    }
    return nullptr;
}

void EnsureSystemClassesLocked(WindowSystem& system) {
    if (!system.systemClasses.empty()) return;
    for (const char16_t* name : {u"STATIC", u"Dialog"}) {
        auto record = std::make_shared<WindowClassRecord>();
        record->name = name;
        record->procedure = DefWindowProcW;
        record->system = true;
        record->atom = system.nextAtom++;
        system.systemClasses.push_back(record);
    }
}

}  // namespace

std::shared_ptr<WindowClassRecord> FindClassLocked(WindowSystem& system, LPCWSTR nameOrAtom) {
    if (nameOrAtom == nullptr) return nullptr;
    EnsureSystemClassesLocked(system);
    if (auto record = Search(system.classes, nameOrAtom)) return record;
    return Search(system.systemClasses, nameOrAtom);
}

std::shared_ptr<WindowClassRecord> SystemClassLocked(WindowSystem& system, const char16_t* name) {
    EnsureSystemClassesLocked(system);
    return Search(system.systemClasses, name);
}

}  // namespace platform::user

using namespace platform::user;

ATOM RegisterClassW(const WNDCLASSW* windowClass) {
    if (windowClass == nullptr || windowClass->lpfnWndProc == nullptr || windowClass->lpszClassName == nullptr ||
        IS_INTRESOURCE(windowClass->lpszClassName) || windowClass->cbWndExtra < 0 ||
        windowClass->cbWndExtra > kMaxWindowBytes || windowClass->cbClsExtra < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::size_t length = wcslen(windowClass->lpszClassName);
    if (length == 0 || length > kMaxClassNameChars) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WindowSystem& system = System();
    std::lock_guard<std::mutex> guard(system.mutex);
    if (Search(system.classes, windowClass->lpszClassName)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto record = std::make_shared<WindowClassRecord>();
    record->name.assign(windowClass->lpszClassName, length);
    record->style = windowClass->style;
    record->procedure = windowClass->lpfnWndProc;
    constexpr int word = static_cast<int>(sizeof(LONG_PTR));
    record->windowBytes = (windowClass->cbWndExtra + word - 1) / word * word;
    record->instance = windowClass->hInstance;
    record->icon = windowClass->hIcon;
    record->cursor = windowClass->hCursor;
    record->background = windowClass->hbrBackground;
    record->atom = system.nextAtom++;
    system.classes.push_back(record);
    return record->atom;
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
    WindowSystem& system = System();
    std::lock_guard<std::mutex> guard(system.mutex);
    auto record = className ? Search(system.classes, className) : nullptr;
    if (!record) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (record->windowCount > 0) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    system.classes.erase(std::find(system.classes.begin(), system.classes.end(), record));
    return TRUE;
}
