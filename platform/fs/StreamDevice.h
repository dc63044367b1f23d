// Stream devices of the handset ("ACC1:", "LED3:", ...): a driver area registers an opener
// under the device name; CreateFileW of that name opens the device, and ReadFile, WriteFile
// and DeviceIoControl on the handle reach the device object.
#pragma once

#include <functional>

#include "platform/base/Handle.h"
#include "platform/base/Types.h"
#include "platform/fs/Files.h"

namespace platform {

class StreamDevice : public KernelObject {
public:
    // Each gives FALSE with the last error set on failure; a device that does not support
    // an operation keeps the default, which refuses it with ERROR_INVALID_FUNCTION.
    virtual BOOL Read(LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead);
    virtual BOOL Write(LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten);
    virtual BOOL IoControl(DWORD code, LPVOID inBuffer, DWORD inSize, LPVOID outBuffer, DWORD outSize,
                           LPDWORD bytesReturned);
};

// Gives a new device object holding one handle reference, or null with the last error set.
using StreamDeviceOpener = std::function<StreamDevice*(DWORD desiredAccess, DWORD shareMode)>;

// deviceName is "XXXn:" (three letters, one digit, a colon); look-up ignores case.
// Registering a name again replaces its opener.
void RegisterStreamDevice(LPCWSTR deviceName, StreamDeviceOpener opener);
void UnregisterStreamDevice(LPCWSTR deviceName);

bool IsStreamDeviceName(LPCWSTR name);
// Opens a registered device for CreateFileW: its handle, or INVALID_HANDLE_VALUE with
// ERROR_FILE_NOT_FOUND when no device of that name is registered.
HANDLE OpenStreamDevice(LPCWSTR deviceName, DWORD desiredAccess, DWORD shareMode);

}  // namespace platform

BOOL DeviceIoControl(HANDLE device, DWORD ioControlCode, LPVOID inBuffer, DWORD inBufferSize, LPVOID outBuffer,
                     DWORD outBufferSize, LPDWORD bytesReturned, LPOVERLAPPED overlapped);
