#pragma once
// Installs the game under a test's handset root and starts it as its own process.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/Launch.h"

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

// Runs the program with the variables given (see Launch.h for the rest of its environment);
// its exit code, or -1 when it had to be killed after the timeout.
inline int RunInstalled(const std::filesystem::path& program, const std::vector<std::string>& added, std::chrono::seconds timeout) {
    const Finished finished = Run({.program = program, .environment = added}, timeout);
    return finished.timedOut ? -1 : finished.exitCode;
}

}  // namespace handset_test
