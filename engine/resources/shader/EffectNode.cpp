// Effect nodes, effect collections and the hand-over of their effects to the registry.
#include "engine/resources/shader/EffectNode.h"

#include "engine/resources/scene/RenderContext.h"

namespace {

EffectRegistryHooks registryHooks;

void ReturnEffect(EffectInstance* effect, int pool) {
    if (registryHooks.returnEffect != nullptr)
        registryHooks.returnEffect(effect, pool);
    else
        delete effect;
}

}  // namespace

void SetEffectRegistryHooks(const EffectRegistryHooks& hooks) { registryHooks = hooks; }

const EffectRegistryHooks& GetEffectRegistryHooks() { return registryHooks; }

EffectCollectionDesc::~EffectCollectionDesc() {
    for (EffectEntry*& entry : entries) {
        delete entry;
        entry = nullptr;
    }
}

void EffectInstance::Update(float) {}

void RenderEffectCollection(EffectCollectionInstance& instance, RenderContext& context) {
    const EffectCollectionDesc* description = instance.description;
    if (description == nullptr) return;
    const bool laterPass = (context.flags & kRenderContextLaterPass) != 0;
    const std::int32_t count = description->count < kMaxCollectionEffects ? description->count : kMaxCollectionEffects;
    for (std::int32_t i = 0; i < count; ++i) {
        EffectInstance* effect = instance.effects[i];
        if (effect == nullptr) continue;
        const EffectEntry* entry = description->entries[i];
        if (laterPass && (entry == nullptr || entry->drawInEveryPass == 0)) continue;
        effect->Render(context, &instance.effects[i]);
    }
}

int ReleaseEffectCollection(EffectCollectionInstance& instance) {
    if (instance.description == nullptr) return 0;
    for (EffectInstance*& effect : instance.effects) {
        if (effect == nullptr) continue;
        EffectInstance* given = effect;
        effect = nullptr;
        ReturnEffect(given, given->entry != nullptr && given->entry->poolWord != 0 ? 1 : 0);
    }
    return 1;
}

EffectNode::~EffectNode() {
    const bool tearingDown = registryHooks.tearingDown != nullptr && registryHooks.tearingDown();
    if (!tearingDown && registryHooks.unregisterNode != nullptr) registryHooks.unregisterNode(this);
    ReleaseEffects();
    RecycleInstance();
}

KNode* EffectNode::CreateInstance(void*) { return new EffectNode; }

const char* EffectNode::GetClassId() const { return "libkel/EffectNode"; }

void EffectNode::RenderEffects(RenderContext& context) {
    if (instance_ != nullptr) RenderEffectCollection(*instance_, context);
}

int EffectNode::ReleaseEffects() { return instance_ != nullptr ? ReleaseEffectCollection(*instance_) : 0; }

void EffectNode::RecycleInstance() {
    EffectCollectionInstance* instance = instance_;
    instance_ = nullptr;
    if (instance == nullptr) return;
    if (registryHooks.recycleInstance != nullptr) {
        registryHooks.recycleInstance(instance);
        return;
    }
    // Without a registry nobody takes the instance back; effects it still holds go with it.
    for (EffectInstance*& effect : instance->effects) {
        delete effect;
        effect = nullptr;
    }
    delete instance;
}

void EffectNode::SetInstance(EffectCollectionInstance* instance) {
    if (instance == instance_) return;
    ReleaseEffects();
    RecycleInstance();
    instance_ = instance;
}

Interface* CreateEffectNode() { return new EffectNode; }
