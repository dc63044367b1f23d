// Reads a process's state and start time from /proc/<pid>/stat.
#include "platform/process/ProcessIdentity.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace platform::user {

namespace {

struct StatFields {
    char state = 0;
    std::uint64_t startTime = 0;
};

// The command name in the second field may hold blanks and parentheses; the fields after
// the last ')' are plain numbers: state is the first of them, the start time the 20th.
bool ReadStat(const std::string& path, StatFields& fields) {
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    if (!std::getline(in, line)) return false;
    std::size_t close = line.rfind(')');
    if (close == std::string::npos) return false;
    std::istringstream rest(line.substr(close + 1));
    std::string token;
    for (int index = 0; index < 20; ++index) {
        if (!(rest >> token)) return false;
        if (index == 0) fields.state = token.empty() ? 0 : token[0];
    }
    char* end = nullptr;
    fields.startTime = std::strtoull(token.c_str(), &end, 10);
    return end != token.c_str() && *end == '\0';
}

}  // namespace

std::uint64_t OwnStartTime() {
    static const std::uint64_t startTime = [] {
        StatFields fields;
        return ReadStat("/proc/self/stat", fields) ? fields.startTime : 0;
    }();
    return startTime;
}

bool IsProcessAlive(DWORD processId, std::uint64_t startTime) {
    if (processId == 0) return false;
    if (processId == static_cast<DWORD>(getpid())) return true;
    StatFields fields;
    if (!ReadStat("/proc/" + std::to_string(processId) + "/stat", fields)) return false;
    if (fields.state == 'Z' || fields.state == 'X' || fields.state == 'x') return false;
    return fields.startTime == startTime;
}

}  // namespace platform::user
