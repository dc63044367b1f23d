// Texture stages: bit 0 of the first byte picks the text form (else the binary form), bit 1
// puts a material's stage index first; the rest is the stream's data. Textures load without a
// render device.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/resources/texture/TextureLoader.h"
#include "engine/resources/texturestage/TextureStage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0 && GlobalResourceCache().Init() == 0 && (InstallTextureResources(), true);
    if (!ready || size < 1 || size > 0xFFFFFFFFu) return 0;
    auto* image = static_cast<BYTE*>(EngineAlloc(size - 1));
    if (image == nullptr && size > 1) return 0;
    if (size > 1) std::memcpy(image, data + 1, size - 1);
    FileStream stream;
    stream.SetFlags((data[0] & 1) != 0 ? kStreamText : kStreamBinary);
    stream.AttachImage(image, static_cast<DWORD>(size - 1), 0);
    TextureStage stages[kStagesPerLayer];
    if ((data[0] & 2) != 0 ? LoadIndexedTextureStage(stages, stream) : LoadTextureStage(stages[0], stream)) return 0;
    for (TextureStage& stage : stages) stage.UpdateUvAnimation(0, 2.5f, 0.5f);
    return 0;
}
