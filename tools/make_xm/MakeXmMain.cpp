// make_xm <song.song> <song.xm>: writes the extended module (.xm) of a readable song
// description, for libxmp to play.
#include <cstdio>
#include <fstream>
#include <string>

#include "tools/make_xm/XmSong.h"
#include "tools/make_xm/XmWrite.h"
#include "tools/source_text/SourceText.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_xm <song.song> <song.xm>\n");
        return 2;
    }
    std::string text;
    std::string error;
    XmSong song;
    if (!ReadSourceFile(argv[1], text, error) || !ParseXmSong(text, argv[1], song, error)) {
        std::fprintf(stderr, "make_xm: %s\n", error.c_str());
        return 1;
    }
    const std::vector<std::uint8_t> file = WriteXm(song);
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    if (!out) {
        std::fprintf(stderr, "make_xm: %s cannot be written.\n", argv[2]);
        return 1;
    }
    std::printf("make_xm: wrote %s (%zu orders, %zu patterns, %zu instruments)\n", argv[2], song.orders.size(),
                song.patterns.size(), song.instruments.size());
    return 0;
}
