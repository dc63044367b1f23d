// A command line from fuzz bytes: split at NUL into at most 64 arguments, the first being the
// program's name, with the argv pointers a parser of options takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct FuzzArguments {
    FuzzArguments(const std::uint8_t* data, std::size_t size) : words(1) {
        for (std::size_t i = 0; i < size && words.size() < 64; ++i) {
            if (data[i] == 0)
                words.emplace_back();
            else
                words.back().push_back(static_cast<char>(data[i]));
        }
        for (const std::string& word : words) pointers.push_back(word.c_str());
    }
    // The pointers lead into the words: no copies.
    FuzzArguments(const FuzzArguments&) = delete;
    FuzzArguments& operator=(const FuzzArguments&) = delete;

    int Count() const { return static_cast<int>(pointers.size()); }
    const char* const* Values() const { return pointers.data(); }

    std::vector<std::string> words;
    std::vector<const char*> pointers;
};
