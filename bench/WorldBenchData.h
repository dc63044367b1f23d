// The demo data of the world benchmarks: the startup archive as the data build packs it (the
// bench build's demo_data target), mounted on a handset root of its own with the engine
// started over it.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/kelview/ViewSession.h"

namespace world_bench {

namespace fs = std::filesystem;

inline std::string StartupArchive() { return std::string(HANDSET_BENCH_DATA) + "/startup.par"; }

// The engine on a root whose data folder holds nothing but the mounted startup archive.
struct MountedData {
    MountedData() {
        emptyData = fs::temp_directory_path() / ("world-bench-data-" + std::to_string(getpid()));
        std::error_code failure;
        fs::create_directories(emptyData, failure);
        kelview::ViewOptions options;
        options.dataFolder = emptyData.string();
        options.archives.push_back(StartupArchive());
        ready = fs::is_regular_file(StartupArchive(), failure) && session.Start(options, &error);
    }
    ~MountedData() {
        std::error_code failure;
        fs::remove_all(emptyData, failure);
    }
    fs::path emptyData;
    kelview::ViewSession session;
    std::string error;
    bool ready = false;
};

inline std::string FileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace world_bench
