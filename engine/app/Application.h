// The application record of the game program: its folders, profile names, language, saved
// display mode and started mark, with the configuration read from "Quorvane.ini" and the
// registry look-up of an installed application's folder.
#pragma once

#include <cstddef>

#include "engine/app/AppConfig.h"
#include "engine/core/containers/KDLList.h"
#include "platform/base/Types.h"

// The game's name: the configuration file, the window title and the sound settings use it.
constexpr const char* kProgramName = "Quorvane";
constexpr std::size_t kAppFolderCapacity = 256;

struct Application {
    char programFolder[kAppFolderCapacity] = {};  // with its trailing separator
    std::size_t programFolderLength = 0;
    // The data folder is the engine's one data folder (DataFolder.h).
    char saveFolder[kAppFolderCapacity] = {};
    std::size_t saveFolderLength = 0;
    KDLList profileNames;  // EngineString items; "Default" after start-up
    DWORD languageSetup = 0;  // 0..31
    DWORD displayKind = 0;    // saved display mode: kDisplayPortrait or kDisplayLandscape
    RECT screenRect{};
    DWORD gameWords[3] = {};  // cleared during start-up, read by the game
    bool started = false;
};

Application& App();

// The size the user interface lays its pages out on; set at entry.
void SetUiScreenSize(LONG width, LONG height);
SIZE UiScreenSize();
// The configuration values; the render settings are updated by the main window's creation.
AppConfig& Config();

// Each copies up to 255 characters and keeps the length.
void SetProgramFolder(const char* folder);
void SetAppDataFolder(const char* folder);
void SetSaveFolder(const char* folder);

// The program folder from the running program's path, cut after its last separator; the
// data folder "<program folder>data\" and the save folder "<program folder>save\".
void SetFoldersFromProgramPath();

// Reads "<program folder><name>.ini" into the configuration (folders and language into the
// application). 1 when the file was read, 0 when it cannot be opened.
int LoadIni(Application& application, const char* name);

// Opens (creating when absent) the key under HKEY_LOCAL_MACHINE and reads its string value
// "InstallDir" into `buffer` (`capacity` characters, always terminated). Non-negative on
// success; a missing value, a value of another type or one that does not fit is a failure.
LONG ReadInstallDir(const WCHAR* keyPath, WCHAR* buffer, DWORD capacity);
// The data folder of the application installed under `applicationName`: its "InstallDir"
// under "Software\Apps\<name>" followed by "\Data\". False when there is none or the result
// does not fit `capacity`.
bool LookupDataFolder(const char* applicationName, char* folder, std::size_t capacity);
