// pack_archive <folder> <archive.par>: packs every file under a folder into a ".par"
// archive, entries named by their path inside the folder with '/' separators, in sorted
// order so that the same folder always gives the same archive.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/pack_archive/ZipWriter.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pack_archive <folder> <archive.par>\n");
        return 2;
    }
    fs::path folder = argv[1];
    if (!fs::is_directory(folder)) {
        std::fprintf(stderr, "pack_archive: %s is not a folder\n", argv[1]);
        return 1;
    }
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) names.push_back(fs::relative(entry.path(), folder).generic_string());
    }
    std::sort(names.begin(), names.end());

    ZipWriter writer(argv[2]);
    for (const std::string& name : names) {
        std::ifstream in(folder / name, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "pack_archive: cannot read %s\n", name.c_str());
            return 1;
        }
        std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!writer.Add(name, data)) {
            std::fprintf(stderr, "pack_archive: %s\n", writer.Error().c_str());
            return 1;
        }
    }
    if (!writer.Finish()) {
        std::fprintf(stderr, "pack_archive: %s\n", writer.Error().c_str());
        return 1;
    }
    std::printf("pack_archive: wrote %s with %zu file%s\n", argv[2], names.size(), names.size() == 1 ? "" : "s");
    return 0;
}
