// Parsing of the configuration file's lines.
#include "engine/app/AppConfig.h"

#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/core/text/TextCompare.h"

namespace {

// Copies at most capacity - 1 characters and terminates.
void CopyCut(char* destination, std::size_t capacity, const char* text, std::size_t length) {
    if (length > capacity - 1) length = capacity - 1;
    std::memcpy(destination, text, length);
    destination[length] = 0;
}

// "module.class": split at the first dot. A value without a dot names a module and no
// class, which no object can be created from.
void SetModuleClass(ModuleClassName& name, const char* value) {
    const char* dot = std::strchr(value, '.');
    if (dot == nullptr) {
        CopyCut(name.module, sizeof name.module, value, std::strlen(value));
        name.className[0] = 0;
        return;
    }
    CopyCut(name.module, sizeof name.module, value, static_cast<std::size_t>(dot - value));
    CopyCut(name.className, sizeof name.className, dot + 1, std::strlen(dot + 1));
}

bool IsBlank(char character) {
    return character == ' ' || character == '\t' || character == '\n' || character == '\v' || character == '\f' ||
           character == '\r';
}

// Decimal text read as the runtime library's atoi reads it (leading blanks, a sign, the
// digits up to the first other character), but saturated instead of overflowing.
std::int64_t DecimalValue(const char* text) {
    while (IsBlank(*text)) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{1} << 40;
    for (; *text >= '0' && *text <= '9'; ++text)
        if (value < kLimit) value = value * 10 + (*text - '0');
    return negative ? -value : value;
}

bool StartsWithKey(const char* line, const char* key, const char*& value) {
    const std::size_t length = std::strlen(key);
    if (CompareNoCaseN(line, key, length) != 0) return false;
    value = line + length;
    return true;
}

}  // namespace

void ApplyConfigLine(AppConfig& config, const char* line, DataFolderLookup lookup) {
    if (line == nullptr) return;
    const char* value = nullptr;
    if (StartsWithKey(line, "Render=", value)) {
        SetModuleClass(config.render, value);
    } else if (StartsWithKey(line, "Engine=", value)) {
        SetModuleClass(config.engine, value);
    } else if (StartsWithKey(line, "EditorEngine=", value)) {
        SetModuleClass(config.editorEngine, value);
    } else if (StartsWithKey(line, "Sound=", value)) {
        SetModuleClass(config.sound, value);
    } else if (StartsWithKey(line, "DataPath=", value)) {
        if (value[0] == 0 || lookup == nullptr) return;
        char folder[kConfigFolderCapacity];
        if (lookup(value, folder, sizeof folder)) CopyCut(config.dataFolder, sizeof config.dataFolder, folder, std::strlen(folder));
    } else if (StartsWithKey(line, "SavePath=", value)) {
        if (value[0] != 0) CopyCut(config.saveFolder, sizeof config.saveFolder, value, std::strlen(value));
    } else if (StartsWithKey(line, "ScreenWidth=", value)) {
        const std::int64_t width = DecimalValue(value);
        if (width >= kMinConfigScreenSide && width <= kMaxConfigScreenSide)
            config.renderSettings.width = static_cast<std::int32_t>(width);
    } else if (StartsWithKey(line, "ScreenHeight=", value)) {
        const std::int64_t height = DecimalValue(value);
        if (height >= kMinConfigScreenSide && height <= kMaxConfigScreenSide)
            config.renderSettings.height = static_cast<std::int32_t>(height);
    } else if (StartsWithKey(line, "LanguageSetup=", value)) {
        const std::int64_t language = DecimalValue(value);
        if (language >= 0 && language < kLanguageSetupCount) config.languageSetup = static_cast<DWORD>(language);
    } else if (StartsWithKey(line, "FullScreen=", value)) {
        config.renderSettings.fullScreen = CompareNoCase(value, "True") == 0 || std::strcmp(value, "1") == 0 ? 1 : 0;
    }
}

void ReadConfigLines(FileStream& stream, AppConfig& config, DataFolderLookup lookup) {
    char line[kConfigLineCapacity];
    constexpr std::size_t kFullLine = kConfigLineCapacity - 1;
    while (stream.ReadLine(line, sizeof line) == 1) {
        // A line cut at the buffer's size goes on in the next read; those pieces belong to
        // the same line and are skipped, so that no piece of a long value is read as a key.
        // The piece that ends the line is shorter than a full buffer (empty when the line
        // had exactly 255 characters).
        if (std::strlen(line) == kFullLine) {
            char rest[kConfigLineCapacity];
            while (stream.ReadLine(rest, sizeof rest) == 1 && std::strlen(rest) == kFullLine) {
            }
        }
        ApplyConfigLine(config, line, lookup);
    }
}
