// The running processes from /proc.
#include "platform/device/ProcessList.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>

#include "platform/base/CodePage.h"
#include "platform/base/HandsetRoot.h"
#include "platform/base/WideString.h"
#include "platform/fs/ModulePath.h"
#include "platform/sync/Thread.h"

namespace platform::device {

namespace {

// The stat fields after the name: state is the first, the parent the second, the thread
// count the eighteenth.
constexpr std::size_t kParentField = 1;
constexpr std::size_t kThreadsField = 17;
// A stat line is a few hundred bytes; more is not a stat line.
constexpr std::size_t kMaxStatBytes = 4096;

bool ReadDword(std::string_view word, DWORD& value) {
    unsigned long long parsed = 0;
    auto [end, status] = std::from_chars(word.data(), word.data() + word.size(), parsed);
    if (word.empty() || status != std::errc() || end != word.data() + word.size() || parsed > 0xFFFFFFFFull)
        return false;
    value = static_cast<DWORD>(parsed);
    return true;
}

std::string ReadSmallFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text;
    char buffer[1024];
    while (text.size() <= kMaxStatBytes && (in.read(buffer, sizeof buffer) || in.gcount() > 0))
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
    return text;
}

std::string ReadLink(const std::string& path) {
    std::string target(4096, '\0');
    ssize_t length = readlink(path.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return {};
    target.resize(static_cast<std::size_t>(length));
    // A program replaced while it runs is shown with this mark.
    constexpr std::string_view kDeleted = " (deleted)";
    std::size_t kept = target.size() - std::min(target.size(), kDeleted.size());
    if (target.size() > kDeleted.size() && std::string_view(target).substr(kept) == kDeleted) target.resize(kept);
    return target;
}

bool EndsWithExe(const std::u16string& name) {
    return name.size() >= 4 && _wcsicmp(name.c_str() + name.size() - 4, u".exe") == 0;
}

// Another process's name: its handset program when its program lies under the handset
// root, else its Linux program, else the kernel's name for it.
std::u16string NameOfOtherProcess(DWORD processId, const std::string& statName) {
    std::string executable = ReadLink("/proc/" + std::to_string(processId) + "/exe");
    if (executable.empty()) return platform::Utf8ToUtf16(statName);
    if (auto handsetPath = platform::HandsetPathFromLinux(executable)) {
        std::u16string name = ProgramFileName(*handsetPath);
        return EndsWithExe(name) ? name : name + u".exe";
    }
    return platform::Utf8ToUtf16(executable.substr(executable.find_last_of('/') + 1));
}

std::u16string NameOfThisProcess() {
    WCHAR path[MAX_PATH] = {};
    if (GetModuleFileNameW(nullptr, path, MAX_PATH) == 0) return u"";
    return ProgramFileName(path);
}

}  // namespace

bool ParseProcStat(std::string_view line, ProcStat& stat) {
    if (line.size() > kMaxStatBytes) return false;
    std::size_t open = line.find('(');
    std::size_t close = line.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) return false;
    std::vector<std::string_view> fields;
    std::size_t i = close + 1;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\n')) ++i;
        std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\n') ++i;
        if (i > start) fields.push_back(line.substr(start, i - start));
    }
    ProcStat parsed;
    if (fields.size() <= kThreadsField || !ReadDword(fields[kParentField], parsed.parentId) ||
        !ReadDword(fields[kThreadsField], parsed.threads))
        return false;
    parsed.name = std::string(line.substr(open + 1, close - open - 1));
    stat = std::move(parsed);
    return true;
}

std::u16string ProgramFileName(const std::u16string& handsetPath) {
    std::size_t separator = handsetPath.find_last_of(u"\\/");
    return separator == std::u16string::npos ? handsetPath : handsetPath.substr(separator + 1);
}

bool ListProcesses(std::vector<ProcessRecord>& processes) {
    processes.clear();
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return false;
    std::vector<DWORD> ids;
    while (dirent* entry = readdir(proc)) {
        DWORD id = 0;
        if (ReadDword(entry->d_name, id) && id != 0) ids.push_back(id);
    }
    closedir(proc);
    std::sort(ids.begin(), ids.end());
    DWORD self = GetCurrentProcessId();
    for (DWORD id : ids) {
        ProcStat stat;
        // A process that ended since the folder was read is left out.
        if (!ParseProcStat(ReadSmallFile("/proc/" + std::to_string(id) + "/stat"), stat)) continue;
        ProcessRecord record;
        record.processId = id;
        record.parentId = stat.parentId;
        record.threads = stat.threads;
        record.exeFile = id == self ? NameOfThisProcess() : NameOfOtherProcess(id, stat.name);
        processes.push_back(std::move(record));
    }
    return true;
}

}  // namespace platform::device
