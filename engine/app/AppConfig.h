// The program's configuration file ("<program folder>Quorvane.ini"): one "Key=value" per
// line, keys compared without case as prefixes of the line, later lines overriding earlier
// ones, lines that match no key ignored. It names the modules and classes of the render
// device, the game object and the sound device, and the screen size and folders.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/base/Types.h"

class FileStream;

// Lines are read with at most 255 characters; the rest of a longer line is skipped, never
// taken for a line of its own.
constexpr std::size_t kConfigLineCapacity = 256;
// Module and class names keep at most 63 characters each.
constexpr std::size_t kModuleNameCapacity = 64;
constexpr std::size_t kConfigFolderCapacity = 256;

struct ModuleClassName {
    char module[kModuleNameCapacity];
    char className[kModuleNameCapacity];
};

// What the render device is created with.
// The handset's landscape screen until a line or the main window's client size says otherwise.
struct RenderSettings {
    std::int32_t width = 800;
    std::int32_t height = 480;
    std::int32_t colourDepth = 32;
    std::int32_t fullScreen = 0;
};

// Accepted ranges of the numeric keys.
constexpr std::int32_t kMinConfigScreenSide = 16;
constexpr std::int32_t kMaxConfigScreenSide = 4096;
constexpr DWORD kLanguageSetupCount = 32;

struct AppConfig {
    ModuleClassName render{};
    ModuleClassName engine{};
    ModuleClassName editorEngine{};  // kept, not used by the program
    ModuleClassName sound{};
    RenderSettings renderSettings;
    // Folders and the language as the file leaves them; LoadIni fills them from the
    // application before reading and hands them back after.
    char dataFolder[kConfigFolderCapacity] = {};
    char saveFolder[kConfigFolderCapacity] = {};
    DWORD languageSetup = 0;
};

// For "DataPath=": the data folder of the application installed under that name (its
// install folder from the registry followed by "\Data\"); false when there is none, and
// the data folder then stays as it was.
using DataFolderLookup = bool (*)(const char* applicationName, char* folder, std::size_t capacity);

// Applies one line (without its line break) to the configuration.
void ApplyConfigLine(AppConfig& config, const char* line, DataFolderLookup lookup);
// Applies every line of the stream, cutting over-long lines at 255 characters.
void ReadConfigLines(FileStream& stream, AppConfig& config, DataFolderLookup lookup);
