// Files on the handset: CreateFileW and the calls on an open file handle (read, write,
// seek, size, end of file, flush, times). Handles are closed with CloseHandle.
#pragma once

#include "platform/base/Types.h"

// Access rights
constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD GENERIC_EXECUTE = 0x20000000u;
constexpr DWORD GENERIC_ALL = 0x10000000u;

// Share modes: accepted and checked for unknown bits; the handset's files are not locked
// against other openers here.
constexpr DWORD FILE_SHARE_READ = 0x00000001;
constexpr DWORD FILE_SHARE_WRITE = 0x00000002;
constexpr DWORD FILE_SHARE_DELETE = 0x00000004;

// Creation dispositions
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD TRUNCATE_EXISTING = 5;

// Attributes as the handset reports them. Only READONLY is kept (as the owner's write
// permission); the others are accepted when creating a file.
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x00000001;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x00000002;
constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x00000004;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x00000010;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x00000020;
constexpr DWORD FILE_ATTRIBUTE_INROM = 0x00000040;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;
constexpr DWORD FILE_ATTRIBUTE_TEMPORARY = 0x00000100;
constexpr DWORD FILE_ATTRIBUTE_COMPRESSED = 0x00000800;
constexpr DWORD FILE_ATTRIBUTE_ROMMODULE = 0x00002000;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;

// Flags: accepted; every write reaches Linux at once anyway.
constexpr DWORD FILE_FLAG_WRITE_THROUGH = 0x80000000u;
constexpr DWORD FILE_FLAG_RANDOM_ACCESS = 0x10000000u;
constexpr DWORD FILE_FLAG_SEQUENTIAL_SCAN = 0x08000000u;

// Seek origins and failure values
constexpr DWORD FILE_BEGIN = 0;
constexpr DWORD FILE_CURRENT = 1;
constexpr DWORD FILE_END = 2;
constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFFu;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFFu;

// The handset does no overlapped I/O: the record exists for the signatures, and a
// non-null one is refused with ERROR_NOT_SUPPORTED.
struct OVERLAPPED;
using LPOVERLAPPED = OVERLAPPED*;

// A handset path, or a stream device name such as "ACC1:" (see StreamDevice.h). On
// success the last error is 0, or ERROR_ALREADY_EXISTS when CREATE_ALWAYS / OPEN_ALWAYS
// found the file.
HANDLE CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);
// Reading at the end gives TRUE with 0 bytes.
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPOVERLAPPED overlapped);
// Without distanceHigh the distance is a signed 32-bit value and the new position must fit
// in 32 bits. The low part is returned; since 0xFFFFFFFF can be a position, callers check
// GetLastError (0 on success).
DWORD SetFilePointer(HANDLE file, LONG distance, LPLONG distanceHigh, DWORD moveMethod);
DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh);
BOOL SetEndOfFile(HANDLE file);
BOOL FlushFileBuffers(HANDLE file);
BOOL GetFileTime(HANDLE file, LPFILETIME creationTime, LPFILETIME lastAccessTime, LPFILETIME lastWriteTime);

namespace platform::fs {

// Makes WriteFile store its bytes 512 at a time with a pause of `microseconds` after each
// piece, as a slow memory card does, so that a test can stop a process in the middle of a
// write; 0 (the default) writes at once.
void SetWritePace(unsigned microseconds);

}  // namespace platform::fs
