// A file of the handset root that each fuzz input replaces whole: the root is a temporary
// folder made once per fuzzing process and removed at exit.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/base/HandsetRoot.h"

class FuzzHandsetFile {
public:
    // name: the file's path under the root, such as "registry.db".
    explicit FuzzHandsetFile(const char* name) : path_(Root() + "/" + name) {
        std::filesystem::create_directories(std::filesystem::path(path_).parent_path());
    }

    const std::string& Path() const { return path_; }

    // Puts the bytes in place of the file, without SQLite's log and index beside it.
    void Write(const std::uint8_t* data, std::size_t size) const {
        std::filesystem::remove(path_ + "-wal");
        std::filesystem::remove(path_ + "-shm");
        std::ofstream(path_, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);
    }

    // Whether the file holds exactly these bytes.
    bool Holds(const std::uint8_t* data, std::size_t size) const {
        std::ifstream in(path_, std::ios::binary);
        const std::vector<std::uint8_t> held((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return held == std::vector<std::uint8_t>(data, data + size);
    }

private:
    static const std::string& Root() {
        // Never destroyed: the exit handler removes this folder, whatever root a harness
        // uses by then, and runs after the destructors of statics made later.
        static const std::string* root = [] {
            std::string folder = (std::filesystem::temp_directory_path() / "handset-fuzz-XXXXXX").string();
            if (!mkdtemp(folder.data())) std::abort();
            platform::SetHandsetRoot(folder);
            std::atexit([] { std::filesystem::remove_all(Root()); });
            return new std::string(folder);
        }();
        return *root;
    }

    std::string path_;
};
