// make_skin_pack <folder> <pack.dat>: builds a skin pack from the files of a folder (see
// PackFolder.h for the entries a folder gives).
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tools/make_skin_pack/PackFolder.h"
#include "tools/make_skin_pack/SkinPackWriter.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_skin_pack <folder> <pack.dat>\n");
        return 2;
    }
    std::vector<PackFile> files;
    std::string error;
    if (!ReadPackFolder(argv[1], &files, &error)) {
        std::fprintf(stderr, "make_skin_pack: %s\n", error.c_str());
        return 1;
    }
    SkinPackWriter writer;
    for (const PackFile& file : files) {
        if (!writer.Add(file.entryName, file.data)) {
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
    std::printf("make_skin_pack: wrote %s with %zu file%s\n", argv[2], files.size(), files.size() == 1 ? "" : "s");
    return 0;
}
