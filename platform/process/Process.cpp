// Processes: CreateProcessW starts the program that the run command installed under the
// handset path; a watcher thread reaps the programs this process started and signals their
// handles when they end.
#include "platform/process/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/Errors.h"
#include "platform/base/HandsetRoot.h"
#include "platform/sync/WaitableObject.h"

extern char** environ;

namespace platform::user {

namespace {

// A process started by this one. Signalled once it has ended and been reaped.
class ProcessObject : public WaitableObject {
public:
    explicit ProcessObject(pid_t pid) : pid_(pid) {}

    bool IsSignaledLocked() const override { return ended_; }
    void AcquireLocked() override {}

    pid_t Pid() const { return pid_; }

    bool Ended() {
        auto lock = LockWaitState();
        return ended_;
    }
    DWORD ExitCode() {
        auto lock = LockWaitState();
        return ended_ ? exitCode_ : STILL_ACTIVE;
    }
    // TerminateProcess: the code the process is to report once it has been killed.
    void SetTerminationCode(DWORD code) {
        auto lock = LockWaitState();
        terminationCode_ = code;
        terminated_ = true;
    }
    void MarkEnded(int status) {
        auto lock = LockWaitState();
        if (ended_) return;
        if (terminated_)
            exitCode_ = terminationCode_;
        else if (WIFEXITED(status))
            exitCode_ = static_cast<DWORD>(WEXITSTATUS(status));
        else if (WIFSIGNALED(status))
            exitCode_ = 128u + static_cast<DWORD>(WTERMSIG(status));
        else
            exitCode_ = 1;
        ended_ = true;
        SignalLocked();
    }

private:
    pid_t pid_;
    bool ended_ = false;
    bool terminated_ = false;
    DWORD exitCode_ = STILL_ACTIVE;
    DWORD terminationCode_ = 0;
};

// Waits for the started processes (through pidfds where the kernel has them, else by
// looking every 50 ms) and reaps each one as it ends.
class ProcessWatcher {
public:
    // Starts the watching thread once; false (said on stderr) when it cannot start, since a
    // process started without it would never be seen to end.
    bool Start() {
        std::lock_guard<std::mutex> guard(mutex_);
        if (wakeFd_ >= 0) return true;
        const int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (wakeFd < 0) return false;
        wakeFd_ = wakeFd;
        try {
            std::thread([this] { Run(); }).detach();
        } catch (const std::system_error& failure) {
            std::fprintf(stderr, "processes: the thread that sees started programs end cannot start (%s).\n",
                         failure.what());
            close(wakeFd_);
            wakeFd_ = -1;
            return false;
        }
        return true;
    }

    // The watcher must have started.
    void Watch(ProcessObject* process) {
        process->AddHandleRef();
        {
            std::lock_guard<std::mutex> guard(mutex_);
            int pidfd = static_cast<int>(syscall(SYS_pidfd_open, process->Pid(), 0));
            watched_.push_back({process, pidfd});
        }
        std::uint64_t one = 1;
        if (write(wakeFd_, &one, sizeof(one)) < 0) {
            // The watcher looks again within 50 ms anyway.
        }
    }

private:
    struct Watched {
        ProcessObject* process;
        int pidfd;
    };

    void Run() {
        for (;;) {
            std::vector<pollfd> fds{{wakeFd_, POLLIN, 0}};
            bool polling = false;
            {
                std::lock_guard<std::mutex> guard(mutex_);
                for (const auto& entry : watched_) {
                    if (entry.pidfd >= 0)
                        fds.push_back({entry.pidfd, POLLIN, 0});
                    else
                        polling = true;
                }
            }
            poll(fds.data(), fds.size(), polling ? 50 : -1);
            std::uint64_t drained;
            while (read(wakeFd_, &drained, sizeof(drained)) > 0) {
            }
            Reap();
        }
    }

    void Reap() {
        std::vector<Watched> ended;
        {
            std::lock_guard<std::mutex> guard(mutex_);
            for (auto entry = watched_.begin(); entry != watched_.end();) {
                int status = 0;
                pid_t reaped = waitpid(entry->process->Pid(), &status, WNOHANG);
                if (reaped == 0 || (reaped < 0 && errno == EINTR)) {
                    ++entry;
                    continue;
                }
                // Reaped, or not a child any more (someone else reaped it): it has ended.
                if (reaped < 0) status = 0;
                entry->process->MarkEnded(status);
                ended.push_back(*entry);
                entry = watched_.erase(entry);
            }
        }
        for (auto& entry : ended) {
            if (entry.pidfd >= 0) close(entry.pidfd);
            entry.process->ReleaseHandleRef();
        }
    }

