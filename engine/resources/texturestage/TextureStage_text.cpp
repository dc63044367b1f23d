// The text form of a texture stage: the body of a material's "TextureStage" block, from its
// "{" to the word that begins with "}", one keyword and its values at a time.
#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/core/text/TextCompare.h"
#include "engine/resources/texture/TextLine.h"
#include "engine/resources/texturestage/TextureStage.h"
#include "engine/resources/texturestage/TextureStageLog.h"

namespace {

constexpr std::size_t kWordSize = 256;
constexpr std::size_t kLineSize = 512;
constexpr std::size_t kNameSize = 256;  // 255 characters and the terminator

struct FlagWord {
    const char* name;
    DWORD bit;
};

constexpr FlagWord kFlagWords[] = {
    {"WRAPU", kStageWrapU},
    {"WRAPV", kStageWrapV},
    {"LIGHTING", kStageLighting},
    {"HQFILTER", kStageHighQualityFilter},
    {"ALPHATEST", kStageAlphaTest},
    {"NOMIGMAG", kStageNoFiltering},
    {"NOMAGFILTER", kStageNoMagFilter},
    {"NOMINFILTER", kStageNoMinFilter},
};

// The next non-blank character is `expected`, and is read.
bool ReadCharacter(FileStream& stream, char expected) {
    stream.SkipToToken();
    char c = 0;
    return stream.Read(&c, 1) == 1 && c == expected;
}

// A word in double quotes without them (a word without quotes as it is).
EngineString Unquoted(const char* word) {
    if (word[0] == '"') ++word;
    std::size_t length = std::strlen(word);
    if (length > 0 && word[length - 1] == '"') --length;
    return EngineString::FromCharsN(word, static_cast<int>(length));
}

bool ReadTexture(TextureStage& stage, FileStream& stream) {
    char line[kLineSize];
    char name[kNameSize];
    if (!ReadWholeLine(stream, line, sizeof line) || !TakeQuotedName(line, name, sizeof name)) {
        STAGE_LOG("A texture stage's Texture is not followed by a name in double quotes.");
        return false;
    }
    return stage.FetchTexture(name);
}

bool ReadBlendFunction(TextureStage& stage, FileStream& stream) {
    char source[kWordSize];
    char destination[kWordSize];
    stream.ReadWord(source, sizeof source);
    stream.ReadWord(destination, sizeof destination);
    const std::int32_t sourceCode = BlendFactorFromName(source);
    const std::int32_t destinationCode = BlendFactorFromName(destination);
    if (sourceCode < 0 || destinationCode < 0) {
        STAGE_LOG("A texture stage's BlendFunction '%s' '%s' names a blend factor that does not exist.", source,
                  destination);
        return false;
    }
    stage.blendSource = sourceCode;
    stage.blendDestination = destinationCode;
    return true;
}

bool ReadUvGen(TextureStage& stage, FileStream& stream) {
    char word[kWordSize];
    stream.ReadWord(word, sizeof word);
    DWORD mode = 0;
    if (CompareNoCase(word, "UV_POOL") == 0) {
        mode = kStageUvGenMesh;
    } else if (CompareNoCase(word, "ENV_SPHERE") == 0) {
        mode = kStageUvGenSphere;
    } else {
        STAGE_LOG("A texture stage's uvGen '%s' is neither UV_POOL nor ENV_SPHERE.", word);
        return false;
    }
    stage.flags = (stage.flags & ~kStageUvGenMask) | mode;
    return true;
}

void ReadUvScale(TextureStage& stage, FileStream& stream) {
    stream.ReadFloat(stage.uScale);
    stream.ReadFloat(stage.vScale);
    if (stage.uScale != 1.0f || stage.vScale != 1.0f) stage.flags |= kStageScaled;
}

void ReadUvScroll(TextureStage& stage, FileStream& stream) {
    stream.ReadFloat(stage.uSpeed);
    stream.ReadFloat(stage.vSpeed);
    stream.ReadFloat(stage.stepPeriod);
    if (stage.uSpeed == 0.0f && stage.vSpeed == 0.0f)
        stage.stepPeriod = 0.0f;
    else
        stage.flags |= stage.stepPeriod != 0.0f ? kStageScrollStepped : kStageScrollContinuous;
}

// "ColorOp" or "AlphaOp": the operation, then as many argument words as it takes; a word
// that names no argument leaves its slot as it was.
bool ReadOperation(FileStream& stream, std::uint8_t& operation, std::uint8_t (&arguments)[3], bool alpha) {
    char word[kWordSize];
    stream.ReadWord(word, sizeof word);
    const int found = StageOperationFromName(word);
    if (found < 0) {
        STAGE_LOG("A texture stage's %s '%s' names no combiner operation.", alpha ? "AlphaOp" : "ColorOp", word);
        return false;
    }
    operation = static_cast<std::uint8_t>(found);
    if (operation == kStageOpDisabled) arguments[0] = alpha ? kStageArgCurrentAlpha : kStageArgCurrentColour;
    const int count = StageOperationArgumentCount(operation);
    for (int slot = 0; slot < count; ++slot) {
        stream.ReadWord(word, sizeof word);
        const int argument = StageArgumentFromName(word);
        if (argument >= 0) arguments[slot] = static_cast<std::uint8_t>(argument);
    }
    return true;
}

bool ReadFlags(TextureStage& stage, FileStream& stream) {
    if (!ReadCharacter(stream, '<')) {
        STAGE_LOG("A texture stage's Flags are not followed by '<'.");
        return false;
    }
    char word[kWordSize];
    for (;;) {
        stream.ReadWord(word, sizeof word);
        if (word[0] == 0) {
            STAGE_LOG("A texture stage's Flags end with the data, before their '>'.");
            return false;
        }
        if (word[0] == '>') return true;
        for (const FlagWord& flag : kFlagWords)
            if (CompareNoCase(flag.name, word) == 0) stage.flags |= flag.bit;
    }
}

bool ReadItem(TextureStage& stage, FileStream& stream, const char* keyword) {
    auto is = [keyword](const char* name) { return CompareNoCase(keyword, name) == 0; };
    if (is("Texture")) return ReadTexture(stage, stream);
    if (is("ShaderSampler")) {
        char word[kWordSize];
        stream.ReadWord(word, sizeof word);
        stage.firstSampler = Unquoted(word);
        stream.ReadWord(word, sizeof word);
        stage.secondSampler = Unquoted(word);
        return true;
    }
    if (is("BlendFunction")) return ReadBlendFunction(stage, stream);
    if (is("uvGen")) return ReadUvGen(stage, stream);
    if (is("uvScale")) {
        ReadUvScale(stage, stream);
        return true;
    }
    if (is("uvScroll")) {
        ReadUvScroll(stage, stream);
        return true;
    }
    if (is("ColorOp")) return ReadOperation(stream, stage.colourOp, stage.colourArgs, false);
    if (is("AlphaOp")) return ReadOperation(stream, stage.alphaOp, stage.alphaArgs, true);
    if (is("Flags")) return ReadFlags(stage, stream);
    return true;  // any other word is skipped
}

}  // namespace

int LoadTextureStageText(TextureStage& stage, FileStream& stream) {
    stage.firstSampler.Free();
    stage.secondSampler.Free();
    stage.reserved[0] = stage.reserved[1] = 0;
    if (!ReadCharacter(stream, '{')) {
        STAGE_LOG("A texture stage does not start with '{'.");
        return 1;
    }
    char word[kWordSize];
    for (stream.ReadWord(word, sizeof word);; stream.ReadWord(word, sizeof word)) {
        // An empty block ends at its own "}" too, rather than reading on into what follows.
        if (word[0] == '}') return 0;
        if (word[0] == 0) {
            STAGE_LOG("A texture stage ends with the data, before its closing '}'.");
            return 1;
        }
        if (!ReadItem(stage, stream, word)) return 1;
    }
}
