// Temporary handset roots and child processes for the tests.
#include "tests/support/TestSupport.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "platform/base/HandsetRoot.h"

namespace handset_test {

namespace {
constexpr const char* kRoleMarker = "HANDSET_TEST_CHILD";
constexpr const char* kArgumentPrefix = "HANDSET_TEST_ARG_";
}  // namespace

TempHandsetRoot::TempHandsetRoot() {
    std::string pattern = (std::filesystem::temp_directory_path() / "handset-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) throw std::runtime_error("cannot create a temporary handset root");
    path_ = buffer.data();
    setenv("HANDSET_ROOT", path_.c_str(), 1);
    platform::SetHandsetRoot(path_);
}

TempHandsetRoot::~TempHandsetRoot() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void InstallLauncher(const std::string& linuxPath, const std::string& program) {
    std::string quoted;
    for (char c : program) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    std::ofstream(linuxPath) << "#!/bin/sh\nexec '" << quoted << "' \"$@\"\n";
    std::filesystem::permissions(linuxPath, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                                std::filesystem::perms::group_exec);
}

bool InChildRole() { return std::getenv(kRoleMarker) != nullptr; }

std::string ChildArgument(const std::string& name) {
    const char* value = std::getenv((kArgumentPrefix + name).c_str());
    return value ? value : "";
}

int StartChild(const std::string& testName, const std::map<std::string, std::string>& arguments) {
    pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        setenv(kRoleMarker, "1", 1);
        for (const auto& [name, value] : arguments) setenv((kArgumentPrefix + name).c_str(), value.c_str(), 1);
        std::string filter = "--gtest_filter=" + testName;
        execl("/proc/self/exe", "child", filter.c_str(), "--gtest_brief=1", static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

int WaitChild(int pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) < 0) return -1;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

int RunChild(const std::string& testName, const std::map<std::string, std::string>& arguments) {
    return WaitChild(StartChild(testName, arguments));
}

}  // namespace handset_test
