// Materials: construction and release, technique layers, the shared mode names, and the
// render queue's view of a material.
#include "engine/resources/material/KMaterial.h"

#include "engine/core/memory/EngineLog.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/core/text/TextCompare.h"
#include "engine/resources/material/MaterialList.h"
#include "engine/resources/shader/Shader.h"
#include "engine/resources/texture/Texture.h"

namespace {

// Mode 0 is "default"; the others are appended as materials name them.
EngineString modeNames[kMaterialModeCount];
int modeCount = 0;
int currentMode = 0;

float (*clockCurrentTime)() = nullptr;
float (*clockFrameTime)() = nullptr;

}  // namespace

int MaterialModeIndex(const char* modeName) {
    if (modeName == nullptr || modeName[0] == 0 || CompareNoCase(modeName, "default") == 0) return 0;
    for (int mode = 1; mode < modeCount; ++mode)
        if (CompareNoCase(modeNames[mode].Text(), modeName) == 0) return mode;
    if (modeCount == 0) modeCount = 1;
    if (modeCount >= kMaterialModeCount) return -1;
    modeNames[modeCount].Assign(modeName);
    return modeCount++;
}

void ResetMaterialModes() {
    for (EngineString& name : modeNames) name.Free();
    modeCount = 0;
    currentMode = 0;
}

int CurrentMaterialMode() { return currentMode; }

void SetCurrentMaterialMode(int mode) { currentMode = mode >= 0 && mode < kMaterialModeCount ? mode : 0; }

void SetMaterialClock(float (*currentTime)(), float (*frameTime)()) {
    clockCurrentTime = currentTime;
    clockFrameTime = frameTime;
}

TechniqueLayer::TechniqueLayer() : defaultTechnique("RenderDefault"), shadowTechnique("RenderShadow") {}

TechniqueLayer::~TechniqueLayer() {
    Shader* held = shader;
    shader = nullptr;
    ReleaseCachedShader(held);
}

bool TechniqueLayer::FetchShader(const char* name) {
    Interface* got = GlobalResourceCache().GetShader(name);
    if (got != nullptr && !got->IsKindOf(Shader::StaticTypeId())) {
        ReleaseCachedShader(got);
        got = nullptr;
    }
    if (got == nullptr) {
        KEL_LOG_EXCEPTION("The shader '%s' cannot be had.", name);
        return false;
    }
    Shader* held = shader;
    shader = static_cast<Shader*>(got);
    ReleaseCachedShader(held);
    return true;
}

void TechniqueLayer::SetDefaultTechnique(const char* name) {
    defaultTechnique.Assign(name);
    defaultTechniqueIndex = 0;
}

void TechniqueLayer::SetShadowTechnique(const char* name) {
    shadowTechnique.Assign(name);
    shadowTechniqueIndex = 0;
}

TextureData* MaterialStageView::StageTexture() const {
    return stage_ != nullptr && stage_->texture != nullptr ? stage_->texture->Data() : nullptr;
}

DWORD MaterialStageView::StageFlags() const { return stage_ != nullptr ? stage_->flags : 0; }

void MaterialStageView::StageUvTransform(float& uScale, float& vScale, float& uOffset, float& vOffset) const {
    if (stage_ == nullptr) return;
    uScale = stage_->uScale;
    vScale = stage_->vScale;
    uOffset = stage_->uOffset;
    vOffset = stage_->vOffset;
}

void MaterialStageView::UpdateUvAnimation() {
    if (stage_ == nullptr || clockCurrentTime == nullptr || clockFrameTime == nullptr) return;
    stage_->UpdateUvAnimation(0, clockCurrentTime(), clockFrameTime());
}

KMaterial::KMaterial() { layers[0].used = 1; }

KMaterial::~KMaterial() { SetAttachedObject(nullptr); }

void KMaterial::SetAttachedObject(Interface* object) {
    Interface* held = attached_;
    attached_ = object;
    if (held != nullptr && held != object) held->Release();
}

TechniqueLayer& KMaterial::CurrentLayer() {
    TechniqueLayer& layer = layers[CurrentMaterialMode()];
    return layer.used != 0 ? layer : layers[0];
}

void KMaterial::UpdateStage2Flag() {
    if (CurrentLayer().stages[2].texture != nullptr)
        flags |= kMaterialStage2Texture;
    else
        flags &= ~kMaterialStage2Texture;
}

RenderMaterial* KMaterial::RenderView() {
    // The queue draws blended materials after the opaque ones and leaves culling off for
    // double-sided ones; the other material flags mean nothing to it.
    renderView_.flags = flags & kMaterialDoubleSided;
    if ((flags & (kMaterialTransparent | kMaterialUnsortedAlpha)) != 0) renderView_.flags |= kMaterialBlended;
    TextureStage& first = CurrentLayer().stages[0];
    stageView_.Bind(&first);
    renderView_.stage = first.texture != nullptr ? &stageView_ : nullptr;
    return &renderView_;
}

KMaterial* KMaterial::FindOrCreate(const char* name) {
    MaterialList* list = CurrentMaterialList();
    if (list == nullptr || name == nullptr) return nullptr;
    if (KMaterial* found = list->Find(name)) return found;
    if (!CreateMissingMaterials()) return nullptr;
    auto* material = new KMaterial;
    if (material == nullptr) return nullptr;
    material->name.Assign(name);
    if (!list->Add(material)) {
        delete material;
        return nullptr;
    }
    return material;
}
