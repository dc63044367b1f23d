// The application record, its folders, the configuration file and the install folder.
#include "engine/app/Application.h"

#include <cstdio>
#include <cstring>

#include "engine/core/files/DataFolder.h"
#include "engine/core/files/FileStream.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/text/TextConversion.h"
#include "platform/fs/ModulePath.h"
#include "platform/registry/Registry.h"

namespace {

Application application;
AppConfig config;
SIZE uiScreenSize{800, 480};

std::size_t CopyFolder(char* destination, const char* folder) {
    if (folder == nullptr) folder = "";
    const std::size_t length = strnlen(folder, kAppFolderCapacity - 1);
    std::memcpy(destination, folder, length);
    destination[length] = 0;
    return length;
}

constexpr std::size_t kKeyPathCapacity = 512;

}  // namespace

Application& App() { return application; }

AppConfig& Config() { return config; }

void SetUiScreenSize(LONG width, LONG height) { uiScreenSize = SIZE{width, height}; }

SIZE UiScreenSize() { return uiScreenSize; }

void SetProgramFolder(const char* folder) {
    application.programFolderLength = CopyFolder(application.programFolder, folder);
}

void SetAppDataFolder(const char* folder) { SetDataFolder(folder); }

void SetSaveFolder(const char* folder) { application.saveFolderLength = CopyFolder(application.saveFolder, folder); }

void SetFoldersFromProgramPath() {
    WCHAR widePath[kAppFolderCapacity] = {};
    GetModuleFileNameW(nullptr, widePath, kAppFolderCapacity);
    char path[kAppFolderCapacity];
    if (WideToUtf8(path, widePath, sizeof path) == 0) path[0] = 0;
    char* separator = std::strrchr(path, '\\');
    char* slash = std::strrchr(path, '/');
    if (slash != nullptr && (separator == nullptr || slash > separator)) separator = slash;
    if (separator != nullptr)
        separator[1] = 0;
    else
        path[0] = 0;
    SetProgramFolder(path);
    char folder[kAppFolderCapacity + 8];
    std::snprintf(folder, sizeof folder, "%sdata\\", application.programFolder);
    SetAppDataFolder(folder);
    std::snprintf(folder, sizeof folder, "%ssave\\", application.programFolder);
    SetSaveFolder(folder);
}

int LoadIni(Application& app, const char* name) {
    char path[kStreamPathCapacity];
    const int written = std::snprintf(path, sizeof path, "%s%s.ini", app.programFolder, name != nullptr ? name : "");
    if (written < 0 || static_cast<std::size_t>(written) >= sizeof path) return 0;
    FileStream stream;
    if (stream.Open(path, kStreamAbsolutePath | kStreamText | kStreamReadWhole) == 0) {
        KEL_LOG_EXCEPTION("The configuration file %s cannot be read.", path);
        return 0;
    }

    // Names and settings are empty or at their defaults until a line of this file sets them.
    config = AppConfig{};
    CopyFolder(config.dataFolder, DataFolder());
    CopyFolder(config.saveFolder, app.saveFolder);
    config.languageSetup = app.languageSetup;
    ReadConfigLines(stream, config, LookupDataFolder);
    stream.Close();
    SetAppDataFolder(config.dataFolder);
    app.saveFolderLength = CopyFolder(app.saveFolder, config.saveFolder);
    app.languageSetup = config.languageSetup;
    return 1;
}

LONG ReadInstallDir(const WCHAR* keyPath, WCHAR* buffer, DWORD capacity) {
    if (buffer == nullptr || capacity == 0) return -static_cast<LONG>(ERROR_INVALID_PARAMETER);
    buffer[0] = 0;
    HKEY key = nullptr;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, 0, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) return -result;
    DWORD type = REG_NONE;
    // Room for a terminator after the value, which the registry need not keep.
    DWORD bytes = (capacity - 1) * sizeof(WCHAR);
    result = RegQueryValueExW(key, u"InstallDir", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    RegCloseKey(key);
    if (result == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ) result = ERROR_INVALID_DATA;
    if (result != ERROR_SUCCESS) {
        buffer[0] = 0;
        return -result;
    }
    buffer[bytes / sizeof(WCHAR)] = 0;
    return 0;
}

bool LookupDataFolder(const char* applicationName, char* folder, std::size_t capacity) {
    if (applicationName == nullptr || folder == nullptr || capacity == 0) return false;
    char keyPath[kKeyPathCapacity];
    const int written = std::snprintf(keyPath, sizeof keyPath, "Software\\Apps\\%s", applicationName);
    if (written < 0 || static_cast<std::size_t>(written) >= sizeof keyPath) return false;
    WCHAR wideKeyPath[kKeyPathCapacity];
    Utf8ToWide(wideKeyPath, keyPath, kKeyPathCapacity);
    WCHAR installDir[kAppFolderCapacity];
    if (ReadInstallDir(wideKeyPath, installDir, kAppFolderCapacity) < 0) return false;
    char narrow[kAppFolderCapacity];
    if (WideToUtf8(narrow, installDir, sizeof narrow) == 0) return false;
    const int length = std::snprintf(folder, capacity, "%s\\Data\\", narrow);
    return length >= 0 && static_cast<std::size_t>(length) < capacity;
}
