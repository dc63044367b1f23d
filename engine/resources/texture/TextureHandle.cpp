// Texture handles filled from the global resource cache.
#include "engine/resources/texture/TextureHandle.h"

#include "engine/core/object/ResourceCache.h"
#include "engine/resources/texture/Texture.h"

void ReleaseTextureHandle(TextureHandle& handle) {
    Interface* held = handle.texture;
    handle.texture = nullptr;
    handle.flags &= ~kTextureHandleHoldsTexture;
    ResourceCache::ReleaseTexture(held);
}

int LoadTextureHandle(TextureHandle& handle, const char* name, int keepPixels) {
    // A reload must not leak the old reference, and a failed one must not leave bit 0 set
    // over a null texture, where drawing would take the handle as holding one.
    ReleaseTextureHandle(handle);
    if (name == nullptr) return 0;
    Interface* texture = GlobalResourceCache().GetTexture(name, keepPixels != 0 ? kTextureLoadKeepPixels : 0);
    if (texture == nullptr) return 0;
    handle.texture = texture;
    handle.flags |= kTextureHandleHoldsTexture;
    return 1;
}

Texture* AsTexture(Interface* object) {
    return object != nullptr && object->IsKindOf(Texture::StaticTypeId()) ? static_cast<Texture*>(object) : nullptr;
}

TextureData* TextureDataOf(Interface* object) {
    Texture* texture = AsTexture(object);
    return texture != nullptr ? texture->Data() : nullptr;
}
