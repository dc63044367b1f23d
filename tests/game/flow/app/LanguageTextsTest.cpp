// The shipped texts: every key the menu files, the cut-scene scripts and the game's code look
// up has its line in English and in each translated language, with the same placeholders;
// and after the data build's fill every folder of the language table loads, the untranslated
// ones and keys a translation lacks reading English.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/core/files/DataFolder.h"
#include "engine/core/text/EngineWString.h"
#include "engine/overlay/text/TextTable.h"
#include "game/flow/profile/PlayerProfile.h"
#include "tests/game/flow/RunningGame.h"

namespace {

namespace fs = std::filesystem;

const fs::path kSource = HANDSET_SOURCE_DIR;
const fs::path kTextFolder = kSource / "data/game/archives/startup/text";
constexpr const char* kTranslated[] = {"ger", "fre", "spa", "ita"};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Tokens(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> tokens;
    for (std::string token; in >> token;) tokens.push_back(token);
    return tokens;
}

struct TextFile {
    std::map<std::string, std::string> lines;  // key -> text between the quotes
    std::vector<std::string> duplicates;
};

// Keys are compared without case by the table; the files write them in capitals.
TextFile ReadTexts(const fs::path& path) {
    TextFile file;
    std::istringstream in(ReadFile(path));
    for (std::string line; std::getline(in, line);) {
        const std::vector<std::string> tokens = Tokens(line);
        if (tokens.empty()) continue;
        const std::string& key = tokens[0];
        const std::size_t open = line.find('"');
        const std::size_t close = line.rfind('"');
        const std::string text = open != std::string::npos && close > open ? line.substr(open + 1, close - open - 1) : "";
        if (!file.lines.emplace(key, text).second) file.duplicates.push_back(key);
    }
    return file;
}

TextFile ReadLanguage(const std::string& folder) {
    TextFile menu = ReadTexts(kTextFolder / folder / "menu.text");
    const TextFile credits = ReadTexts(kTextFolder / folder / "credits.text");
    for (const auto& [key, text] : credits.lines)
        if (!menu.lines.emplace(key, text).second) menu.duplicates.push_back(key);
    menu.duplicates.insert(menu.duplicates.end(), credits.duplicates.begin(), credits.duplicates.end());
    return menu;
}

bool IsKey(const std::string& token) { return std::regex_match(token, std::regex("[A-Z][A-Z0-9_]*[A-Z0-9]")); }

std::string Unquoted(std::string token) {
    token.erase(std::remove(token.begin(), token.end(), '"'), token.end());
    return token;
}

// Where each key is used, for the failure message.
using KeyUses = std::map<std::string, std::string>;

void AddMenuKeys(KeyUses& uses) {
    for (const fs::directory_entry& archive : fs::directory_iterator(kSource / "data/game/archives")) {
        const fs::path menus = archive.path() / "menus";
        if (!fs::is_directory(menus)) continue;
        for (const fs::directory_entry& file : fs::directory_iterator(menus)) {
            if (file.path().extension() != ".menu") continue;
            std::istringstream in(ReadFile(file.path()));
            for (std::string line; std::getline(in, line);) {
                const std::vector<std::string> tokens = Tokens(line);
                if (tokens.size() < 2 || (tokens[0] != "TEXT" && tokens[0] != "TOOLTIP")) continue;
                for (std::size_t i = 1; i < tokens.size(); ++i)
                    if (IsKey(Unquoted(tokens[i]))) uses.emplace(Unquoted(tokens[i]), file.path().filename().string());
            }
        }
    }
}

// TALK <character> <mood> <text key> <camera> [...]
void AddCutsceneKeys(KeyUses& uses) {
    for (const fs::directory_entry& file : fs::recursive_directory_iterator(kSource / "data/game")) {
        if (file.path().extension() != ".cut") continue;
        std::istringstream in(ReadFile(file.path()));
        for (std::string line; std::getline(in, line);) {
            const std::vector<std::string> tokens = Tokens(line);
            if (tokens.size() >= 4 && tokens[0] == "TALK") uses.emplace(tokens[3], file.path().filename().string());
        }
    }
}

// Text keys the game's code quotes whole; brush names share some prefixes and are left out.
void AddCodeKeys(KeyUses& uses) {
    const std::regex literal("\"((MENU|NOTIFICATION|UFM|AWARD|PORTAL|LEVEL|CUTSCENE|CREDITS|GOLD|SILVER|BRONZE)_[A-Z0-9_]*)\"");
    for (const fs::directory_entry& file : fs::recursive_directory_iterator(kSource / "game")) {
        if (file.path().extension() != ".cpp" && file.path().extension() != ".h") continue;
        const std::string code = ReadFile(file.path());
        for (std::sregex_iterator it(code.begin(), code.end(), literal), end; it != end; ++it) {
            const std::string key = (*it)[1];
            if (key.back() == '_' || key.find("BRUSH") != std::string::npos) continue;
            uses.emplace(key, file.path().filename().string());
        }
    }
}

// Keys the code builds with a number.
void AddNumberedKeys(KeyUses& uses) {
    for (int m = 1; m <= 15; ++m) {
        uses.emplace("AWARD_NAME_" + std::to_string(m), "awards");
        uses.emplace("AWARD_INFO_" + std::to_string(m), "awards");
    }
    for (int level = 1; level <= 53; ++level) uses.emplace("LEVEL_NAME_" + std::to_string(level), "level names");
    for (int level = 1; level <= 8; ++level) uses.emplace("LEVEL_BRIEFING_" + std::to_string(level), "briefings");
    uses.emplace("LEVEL_BRIEFING_8_2", "briefings");
    for (int language = 0; language < kLanguageCount; ++language)
        uses.emplace("MENU_LANGUAGE_" + std::to_string(language), "language page");
    uses.emplace("CREDITS_050", "credits closing screen");
    uses.emplace("CREDITS_051", "credits closing screen");
}

KeyUses AllUsedKeys() {
    KeyUses uses;
    AddMenuKeys(uses);
    AddCutsceneKeys(uses);
    AddCodeKeys(uses);
    AddNumberedKeys(uses);
    return uses;
}

// The printf conversions of a text, in order: a translation must keep them.
std::string Placeholders(const std::string& text) {
    std::string found;
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '%') {
            found += text.substr(i, 2);
            ++i;
        }
    return found;
}

