// The player profile: its save record byte for byte, refused records, options and their
// clamps, the language choice, the next level and the save file.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "engine/app/Application.h"
#include "game/flow/profile/PlayerProfile.h"
#include "platform/base/Locale.h"
#include "tests/game/flow/FlowFakes.h"
#include "tests/support/TestSupport.h"

namespace {

using Record = std::vector<BYTE>;

Record RecordOf(const PlayerProfile& profile) {
    BYTE bytes[kSaveRecordSize];
    profile.WriteRecord(bytes);
    return Record(std::begin(bytes), std::end(bytes));
}

void PutWord(Record& record, std::size_t at, std::uint32_t word) {
    for (int i = 0; i < 4; ++i) record[at + i] = static_cast<BYTE>(word >> (8 * i));
}

TEST(SaveRecord, AFreshProfileWritesTheGoldenRecord) {
    PlayerProfile profile;
    profile.levels[0] = {kMedalGold, {0, 0, 0}, {0x11223344, 0x55667788}, 0x01020304};
    profile.levels[44].medal = kMedalBronze;
    profile.worldFlags[3] = 0x8123;
    profile.awardWord2 = 0xA1;
    profile.spareWord = 0xB2;
    profile.award8Progress = 7;
    profile.award5Progress = 9;
    profile.SetOption(kOptionLanguage, 2);

    Record golden(kSaveRecordSize, 0);
    golden[0] = 6;
    golden[4] = 0x00;  // world 0: unlocked
    golden[5] = 0x40;
    golden[6] = 0x00;  // world 1: unlocked
    golden[7] = 0x40;
    golden[10] = 0x23;  // world 3
    golden[11] = 0x81;
    PutWord(golden, 24, 1);  // tutorial hint
    golden[28] = 4;
    PutWord(golden, 32, 0x11223344);
    PutWord(golden, 36, 0x55667788);
    PutWord(golden, 40, 0x01020304);
    golden[28 + 44 * 16] = 2;
    PutWord(golden, 748, 0xA1);
    PutWord(golden, 752, 0xB2);
    PutWord(golden, 756, 7);
    PutWord(golden, 760, 9);
    const std::int32_t options[10] = {1, 0, 1, 2, 5, 5, 80, 0, 0, 0};
    for (int i = 0; i < 10; ++i) PutWord(golden, 764 + 4 * i, static_cast<std::uint32_t>(options[i]));
    EXPECT_EQ(RecordOf(profile), golden);

    PlayerProfile loaded;
    ASSERT_EQ(loaded.ReadRecord(golden.data(), golden.size()), 1);
    EXPECT_EQ(RecordOf(loaded), golden) << "what was loaded saves to the same bytes";
}

TEST(SaveRecord, OnlyVersionSixWithThreeZeroBytesIsTakenAndARefusalRestoresTheDefaults) {
    PlayerProfile fresh;
    const Record defaults = RecordOf(fresh);
    Record good = defaults;
    good[4 + 2 * 5] = 0xFF;  // something to lose
    struct Case {
        std::size_t at;
        BYTE value;
    };
    for (const Case& change : {Case{0, 5}, Case{0, 7}, Case{0, 0}, Case{1, 1}, Case{2, 1}, Case{3, 0x80}}) {
        Record bad = good;
        bad[change.at] = change.value;
        PlayerProfile profile;
        profile.worldFlags[7] = 0x4000;
        profile.options[kOptionMusicVolume] = 2;
        EXPECT_EQ(profile.ReadRecord(bad.data(), bad.size()), 0) << "byte " << change.at << " = " << +change.value;
        EXPECT_EQ(RecordOf(profile), defaults) << "progress and options are back to their defaults";
    }
    PlayerProfile profile;
    EXPECT_EQ(profile.ReadRecord(good.data(), good.size() - 1), 0) << "a short record";
}

TEST(SaveRecord, OptionsOutsideTheirRangesAreClampedOnLoad) {
    Record record = RecordOf(PlayerProfile{});
    const std::int32_t saved[10] = {7, -2, 1, 40, 15, -3, 250, 5, 6, 7};
    for (int i = 0; i < 10; ++i) PutWord(record, 764 + 4 * i, static_cast<std::uint32_t>(saved[i]));
    PlayerProfile profile;
    ASSERT_EQ(profile.ReadRecord(record.data(), record.size()), 1);
    const std::int32_t expected[10] = {1, 0, 1, 22, 10, 0, 100, 5, 6, 7};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(profile.options[i], expected[i]) << "option " << i;
    EXPECT_STREQ(LanguageFolder(profile.options[kOptionLanguage]), "chitratw");

    PutWord(record, 764 + 4 * kOptionLanguage, static_cast<std::uint32_t>(-1));
    ASSERT_EQ(profile.ReadRecord(record.data(), record.size()), 1);
    EXPECT_EQ(profile.options[kOptionLanguage], kLanguageNotChosen) << "not chosen yet stays so";
    PutWord(record, 764 + 4 * kOptionLanguage, static_cast<std::uint32_t>(-9));
    ASSERT_EQ(profile.ReadRecord(record.data(), record.size()), 1);
    EXPECT_EQ(profile.options[kOptionLanguage], 0);
}

TEST(PlayerProfile, SetOptionClampsTheRangedOptions) {
    PlayerProfile profile;
    struct Case {
        std::int32_t option, value, stored;
    };
    for (const Case& c : {Case{4, 15, 10}, Case{6, -3, 0}, Case{3, 40, 22}, Case{5, 4, 4}, Case{6, 101, 100},
                          Case{2, 77, 77}, Case{9, -5, -5}}) {
        profile.SetOption(c.option, c.value);
        EXPECT_EQ(profile.Option(c.option), c.stored) << "option " << c.option << " = " << c.value;
    }
}

TEST(PlayerProfile, AFreshProfileHasTheFirstTwoWorldsAndNothingDone) {
    PlayerProfile profile;
    EXPECT_TRUE(profile.WorldUnlocked(0));
    EXPECT_TRUE(profile.WorldUnlocked(1));
    EXPECT_FALSE(profile.WorldUnlocked(2));
    EXPECT_FALSE(profile.WorldUnlocked(10));
    EXPECT_EQ(profile.FractionDone(), 0.0f);
    EXPECT_EQ(profile.tutorialHint, 1u);
    const std::int32_t expected[10] = {1, 0, 1, -1, 5, 5, 80, 0, 0, 0};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(profile.options[i], expected[i]);
}

TEST(PlayerProfile, NextLevelStaysInTheWorldOrEntersAnUnlockedNextWorld) {
    PlayerProfile profile;
    EXPECT_EQ(profile.NextLevel(7), 8);
    EXPECT_EQ(profile.NextLevel(11), 12);
    EXPECT_EQ(profile.NextLevel(12), -1) << "the last of world 1, and world 2 is locked";
    EXPECT_EQ(profile.NextLevel(17), -1) << "world 3 is locked";
    profile.worldFlags[3] |= kWorldUnlocked;
    EXPECT_EQ(profile.NextLevel(17), 18);
    EXPECT_EQ(profile.NextLevel(52), -1);
    EXPECT_EQ(profile.NextLevel(53), -1);
    EXPECT_EQ(profile.NextLevel(-1), -1);
    profile.worldFlags[1] = 0;
    EXPECT_EQ(profile.NextLevel(7), -1);
}

TEST(PlayerProfile, CutscenesOfTheTutorialAndTheFirstWorldAreSeenTogether) {
    PlayerProfile profile;
    profile.MarkCutsceneSeen(0);
    EXPECT_FALSE(profile.CutsceneNotSeen(1));
    PlayerProfile other;
    other.MarkCutsceneSeen(1);
    EXPECT_FALSE(other.CutsceneNotSeen(0));
    EXPECT_TRUE(other.CutsceneNotSeen(2));
    EXPECT_FALSE(other.CutsceneNotSeen(10)) << "the custom world has no cut-scene";
}

TEST(Language, TheHandsetLanguageChoosesTheFolderByTheLanguageSetup) {
    struct Case {
        const char* lang;
        DWORD setup;
        const char* folder;
    };
    const Case cases[] = {
        {"de_DE.UTF-8", 1, "ger"}, {"ar_EG", 1, "ara"},       {"pt_BR.UTF-8", 1, "porbra"}, {"pt_PT", 1, "por"},
        {"fr_CA", 1, "fre"},       {"ko_KR", 1, "kor"},       {"ja_JP", 1, "eng"},          {"C", 1, "eng"},
        {nullptr, 1, "eng"},       {"tr_TR", 1, "tur"},       {"zh_TW", 0, "chitratw"},     {"zh_CN", 0, "chisim"},
        {"zh_HK", 0, "chitra"},    {"de_DE", 0, "eng"},       {"zh_TW", 5, "eng"},          {"zh_CN", 1, "eng"},
    };
    for (const Case& c : cases) {
        const std::int32_t language = LanguageFromLangId(LangIdFromLocaleName(c.lang), c.setup);
        EXPECT_STREQ(LanguageFolder(language), c.folder) << (c.lang ? c.lang : "(unset)") << " setup " << c.setup;
    }
    EXPECT_EQ(LangIdFromLocaleName("en_GB.UTF-8"), 0x0809);
    EXPECT_EQ(LangIdFromLocaleName("pt_BR"), 0x0416);
    EXPECT_EQ(LangIdFromLocaleName("POSIX"), 0x0409);
}

TEST(Language, TheArabicLanguageLaysTextOutRightToLeft) {
    PlayerProfile profile;
    profile.SetOption(kOptionLanguage, kLanguageArabic);
    EXPECT_TRUE(IsRightToLeftText());
    profile.SetOption(kOptionLanguage, 2);
    EXPECT_FALSE(IsRightToLeftText());
}

class SaveFileTest : public ::testing::Test {
protected:
    void SetUp() override { SetSaveFolder("\\Program Files\\Quorvane\\save\\"); }
    void TearDown() override { SetSaveFolder(""); }
    std::filesystem::path SaveFile() const {
        return std::filesystem::path(root_.Path()) / "fs" / "Program Files" / "Quorvane" / "save" / "user.sav";
    }
    std::vector<char> ReadFile() const {
        std::ifstream file(SaveFile(), std::ios::binary);
        return std::vector<char>(std::istreambuf_iterator<char>(file), {});
    }
    handset_test::TempHandsetRoot root_;
    const BYTE key_[kUserSaveKeySize] = {1, 2, 3, 4, 5, 6, 7, 8};
};

TEST_F(SaveFileTest, ANewProfileWritesAFreshFileAndTheNextStartReadsItBack) {
    PlayerProfile* first = CreatePlayerProfile(key_, 2);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Option(kOptionLanguage), kLanguageEnglish);
    std::vector<char> bytes = ReadFile();
    ASSERT_EQ(bytes.size(), 3080u);
    EXPECT_EQ(std::memcmp(bytes.data(), key_, 8), 0);
    EXPECT_EQ(bytes[8], 1) << "format word";
    EXPECT_EQ(std::memcmp(bytes.data() + 12, key_, 8), 0);
    EXPECT_STREQ(bytes.data() + 20, "Player");
    EXPECT_EQ(bytes[60], 6) << "the save record begins after the 52-byte header";

