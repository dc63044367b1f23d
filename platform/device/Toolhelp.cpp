// Tool-help snapshots: a list of processes taken once, walked with Process32FirstW and
// Process32NextW.
#include "platform/device/Toolhelp.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/device/ProcessList.h"

namespace {

class ProcessSnapshot final : public platform::KernelObject {
public:
    explicit ProcessSnapshot(std::vector<platform::device::ProcessRecord> processes)
        : processes_(std::move(processes)) {}

    // Fills the entry with the first process (or the next one) and moves past it.
    bool Read(bool fromStart, PROCESSENTRY32W& entry) {
        std::lock_guard<std::mutex> guard(mutex_);
        if (fromStart) next_ = 0;
        if (next_ >= processes_.size()) return false;
        const auto& process = processes_[next_++];
        DWORD size = entry.dwSize;
        std::memset(&entry, 0, sizeof entry);
        entry.dwSize = size;
        entry.cntUsage = 1;
        entry.th32ProcessID = process.processId;
        entry.cntThreads = process.threads;
        entry.th32ParentProcessID = process.parentId;
        entry.pcPriClassBase = 3;  // the handset's normal priority level
        std::size_t length = std::min<std::size_t>(process.exeFile.size(), MAX_PATH - 1);
        std::copy_n(process.exeFile.begin(), length, entry.szExeFile);
        entry.szExeFile[length] = 0;
        return true;
    }

private:
    std::mutex mutex_;
    std::vector<platform::device::ProcessRecord> processes_;
    std::size_t next_ = 0;
};

BOOL ReadEntry(HANDLE snapshot, LPPROCESSENTRY32W entry, bool fromStart) {
    platform::KernelObjectRef<ProcessSnapshot> object(snapshot);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (entry == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (entry->dwSize < sizeof(PROCESSENTRY32W)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    if (!object->Read(fromStart, *entry)) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD processId) {
    UNREFERENCED_PARAMETER(processId);
    if ((flags & TH32CS_SNAPPROCESS) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::vector<platform::device::ProcessRecord> processes;
    if (!platform::device::ListProcesses(processes)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return platform::RegisterKernelObject(new ProcessSnapshot(std::move(processes)));
}

BOOL Process32FirstW(HANDLE snapshot, LPPROCESSENTRY32W entry) { return ReadEntry(snapshot, entry, true); }

BOOL Process32NextW(HANDLE snapshot, LPPROCESSENTRY32W entry) { return ReadEntry(snapshot, entry, false); }

BOOL CloseToolhelp32Snapshot(HANDLE snapshot) {
    if (platform::KernelObjectAs<ProcessSnapshot>(snapshot) == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return CloseHandle(snapshot);
}
