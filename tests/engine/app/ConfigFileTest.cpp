// Tests of the configuration file: the key table (case, ranges, full screen, module and
// class names), cut over-long lines and values, later lines overriding earlier ones, the
// install-folder look-up of "DataPath=", and the file read from the program folder.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/app/AppConfig.h"
#include "engine/app/Application.h"
#include "engine/core/files/DataFolder.h"
#include "platform/registry/Registry.h"
#include "tests/support/TestSupport.h"

namespace {

bool NoInstalledApplication(const char*, char*, std::size_t) { return false; }

AppConfig Apply(const std::string& line) {
    AppConfig config;
    ApplyConfigLine(config, line.c_str(), NoInstalledApplication);
    return config;
}

struct NumberCase {
    const char* line;
    std::int32_t width;
    std::int32_t height;
    DWORD language;
};

TEST(ConfigFile, NumbersOutsideTheirRangesAreIgnored) {
    const NumberCase cases[] = {
        {"ScreenWidth=8", 800, 480, 0},       {"ScreenWidth=5000", 800, 480, 0},
        {"ScreenWidth=4096", 4096, 480, 0},   {"screenwidth=16", 16, 480, 0},
        {"ScreenWidth=15", 800, 480, 0},      {"ScreenHeight=296", 800, 296, 0},
        {"ScreenHeight=4097", 800, 480, 0},   {"ScreenHeight=-800", 800, 480, 0},
        {"ScreenHeight=99999999999999999999", 800, 480, 0},
        {"ScreenWidth=  240px", 240, 480, 0}, {"LanguageSetup=31", 800, 480, 31},
        {"LanguageSetup=32", 800, 480, 0},    {"LanguageSetup=-1", 800, 480, 0},
    };
    for (const NumberCase& entry : cases) {
        SCOPED_TRACE(entry.line);
        const AppConfig config = Apply(entry.line);
        EXPECT_EQ(config.renderSettings.width, entry.width);
        EXPECT_EQ(config.renderSettings.height, entry.height);
        EXPECT_EQ(config.languageSetup, entry.language);
    }
}

TEST(ConfigFile, FullScreenIsOnlyForTrueOrOne) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"FullScreen=True", 1}, {"FULLSCREEN=TRUE", 1}, {"FullScreen=1", 1},     {"FullScreen=yes", 0},
        {"FullScreen=0", 0},    {"FullScreen=", 0},     {"FullScreen=True ", 0}, {"FullScreen=10", 0},
    };
    for (const auto& [line, expected] : cases) {
        SCOPED_TRACE(line);
        AppConfig config;
        config.renderSettings.fullScreen = 1 - expected;
        ApplyConfigLine(config, line, NoInstalledApplication);
        EXPECT_EQ(config.renderSettings.fullScreen, expected);
    }
}

TEST(ConfigFile, ModuleAndClassSplitAtTheFirstDotWhateverTheKeysCase) {
    const AppConfig render = Apply("render=OpenGLRender.OpenGLRenderDevice");
    EXPECT_STREQ(render.render.module, "OpenGLRender");
    EXPECT_STREQ(render.render.className, "OpenGLRenderDevice");

    const AppConfig engine = Apply("ENGINE=Game.Engine.Version2");
    EXPECT_STREQ(engine.engine.module, "Game");
    EXPECT_STREQ(engine.engine.className, "Engine.Version2");

    const AppConfig editor = Apply("EditorEngine=Editor.Tool");
    EXPECT_STREQ(editor.editorEngine.module, "Editor");
    EXPECT_STREQ(editor.engine.module, "");

    const AppConfig sound = Apply("Sound=libkel.");
    EXPECT_STREQ(sound.sound.module, "libkel");
    EXPECT_STREQ(sound.sound.className, "");

    // Without a dot there is a module and no class: nothing can be created from it.
    const AppConfig noDot = Apply("Sound=FmodSound");
    EXPECT_STREQ(noDot.sound.module, "FmodSound");
    EXPECT_STREQ(noDot.sound.className, "");

    // A key must begin the line.
    EXPECT_STREQ(Apply(" Render=A.B").render.module, "");
    EXPECT_STREQ(Apply("XRender=A.B").render.module, "");
}

TEST(ConfigFile, OverLongNamesAndFoldersAreCut) {
    const std::string module(100, 'm');
    const std::string className(100, 'c');
    const AppConfig names = Apply("Engine=" + module + "." + className);
    EXPECT_EQ(std::string(names.engine.module), module.substr(0, 63));
    EXPECT_EQ(std::string(names.engine.className), className.substr(0, 63));

    const std::string folder(400, 's');
    const AppConfig save = Apply("SavePath=" + folder);
    EXPECT_EQ(std::string(save.saveFolder), folder.substr(0, 255));
}

TEST(ConfigFile, EmptyFolderLinesChangeNothing) {
    AppConfig config;
    std::snprintf(config.saveFolder, sizeof config.saveFolder, "\\save\\");
    std::snprintf(config.dataFolder, sizeof config.dataFolder, "\\data\\");
    ApplyConfigLine(config, "SavePath=", NoInstalledApplication);
    ApplyConfigLine(config, "DataPath=", [](const char*, char* folder, std::size_t) {
        std::snprintf(folder, 8, "\\wrong\\");
        return true;
    });
    EXPECT_STREQ(config.saveFolder, "\\save\\");
    EXPECT_STREQ(config.dataFolder, "\\data\\");
}