    first->RecordLevelResult(8, nullptr);
    first->awardWords[0] = 0x21;
    first->SetOption(kOptionMusicVolume, 3);
    ASSERT_EQ(first->Save(), 1);
    delete first;

    const BYTE otherKey[kUserSaveKeySize] = {9};
    PlayerProfile* second = CreatePlayerProfile(otherKey, 2);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->LevelDone(8), 1);
    EXPECT_EQ(second->awardWords[0], 0x21u);
    EXPECT_EQ(second->Option(kOptionMusicVolume), 3);
    EXPECT_EQ(second->key[0], 1) << "the key is the file's";
    delete second;
}

TEST_F(SaveFileTest, ARefusedRecordTakesNothingOfTheFileHeader) {
    PlayerProfile profile;
    profile.loadState = kUserSaveReady;
    profile.awardWords[0] = 0x5;
    BYTE file[kUserSaveFileSize];
    PlayerProfile writer;
    writer.awardWords[0] = 0x7FFF;
    std::strcpy(writer.name, "Someone");
    writer.Serialise(file);
    // A save from before the checksum, so that the record's own check is what refuses it.
    std::memset(file + kUserSaveFileSize - kUserSaveChecksumSize, 0, kUserSaveChecksumSize);
    file[kUserSaveKeySize + kUserSaveHeaderSize + 1] = 1;  // byte 1 of the save record
    EXPECT_EQ(profile.Deserialise(file, sizeof file), 0);
    EXPECT_EQ(profile.awardWords[0], 0x5u);
    EXPECT_STREQ(profile.name, "Player");
    file[kUserSaveKeySize + kUserSaveHeaderSize + 1] = 0;
    file[kUserSaveKeySize] = 2;  // format word
    EXPECT_EQ(profile.Deserialise(file, sizeof file), 0);
    EXPECT_EQ(profile.Deserialise(file, 100), 0) << "a short file";
}

}  // namespace
