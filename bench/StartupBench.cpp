// Start-up of the installed game program, headless, from launch until it has presented its
// first frame and ended, against MinimalEglFrame (EGL, a pbuffer, one clear, one swap)
// launched the same way in the same run. The game is installed as the run command installs
// it, into a handset root of its own, and ends through its own quit key, played by the
// platform's script at 0 ms: the first frame's pump sees Esc, and the frame is still drawn
// and presented before the loop ends. Both programs get the same environment (display
// refresh pacing off) and run to their exit, teardown included. Time is the wall clock;
// each side's processor time (user and system, the child's own) is a counter.
// The goal: the game takes at most 1.3 times the minimal program's time.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BenchCompare.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kTimeoutMs = 30000;

struct Installation {
    fs::path root;
    fs::path game;
    std::vector<std::string> environment;
    std::string error;

    Installation() {
        root = fs::temp_directory_path() / ("startup_bench_" + std::to_string(getpid()));
        const fs::path folder = root / "fs" / "Program Files" / "Quorvane";
        std::error_code failed;
        fs::create_directories(folder / "data", failed);
        game = folder / "quorvane";
        fs::copy_file(QUORVANE_PROGRAM, game, fs::copy_options::overwrite_existing, failed);
        if (failed) {
            error = "the game program could not be installed";
            return;
        }
        // What the data build makes of data/game: the program folder's files as they are, and
        // each archive folder packed.
        const fs::path data = fs::path(HANDSET_SOURCE_DIR) / "data" / "game";
        for (const auto& entry : fs::directory_iterator(data / "program"))
            fs::copy_file(entry.path(), folder / entry.path().filename(), fs::copy_options::overwrite_existing, failed);
        for (const auto& entry : fs::directory_iterator(data / "archives")) {
            const std::string command = std::string("'") + PACK_ARCHIVE_TOOL + "' '" + entry.path().string() + "' '" +
                                        (folder / "data" / (entry.path().filename().string() + ".par")).string() +
                                        "' > /dev/null";
            if (std::system(command.c_str()) != 0) error = "an archive could not be packed";
        }
        const fs::path script = root / "quit.txt";
        std::ofstream(script) << "at 0 key down CONTROL\nat 0 key press Q\n";

        for (char** variable = environ; *variable != nullptr; ++variable) {
            const std::string entry = *variable;
            if (entry.rfind("HANDSET_", 0) == 0 || entry.rfind("EGL_PLATFORM=", 0) == 0 ||
                entry.rfind("SDL_AUDIODRIVER=", 0) == 0)
                continue;
            environment.push_back(entry);
        }
        environment.push_back("HANDSET_ROOT=" + root.string());
        environment.push_back("HANDSET_DISPLAY=headless");
        environment.push_back("HANDSET_REFRESH=0");
        environment.push_back("HANDSET_SCRIPT=" + script.string());
        environment.push_back("EGL_PLATFORM=surfaceless");
        environment.push_back("SDL_AUDIODRIVER=dummy");
    }

    ~Installation() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
};

Installation& TheInstallation() {
    static Installation installation;
    return installation;
}

struct Launch {
    bool ok = false;
    double seconds = 0;
    double processorSeconds = 0;
    std::string error;
};

// Starts the program (output to /dev/null), waits for its end and times it.
Launch LaunchAndWait(const std::string& program, const std::vector<std::string>& environment) {
    Launch launch;
    std::vector<char*> envp;
    for (const std::string& entry : environment) envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        launch.error = program + " could not be started: " + std::strerror(spawned);
        return launch;
    }
    // A program that does not end is killed after the time-out.
    const int handle = static_cast<int>(syscall(SYS_pidfd_open, child, 0));
    if (handle >= 0) {
        pollfd wait{handle, POLLIN, 0};
        if (poll(&wait, 1, kTimeoutMs) == 0) {
            kill(child, SIGKILL);
            launch.error = program + " did not end within the time-out";
        }
        close(handle);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    launch.seconds = std::chrono::duration<double>(end - start).count();
    launch.processorSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                              static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    if (launch.error.empty() && !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
        launch.error = program + " ended with status " + std::to_string(status);
    launch.ok = launch.error.empty();
    return launch;
}

void Run(benchmark::State& state, const std::string& program) {
    Installation& installation = TheInstallation();
    if (!installation.error.empty()) {
        state.SkipWithError(installation.error.c_str());
        return;
    }
    double processor = 0;
    for (auto _ : state) {
        const Launch launch = LaunchAndWait(program, installation.environment);
        if (!launch.ok) {
            state.SkipWithError(launch.error.c_str());
            break;
        }
        state.SetIterationTime(launch.seconds);
        processor += launch.processorSeconds;
    }
    if (state.iterations() > 0)
        state.counters["processor_ms"] = processor * 1000.0 / static_cast<double>(state.iterations());
}

void GameFirstFrame(benchmark::State& state) { Run(state, TheInstallation().game.string()); }
void MinimalEglFrame(benchmark::State& state) { Run(state, MINIMAL_EGL_FRAME); }

BENCHMARK(GameFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(MinimalEglFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

using bench::Clock;
using bench::Ratio;
const bool kCompared = bench::Compare({"GameFirstFrame", "MinimalEglFrame", Ratio::Time, Clock::Real, 1.3});

}  // namespace