TEST(LanguageTexts, EveryUsedKeyHasItsLineInEnglishAndEachTranslation) {
    const KeyUses uses = AllUsedKeys();
    ASSERT_GT(uses.size(), 150u) << "the collection of used keys found too little";
    for (const char* folder : {"eng", "ger", "fre", "spa", "ita"}) {
        const TextFile texts = ReadLanguage(folder);
        EXPECT_TRUE(texts.duplicates.empty()) << folder << ": a second line of " << texts.duplicates.front()
                                              << " is never read";
        for (const auto& [key, where] : uses)
            EXPECT_TRUE(texts.lines.count(key)) << folder << " has no text for " << key << " (used by " << where << ")";
        for (const auto& [key, text] : texts.lines) EXPECT_FALSE(text.empty()) << folder << ": " << key << " is empty";
    }
}

TEST(LanguageTexts, TranslationsKeepTheEnglishKeysAndPlaceholders) {
    const TextFile english = ReadLanguage("eng");
    for (const char* folder : kTranslated) {
        const TextFile texts = ReadLanguage(folder);
        for (const auto& [key, text] : english.lines) {
            const auto it = texts.lines.find(key);
            if (it == texts.lines.end()) {
                ADD_FAILURE() << folder << " lacks " << key << ", which English has";
                continue;
            }
            EXPECT_EQ(Placeholders(it->second), Placeholders(text)) << folder << ": " << key;
        }
        for (const auto& [key, text] : texts.lines)
            EXPECT_TRUE(english.lines.count(key)) << folder << " has " << key << ", which English lacks";
    }
}

// The credits run from entry 001 through a "[PART3]" entry to the closing entry after it.
TEST(LanguageTexts, CreditsRunWithoutGapsToTheirClosingScreen) {
    for (const char* folder : {"eng", "ger", "fre", "spa", "ita"}) {
        const TextFile credits = ReadTexts(kTextFolder / folder / "credits.text");
        int number = 1;
        char key[32];
        for (; number < 1000; ++number) {
            std::snprintf(key, sizeof key, "CREDITS_%03d", number);
            const auto it = credits.lines.find(key);
            ASSERT_NE(it, credits.lines.end()) << folder << ": the credits stop at " << key << " before their end";
            if (it->second.rfind("[PART3]", 0) == 0) break;
        }
        std::snprintf(key, sizeof key, "CREDITS_%03d", number + 1);
        EXPECT_TRUE(credits.lines.count(key)) << folder << ": no closing entry after [PART3]";
        EXPECT_EQ(credits.lines.at("CREDITS_050").find(']'), 6u) << folder << ": the closing line is read from its eighth character";
    }
}

class FilledLanguagesTest : public RunningGameTest {};

std::u16string Find(const char* key) {
    std::uint32_t length = 0;
    const WCHAR* text = TextTableFind(GlobalTextTable(), key, &length);
    return std::u16string(text, text + length);
}

std::u16string Wide(const std::string& utf8) {
    const EngineWString text = EngineWString::FromUtf8(utf8.c_str());
    return std::u16string(text.Text(), text.Text() + text.Length());
}

TEST_F(FilledLanguagesTest, EveryLanguageOfTheTableLoadsWithEnglishWhereItHasNoText) {
    SetDataFolder("\\data\\");
    const fs::path text = fs::path(root_.Path()) / "fs" / "data" / "text";
    fs::create_directories(text.parent_path());
    fs::copy(kTextFolder, text, fs::copy_options::recursive);
    // A key added in English after the translations were made.
    std::ofstream(text / "eng" / "menu.text", std::ios::app) << "MENU_ADDED_LATER \"Only in English\"\n";
    const std::string fill = (kSource / "scripts/fill_language_texts.sh").string() + " " + text.string();
    ASSERT_EQ(std::system(fill.c_str()), 0);
    ASSERT_EQ(std::system(fill.c_str()), 0) << "a second fill must be harmless";

    const TextFile english = ReadTexts(text / "eng" / "menu.text");
    const std::map<std::string, std::u16string> settings = {
        {"eng", u"Settings"}, {"ger", u"Einstellungen"}, {"fre", u"Options"}, {"spa", u"Ajustes"}, {"ita", u"Impostazioni"}};
    for (std::int32_t language = 0; language < kLanguageCount; ++language) {
        const std::string folder = LanguageFolder(language);
        SCOPED_TRACE(folder);
        ASSERT_EQ(game_->LoadLocalisation(folder.c_str()), 1);
        for (const auto& [key, line] : english.lines) {
            ASSERT_NE(Find(key.c_str()), u"<UNKNOWN STRING>") << key;
            if (!settings.count(folder)) {
                ASSERT_EQ(Find(key.c_str()), Wide(line)) << key << " reads English";
            }
        }
        EXPECT_EQ(Find("MENU_SETTINGS"), settings.count(folder) ? settings.at(folder) : u"Settings");
        EXPECT_EQ(Find("MENU_ADDED_LATER"), u"Only in English");
        EXPECT_NE(Find("CREDITS_001"), u"<UNKNOWN STRING>");
    }
}

}  // namespace
