// Keywords of TagFile values: tables of words with the value each stands for, as the text
// forms use them for flags and kinds. Words compare without regard to case.
#pragma once

#include <cstddef>

#include "platform/base/Types.h"

class TagFileTag;

struct TagWord {
    const char* word;
    DWORD value;
};

// The value of the word that equals the text; false (value untouched) when none does.
bool FindTagWord(const char* text, const TagWord* words, std::size_t count, DWORD& value);
template <std::size_t Count>
bool FindTagWord(const char* text, const TagWord (&words)[Count], DWORD& value) {
    return FindTagWord(text, words, Count, value);
}

// The values of every value of the tag that is one of the words, or-ed together; other
// values are ignored. 0 for a null tag.
DWORD TagWordFlags(const TagFileTag* tag, const TagWord* words, std::size_t count);
template <std::size_t Count>
DWORD TagWordFlags(const TagFileTag* tag, const TagWord (&words)[Count]) {
    return TagWordFlags(tag, words, Count);
}
