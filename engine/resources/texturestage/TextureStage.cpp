// Texture stages: the name tables, the texture reference, the scrolling per frame, and the
// choice between the text and binary forms.
#include "engine/resources/texturestage/TextureStage.h"

#include <cmath>
#include <cstdlib>

#include "engine/core/files/FileStream.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/core/text/TextCompare.h"
#include "engine/resources/texture/Texture.h"
#include "engine/resources/texturestage/TextureStageLog.h"

namespace {

struct NamedCode {
    const char* name;
    std::int32_t code;
};

constexpr NamedCode kBlendFactors[] = {
    {"ZERO", 1},      {"ONE", 2},           {"SRC_COLOR", 3}, {"INV_SRC_COLOR", 4},
    {"SRC_ALPHA", 5}, {"INV_SRC_ALPHA", 6}, {"DST_COLOR", 9}, {"INV_DST_COLOR", 10},
};

constexpr const char* kOperationNames[kStageOperationCount] = {"DISABLED",  "REPLACE",     "MODULATE", "ADD",
                                                               "ADDSIGNED", "INTERPOLATE", "SUBTRACT"};
constexpr int kOperationArguments[kStageOperationCount] = {0, 1, 2, 2, 2, 3, 2};

constexpr const char* kArgumentNames[kStageArgumentCount] = {
    "CURRENTCOLOR",    "DIFFUSECOLOR",    "CONSTANTCOLOR",    "TEXTURECOLOR",    "CURRENTALPHA",     "DIFFUSEALPHA",
    "CONSTANTALPHA",   "TEXTUREALPHA",    "INVCURRENTCOLOR",  "INVDIFFUSECOLOR", "INVCONSTANTCOLOR", "INVTEXTURECOLOR",
    "INVCURRENTALPHA", "INVDIFFUSEALPHA", "INVCONSTANTALPHA", "INVTEXTUREALPHA"};

template <std::size_t N>
int IndexOfName(const char* const (&names)[N], const char* name) {
    for (std::size_t i = 0; i < N; ++i)
        if (CompareNoCase(names[i], name) == 0) return static_cast<int>(i);
    return -1;
}

// An offset that scrolled past a whole texture comes back into (-1, 1]; exactly 1 and -1
// stay.
float WrapOffset(float offset) {
    if (offset > 1.0f) return offset - std::floor(offset);
    if (offset < -1.0f) return offset + std::floor(-offset);
    return offset;
}

// The stage index of a material's entry: a word that is a decimal number 0 to 7; -1 otherwise.
int StageIndexOf(const char* word) {
    char* end = nullptr;
    const long value = std::strtol(word, &end, 10);
    if (end == word || *end != 0 || value < 0 || value >= kStagesPerLayer) return -1;
    return static_cast<int>(value);
}

}  // namespace

std::int32_t BlendFactorFromName(const char* name) {
    for (const NamedCode& factor : kBlendFactors)
        if (CompareNoCase(factor.name, name) == 0) return factor.code;
    return -1;
}

int StageOperationFromName(const char* name) { return IndexOfName(kOperationNames, name); }

int StageArgumentFromName(const char* name) { return IndexOfName(kArgumentNames, name); }

int StageOperationArgumentCount(std::uint8_t operation) {
    return operation < kStageOperationCount ? kOperationArguments[operation] : 0;
}

TextureStage::~TextureStage() { ReleaseTexture(); }

void TextureStage::ReleaseTexture() {
    Texture* held = texture;
    texture = nullptr;
    ResourceCache::ReleaseTexture(held);
}

bool TextureStage::FetchTexture(const char* name) {
    // A stage read twice (a second "Texture" line, a second mode block) gives its old
    // texture back rather than keeping a reference nobody releases.
    ReleaseTexture();
    auto fetch = [](const char* wanted) -> Texture* {
        Interface* got = GlobalResourceCache().GetTexture(wanted, 0);
        if (got == nullptr || got->IsKindOf(Texture::StaticTypeId())) return static_cast<Texture*>(got);
        ResourceCache::ReleaseTexture(got);
        return nullptr;
    };
    texture = fetch(name);
    if (texture != nullptr) return true;
    STAGE_LOG("WARNING: Failed to get texture '%s', using default", name);
    texture = fetch(kDefaultTextureName);
    if (texture != nullptr) return true;
    STAGE_LOG("Failed to get texture '%s'", kDefaultTextureName);
    return false;
}

void TextureStage::UpdateUvAnimation(std::uintptr_t argument, float currentTime, float frameTime) {
    if (texture != nullptr && (texture->Flags() & kTextureUpdateEachFrame) != 0) texture->Update(argument);
    if (currentTime == lastUpdateTime) return;
    if ((flags & kStageScrollContinuous) != 0) {
        lastUpdateTime = currentTime;
        if (uSpeed != 0.0f) uOffset = WrapOffset(uSpeed * frameTime + uOffset);
        if (vSpeed != 0.0f) vOffset = WrapOffset(vSpeed * frameTime + vOffset);
        return;
    }
    // A stage from a binary stream may carry stepped scrolling without a period: it never
    // steps rather than dividing by zero.
    if ((flags & kStageScrollStepped) == 0 || !(stepPeriod > 0.0f)) return;
    const float elapsed = currentTime - lastUpdateTime;
    if (!(elapsed >= stepPeriod)) return;
    const float steps = std::floor(elapsed / stepPeriod);
    lastUpdateTime += stepPeriod * steps;
    if (uSpeed != 0.0f) uOffset = WrapOffset(uSpeed * steps + uOffset);
    if (vSpeed != 0.0f) vOffset = WrapOffset(vSpeed * steps + vOffset);
}

int LoadTextureStage(TextureStage& stage, FileStream& stream) {
    return (stream.Flags() & kStreamText) != 0 ? LoadTextureStageText(stage, stream)
                                               : LoadTextureStageBinary(stage, stream);
}

int LoadIndexedTextureStage(TextureStage (&stages)[kStagesPerLayer], FileStream& stream) {
    char word[32];
    stream.ReadWord(word, sizeof word);
    const int index = StageIndexOf(word);
    if (index < 0) {
        STAGE_LOG("The texture stage index '%s' is not one of 0 to 7.", word);
        return 1;
    }
    return LoadTextureStage(stages[index], stream);
}
