// make_string_table <source.txt> <output file>: reads a UTF-8 string table source and
// writes the string resource file that LoadStringW reads.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/make_string_table/StringTableSource.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_string_table <source.txt> <output file>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "make_string_table: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    platform::StringTableFile table;
    std::string error;
    if (!ReadStringTableSource(source, &table, &error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    const std::vector<std::uint8_t> bytes = table.Serialize();
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "make_string_table: cannot write %s\n", argv[2]);
        return 1;
    }
    // A source of comments and blank lines only is valid: it makes a table without strings.
    if (table.Count() == 0)
        std::printf("make_string_table: wrote %s (no strings: %s has only comments and blank lines)\n", argv[2],
                    argv[1]);
    else
        std::printf("make_string_table: wrote %s with %zu string%s\n", argv[2], table.Count(),
                    table.Count() == 1 ? "" : "s");
    return 0;
}
