// Reading the running processes from /proc for the tool-help snapshots: ids, parents,
// thread counts and program names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Types.h"

namespace platform::device {

struct ProcessRecord {
    DWORD processId = 0;
    DWORD parentId = 0;
    DWORD threads = 0;
    std::u16string exeFile;  // file name only
};

// The fields of /proc/<pid>/stat that the list uses. The name is the one between the first
// '(' and the last ')', as it may itself hold blanks and parentheses.
struct ProcStat {
    std::string name;
    DWORD parentId = 0;
    DWORD threads = 0;
};
// False for a line that is not of that shape.
bool ParseProcStat(std::string_view line, ProcStat& stat);

// The handset's name of a program: the last component of its handset path.
std::u16string ProgramFileName(const std::u16string& handsetPath);

// Every process that can be read now, in the order of their ids. This process is named by
// its handset program path (GetModuleFileNameW); another process whose program lies under
// the handset root by that program's file, with ".exe" added as the handset names
// programs; any other by its Linux program name. False when /proc cannot be read.
bool ListProcesses(std::vector<ProcessRecord>& processes);

}  // namespace platform::device