// The program folder in a fresh handset root, with its configuration file.
class ConfigFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(ProgramFolder());
        SetProgramFolder("\\Program Files\\Quorvane\\");
        SetAppDataFolder("\\Program Files\\Quorvane\\data\\");
        SetSaveFolder("\\Program Files\\Quorvane\\save\\");
        App().languageSetup = 0;
        Config() = AppConfig{};
    }
    void TearDown() override {
        SetAppDataFolder(nullptr);
        Config() = AppConfig{};
    }

    std::filesystem::path ProgramFolder() const {
        return std::filesystem::path(root_.Path()) / "fs" / "Program Files" / "Quorvane";
    }
    void WriteIni(const std::string& text) {
        std::ofstream file(ProgramFolder() / "Quorvane.ini", std::ios::binary);
        file << text;
    }
    void SetInstallDir(const std::u16string& application, const std::u16string& folder) {
        HKEY key = nullptr;
        const std::u16string path = u"Software\\Apps\\" + application;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, 0, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key, u"InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                                 static_cast<DWORD>(folder.size() * sizeof(WCHAR))),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    handset_test::TempHandsetRoot root_;
};

TEST_F(ConfigFileOnDisk, LinesAreReadWithTheirBreaksAndLaterOnesWin) {
    WriteIni("Render=OpenGLRender.OpenGLRenderDevice\r\n"
             "; a comment line matches no key\r\n"
             "Engine=First.Game\n"
             "Engine=Quorvane.GameEngine\n"
             "ScreenWidth=800\r"
             "SavePath=\\My Documents\\Quorvane\\\n"
             "LanguageSetup=7");
    ASSERT_EQ(LoadIni(App(), "Quorvane"), 1);
    EXPECT_STREQ(Config().render.className, "OpenGLRenderDevice");
    EXPECT_STREQ(Config().engine.module, "Quorvane");
    EXPECT_EQ(Config().renderSettings.width, 800);
    EXPECT_STREQ(App().saveFolder, "\\My Documents\\Quorvane\\");
    EXPECT_EQ(App().saveFolderLength, std::strlen("\\My Documents\\Quorvane\\"));
    EXPECT_EQ(App().languageSetup, 7u);
    EXPECT_STREQ(DataFolder(), "\\Program Files\\Quorvane\\data\\");
}

TEST_F(ConfigFileOnDisk, TheRestOfAnOverLongLineIsNeverReadAsALine) {
    // A key past the 255th character must not be taken; the line after a long one must.
    const std::string longValue(300, 'x');
    const std::string exact = "SavePath=" + std::string(255 - 9, 'y');
    ASSERT_EQ(exact.size(), 255u);
    WriteIni("Render=Good.Device\nEngine=Good.Game\n"
             "SavePath=" + std::string(246, 'a') + "Engine=Evil.Game\n" +
             "Sound=" + longValue + "Render=Evil.Device\r\n" +
             exact + "\nScreenWidth=640\n" +
             std::string(600, 'z') + "\n\nScreenHeight=600\n");
    ASSERT_EQ(LoadIni(App(), "Quorvane"), 1);
    EXPECT_STREQ(Config().render.module, "Good");
    EXPECT_STREQ(Config().engine.module, "Good");
    EXPECT_EQ(std::string(Config().sound.module), std::string(63, 'x'));
    EXPECT_EQ(std::string(App().saveFolder), exact.substr(9));
    EXPECT_EQ(Config().renderSettings.width, 640);
    EXPECT_EQ(Config().renderSettings.height, 600);
}

TEST_F(ConfigFileOnDisk, DataPathTakesTheInstalledApplicationsFolder) {
    SetInstallDir(u"Quorvane", u"\\Storage Card\\Quorvane");
    WriteIni("DataPath=Quorvane\nDataPath=NotInstalled\n");
    ASSERT_EQ(LoadIni(App(), "Quorvane"), 1);
    // The second line finds no install folder and leaves the first line's folder.
    EXPECT_STREQ(DataFolder(), "\\Storage Card\\Quorvane\\Data\\");
}

TEST_F(ConfigFileOnDisk, AnInstallFolderThatDoesNotFitIsNotTaken) {
    SetInstallDir(u"Quorvane", u"\\" + std::u16string(249, u'f'));
    WriteIni("DataPath=Quorvane\n");
    ASSERT_EQ(LoadIni(App(), "Quorvane"), 1);
    EXPECT_STREQ(DataFolder(), "\\Program Files\\Quorvane\\data\\");
}

TEST_F(ConfigFileOnDisk, ReadInstallDirNeedsAStringValue) {
    WCHAR folder[64];
    EXPECT_LT(ReadInstallDir(u"Software\\Apps\\Missing", folder, 64), 0);
    EXPECT_EQ(folder[0], u'\0');
    SetInstallDir(u"Game", u"\\Games\\Game");
    ASSERT_GE(ReadInstallDir(u"Software\\Apps\\Game", folder, 64), 0);
    EXPECT_EQ(std::u16string(folder), u"\\Games\\Game");
    // The value does not fit four characters: a failure, not a cut folder.
    EXPECT_LT(ReadInstallDir(u"Software\\Apps\\Game", folder, 4), 0);
}

TEST_F(ConfigFileOnDisk, AMissingFileIsReported) { EXPECT_EQ(LoadIni(App(), "Quorvane"), 0); }

}  // namespace
