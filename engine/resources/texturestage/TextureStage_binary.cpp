// The binary form of a texture stage: a 16-bit name length, the texture's name, and 68 bytes
// of the stage's fields, little-endian.
#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/resources/texturestage/TextureStage.h"
#include "engine/resources/texturestage/TextureStageLog.h"

namespace {

std::uint32_t Word(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
           (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

float Float(const std::uint8_t* at) {
    const std::uint32_t bits = Word(at);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The operation and its three arguments index the combiner tables that the render pass maps
// to the device's operations.
bool InTables(const std::uint8_t* operationAndArguments) {
    if (operationAndArguments[0] >= kStageOperationCount) return false;
    for (int i = 1; i < 4; ++i)
        if (operationAndArguments[i] >= kStageArgumentCount) return false;
    return true;
}

}  // namespace

int LoadTextureStageBinary(TextureStage& stage, FileStream& stream) {
    std::uint8_t lengthBytes[2];
    if (stream.Read(lengthBytes, 2) != 2) {
        STAGE_LOG("A binary texture stage ends before its name length.");
        return 1;
    }
    const std::uint32_t length = lengthBytes[0] | (static_cast<std::uint32_t>(lengthBytes[1]) << 8);
    if (length > kStageMaxNameLength) {
        STAGE_LOG("A binary texture stage's name of %u bytes is longer than 255.", length);
        return 1;
    }
    if (length != 0) {
        char name[kStageMaxNameLength + 1];
        if (stream.Read(name, length) != length) {
            STAGE_LOG("A binary texture stage ends inside its name of %u bytes.", length);
            return 1;
        }
        name[length] = 0;
        if (!stage.FetchTexture(name)) return 1;
    }
    std::uint8_t fields[kStageBinaryFieldBytes];
    if (stream.Read(fields, sizeof fields) != sizeof fields) {
        STAGE_LOG("A binary texture stage ends inside its %u bytes of fields.", kStageBinaryFieldBytes);
        return 1;
    }
    if (!InTables(fields + 44) || !InTables(fields + 48)) {
        STAGE_LOG("A binary texture stage's combiner operations %u and %u or their arguments are outside their tables.",
                  fields[44], fields[48]);
        return 1;
    }
    stage.blendSource = static_cast<std::int32_t>(Word(fields));
    stage.blendDestination = static_cast<std::int32_t>(Word(fields + 4));
    stage.flags = Word(fields + 8);
    stage.uScale = Float(fields + 12);
    stage.vScale = Float(fields + 16);
    stage.lastUpdateTime = Float(fields + 20);
    stage.uSpeed = Float(fields + 24);
    stage.uOffset = Float(fields + 28);
    stage.vSpeed = Float(fields + 32);
    stage.vOffset = Float(fields + 36);
    stage.stepPeriod = Float(fields + 40);
    stage.colourOp = fields[44];
    std::memcpy(stage.colourArgs, fields + 45, 3);
    stage.alphaOp = fields[48];
    std::memcpy(stage.alphaArgs, fields + 49, 3);
    // Bytes 52 to 59 held the sampler strings' addresses where the stage was written: they
    // are no strings here, and the stage's sampler strings stay as they are.
    stage.reserved[0] = Word(fields + 60);
    stage.reserved[1] = Word(fields + 64);
    return 0;
}
