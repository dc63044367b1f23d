// Character descriptions (".character"): what reads is written as text skeletons, as
// make_character does.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/make_character/CharacterSource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<make_character::Character> characters;
    std::string error;
    if (!make_character::ReadCharacters(std::string(reinterpret_cast<const char*>(data), size), &characters, &error))
        return 0;
    std::string text;
    for (const make_character::Character& character : characters) make_character::WriteSkelText(character, &text, &error);
    return 0;
}
