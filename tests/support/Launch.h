// Starting a program as its own process, the one way the tests do it. The environment rule
// is stated here once: the program gets this process's environment without the variables
// that choose a handset program's world (HANDSET_*, EGL_PLATFORM, LANG), so that the test's
// own settings never leak into it, plus the variables the launch names, each replacing any
// inherited variable of the same name.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace handset_test {

struct Launch {
    std::filesystem::path program{};
    std::vector<std::string> arguments{};    // after the program's own name
    std::vector<std::string> environment{};  // "NAME=value", added to the inherited ones
    std::filesystem::path output{};          // the program's stdout goes there when given
    std::filesystem::path errors{};          // and its stderr
};

struct Finished {
    int exitCode = -1;      // the exit status, or 128 + the signal that ended the program
    bool timedOut = false;  // it was killed when the timeout passed
};

// The environment a launch gives its program, as "NAME=value" entries.
std::vector<std::string> LaunchEnvironment(const std::vector<std::string>& added);

// A started program. One still running when its Process goes is killed, so that a failed
// assertion leaves no program behind.
class Process {
public:
    explicit Process(const Launch& launch);
    ~Process();
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // The process id, or -1 when it could not be started.
    pid_t Pid() const { return pid_; }

    // Waits for the program to end; it is killed when the timeout passes first.
    Finished Wait(std::chrono::milliseconds timeout);

    // Asks the program to end (SIGTERM) and waits for it, so that it can clean up after itself.
    void Terminate();

private:
    void Kill();
    pid_t pid_ = -1;
};

// Starts the program and waits for it (see Process::Wait).
Finished Run(const Launch& launch, std::chrono::milliseconds timeout);

}  // namespace handset_test
