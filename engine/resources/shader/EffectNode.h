// Effect nodes: a scene node that carries an instance of an effect collection (up to 16
// effects described by an EffectCollectionDesc), draws them in its render operation and
// hands them back to the effect registry when it goes. The registry (pools of effect
// instances, the list of live effect nodes) belongs to the level's effect system, which
// installs its operations with SetEffectRegistryHooks.
#pragma once

#include <cstdint>

#include "engine/core/node/KNode.h"
#include "engine/core/object/Interface.h"
#include "engine/core/text/EngineString.h"
#include "platform/base/Types.h"

struct RenderContext;
class EffectInstance;

constexpr int kMaxCollectionEffects = 16;

// One effect of a collection's description. The words between the name and the two flags
// are the effect system's own.
struct EffectEntry : EngineAllocated {
    EngineString name;
    DWORD parameters[9] = {};
    // Drawn also in the passes after the main one (kRenderContextLaterPass).
    DWORD drawInEveryPass = 0;
    // The instance goes back to the registry's second pool when set, else to the first.
    DWORD poolWord = 0;
};

class EffectCollectionDesc : public Interface {
    KEL_DECLARE_TYPE(EffectCollectionDesc, Interface, "EffectCollectionDesc")

public:
    EffectCollectionDesc() = default;
    // Deletes every entry that is set, with its name.
    ~EffectCollectionDesc() override;

    EngineString name;
    EffectEntry* entries[kMaxCollectionEffects] = {};
    // Entries 0 to count - 1 are in use.
    std::int32_t count = 0;
};

// One live effect, made by the effect system from an entry of a description.
class EffectInstance : public EngineAllocated {
public:
    EffectInstance() = default;
    EffectInstance(const EffectInstance&) = delete;
    EffectInstance& operator=(const EffectInstance&) = delete;
    virtual ~EffectInstance() = default;
    virtual void Update(float frameTime);
    // Draws the effect; `place` is where the collection instance holds it.
    virtual void Render(RenderContext& context, EffectInstance** place) = 0;

    const EffectEntry* entry = nullptr;
};

// What an effect node holds: its description (not owned) and one effect per used entry.
struct EffectCollectionInstance : EngineAllocated {
    EffectCollectionDesc* description = nullptr;
    EffectInstance* effects[kMaxCollectionEffects] = {};
};

// Each effect i below the description's count that the instance has is drawn, unless the
// context is a later pass and the entry does not ask to be drawn in every pass.
void RenderEffectCollection(EffectCollectionInstance& instance, RenderContext& context);
// Hands every effect back to the registry (the second pool when its entry's pool word is
// set, else the first) and clears the effect pointers; 0 when the instance has no
// description, else 1.
int ReleaseEffectCollection(EffectCollectionInstance& instance);

// The operations of the effect registry that effect nodes use. Without a hook an effect or
// instance that is handed back is deleted, and nothing is unregistered.
struct EffectRegistryHooks {
    // `pool` is 0 or 1.
    void (*returnEffect)(EffectInstance* effect, int pool) = nullptr;
    void (*recycleInstance)(EffectCollectionInstance* instance) = nullptr;
    void (*unregisterNode)(KNode* node) = nullptr;
    // True while the registry destroys every effect node itself (nodes then skip
    // unregistering).
    bool (*tearingDown)() = nullptr;
};
void SetEffectRegistryHooks(const EffectRegistryHooks& hooks);
const EffectRegistryHooks& GetEffectRegistryHooks();

class EffectNode : public KNode {
    KEL_DECLARE_TYPE(EffectNode, KNode, "EffectNode")

public:
    EffectNode() = default;
    // Unless the registry is tearing down: leaves the registry's list of effect nodes. Then
    // releases the instance's effects and recycles the instance.
    ~EffectNode() override;

    KNode* CreateInstance(void* argument) override;
    const char* GetClassId() const override;

    // Draws the held instance's effects; nothing without an instance.
    virtual void RenderEffects(RenderContext& context);

    // ReleaseEffectCollection on the held instance; 0 without one.
    int ReleaseEffects();
    // Hands the instance to the registry's recycle list; the node holds none afterwards.
    void RecycleInstance();
    // Takes ownership of the instance (one held before is released and recycled).
    void SetInstance(EffectCollectionInstance* instance);
    EffectCollectionInstance* Instance() const { return instance_; }

private:
    EffectCollectionInstance* instance_ = nullptr;
};

// "Create_EffectNode" of the core module.
Interface* CreateEffectNode();
