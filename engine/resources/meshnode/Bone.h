// Bone: a node of a skinned object's skeleton. It carries its bind transform (the pose the
// skin was modelled in) and finds its skinned owner, the nearest ancestor that is a skinned
// object.
#pragma once

#include "engine/core/node/KNode.h"
#include "platform/base/Types.h"

class Bone : public KNode {
    KEL_DECLARE_TYPE(Bone, KNode, "Bone")

public:
    Bone() = default;
    ~Bone() override = default;

    KNode* CreateInstance(void* argument) override;
    // The two words and the bind transform, KNode's copy, then the target's skinned owner.
    void InitClone(KNode& copy) override;
    void CopyTo(KNode& target) override;
    const char* GetClassId() const override;
    // KNode's record (the attach-notes flag cleared), the two words and the bind transform.
    int Load(FileStream& stream) override;
    int Save(FileStream& stream) override;

    NodeTransform& Bind() { return bind_; }
    const NodeTransform& Bind() const { return bind_; }
    DWORD Word(int index) const { return words_[index]; }
    void SetWord(int index, DWORD value) { words_[index] = value; }
    // The nearest ancestor whose type is that of a skinned object; null outside one.
    KNode* SkinnedOwner() const { return owner_; }
    void FindSkinnedOwner();

protected:
    // The bind matrix's second column: the unit vector from this bone's bind position to the
    // parent bone's, or (0, 0, 1) under a node that is not a bone; then the owner.
    int PrepareOwn(void* argument) override;

private:
    DWORD words_[2] = {0, 0};
    NodeTransform bind_;
    KNode* owner_ = nullptr;
};

// "Create_Bone" of the core module.
Interface* CreateBone();

// The type a bone's skinned owner has; set by the skinned object's library so that bones do
// not depend on it.
void SetSkinnedOwnerType(TypeId type);
