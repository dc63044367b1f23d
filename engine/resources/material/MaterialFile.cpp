// The ".kml" material file: the version word, "Material" with the material's own name, and
// its body: one technique (KML1) or mode blocks (KML2) of technique entries.
#include <cstdlib>
#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/text/TextCompare.h"
#include "engine/resources/material/KMaterial.h"
#include "engine/resources/scene/CheckedStreamReader.h"
#include "engine/resources/texture/TextLine.h"

#define MATERIAL_LOG(format, ...) LogException(format, "material", __LINE__ __VA_OPT__(, ) __VA_ARGS__)

namespace {

constexpr std::size_t kWordSize = 256;
constexpr std::size_t kLineSize = 512;
constexpr std::size_t kNameSize = 256;  // 255 characters and the terminator

DWORD (*gameMaterialLookup)(const char* name) = nullptr;

// The next non-blank character is `expected`, and is read.
bool ReadCharacter(FileStream& stream, char expected) {
    stream.SkipToToken();
    char c = 0;
    return stream.Read(&c, 1) == 1 && c == expected;
}

// The rest of the line holds a name in double quotes (after blanks and tabs).
bool ReadQuotedName(FileStream& stream, char (&name)[kNameSize]) {
    char line[kLineSize];
    return ReadWholeLine(stream, line, sizeof line) && TakeQuotedName(line, name, sizeof name);
}

bool ReadColour(FileStream& stream, Color& colour, const char* keyword) {
    float values[4] = {colour.r, colour.g, colour.b, colour.a};
    if (ReadBracketedVector4(values, stream) != 0) {
        MATERIAL_LOG("A material's %s is not a colour in brackets: [r g b a].", keyword);
        return false;
    }
    colour = Color{values[0], values[1], values[2], values[3]};
    return true;
}

struct FlagWord {
    const char* name;
    DWORD bit;
};

constexpr FlagWord kFlagWords[] = {
    {"SMOOTH", kMaterialSmooth},           {"SPECULAR", kMaterialSpecular},
    {"TRANSPARENT", kMaterialTransparent}, {"UNSORTEDALPHA", kMaterialUnsortedAlpha},
    {"NOENVBUMP", kMaterialNoEnvBump},     {"NOZWRITE", kMaterialNoZWrite},
    {"DOUBLESIDED", kMaterialDoubleSided}, {"NOSHADOWS", kMaterialNoShadows},
    {"NODIFFUSE", kMaterialNoDiffuse},     {"DECAL", kMaterialDecal},
    {"GLOWONLY", kMaterialGlowOnly},
};

bool ReadFlags(FileStream& stream, DWORD& flags) {
    if (!ReadCharacter(stream, '<')) {
        MATERIAL_LOG("A material's Flags are not followed by '<'.");
        return false;
    }
    char word[kWordSize];
    for (;;) {
        stream.ReadWord(word, sizeof word);
        // Without its '>' the list would swallow the rest of the material.
        if (word[0] == 0) {
            MATERIAL_LOG("A material's Flags end with the data, before their '>'.");
            return false;
        }
        if (word[0] == '>') return true;
        for (const FlagWord& flag : kFlagWords)
            if (CompareNoCase(flag.name, word) == 0) flags |= flag.bit;
    }
}

// atoi without its undefined overflow: the low 32 bits of the (saturated) value.
std::int32_t DecimalValue(const char* text) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(std::strtoll(text, nullptr, 10)));
}

}  // namespace

void SetGameMaterialLookup(DWORD (*lookup)(const char* name)) { gameMaterialLookup = lookup; }

