// PlayerProfile: everything the game remembers about the player: unlocked worlds, done
// levels with their medals and best scores, the cut-scenes and comics seen, the awards, the
// tutorial hint and the ten options. Its payload in the save file is the 804-byte save record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/app/UserSave.h"

constexpr std::int32_t kOptionCount = 10;
constexpr std::int32_t kWorldCount = 10;  // worlds 0-9 have progress; world 10 is the custom levels
constexpr std::int32_t kScoredLevelCount = 45;
constexpr std::int32_t kFirstScoredLevel = 8;
constexpr std::int32_t kFirstCustomLevel = 53;
constexpr std::int32_t kTutorialLevelCount = 8;
constexpr std::int32_t kLevelsPerWorld = 5;
constexpr std::size_t kSaveRecordSize = 804;
constexpr BYTE kSaveRecordVersion = 6;
constexpr std::int32_t kLanguageCount = 23;
constexpr std::int32_t kAwardCount = 15;

// Options.
constexpr std::int32_t kOptionRumble = 0;
constexpr std::int32_t kOptionAccelerometer = 1;
constexpr std::int32_t kOptionLanguage = 3;
constexpr std::int32_t kOptionMusicVolume = 4;
constexpr std::int32_t kOptionEffectsVolume = 5;
constexpr std::int32_t kOptionControllerOpacity = 6;
constexpr std::int32_t kLanguageNotChosen = -1;
constexpr std::int32_t kLanguageArabic = 18;
constexpr std::int32_t kLanguageEnglish = 19;

// World progress bits.
constexpr std::uint16_t kWorldComicSeen = 0x1000;  // world 1: intro started; world 9: outro seen
constexpr std::uint16_t kWorldCutsceneSeen = 0x2000;
constexpr std::uint16_t kWorldUnlocked = 0x4000;
constexpr std::uint16_t kWorldComplete = 0x8000;

// Medals.
constexpr BYTE kMedalNone = 1;
constexpr BYTE kMedalBronze = 2;
constexpr BYTE kMedalSilver = 3;
constexpr BYTE kMedalGold = 4;

struct LevelRecord {
    BYTE medal = 0;  // 0 not done
    BYTE spare[3] = {};
    std::uint32_t kept[2] = {};  // saved and loaded unchanged
    std::uint32_t bestScore = 0;
};

// What a scored attempt hands to the profile.
struct LevelScore {
    BYTE medal = 0;
    std::int32_t timePoints = 0;
    std::int32_t logicPoints = 0;
};

// The world of a level index: 0 for the tutorial, 1-9, 10 for the custom levels.
std::int32_t WorldOfLevel(std::int32_t level);

class PlayerProfile : public UserSave {
public:
    PlayerProfile();

    int WritePayload(BYTE* payload, std::size_t size) override;
    int ReadPayload(const BYTE* payload, std::size_t size) override;

    // The file's identity cleared (name, key, award words, state) and progress and options
    // back to their defaults.
    void Reset() override;
    // The 804-byte save record.
    void WriteRecord(BYTE (&record)[kSaveRecordSize]) const;
    // 1 when the record is version 6 with three zero bytes after it; its options are then
    // clamped to their ranges. Otherwise progress and options return to the defaults and 0.
    int ReadRecord(const BYTE* record, std::size_t size);

    // Stores an option, clamped to its range (language 0..22, volumes 0..10, opacity 0..100).
    void SetOption(std::int32_t option, std::int32_t value);
    std::int32_t Option(std::int32_t option) const;
    // The language index from the handset's default language, by the "LanguageSetup=" value:
    // 1 full detection, 0 the Chinese languages only, any other English.
    void SetLanguageFromSystem(DWORD languageSetup);

    int LevelDone(std::int32_t level) const;
    std::uint32_t BestScore(std::int32_t level) const;
    BYTE Medal(std::int32_t level) const;
    std::int32_t WorldDoneCount(std::int32_t world) const;
    bool WorldUnlocked(std::int32_t world) const;
    bool CutsceneNotSeen(std::int32_t world) const;
    bool IntroNotStarted() const { return (worldFlags[1] & kWorldComicSeen) == 0; }
    bool OutroNotSeen() const { return (worldFlags[9] & kWorldComicSeen) == 0; }
    bool AllGold() const;
    bool HasAward(std::int32_t award) const { return award >= 0 && award < kAwardCount && (awardWords[0] >> award & 1) != 0; }
    float FractionDone() const;
    // The level after `level`, -1 when none: the next of its world, or the first of the next
    // world when that lies in worlds 1-9 and is unlocked.
    std::int32_t NextLevel(std::int32_t level) const;

    void MarkCutsceneSeen(std::int32_t world);
    void MarkIntroStarted() { worldFlags[1] |= kWorldComicSeen; }
    void MarkOutroSeen() { worldFlags[9] |= kWorldComicSeen; }
    void SetAwardSeen(std::int32_t award);

    // Records a finished level (`score` for a scored level of worlds 1-9, null for the
    // tutorial): done bit, medal, best score, world unlock and completion with their pop-ups,
    // and the award checks. True when it started the finale (award 13 granted).
    bool RecordLevelResult(std::int32_t level, const LevelScore* score);
    // Sets the award's bit and queues its pop-up; nothing when it was won already. True when
    // the award was granted now.
    bool GrantAward(std::int32_t award);

    std::int32_t options[kOptionCount] = {};
    std::uint16_t worldFlags[kWorldCount] = {};
    LevelRecord levels[kScoredLevelCount];
    std::uint32_t awardWord2 = 0;  // seen-award bits
    std::uint32_t spareWord = 0;
    std::uint32_t award8Progress = 0;
    std::uint32_t award5Progress = 0;
    std::uint32_t tutorialHint = 1;

private:
    void ResetProgressAndOptions();
    void ClampOptions();
};

// Makes the profile with the key, loads "user.sav" (writing a fresh one when that fails) and
// takes the language from the system when none is chosen. Null when memory runs out.
PlayerProfile* CreatePlayerProfile(const BYTE (&key)[kUserSaveKeySize], DWORD languageSetup);

// The language folder of a language index; "eng" outside the table.
const char* LanguageFolder(std::int32_t language);
// The language index of a handset language id under a "LanguageSetup=" value.
std::int32_t LanguageFromLangId(WORD langId, DWORD languageSetup);
// Set while the language is Arabic: texts are laid out right to left.
bool IsRightToLeftText();
// The grant steps of awards 5 and 8 on the process-wide profile; nothing without one.
void GrantAward10();
void GrantAward11();
// True when a profile exists and its language is one of the Chinese ones (20-22).
bool IsLanguageIndex20To22();
