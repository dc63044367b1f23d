// Helpers shared by the tests: a fresh handset root per test, and running the test
// program itself as a child process in a named role (for cross-process tests).
#pragma once

#include <map>
#include <string>

namespace handset_test {

// Creates a fresh temporary handset root, points this process (and its children, through
// HANDSET_ROOT) at it, and removes it again on destruction.
class TempHandsetRoot {
public:
    TempHandsetRoot();
    ~TempHandsetRoot();
    TempHandsetRoot(const TempHandsetRoot&) = delete;
    TempHandsetRoot& operator=(const TempHandsetRoot&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Installs at `linuxPath` (a file in a handset root) a program that runs `program`, which
// lies outside the root, with the arguments it gets: a small shell script, since the handset
// follows no symbolic link out of its root.
void InstallLauncher(const std::string& linuxPath, const std::string& program);

// Child roles are ordinary tests that skip themselves unless started by RunChild. A role's
// test reads its arguments with ChildArgument and reports through its exit code.
bool InChildRole();
std::string ChildArgument(const std::string& name);

// Runs this test program again with --gtest_filter=<testName>, the role marker and the
// given arguments in its environment. Returns the child's exit status (0 = its test passed).
int RunChild(const std::string& testName, const std::map<std::string, std::string>& arguments = {});

// Starts the child without waiting; Wait gives its exit status.
int StartChild(const std::string& testName, const std::map<std::string, std::string>& arguments = {});
int WaitChild(int pid);

}  // namespace handset_test
