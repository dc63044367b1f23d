// EffectBase: the engine's effect interface, through which shader resources choose
// techniques by name, set parameters by name and run passes. A device with programmable
// shading resolves the names; the fixed-function device's EffectGL accepts every call.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "engine/core/memory/EngineMemory.h"
#include "platform/base/Types.h"

class TextureData;

// A technique or parameter as the effect resolves it; 0 is none.
using EffectHandle = std::uintptr_t;

class EffectBase : public EngineAllocated {
public:
    EffectBase() = default;
    EffectBase(const EffectBase&) = delete;
    EffectBase& operator=(const EffectBase&) = delete;
    virtual ~EffectBase() = default;

    // Loads the effect of a shader name; 0 on success.
    virtual int Load(const char* name, DWORD flags) = 0;
    // Readies the effect for drawing; 1.
    virtual int Prepare() = 0;
    virtual int ReleaseDeviceData() { return 1; }
    virtual int RestoreDeviceData() { return 1; }
    virtual int BeginFrame() { return 1; }
    virtual int EndFrame() { return 1; }

    // Techniques, parameters and passes.
    virtual EffectHandle GetTechniqueByName(const char*) { return 0; }
    virtual EffectHandle GetParameterByName(const char*) { return 0; }
    virtual EffectHandle GetParameterBySemantic(const char*) { return 0; }
    virtual const char* GetTechniqueName(EffectHandle) { return ""; }
    virtual int SetTechnique(EffectHandle) { return 0; }
    virtual int Begin(std::uint32_t* passCount) {
        if (passCount != nullptr) *passCount = 0;
        return 0;
    }
    virtual void BeginPass(std::uint32_t) {}
    virtual void EndPass() {}
    virtual int End() { return 0; }
    virtual int SetFloat(EffectHandle, float) { return 0; }
    virtual int SetFloatArray(EffectHandle, const float*, std::uint32_t) { return 0; }
    virtual int SetInt(EffectHandle, std::int32_t) { return 0; }
    virtual int SetBool(EffectHandle, int) { return 0; }
    virtual int SetVector(EffectHandle, const float*) { return 0; }
    virtual int SetVectorArray(EffectHandle, const float*, std::uint32_t) { return 0; }
    virtual int SetMatrix(EffectHandle, const Matrix34&) { return 0; }
    virtual int SetMatrixArray(EffectHandle, const Matrix34*, std::uint32_t) { return 0; }
    virtual int SetColor(EffectHandle, const Color&) { return 0; }
    virtual int SetTexture(EffectHandle, TextureData*) { return 0; }
    virtual float GetFloat(EffectHandle) { return 0.0f; }
    virtual std::int32_t GetInt(EffectHandle) { return 0; }
    virtual int GetBool(EffectHandle) { return 0; }
    virtual int GetVector(EffectHandle, float*) { return 0; }
    virtual int GetMatrix(EffectHandle, Matrix34*) { return 0; }
    virtual TextureData* GetTexture(EffectHandle) { return nullptr; }
    virtual int CommitChanges() { return 0; }
    virtual int OnLostDevice() { return 0; }
    virtual int OnResetDevice() { return 0; }
    virtual std::uint32_t GetPassCount(EffectHandle) { return 0; }
    virtual int IsParameterUsed(EffectHandle, EffectHandle) { return 0; }
    virtual int ValidateTechnique(EffectHandle) { return 0; }
    virtual const char* GetParameterName(EffectHandle) { return ""; }
    virtual int ReservedOperation38() { return 0; }
};
