// Looking up keywords of TagFile values.
#include "engine/core/files/TagWords.h"

#include "engine/core/files/TagFile.h"
#include "engine/core/text/TextCompare.h"

bool FindTagWord(const char* text, const TagWord* words, std::size_t count, DWORD& value) {
    for (std::size_t i = 0; i < count; ++i) {
        if (CompareNoCase(text, words[i].word) == 0) {
            value = words[i].value;
            return true;
        }
    }
    return false;
}

DWORD TagWordFlags(const TagFileTag* tag, const TagWord* words, std::size_t count) {
    DWORD flags = 0;
    for (std::uint32_t i = 0; tag != nullptr && i < tag->ValueCount(); ++i) {
        DWORD value = 0;
        if (FindTagWord(tag->Value(i)->Text(), words, count, value)) flags |= value;
    }
    return flags;
}
