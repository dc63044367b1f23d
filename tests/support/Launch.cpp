// Starting, waiting for and ending the programs the tests run.
#include "tests/support/Launch.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>
#include <utility>

extern char** environ;

namespace handset_test {

namespace {

// The variables a test sets for itself that must not reach the program it starts.
bool ChoosesTheProgramsWorld(const std::string& entry) {
    return entry.rfind("HANDSET_", 0) == 0 || entry.rfind("EGL_PLATFORM=", 0) == 0 || entry.rfind("LANG=", 0) == 0;
}

std::string NameOf(const std::string& entry) { return entry.substr(0, entry.find('=') + 1); }

// In the forked child: the stream `target` goes to `path`. Only calls that are safe after
// fork in a threaded program.
bool Redirect(const std::filesystem::path& path, int target) {
    if (path.empty()) return true;
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0) return false;
    const bool redirected = dup2(file, target) >= 0;
    close(file);
    return redirected;
}

int ExitCodeOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status); }

}  // namespace

std::vector<std::string> LaunchEnvironment(const std::vector<std::string>& added) {
    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string entry = *variable;
        const std::string name = NameOf(entry);
        const bool replaced = std::any_of(added.begin(), added.end(),
                                          [&name](const std::string& each) { return NameOf(each) == name; });
        if (!ChoosesTheProgramsWorld(entry) && !replaced) environment.push_back(entry);
    }
    environment.insert(environment.end(), added.begin(), added.end());
    return environment;
}

Process::Process(const Launch& launch) {
    std::vector<std::string> environment = LaunchEnvironment(launch.environment);
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string program = launch.program.string();
    std::vector<std::string> arguments = launch.arguments;
    std::vector<char*> argv{program.data()};
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    // The pipe closes when the child's exec succeeds (or it ends), so the constructor returns
    // once the program runs: a test that then looks at the process sees the program, not a
    // copy of itself.
    int started[2] = {-1, -1};
    if (pipe2(started, O_CLOEXEC) != 0) return;
    const pid_t pid = fork();
    if (pid == 0) {
        close(started[0]);
        if (!Redirect(launch.output, STDOUT_FILENO) || !Redirect(launch.errors, STDERR_FILENO)) _exit(126);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    close(started[1]);
    char ignored = 0;
    if (pid > 0)
        while (read(started[0], &ignored, 1) < 0 && errno == EINTR) {
        }
    close(started[0]);
    pid_ = pid;
}

Process::~Process() { Kill(); }

Process::Process(Process&& other) noexcept : pid_(std::exchange(other.pid_, -1)) {}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        Kill();
        pid_ = std::exchange(other.pid_, -1);
    }
    return *this;
}

Finished Process::Wait(std::chrono::milliseconds timeout) {
    Finished finished;
    if (pid_ <= 0) return finished;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    pid_t done = 0;
    while ((done = waitpid(pid_, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (done == 0) {
        finished.timedOut = true;
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
    pid_ = -1;
    finished.exitCode = ExitCodeOf(status);
    return finished;
}

void Process::Terminate() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

void Process::Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

Finished Run(const Launch& launch, std::chrono::milliseconds timeout) { return Process(launch).Wait(timeout); }

}  // namespace handset_test
