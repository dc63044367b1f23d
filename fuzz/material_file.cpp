// Material files: the whole ".kml" text read into a material (its textures and shaders come
// from the resource cache without a render device), its render view taken, then destroyed.
#include "engine/core/object/ResourceCache.h"
#include "engine/resources/material/KMaterial.h"
#include "engine/resources/shader/Shader.h"
#include "engine/resources/texture/TextureLoader.h"
#include "fuzz/FuzzStream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0 && GlobalResourceCache().Init() == 0 &&
                              (InstallTextureResources(), InstallShaderResources(), true);
    FileStream stream;
    if (!ready || !AttachFuzzInput(stream, data, size, kStreamText)) return 0;
    if (KMaterial* material = ReadMaterialFile(stream, "fuzz")) {
        material->RenderView();
        delete material;
    }
    ResetMaterialModes();
    return 0;
}
