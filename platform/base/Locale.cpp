// Language ids from POSIX locale names.
#include "platform/base/Locale.h"

#include <cstdlib>
#include <cstring>

namespace {

struct LanguageCode {
    const char* code;  // ISO 639-1
    WORD primary;
};

constexpr LanguageCode kLanguages[] = {
    {"ar", 0x01}, {"bg", 0x02}, {"ca", 0x03}, {"zh", 0x04}, {"cs", 0x05}, {"da", 0x06}, {"de", 0x07},
    {"el", 0x08}, {"en", 0x09}, {"es", 0x0A}, {"fi", 0x0B}, {"fr", 0x0C}, {"he", 0x0D}, {"hu", 0x0E},
    {"is", 0x0F}, {"it", 0x10}, {"ja", 0x11}, {"ko", 0x12}, {"nl", 0x13}, {"nb", 0x14}, {"no", 0x14},
    {"nn", 0x14}, {"pl", 0x15}, {"pt", 0x16}, {"ro", 0x18}, {"ru", 0x19}, {"hr", 0x1A}, {"sk", 0x1B},
    {"sv", 0x1D}, {"th", 0x1E}, {"tr", 0x1F},
};

struct Territory {
    WORD primary;
    const char* territory;
    WORD sublanguage;
};

// Territories whose sublanguage is not the default (1).
constexpr Territory kTerritories[] = {
    {0x04, "TW", 1}, {0x04, "CN", 2}, {0x04, "HK", 3}, {0x04, "SG", 4}, {0x04, "MO", 5},
    {0x16, "BR", 1}, {0x16, "PT", 2}, {0x09, "US", 1}, {0x09, "GB", 2}, {0x09, "AU", 3},
    {0x09, "CA", 4}, {0x0C, "BE", 2}, {0x0C, "CA", 3}, {0x0C, "CH", 4}, {0x07, "CH", 2},
    {0x07, "AT", 3}, {0x0A, "MX", 2}, {0x13, "BE", 2}, {0x1D, "FI", 2},
};

constexpr LANGID kUsEnglish = MAKELANGID(0x09, 1);

}  // namespace

LANGID LangIdFromLocaleName(const char* name) {
    if (name == nullptr || name[0] == 0 || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0)
        return kUsEnglish;
    // "ll[_TT][.codeset][@modifier]"
    const std::size_t languageLength = std::strcspn(name, "_.@");
    WORD primary = 0;
    for (const LanguageCode& language : kLanguages)
        if (languageLength == std::strlen(language.code) && std::strncmp(name, language.code, languageLength) == 0)
            primary = language.primary;
    if (primary == 0) return kUsEnglish;
    // Chinese without a territory is taken as simplified Chinese, the most widely written.
    WORD sublanguage = primary == 0x04 ? 2 : 1;
    if (name[languageLength] == '_') {
        const char* territory = name + languageLength + 1;
        const std::size_t territoryLength = std::strcspn(territory, ".@");
        for (const Territory& entry : kTerritories)
            if (entry.primary == primary && territoryLength == std::strlen(entry.territory) &&
                std::strncmp(territory, entry.territory, territoryLength) == 0)
                sublanguage = entry.sublanguage;
    }
    return MAKELANGID(primary, sublanguage);
}

LANGID GetSystemDefaultLangID() { return LangIdFromLocaleName(std::getenv("LANG")); }
