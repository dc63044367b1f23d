// Shaders: the effect they hold, their quoted-name form, and their loading by name for the
// resource cache.
#include "engine/resources/shader/Shader.h"

#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/render/EffectBase.h"
#include "engine/render/EffectGL.h"
#include "engine/render/OpenGLRenderDevice.h"

#define SHADER_LOG(format, ...) LogException(format, "shader", __LINE__ __VA_OPT__(, ) __VA_ARGS__)

namespace {

// The quoted name at the start of `line`, after blanks and tabs, into `name`. False for a
// line without an opening quote, with a tab or the end of the line before the closing quote,
// or with a name longer than kShaderNameLength.
bool TakeShaderName(const char* line, char (&name)[kShaderNameLength + 1]) {
    while (*line == ' ' || *line == '\t') ++line;
    if (*line != '"') return false;
    ++line;
    std::size_t length = 0;
    while (line[length] != '"') {
        if (line[length] == 0 || line[length] == '\t' || length == kShaderNameLength) return false;
        ++length;
    }
    std::memcpy(name, line, length);
    name[length] = 0;
    return true;
}

// The cache's name hook for the other kinds, kept when the shader hooks are installed.
const char* (*otherResourceName)(DWORD kind, const Interface* resource) = nullptr;

const char* ResourceNameWithShaders(DWORD kind, const Interface* resource) {
    if (kind == kResourceShader && resource->IsKindOf(Shader::StaticTypeId()))
        return static_cast<const Shader*>(resource)->Name();
    // Two hooks that each keep the other as their successor (installed in turns) must not
    // ask each other forever about a kind neither knows.
    static bool asking = false;
    if (asking || otherResourceName == nullptr) return nullptr;
    asking = true;
    const char* name = otherResourceName(kind, resource);
    asking = false;
    return name;
}

}  // namespace

Shader::~Shader() { delete effect_; }

void Shader::SetEffect(EffectBase* effect) {
    if (effect == effect_) return;
    delete effect_;
    effect_ = effect;
}

int Shader::ReleaseDeviceData() { return effect_ != nullptr ? effect_->ReleaseDeviceData() : 0; }

int Shader::RestoreDeviceData() { return effect_ != nullptr ? effect_->RestoreDeviceData() : 0; }

int Shader::BeginFrame() { return effect_ != nullptr ? effect_->BeginFrame() : 0; }

int Shader::EndFrame() { return effect_ != nullptr ? effect_->EndFrame() : 0; }

int Shader::Read(FileStream& stream) {
    char line[kShaderLineLength + 1];
    char name[kShaderNameLength + 1];
    if (stream.ReadLine(line, sizeof line) == 0 || !TakeShaderName(line, name)) {
        SHADER_LOG("A shader line does not hold a name in double quotes.");
        return 1;
    }
    EffectBase* effect = CreateEffectObject(name);
    if (effect == nullptr) return 1;
    SetEffect(effect);
    name_.Assign(name);
    return 0;
}

int Shader::Write(FileStream& stream) {
    stream.WriteString("\"");
    stream.WriteString(name_.Text());
    stream.WriteString("\"");
    return 0;
}

EffectBase* CreateEffectObject(const char* name) {
    if (name == nullptr) return nullptr;
    OpenGLRenderDevice* device = RenderDevice();
    EffectBase* effect = device != nullptr ? device->CreateEffect() : new EffectGL;
    if (effect == nullptr) {
        SHADER_LOG("No effect could be made for the shader '%s': out of memory.", name);
        return nullptr;
    }
    if (effect->Load(name, 0) != 0) {
        SHADER_LOG("The effect of the shader '%s' did not load.", name);
        delete effect;
        return nullptr;
    }
    return effect;
}

Interface* LoadShader(const char* name) {
    EffectBase* effect = CreateEffectObject(name);
    if (effect == nullptr) return nullptr;
    auto* shader = new Shader;
    if (shader == nullptr) {
        delete effect;
        return nullptr;
    }
    shader->SetEffect(effect);
    shader->SetName(name);
    return shader;
}

void ReleaseCachedShader(Interface* shader) {
    if (shader == nullptr) return;
    if (shader->ReferenceCount() > 0) {
        shader->Release();
        return;
    }
    ResourceCache& cache = GlobalResourceCache();
    if (cache.IsInitialised()) {
        KHashTableIterator iterator;
        iterator.Begin(*cache.Table(kResourceShader));
        while (!iterator.AtEnd())
            if (static_cast<ResourceEntry*>(iterator.Next())->resource == shader) return;
    }
    shader->Release();
}

Interface* CreateShader() { return new Shader; }

void InstallShaderResources() {
    ResourceHooks hooks = GetResourceHooks();
    if (hooks.resourceName != ResourceNameWithShaders) otherResourceName = hooks.resourceName;
    hooks.resourceName = ResourceNameWithShaders;
    hooks.loadShader = LoadShader;
    SetResourceHooks(hooks);
}
