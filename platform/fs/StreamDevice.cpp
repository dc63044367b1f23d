// The table of stream devices by name, and the calls that reach a device object.
#include "platform/fs/StreamDevice.h"

#include <map>
#include <mutex>
#include <string>

#include "platform/base/Errors.h"

namespace platform {

namespace {

struct DeviceTable {
    std::mutex lock;
    std::map<std::u16string, StreamDeviceOpener> openers;
};

DeviceTable& Devices() {
    // Never destroyed: a device may be opened from a static destructor of another area.
    static DeviceTable* table = new DeviceTable;
    return *table;
}

bool IsAsciiLetter(WCHAR c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

std::u16string DeviceKey(LPCWSTR name) {
    std::u16string key(name, 5);
    for (auto& c : key)
        if (c >= u'a' && c <= u'z') c = static_cast<WCHAR>(c - u'a' + u'A');
    return key;
}

}  // namespace

BOOL StreamDevice::Read(LPVOID, DWORD, LPDWORD) {
    SetLastError(ERROR_INVALID_FUNCTION);
    return FALSE;
}

BOOL StreamDevice::Write(LPCVOID, DWORD, LPDWORD) {
    SetLastError(ERROR_INVALID_FUNCTION);
    return FALSE;
}

BOOL StreamDevice::IoControl(DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD) {
    SetLastError(ERROR_INVALID_FUNCTION);
    return FALSE;
}

bool IsStreamDeviceName(LPCWSTR name) {
    if (!name) return false;
    for (int i = 0; i < 3; ++i)
        if (!IsAsciiLetter(name[i])) return false;
    return name[3] >= u'0' && name[3] <= u'9' && name[4] == u':' && name[5] == 0;
}

void RegisterStreamDevice(LPCWSTR deviceName, StreamDeviceOpener opener) {
    if (!IsStreamDeviceName(deviceName) || !opener) return;
    DeviceTable& table = Devices();
    std::lock_guard<std::mutex> guard(table.lock);
    table.openers[DeviceKey(deviceName)] = std::move(opener);
}

void UnregisterStreamDevice(LPCWSTR deviceName) {
    if (!IsStreamDeviceName(deviceName)) return;
    DeviceTable& table = Devices();
    std::lock_guard<std::mutex> guard(table.lock);
    table.openers.erase(DeviceKey(deviceName));
}

HANDLE OpenStreamDevice(LPCWSTR deviceName, DWORD desiredAccess, DWORD shareMode) {
    StreamDeviceOpener opener;
    if (IsStreamDeviceName(deviceName)) {
        DeviceTable& table = Devices();
        std::lock_guard<std::mutex> guard(table.lock);
        auto found = table.openers.find(DeviceKey(deviceName));
        if (found != table.openers.end()) opener = found->second;
    }
    if (!opener) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    // Outside the lock: an opener may register or open other devices.
    StreamDevice* device = opener(desiredAccess, shareMode);
    if (!device) return INVALID_HANDLE_VALUE;
    HANDLE handle = RegisterKernelObject(device);
    SetLastError(ERROR_SUCCESS);
    return handle;
}

}  // namespace platform

BOOL DeviceIoControl(HANDLE device, DWORD ioControlCode, LPVOID inBuffer, DWORD inBufferSize, LPVOID outBuffer,
                     DWORD outBufferSize, LPDWORD bytesReturned, LPOVERLAPPED overlapped) {
    if (overlapped) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    auto* object = platform::KernelObjectAs<platform::StreamDevice>(device);
    if (!object) {
        // A file or other handle has no control codes.
        SetLastError(platform::KernelObjectFromHandle(device) ? ERROR_INVALID_FUNCTION : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if ((inBufferSize > 0 && !inBuffer) || (outBufferSize > 0 && !outBuffer)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return object->IoControl(ioControlCode, inBuffer, inBufferSize, outBuffer, outBufferSize, bytesReturned);
}
