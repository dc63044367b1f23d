// A texture slot of a brush or a font page: a flags word and the texture it holds, loaded by
// name through the global resource cache.
#pragma once

#include "engine/core/object/Interface.h"
#include "platform/base/Types.h"

class Texture;
class TextureData;

constexpr DWORD kTextureHandleHoldsTexture = 0x1;
// Resource-cache load flag that keeps the image's pixels readable after upload.
constexpr DWORD kTextureLoadKeepPixels = 64;

struct TextureHandle {
    DWORD flags = 0;
    Interface* texture = nullptr;  // one reference of the cache's texture, or null
};

// Loads the named texture (keeping its pixels when keepPixels is non-zero) into the handle:
// 1 with the texture held and bit 0 set. A null name or a failed load gives 0 with the
// texture null and bit 0 cleared. A texture the handle held before gives back its reference.
int LoadTextureHandle(TextureHandle& handle, const char* name, int keepPixels);
// Gives back the handle's texture reference and clears bit 0.
void ReleaseTextureHandle(TextureHandle& handle);

// The object as a Texture when it is one (the cache may hold other kinds under test), else null.
Texture* AsTexture(Interface* object);
// The texture data of the object's Texture; null without one.
TextureData* TextureDataOf(Interface* object);
