// The process list of the handset (tool-help snapshots): every process the system runs,
// named by its handset program file ("Quorvane.exe") when it is one of the handset's
// programs, else by its Linux program name.
#pragma once

#include "platform/base/Types.h"

constexpr DWORD TH32CS_SNAPHEAPLIST = 0x00000001;
constexpr DWORD TH32CS_SNAPPROCESS = 0x00000002;
constexpr DWORD TH32CS_SNAPTHREAD = 0x00000004;
constexpr DWORD TH32CS_SNAPMODULE = 0x00000008;
constexpr DWORD TH32CS_SNAPALL = TH32CS_SNAPHEAPLIST | TH32CS_SNAPPROCESS | TH32CS_SNAPTHREAD | TH32CS_SNAPMODULE;
constexpr DWORD TH32CS_GETALLMODS = 0x80000000;
constexpr DWORD TH32CS_SNAPNOHEAPS = 0x40000000;

struct PROCESSENTRY32W {
    DWORD dwSize;  // set by the caller: sizeof(PROCESSENTRY32W)
    DWORD cntUsage;
    DWORD th32ProcessID;
    DWORD th32DefaultHeapID;
    DWORD th32ModuleID;
    DWORD cntThreads;
    DWORD th32ParentProcessID;
    LONG pcPriClassBase;
    DWORD dwFlags;
    WCHAR szExeFile[MAX_PATH];
    DWORD th32MemoryBase;
    DWORD th32AccessKey;
};
using LPPROCESSENTRY32W = PROCESSENTRY32W*;
using PROCESSENTRY32 = PROCESSENTRY32W;
using LPPROCESSENTRY32 = PROCESSENTRY32W*;

// A snapshot of the processes running now. Only the process list is taken: the flags must
// hold TH32CS_SNAPPROCESS (other snapshot kinds are not kept; there are no calls to read
// them); the process id is not used. INVALID_HANDLE_VALUE with ERROR_INVALID_PARAMETER
// without TH32CS_SNAPPROCESS, or ERROR_ACCESS_DENIED when the list cannot be read.
HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD processId);
// The first and the following processes of the snapshot. FALSE with ERROR_NO_MORE_FILES
// after the last one, ERROR_INVALID_HANDLE for a handle that is not a snapshot, and
// ERROR_INSUFFICIENT_BUFFER when dwSize is smaller than the record. Names longer than
// MAX_PATH - 1 characters are cut.
BOOL Process32FirstW(HANDLE snapshot, LPPROCESSENTRY32W entry);
BOOL Process32NextW(HANDLE snapshot, LPPROCESSENTRY32W entry);
#define Process32First Process32FirstW
#define Process32Next Process32NextW
// Closes the snapshot (CloseHandle does the same).
BOOL CloseToolhelp32Snapshot(HANDLE snapshot);