bool KMaterial::LoadEntry(FileStream& stream, TechniqueLayer& layer, const char* keyword, bool isVersion2) {
    auto is = [keyword](const char* name) { return CompareNoCase(keyword, name) == 0; };
    char name[kNameSize];
    if (is("Diffuse")) return ReadColour(stream, diffuse, keyword);
    if (is("Ambient")) return ReadColour(stream, ambient, keyword);
    if (is("Specular")) return ReadColour(stream, specular, keyword);
    if (is("Emittance")) {
        flags |= kMaterialEmissive;
        return ReadColour(stream, emittance, keyword);
    }
    if (is("Reflectance")) {
        flags |= kMaterialReflective;
        return ReadColour(stream, reflectance, keyword);
    }
    float* scalar = is("Specularity")  ? &specularity
                    : is("Glossiness") ? &glossiness
                    : is("Friction")   ? &friction
                    : is("Elasticity") ? &elasticity
                    : is("RimAlpha")   ? &rimAlpha
                    : is("RimPower")   ? &rimPower
                                       : nullptr;
    if (scalar != nullptr) {
        stream.ReadFloat(*scalar);
        return true;
    }
    if (is("GameMaterial")) {
        if (ReadQuotedName(stream, name)) gameMaterial = gameMaterialLookup != nullptr ? gameMaterialLookup(name) : 0;
        return true;
    }
    if (is("TextureStage")) return LoadIndexedTextureStage(layer.stages, stream) == 0;
    if (is("BumpMap")) return LoadTextureStage(layer.bumpMap, stream) == 0;
    if (is("Group")) {
        char word[kWordSize];
        stream.ReadWord(word, sizeof word);
        group = DecimalValue(word);
        return true;
    }
    if (is("Flags")) return ReadFlags(stream, flags);
    if (is("DefaultTechnique") || is("ShadowTechnique") || is("Shader")) {
        if (!ReadQuotedName(stream, name)) {
            MATERIAL_LOG("A material's %s is not followed by a name in double quotes.", keyword);
            return false;
        }
        if (is("Shader")) return layer.FetchShader(name);
        if (is("DefaultTechnique"))
            layer.SetDefaultTechnique(name);
        else
            layer.SetShadowTechnique(name);
        return true;
    }
    if (isVersion2)
        MATERIAL_LOG("KMaterial::LoadKML2: unknown token '%s'", keyword);
    else
        MATERIAL_LOG("KMaterial::Load: unknown token '%s'", keyword);
    return true;
}

bool KMaterial::LoadEntries(FileStream& stream, TechniqueLayer& layer, bool isVersion2) {
    char word[kWordSize];
    for (stream.ReadWord(word, sizeof word); word[0] != 0 && word[0] != '}'; stream.ReadWord(word, sizeof word))
        if (!LoadEntry(stream, layer, word, isVersion2)) return false;
    return true;
}

int KMaterial::Load(FileStream& stream, bool isVersion2) {
    char quoted[kNameSize];
    if (!ReadQuotedName(stream, quoted)) {
        MATERIAL_LOG("A material's name is not in double quotes.");
        return 1;
    }
    name.Assign(quoted);
    if (!ReadCharacter(stream, '{')) {
        MATERIAL_LOG("The material '%s' does not open with '{'.", quoted);
        return 1;
    }
    if (isVersion2) {
        char word[kWordSize];
        stream.ReadWord(word, sizeof word);
        for (;;) {
            if (std::strcmp(word, "Mode") != 0) {
                MATERIAL_LOG("The material '%s' has '%s' where a Mode block or its end belongs.", name.Text(), word);
                return 1;
            }
            if (!ReadQuotedName(stream, quoted)) {
                MATERIAL_LOG("A mode of the material '%s' has no name in double quotes.", name.Text());
                return 1;
            }
            const int mode = MaterialModeIndex(quoted);
            if (mode < 0) {
                MATERIAL_LOG("The mode '%s' of the material '%s' is one more than the 16 modes.", quoted, name.Text());
                return 1;
            }
            TechniqueLayer& layer = layers[mode];
            layer.used = 1;
            if (!ReadCharacter(stream, '{')) {
                MATERIAL_LOG("The mode '%s' of the material '%s' does not open with '{'.", quoted, name.Text());
                return 1;
            }
            if (!LoadEntries(stream, layer, true)) return 1;
            stream.ReadWord(word, sizeof word);
            if (word[0] == 0 || word[0] == '}') break;
        }
    } else if (!LoadEntries(stream, layers[0], false)) {
        return 1;
    }
    UpdateStage2Flag();
    return 0;
}

int KMaterial::LoadKML2(FileStream& stream) { return Load(stream, true); }

KMaterial* ReadMaterialFile(FileStream& stream, const char* name) {
    char word[kWordSize];
    stream.ReadWord(word, sizeof word);
    const bool isVersion2 = CompareNoCase(word, "KML2") == 0;
    if (!isVersion2 && CompareNoCase(word, "KML1") != 0) return nullptr;
    stream.ReadWord(word, sizeof word);
    if (std::strcmp(word, "Material") != 0) return nullptr;
    auto* material = new KMaterial;
    if (material == nullptr) return nullptr;
    if (material->Load(stream, isVersion2) != 0) {
        delete material;
        return nullptr;
    }
    material->name.Assign(name);
    return material;
}

KMaterial* LoadMaterialFile(const char* name) {
    if (name == nullptr) return nullptr;
    const EngineString path = EngineString::Format("materials/%s.kml", name);
    FileStream stream;
    if (stream.Open(path.Text(), kStreamText) == 0) return nullptr;
    return ReadMaterialFile(stream, name);
}