    std::mutex mutex_;
    std::vector<Watched> watched_;
    int wakeFd_ = -1;
};

ProcessWatcher& Watcher() {
    static ProcessWatcher* watcher = new ProcessWatcher;
    return *watcher;
}

// The handset's command line holds the arguments only; it is split as the handset's C
// runtime splits it: blanks separate, double quotes group, 2n backslashes before a quote
// give n backslashes, 2n+1 give n and a literal quote.
std::vector<std::string> SplitCommandLine(const std::u16string& line) {
    std::vector<std::string> arguments;
    std::u16string current;
    bool inQuotes = false;
    bool hasArgument = false;
    for (std::size_t i = 0; i < line.size();) {
        char16_t c = line[i];
        if (c == u'\\') {
            std::size_t slashes = 0;
            while (i < line.size() && line[i] == u'\\') {
                ++slashes;
                ++i;
            }
            if (i < line.size() && line[i] == u'"') {
                current.append(slashes / 2, u'\\');
                if (slashes % 2 == 1) {
                    current += u'"';
                    ++i;
                }
            } else {
                current.append(slashes, u'\\');
            }
            hasArgument = true;
            continue;
        }
        if (c == u'"') {
            inQuotes = !inQuotes;
            hasArgument = true;
            ++i;
            continue;
        }
        if ((c == u' ' || c == u'\t') && !inQuotes) {
            if (hasArgument) arguments.push_back(Utf16ToUtf8(current));
            current.clear();
            hasArgument = false;
            ++i;
            continue;
        }
        current += c;
        hasArgument = true;
        ++i;
    }
    if (hasArgument) arguments.push_back(Utf16ToUtf8(current));
    return arguments;
}

DWORD ErrorOfErrno(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR: return ERROR_FILE_NOT_FOUND;
        case EACCES:
        case EPERM: return ERROR_ACCESS_DENIED;
        case ENOEXEC: return ERROR_BAD_EXE_FORMAT;
        case ENOMEM:
        case EAGAIN: return ERROR_NOT_ENOUGH_MEMORY;
        default: return ERROR_INVALID_PARAMETER;
    }
}

bool IsCurrentProcess(HANDLE process) { return process == INVALID_HANDLE_VALUE; }

// The hooks of AtOwnTermination; never destroyed, so that a process ending itself late in its
// exit still finds them.
struct TerminationHooks {
    std::mutex mutex;
    std::vector<void (*)()> hooks;
};

TerminationHooks& OwnTerminationHooks() {
    static auto* hooks = new TerminationHooks;
    return *hooks;
}

void RunTerminationHooks() {
    std::vector<void (*)()> hooks;
    {
        std::lock_guard<std::mutex> guard(OwnTerminationHooks().mutex);
        hooks = OwnTerminationHooks().hooks;
    }
    for (auto hook = hooks.rbegin(); hook != hooks.rend(); ++hook) (*hook)();
}

}  // namespace

}  // namespace platform::user

void platform::AtOwnTermination(void (*hook)()) {
    auto& registered = platform::user::OwnTerminationHooks();
    std::lock_guard<std::mutex> guard(registered.mutex);
    registered.hooks.push_back(hook);
}

using namespace platform::user;

HANDLE GetCurrentProcess() { return INVALID_HANDLE_VALUE; }

BOOL CreateProcessW(LPCWSTR applicationName, LPWSTR commandLine, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                    DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION processInformation) {
    if (applicationName == nullptr || applicationName[0] == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    platform::MappedPath mapped = platform::MapHandsetPath(applicationName);
    if (mapped.error != platform::PathError::None) {
        SetLastError(mapped.error == platform::PathError::TooLong ? ERROR_FILENAME_EXCED_RANGE : ERROR_BAD_PATHNAME);
        return FALSE;
    }
    struct stat info {};
    if (stat(mapped.linuxPath.c_str(), &info) != 0) {
        SetLastError(ErrorOfErrno(errno));
        return FALSE;
    }
    if (!S_ISREG(info.st_mode) || access(mapped.linuxPath.c_str(), X_OK) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }

    std::vector<std::string> arguments{mapped.linuxPath};
    if (commandLine != nullptr)
        for (auto& argument : SplitCommandLine(commandLine)) arguments.push_back(std::move(argument));
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    // The child runs on the same handset, whatever this process's environment says.
    std::string rootSetting = "HANDSET_ROOT=" + platform::HandsetRoot();
    std::vector<char*> envp;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry)
        if (std::strncmp(*entry, "HANDSET_ROOT=", 13) != 0) envp.push_back(*entry);
    envp.push_back(rootSetting.data());
    envp.push_back(nullptr);

    if (!Watcher().Start()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, mapped.linuxPath.c_str(), nullptr, nullptr, argv.data(), envp.data());
    if (spawned != 0) {
        SetLastError(ErrorOfErrno(spawned));
        return FALSE;
    }
    auto* process = new ProcessObject(pid);
    Watcher().Watch(process);
    if (processInformation == nullptr) {
        process->ReleaseHandleRef();
        return TRUE;
    }
    // The thread handle stands for the main thread, which ends with the process.
    process->AddHandleRef();
    processInformation->hProcess = platform::RegisterKernelObject(process);
    processInformation->hThread = platform::RegisterKernelObject(process);
    processInformation->dwProcessId = static_cast<DWORD>(pid);
    processInformation->dwThreadId = static_cast<DWORD>(pid);
    return TRUE;
}

BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode) {
    if (exitCode == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (IsCurrentProcess(process)) {
        *exitCode = STILL_ACTIVE;
        return TRUE;
    }
    auto* object = platform::KernelObjectAs<ProcessObject>(process);
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *exitCode = object->ExitCode();
    return TRUE;
}

BOOL TerminateProcess(HANDLE process, UINT exitCode) {
    if (IsCurrentProcess(process)) {
        // The handset takes the process's windows away with it.
        RunTerminationHooks();
        _exit(static_cast<int>(exitCode));
    }
    auto* object = platform::KernelObjectAs<ProcessObject>(process);
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (object->Ended()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    object->SetTerminationCode(exitCode);
    if (kill(object->Pid(), SIGKILL) != 0 && errno != ESRCH) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}
