// ".ktx" descriptions: the module and class line, then the class's own line, read from memory
// with the core module's Texture class and no render device.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/core/object/Module.h"
#include "engine/resources/texture/Texture.h"
#include "engine/resources/texture/TextureLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ModuleEntry table[] = {{"Create_Texture", AsModuleFunction(&CreateTexture)}, {nullptr, nullptr}};
    static const bool ready = HeapInit() == 0 && RegisterModule("libkel", table) != nullptr;
    if (!ready || size > 0xFFFFFFFFu) return 0;
    auto* image = static_cast<BYTE*>(EngineAlloc(size));
    if (image == nullptr && size > 0) return 0;
    if (size > 0) std::memcpy(image, data, size);
    FileStream stream;
    stream.SetFlags(kStreamText);
    stream.AttachImage(image, static_cast<DWORD>(size), 0);
    if (Interface* texture = ReadKtxTexture(stream, "fuzz.ktx")) texture->Release();
    return 0;
}
