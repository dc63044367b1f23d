// make_character <description.character> <output folder>: writes every character of a
// description as a text skeleton <output folder>/<name>.skel.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/make_character/CharacterSource.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_character <description.character> <output folder>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "make_character: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string description((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<make_character::Character> characters;
    std::string error;
    if (!make_character::ReadCharacters(description, &characters, &error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    for (const make_character::Character& character : characters) {
        std::string text;
        if (!make_character::WriteSkelText(character, &text, &error)) {
            std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
            return 1;
        }
        const std::string path = std::string(argv[2]) + "/" + character.name + ".skel";
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out) {
            std::fprintf(stderr, "make_character: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("make_character: wrote %s (%zu bones, %zu faces)\n", path.c_str(), character.bones.size(),
                    character.body.polygons.size());
    }
    return 0;
}
