// Shader: the engine's named, reference-counted handle on a render-device effect object.
// Materials name shaders; the resource cache makes them through LoadShader and shares them
// by name; scene files keep a shader as its name in double quotes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/core/object/Interface.h"
#include "engine/core/text/EngineString.h"
#include "platform/base/Types.h"

class EffectBase;
class FileStream;

// The longest shader name, and the longest line Shader::Read takes.
constexpr std::size_t kShaderNameLength = 255;
constexpr std::size_t kShaderLineLength = 256;

class Shader : public Interface {
    KEL_DECLARE_TYPE(Shader, Interface, "Shader")

public:
    Shader() = default;
    // Deletes the effect.
    ~Shader() override;

    // Handed on to the effect: its device-data release and restore, and its frame
    // brackets (the fixed-function device answers 1 to each); 0 without an effect.
    virtual int ReleaseDeviceData();
    virtual int RestoreDeviceData();
    virtual int BeginFrame();
    virtual int EndFrame();
    // One line of at most 256 bytes: blanks and tabs, then the name in double quotes (at
    // most 255 characters; a tab or the end of the line before the closing quote makes the
    // line invalid); the effect of that name is made and replaces the held one. 0 on
    // success; 1, with the shader unchanged, otherwise.
    virtual int Read(FileStream& stream);
    // A double quote, the name, a double quote; 0.
    virtual int Write(FileStream& stream);

    const char* Name() const { return name_.Text(); }
    void SetName(const char* name) { name_.Assign(name); }
    DWORD ParameterWord() const { return parameterWord_; }
    void SetParameterWord(DWORD word) { parameterWord_ = word; }
    EffectBase* Effect() const { return effect_; }
    // Takes ownership; the effect held before is deleted.
    void SetEffect(EffectBase* effect);

private:
    EngineString name_;
    DWORD parameterWord_ = 0;
    EffectBase* effect_ = nullptr;
};

// The effect for a shader name: the render device's when there is one, else a stand-alone
// effect of the fixed-function kind; loaded with the name. Null when it cannot be made or
// does not load.
EffectBase* CreateEffectObject(const char* name);

// A new Shader (reference count 0, one owner) with the loaded effect of that name; null when
// the effect cannot be had.
Interface* LoadShader(const char* name);

// Gives back one reference of a shader taken from the global cache. The cache keeps no
// reference of its own, so the last one stays with it (it deletes its shaders when it is
// cleared) rather than leaving it a deleted shader; a shader the cache does not hold goes
// with its last reference.
void ReleaseCachedShader(Interface* shader);

// "Create_Shader" of the core module: a shader without name or effect.
Interface* CreateShader();

// The resource cache makes shaders with LoadShader and finds them by their names; name
// look-ups of other kinds go on to the name hook set before.
void InstallShaderResources();
