// The process list: this process and others by their names, the walk of a snapshot, bad
// calls, and the reading of /proc stat lines.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <map>
#include <optional>

#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/device/ProcessList.h"
#include "platform/device/Toolhelp.h"
#include "platform/fs/ModulePath.h"
#include "tests/support/Launch.h"
#include "tests/support/TestSupport.h"

namespace {

std::map<DWORD, PROCESSENTRY32W> Snapshot() {
    std::map<DWORD, PROCESSENTRY32W> processes;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS | TH32CS_SNAPNOHEAPS, 0);
    EXPECT_NE(snapshot, INVALID_HANDLE_VALUE);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        processes[entry.th32ProcessID] = entry;
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_TRUE(CloseToolhelp32Snapshot(snapshot));
    return processes;
}

// A program that sleeps until it is killed (as its Process goes).
handset_test::Process StartSleeper(const std::string& program) {
    handset_test::Process sleeper({.program = program, .arguments = {"30"}});
    EXPECT_GT(sleeper.Pid(), 0) << program;
    return sleeper;
}

TEST(ToolhelpTest, FindsThisProcessAndOthersByTheirNames) {
    handset_test::TempHandsetRoot root;
    // A program installed on the handset, and one that is not.
    std::filesystem::path installed = root.Path() + "/fs/Program Files/Hopper/hopper";
    std::filesystem::create_directories(installed.parent_path());
    std::filesystem::copy_file("/bin/sleep", installed);
    std::optional<handset_test::Process> handsetSleeper = StartSleeper(installed.string());
    std::optional<handset_test::Process> linuxSleeper = StartSleeper("/bin/sleep");
    const pid_t handsetProgram = handsetSleeper->Pid();
    const pid_t linuxProgram = linuxSleeper->Pid();

    auto processes = Snapshot();
    handsetSleeper.reset();
    linuxSleeper.reset();

    WCHAR path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    ASSERT_TRUE(processes.count(static_cast<DWORD>(getpid())));
    const PROCESSENTRY32W& self = processes[static_cast<DWORD>(getpid())];
    EXPECT_EQ(std::u16string(self.szExeFile), platform::device::ProgramFileName(path));
    EXPECT_EQ(self.th32ParentProcessID, static_cast<DWORD>(getppid()));
    EXPECT_GE(self.cntThreads, 1u);
    EXPECT_EQ(self.dwSize, sizeof(PROCESSENTRY32W));

    ASSERT_TRUE(processes.count(static_cast<DWORD>(handsetProgram)));
    EXPECT_EQ(std::u16string(processes[static_cast<DWORD>(handsetProgram)].szExeFile), u"hopper.exe");
    ASSERT_TRUE(processes.count(static_cast<DWORD>(linuxProgram)));
    EXPECT_EQ(std::u16string(processes[static_cast<DWORD>(linuxProgram)].szExeFile), u"sleep");
    EXPECT_EQ(processes[static_cast<DWORD>(linuxProgram)].th32ParentProcessID, static_cast<DWORD>(getpid()));
}

TEST(ToolhelpTest, SnapshotsWalkFromTheStartAgainAndRefuseBadCalls) {
    SetLastError(0);
    EXPECT_EQ(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    ASSERT_NE(snapshot, INVALID_HANDLE_VALUE);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry - 1;
    EXPECT_FALSE(Process32FirstW(snapshot, &entry));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_FALSE(Process32FirstW(snapshot, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    entry.dwSize = sizeof entry;
    ASSERT_TRUE(Process32FirstW(snapshot, &entry));
    DWORD first = entry.th32ProcessID;
    ASSERT_TRUE(Process32NextW(snapshot, &entry));
    EXPECT_GT(entry.th32ProcessID, first);
    ASSERT_TRUE(Process32FirstW(snapshot, &entry));
    EXPECT_EQ(entry.th32ProcessID, first);

    EXPECT_TRUE(CloseToolhelp32Snapshot(snapshot));
    EXPECT_FALSE(Process32NextW(snapshot, &entry));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(CloseToolhelp32Snapshot(snapshot));
    EXPECT_FALSE(CloseToolhelp32Snapshot(nullptr));
}

TEST(ToolhelpTest, StatLinesGiveNameParentAndThreads) {
    const std::string tail = " S 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20\n";
    struct Case {
        std::string line;
        bool good;
        const char* name;
    };
    const Case cases[] = {
        {"42 (sleep)" + tail, true, "sleep"},
        {"42 (a) (b)) c)" + tail, true, "a) (b)) c"},
        {"42 ()" + tail, true, ""},
        {"42 (sleep) S 1 2 3", false, ""},
        {"42 sleep" + tail, false, ""},
        {"42 )sleep(" + tail, false, ""},
        {"42 (sleep) S x 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18", false, ""},
        {"42 (sleep) S 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 99999999999", false, ""},
        {"", false, ""},
    };
    for (const Case& test : cases) {
        platform::device::ProcStat stat;
        bool parsed = platform::device::ParseProcStat(test.line, stat);
        EXPECT_EQ(parsed, test.good) << test.line;
        if (!parsed) continue;
        EXPECT_EQ(stat.name, test.name);
        EXPECT_EQ(stat.parentId, 1u);
        EXPECT_EQ(stat.threads, 17u);
    }
}

}  // namespace
