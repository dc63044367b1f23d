// Textures by name: image files, ".ktx" class files, and the resource cache's texture hooks.
#include "engine/resources/texture/TextureLoader.h"

#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/object/Module.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/core/text/TextCompare.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/render/TextureData.h"
#include "engine/resources/texture/KTextureDataMem.h"
#include "engine/resources/texture/TextLine.h"
#include "engine/resources/texture/Texture.h"

#define TEXTURE_LOG(format, ...) LogException(format, "texture", __LINE__ __VA_OPT__(, ) __VA_ARGS__)

namespace {

constexpr const char* kCoreModule = "libkel";
constexpr std::size_t kTokenSize = 128;  // 127 characters and the terminator
constexpr std::size_t kKtxFirstLineSize = 512;

bool EndsToken(char c) { return c == 0 || c == ' ' || c == '\t' || c == ':' || c == '.'; }

// The token at `at` (blanks and tabs before it skipped) into `token`; the position after it,
// or null when it is longer than a token may be.
const char* TakeToken(const char* at, char* token) {
    while (*at == ' ' || *at == '\t') ++at;
    std::size_t length = 0;
    while (!EndsToken(at[length])) ++length;
    if (length >= kTokenSize) return nullptr;
    std::memcpy(token, at, length);
    token[length] = 0;
    return at + length;
}

bool IsKtxName(const char* name) {
    const std::size_t length = std::strlen(name);
    return length > 4 && CompareNoCase(name + length - 4, ".ktx") == 0;
}

// The cache's name hook for the other kinds, kept when the texture hooks are installed.
const char* (*otherResourceName)(DWORD kind, const Interface* resource) = nullptr;

const char* ResourceNameWithTextures(DWORD kind, const Interface* resource) {
    if (kind == kResourceTexture && resource->IsKindOf(Texture::StaticTypeId()))
        return static_cast<const Texture*>(resource)->Name();
    return otherResourceName != nullptr ? otherResourceName(kind, resource) : nullptr;
}

Texture* AsTexture(Interface* resource) {
    return resource != nullptr && resource->IsKindOf(Texture::StaticTypeId()) ? static_cast<Texture*>(resource)
                                                                              : nullptr;
}

}  // namespace

TextureData* CreateTextureData(const char* fileName, DWORD flags) {
    if (fileName == nullptr || fileName[0] == 0) return nullptr;
    OpenGLRenderDevice* device = RenderDevice();
    TextureData* data = device != nullptr ? device->CreateTextureObject() : new KTextureDataMem;
    if (data == nullptr) return nullptr;
    if (data->LoadFromFile(fileName, flags) != 0) {
        delete data;
        return nullptr;
    }
    return data;
}

Interface* LoadTexture(const char* name, DWORD flags) {
    if (name == nullptr) return nullptr;
    if (IsKtxName(name)) return LoadKtxTexture(name, flags);
    TextureData* data = CreateTextureData(name, flags);
    if (data == nullptr) return nullptr;
    auto* texture = new Texture;
    if (texture == nullptr) {
        delete data;
        return nullptr;
    }
    texture->SetOwningModule(FindModule(kCoreModule));
    texture->SetData(data);
    texture->SetName(name);
    texture->SetImageName(name);
    texture->SetFlags(flags);
    return texture;
}

Interface* LoadKtxTexture(const char* path, DWORD) {
    FileStream stream;
    if (path == nullptr || stream.Open(path, kStreamText) == 0) {
        TEXTURE_LOG("Failed to open file '%s'", path != nullptr ? path : "");
        return nullptr;
    }
    return ReadKtxTexture(stream, path);
}

Interface* ReadKtxTexture(FileStream& stream, const char* path) {
    char line[kKtxFirstLineSize];
    char moduleName[kTokenSize];
    char className[kTokenSize];
    const char* at = ReadWholeLine(stream, line, sizeof line) ? TakeToken(line, moduleName) : nullptr;
    if (at == nullptr || *at != '.' || (at = TakeToken(at + 1, className)) == nullptr) {
        TEXTURE_LOG("Invalid file format '%s'", path);
        return nullptr;
    }
    Module* module = FindModule(moduleName);
    Interface* created = module != nullptr ? CreateByClassName(module, className, Texture::StaticTypeId()) : nullptr;
    Texture* texture = AsTexture(created);
    if (texture == nullptr) {
        TEXTURE_LOG("Failed to create texture object %s.%s in file '%s'", moduleName, className, path);
        return nullptr;
    }
    if (texture->Load(stream) != 0) {
        TEXTURE_LOG("Failed to load texture '%s'", path);
        texture->Release();
        return nullptr;
    }
    texture->SetName(path);
    return texture;
}

void InstallTextureResources() {
    ResourceHooks hooks = GetResourceHooks();
    if (hooks.resourceName != ResourceNameWithTextures) otherResourceName = hooks.resourceName;
    hooks.resourceName = ResourceNameWithTextures;
    hooks.loadTexture = LoadTexture;
    hooks.releaseTextureData = [](Interface* resource) {
        if (Texture* texture = AsTexture(resource)) texture->ReleaseData();
    };
    hooks.restoreTexture = [](Interface* resource) {
        if (Texture* texture = AsTexture(resource)) texture->Restore(0);
    };
    SetResourceHooks(hooks);
}
