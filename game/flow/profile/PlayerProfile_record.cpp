// The save record of the profile and the language choice.
#include <cstring>

#include "game/flow/profile/PlayerProfile.h"
#include "platform/base/Locale.h"

namespace {

constexpr std::size_t kWorldFlagsAt = 4;
constexpr std::size_t kTutorialHintAt = 24;
constexpr std::size_t kLevelsAt = 28;
constexpr std::size_t kLevelRecordSize = 16;
constexpr std::size_t kAwardBlockAt = 748;
constexpr std::size_t kOptionsAt = 764;

void PutWord(BYTE* at, std::uint32_t word) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<BYTE>(word >> (8 * i));
}

std::uint32_t GetWord(const BYTE* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

constexpr const char* kLanguageFolders[kLanguageCount] = {
    "cze", "dan", "ger", "gre", "spa", "fre", "ita", "hun", "dut", "nor", "pol", "por",
    "porbra", "rus", "fin", "swe", "tur", "kor", "ara", "eng", "chitra", "chisim", "chitratw",
};

struct PrimaryLanguage {
    WORD primary;
    std::int32_t language;
};

constexpr PrimaryLanguage kFullDetection[] = {
    {1, 18},  {5, 0},   {6, 1},   {7, 2},   {8, 3},   {10, 4},  {11, 14}, {12, 5},  {14, 7},
    {16, 6},  {18, 17}, {19, 8},  {20, 9},  {21, 10}, {25, 13}, {29, 15}, {31, 16},
};

constexpr WORD kPrimaryChinese = 4;
constexpr WORD kPrimaryPortuguese = 22;

}  // namespace

void PlayerProfile::WriteRecord(BYTE (&record)[kSaveRecordSize]) const {
    std::memset(record, 0, sizeof record);
    record[0] = kSaveRecordVersion;
    for (std::int32_t world = 0; world < kWorldCount; ++world) {
        record[kWorldFlagsAt + 2 * world] = static_cast<BYTE>(worldFlags[world]);
        record[kWorldFlagsAt + 2 * world + 1] = static_cast<BYTE>(worldFlags[world] >> 8);
    }
    PutWord(record + kTutorialHintAt, tutorialHint);
    for (std::int32_t i = 0; i < kScoredLevelCount; ++i) {
        BYTE* at = record + kLevelsAt + kLevelRecordSize * i;
        at[0] = levels[i].medal;
        std::memcpy(at + 1, levels[i].spare, sizeof levels[i].spare);
        PutWord(at + 4, levels[i].kept[0]);
        PutWord(at + 8, levels[i].kept[1]);
        PutWord(at + 12, levels[i].bestScore);
    }
    PutWord(record + kAwardBlockAt, awardWord2);
    PutWord(record + kAwardBlockAt + 4, spareWord);
    PutWord(record + kAwardBlockAt + 8, award8Progress);
    PutWord(record + kAwardBlockAt + 12, award5Progress);
    for (std::int32_t option = 0; option < kOptionCount; ++option)
        PutWord(record + kOptionsAt + 4 * option, static_cast<std::uint32_t>(options[option]));
}

int PlayerProfile::ReadRecord(const BYTE* record, std::size_t size) {
    if (record == nullptr || size < kSaveRecordSize || GetWord(record) != kSaveRecordVersion) {
        ResetProgressAndOptions();
        return 0;
    }
    for (std::int32_t world = 0; world < kWorldCount; ++world)
        worldFlags[world] = static_cast<std::uint16_t>(record[kWorldFlagsAt + 2 * world] |
                                                       record[kWorldFlagsAt + 2 * world + 1] << 8);
    tutorialHint = GetWord(record + kTutorialHintAt);
    for (std::int32_t i = 0; i < kScoredLevelCount; ++i) {
        const BYTE* at = record + kLevelsAt + kLevelRecordSize * i;
        levels[i].medal = at[0];
        std::memcpy(levels[i].spare, at + 1, sizeof levels[i].spare);
        levels[i].kept[0] = GetWord(at + 4);
        levels[i].kept[1] = GetWord(at + 8);
        levels[i].bestScore = GetWord(at + 12);
    }
    awardWord2 = GetWord(record + kAwardBlockAt);
    spareWord = GetWord(record + kAwardBlockAt + 4);
    award8Progress = GetWord(record + kAwardBlockAt + 8);
    award5Progress = GetWord(record + kAwardBlockAt + 12);
    for (std::int32_t option = 0; option < kOptionCount; ++option)
        options[option] = static_cast<std::int32_t>(GetWord(record + kOptionsAt + 4 * option));
    // A language beyond the folder table would be read past its end later.
    ClampOptions();
    return 1;
}

int PlayerProfile::WritePayload(BYTE* payload, std::size_t size) {
    if (payload == nullptr || size < kSaveRecordSize) return 0;
    BYTE record[kSaveRecordSize];
    WriteRecord(record);
    std::memcpy(payload, record, sizeof record);
    return 1;
}

int PlayerProfile::ReadPayload(const BYTE* payload, std::size_t size) { return ReadRecord(payload, size); }

std::int32_t LanguageFromLangId(WORD langId, DWORD languageSetup) {
    const WORD primary = langId & 0x3FF;
    const WORD sublanguage = langId >> 10;
    if (languageSetup == 1) {
        for (const PrimaryLanguage& entry : kFullDetection)
            if (entry.primary == primary) return entry.language;
        if (primary == kPrimaryPortuguese && sublanguage == 1) return 12;
        if (primary == kPrimaryPortuguese && sublanguage == 2) return 11;
        return kLanguageEnglish;
    }
    if (languageSetup == 0 && primary == kPrimaryChinese) {
        if (sublanguage == 1) return 22;
        if (sublanguage == 2) return 21;
        if (sublanguage == 3) return 20;
    }
    return kLanguageEnglish;
}

void PlayerProfile::SetLanguageFromSystem(DWORD languageSetup) {
    SetOption(kOptionLanguage, LanguageFromLangId(GetSystemDefaultLangID(), languageSetup));
}

const char* LanguageFolder(std::int32_t language) {
    return language >= 0 && language < kLanguageCount ? kLanguageFolders[language] : kLanguageFolders[kLanguageEnglish];
}
