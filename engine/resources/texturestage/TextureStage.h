// TextureStage: one texturing step of a material's technique: the texture it samples, how
// its colour and alpha combine with the result so far, how it blends, how its texture
// coordinates are generated, scaled and scrolled, and its sampling flags. Materials hold
// eight stages and a bump-map stage per technique layer.
#pragma once

#include <cstdint>

#include "engine/core/text/EngineString.h"
#include "platform/base/Types.h"

class FileStream;
class Texture;

// Stage flags. Bits 0-3 hold the coordinate generation mode.
constexpr DWORD kStageUvGenMask = 0xF;
constexpr DWORD kStageUvGenMesh = 0;    // the mesh's coordinates ("UV_POOL")
constexpr DWORD kStageUvGenSphere = 2;  // sphere environment mapping ("ENV_SPHERE")
constexpr DWORD kStageScaled = 0x10;
constexpr DWORD kStageScrollContinuous = 0x20;
constexpr DWORD kStageScrollStepped = 0x40;
constexpr DWORD kStageWrapU = 0x80;
constexpr DWORD kStageWrapV = 0x100;
constexpr DWORD kStageLighting = 0x200;
constexpr DWORD kStageHighQualityFilter = 0x400;
constexpr DWORD kStageAlphaTest = 0x800;
constexpr DWORD kStageNoFiltering = 0x1000;
constexpr DWORD kStageNoMagFilter = 0x2000;
constexpr DWORD kStageNoMinFilter = 0x4000;

// Combiner operations (index: arguments read after the name).
enum StageOperation : std::uint8_t {
    kStageOpDisabled = 0,     // 0
    kStageOpReplace = 1,      // 1
    kStageOpModulate = 2,     // 2
    kStageOpAdd = 3,          // 2
    kStageOpAddSigned = 4,    // 2
    kStageOpInterpolate = 5,  // 3
    kStageOpSubtract = 6,     // 2
};
constexpr std::uint8_t kStageOperationCount = 7;

// Combiner arguments.
enum StageArgument : std::uint8_t {
    kStageArgCurrentColour = 0,
    kStageArgDiffuseColour = 1,
    kStageArgConstantColour = 2,
    kStageArgTextureColour = 3,
    kStageArgCurrentAlpha = 4,
    kStageArgDiffuseAlpha = 5,
    kStageArgConstantAlpha = 6,
    kStageArgTextureAlpha = 7,
    // 8 to 15: the inverses of 0 to 7, in the same order.
};
constexpr std::uint8_t kStageArgumentCount = 16;

// Blend factor codes of BlendFactorFromName.
constexpr std::int32_t kBlendZero = 1;
constexpr std::int32_t kBlendOne = 2;

// The texture a stage falls back to when its own cannot be had.
constexpr const char* kDefaultTextureName = "gfx/textures/default.tga";

// Stages a technique layer holds.
constexpr int kStagesPerLayer = 8;

struct TextureStage {
    TextureStage() = default;
    // Gives the texture reference back to the resource cache.
    ~TextureStage();
    TextureStage(const TextureStage&) = delete;
    TextureStage& operator=(const TextureStage&) = delete;

    // Scrolls the texture coordinates for the frame (`currentTime` and `frameTime` are the
    // engine's clocks, in seconds) and runs the per-frame update of a texture loaded with
    // kTextureUpdateEachFrame.
    void UpdateUvAnimation(std::uintptr_t argument, float currentTime, float frameTime);
    // Takes one reference of the cache's texture of that name, or of the default texture
    // (with a warning) when it cannot be had; the texture held before is given back. False,
    // logged, when neither can be had.
    bool FetchTexture(const char* name);
    // Gives back the texture reference; the stage has no texture afterwards.
    void ReleaseTexture();

    Texture* texture = nullptr;  // one reference of the resource cache's texture
    std::int32_t blendSource = kBlendOne;
    std::int32_t blendDestination = kBlendZero;
    DWORD flags = 0;
    float uScale = 1.0f;
    float vScale = 1.0f;
    float lastUpdateTime = 0.0f;
    float uSpeed = 0.0f;
    float uOffset = 0.0f;
    float vSpeed = 0.0f;
    float vOffset = 0.0f;
    float stepPeriod = 0.0f;  // seconds between steps of stepped scrolling
    std::uint8_t colourOp = kStageOpModulate;
    std::uint8_t colourArgs[3] = {kStageArgCurrentColour, kStageArgTextureColour, kStageArgDiffuseColour};
    std::uint8_t alphaOp = kStageOpModulate;
    std::uint8_t alphaArgs[3] = {kStageArgCurrentAlpha, kStageArgTextureAlpha, kStageArgDiffuseAlpha};
    EngineString secondSampler;
    EngineString firstSampler;
    DWORD reserved[2] = {0, 0};
};

// The bytes after the name in the binary form of a stage.
constexpr DWORD kStageBinaryFieldBytes = 68;
// The longest texture name of the binary form.
constexpr std::uint32_t kStageMaxNameLength = 255;

// A stream with kStreamText is read as the text form of a stage (the body of a material's
// "TextureStage" block, from its "{"), any other as the binary form. 0 on success, 1 on
// failure; a failed read leaves the fields read so far.
int LoadTextureStage(TextureStage& stage, FileStream& stream);
// The text and binary forms on their own.
int LoadTextureStageText(TextureStage& stage, FileStream& stream);
int LoadTextureStageBinary(TextureStage& stage, FileStream& stream);

// A material's stage entry: the stage index (a decimal word, 0 to 7) and the stage that
// LoadTextureStage reads into that element of `stages`. 1, logged, for any other index.
int LoadIndexedTextureStage(TextureStage (&stages)[kStagesPerLayer], FileStream& stream);

// The code of a blend factor name (case-insensitive), or -1.
std::int32_t BlendFactorFromName(const char* name);
// Table look-ups by name (case-insensitive); -1 for a name outside the table.
int StageOperationFromName(const char* name);
int StageArgumentFromName(const char* name);
// How many argument words follow an operation's name; 0 for an index outside the table.
int StageOperationArgumentCount(std::uint8_t operation);
