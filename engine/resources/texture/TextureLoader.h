// Loading textures by name: image files through the render device's texture data (or
// KTextureDataMem without a device), ".ktx" class files through the module that names the
// class, and the resource cache's hooks for textures.
#pragma once

#include "engine/core/object/Interface.h"
#include "platform/base/Types.h"

class FileStream;
class TextureData;

// A name longer than 4 characters that ends in ".ktx" (any case) is read by LoadKtxTexture;
// any other is an image file. A new Texture (reference count 0, one owner), or null.
Interface* LoadTexture(const char* name, DWORD flags);

// Line 1 names the module and class ("libkel.Texture"), which must make a kind of Texture;
// its Load reads the rest. The texture's name is the path. Null, logged, on failure; the
// flags are not used.
Interface* LoadKtxTexture(const char* path, DWORD flags);
// The same over a stream opened on the ".ktx" file at `path`.
Interface* ReadKtxTexture(FileStream& stream, const char* path);

// Texture data of the render device when there is one, else KTextureDataMem, loaded from the
// file. Null when it cannot be made or loaded (a null or empty name loads nothing).
TextureData* CreateTextureData(const char* fileName, DWORD flags);

// Sets the resource cache's texture loader, the name of cached textures, and the release and
// restore of their device data around a re-created render device. Name look-ups of other
// kinds go on to the name hook set before.
void InstallTextureResources();
