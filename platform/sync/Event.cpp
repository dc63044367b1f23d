// CreateEventW, OpenEventW and the calls that set, reset and pulse an event.
#include "platform/sync/Event.h"

#include <string_view>

#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/sync/EventNamed.h"
#include "platform/sync/EventObject.h"

namespace {

enum class NameCheck { Unnamed, Named, TooLong };

// Finds the end of a name within MAX_PATH characters, never reading further.
NameCheck CheckName(LPCWSTR name, std::u16string_view* view) {
    if (name == nullptr || name[0] == u'\0') return NameCheck::Unnamed;
    std::size_t length = 0;
    while (length <= MAX_PATH && name[length] != u'\0') ++length;
    if (length > MAX_PATH) return NameCheck::TooLong;
    *view = std::u16string_view(name, length);
    return NameCheck::Named;
}

HANDLE RegisterOrRelease(platform::KernelObject* object) {
    HANDLE handle = platform::RegisterKernelObject(object);
    if (handle == nullptr) object->ReleaseHandleRef();
    return handle;
}

}  // namespace

HANDLE CreateEventW(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState, LPCWSTR name) {
    UNREFERENCED_PARAMETER(attributes);  // the handset has no object security
    std::u16string_view view;
    switch (CheckName(name, &view)) {
        case NameCheck::TooLong: SetLastError(ERROR_FILENAME_EXCED_RANGE); return nullptr;
        case NameCheck::Unnamed: {
            HANDLE handle = RegisterOrRelease(new platform::LocalEvent(manualReset != FALSE, initialState != FALSE));
            if (handle != nullptr) SetLastError(ERROR_SUCCESS);
            return handle;
        }
        case NameCheck::Named: break;
    }
    bool existed = false;
    platform::NamedEvent* event =
        platform::NamedEvent::Open(view, manualReset != FALSE, initialState != FALSE, true, &existed);
    if (event == nullptr) return nullptr;
    HANDLE handle = RegisterOrRelease(event);
    if (handle != nullptr) SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

HANDLE OpenEventW(DWORD desiredAccess, BOOL inheritHandle, LPCWSTR name) {
    UNREFERENCED_PARAMETER(desiredAccess);  // every handle may wait and modify
    UNREFERENCED_PARAMETER(inheritHandle);  // child processes start without handles
    std::u16string_view view;
    switch (CheckName(name, &view)) {
        case NameCheck::TooLong: SetLastError(ERROR_FILENAME_EXCED_RANGE); return nullptr;
        case NameCheck::Unnamed: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
        case NameCheck::Named: break;
    }
    bool existed = false;
    platform::NamedEvent* event = platform::NamedEvent::Open(view, false, false, false, &existed);
    if (event == nullptr) return nullptr;
    return RegisterOrRelease(event);
}

BOOL EventModify(HANDLE event, DWORD function) {
    // Held for the call: a CloseHandle on another thread meanwhile does not free it under us.
    platform::KernelObjectRef<platform::EventControl> control(event);
    if (!control) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return control->Modify(function) ? TRUE : FALSE;
}

BOOL SetEvent(HANDLE event) { return EventModify(event, EVENT_SET); }
BOOL ResetEvent(HANDLE event) { return EventModify(event, EVENT_RESET); }
BOOL PulseEvent(HANDLE event) { return EventModify(event, EVENT_PULSE); }
