#pragma once
// Installs the game under a test's handset root and starts it as its own process.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace handset_test {

// The game's folder under the handset root, filled with the built data and the program; a
// non-empty `ini` takes the place of the shipped configuration.
inline std::filesystem::path InstallGame(const std::filesystem::path& root, const std::string& ini = {}) {
    namespace fs = std::filesystem;
    const fs::path folder = root / "fs" / "Program Files" / "Quorvane";
    fs::create_directories(folder);
    fs::copy(QUORVANE_DATA, folder, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    fs::copy_file(QUORVANE_PROGRAM, folder / "quorvane", fs::copy_options::overwrite_existing);
    if (!ini.empty()) std::ofstream(folder / "Quorvane.ini", std::ios::trunc) << ini;
    return folder;
}

// The configuration of the menu tests: real rendering and the European languages.
inline const std::string kMenuTestIni =
    "Render=OpenGLRender.OpenGLRenderDevice\nEngine=Quorvane.GameEngine\nLanguageSetup=1\n";

// Runs the program with the variables given (and this process's own, without its HANDSET_
// ones); its exit code, or -1 when it had to be killed after the timeout.
inline int RunInstalled(const std::filesystem::path& program, const std::vector<std::string>& added, std::chrono::seconds timeout) {
    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string entry = *variable;
        if (entry.rfind("HANDSET_", 0) != 0 && entry.rfind("EGL_PLATFORM=", 0) != 0 && entry.rfind("LANG=", 0) != 0)
            environment.push_back(entry);
    }
    environment.insert(environment.end(), added.begin(), added.end());
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
        execve(program.c_str(), argv, envp.data());
        _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    pid_t done = 0;
    while ((done = waitpid(pid, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (done == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace handset_test
