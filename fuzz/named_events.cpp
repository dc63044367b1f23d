// Fuzz harness: the bytes are the tables of named-events.shm (processes, named events and
// waits) as other processes, or one that died in the middle of a change, may have left them
// in the segment every process of the handset root maps. The header with its lock stays as
// this process set it up: it is checked when the file is opened, and the tables are what
// every later call trusts. In the process table, a process id of -1 stands for this process
// (with its start time), so that such rows count as alive.
// Then events are created, opened, set, reset, pulsed, waited on without blocking and
// closed; a manual-reset event just set must be signalled, and nothing may be read outside
// the segment.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "fuzz/FuzzHandsetFile.h"
#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/sync/Event.h"
#include "platform/sync/SyncSegment.h"
#include "platform/sync/Wait.h"

namespace {

using platform::sync::SharedHeader;
using platform::sync::SharedLayout;
using platform::sync::SharedProcess;

void Check(bool holds) {
    if (!holds) std::abort();
}

// This process's row as the segment keeps it, read from the file after the first event.
SharedProcess OwnRow(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    Check(fd >= 0);
    SharedProcess rows[platform::sync::kMaxProcesses];
    Check(pread(fd, rows, sizeof rows, offsetof(SharedLayout, processes)) == static_cast<ssize_t>(sizeof rows));
    close(fd);
    for (const SharedProcess& row : rows)
        if (row.inUse != 0 && row.pid == getpid()) return row;
    std::abort();
}

// Writes the tables over the mapped file: the mapping shares its pages, as with another
// process writing them. The input holds the processes, then the waits, then the events (the
// largest table last, so that short inputs reach every kind of row); what it does not cover
// is zeros.
void WriteTables(const std::string& path, const SharedProcess& self, const std::uint8_t* data, std::size_t size) {
    SharedLayout tables{};
    const std::pair<void*, std::size_t> parts[] = {{tables.processes, sizeof tables.processes},
                                                   {tables.waiters, sizeof tables.waiters},
                                                   {tables.events, sizeof tables.events}};
    for (const auto& [part, bytes] : parts) {
        const std::size_t taken = std::min(size, bytes);
        if (taken > 0) std::memcpy(part, data, taken);
        data += taken;
        size -= taken;
    }
    for (SharedProcess& process : tables.processes)
        if (process.pid == -1) process = SharedProcess{self.pid, process.inUse, self.startTime};
    const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    Check(fd >= 0);
    const std::size_t bytes = sizeof(SharedLayout) - sizeof(SharedHeader);
    const char* after = reinterpret_cast<const char*>(&tables) + sizeof(SharedHeader);
    Check(pwrite(fd, after, bytes, sizeof(SharedHeader)) == static_cast<ssize_t>(bytes));
    close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzHandsetFile file("named-events.shm");
    static const SharedProcess self = [] {
        HANDLE first = CreateEventW(nullptr, TRUE, FALSE, u"F");
        Check(first != nullptr);
        const SharedProcess row = OwnRow(file.Path());
        CloseHandle(first);
        return row;
    }();
    WriteTables(file.Path(), self, data, size);

    // Names that rows of the input can hold too ("F", "G"), one manual-reset, one not.
    HANDLE manual = CreateEventW(nullptr, TRUE, FALSE, u"F");
    // A row of the input named "F" is opened as it is, manual-reset or not.
    const bool made = manual != nullptr && GetLastError() != ERROR_ALREADY_EXISTS;
    HANDLE automatic = CreateEventW(nullptr, FALSE, TRUE, u"G");
    HANDLE opened = OpenEventW(0, FALSE, u"F");
    if (manual != nullptr) {
        // A row the input made can count its handles wrong and be dropped under this one:
        // its calls then fail, and only a row made here must keep every promise.
        Check(SetEvent(manual) || !made);
        Check(WaitForSingleObject(manual, 0) == WAIT_OBJECT_0 || !made);
        PulseEvent(manual);
        Check(ResetEvent(manual) || !made);
        Check(WaitForSingleObject(manual, 0) == WAIT_TIMEOUT || !made);
        platform::WaitsBlockedOn(manual);
    }
    if (automatic != nullptr) {
        WaitForSingleObject(automatic, 0);
        PulseEvent(automatic);
        SetEvent(automatic);
    }
    if (manual != nullptr && automatic != nullptr) {
        const HANDLE both[] = {manual, automatic};
        WaitForMultipleObjects(2, both, TRUE, 0);
        WaitForMultipleObjects(2, both, FALSE, 0);
    }
    for (HANDLE handle : {manual, automatic, opened})
        if (handle != nullptr) Check(CloseHandle(handle));
    return 0;
}
