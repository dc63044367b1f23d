// make_skin_pack <folder> <pack.dat>: builds a skin pack from the files of a folder (the
// entries keep the files' names; subfolders are refused), in sorted order so that the same
// folder always gives the same pack.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/make_skin_pack/SkinPackWriter.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_skin_pack <folder> <pack.dat>\n");
        return 2;
    }
    const fs::path folder = argv[1];
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        std::fprintf(stderr, "make_skin_pack: %s is not a folder\n", argv[1]);
        return 1;
    }
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory()) {
            std::fprintf(stderr, "make_skin_pack: %s: skin packs hold no subfolders\n", name.c_str());
            return 1;
        }
        if (entry.is_regular_file()) names.push_back(name);
    }
    if (error) {
        std::fprintf(stderr, "make_skin_pack: cannot list %s\n", argv[1]);
        return 1;
    }
    std::sort(names.begin(), names.end());

    SkinPackWriter writer;
    for (const std::string& name : names) {
        std::string entryName;
        if (!ToPackEntryName(name, &entryName)) {
            std::fprintf(stderr, "make_skin_pack: %s: the name has characters a pack cannot hold\n", name.c_str());
            return 1;
        }
        std::ifstream in(folder / name, std::ios::binary);
        std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) {
            std::fprintf(stderr, "make_skin_pack: cannot read %s\n", name.c_str());
            return 1;
        }
        if (data.empty()) {
            std::fprintf(stderr, "make_skin_pack: %s is empty, and a pack cannot serve an empty entry\n", name.c_str());
            return 1;
        }
        if (!writer.Add(entryName, data)) {
            std::fprintf(stderr, "make_skin_pack: %s\n", writer.Error().c_str());
            return 1;
        }
    }
    if (!writer.Finish()) {
        std::fprintf(stderr, "make_skin_pack: %s\n", writer.Error().c_str());
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(writer.Bytes().data()),
              static_cast<std::streamsize>(writer.Bytes().size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "make_skin_pack: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("make_skin_pack: wrote %s with %zu file%s\n", argv[2], names.size(), names.size() == 1 ? "" : "s");
    return 0;
}
