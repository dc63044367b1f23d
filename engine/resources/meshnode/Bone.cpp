// The skeleton's bone: its bind transform, its saved form and its skinned owner.
#include "engine/resources/meshnode/Bone.h"

#include "engine/core/files/FileStream.h"
#include "engine/core/math/VectorMath.h"

namespace {

TypeId skinnedOwnerType = nullptr;

}  // namespace

void SetSkinnedOwnerType(TypeId type) { skinnedOwnerType = type; }

KNode* Bone::CreateInstance(void*) { return new Bone(); }

const char* Bone::GetClassId() const { return "libkel/Bone"; }

Interface* CreateBone() { return new Bone(); }

void Bone::FindSkinnedOwner() {
    owner_ = nullptr;
    if (skinnedOwnerType == nullptr) return;
    for (KNode* node = Parent(); node != nullptr; node = node->Parent())
        if (node->GetTypeId() == skinnedOwnerType) {
            owner_ = node;
            return;
        }
}

void Bone::InitClone(KNode& copy) {
    if (copy.IsKindOf(StaticTypeId())) {
        auto& target = static_cast<Bone&>(copy);
        target.words_[0] = words_[0];
        target.words_[1] = words_[1];
        target.bind_ = bind_;
    }
    KNode::InitClone(copy);
    if (copy.IsKindOf(StaticTypeId())) static_cast<Bone&>(copy).FindSkinnedOwner();
}

void Bone::CopyTo(KNode& target) {
    if (target.IsKindOf(StaticTypeId())) {
        auto& copy = static_cast<Bone&>(target);
        copy.words_[0] = words_[0];
        copy.words_[1] = words_[1];
        copy.bind_ = bind_;
    }
    KNode::CopyTo(target);
    if (target.IsKindOf(StaticTypeId())) static_cast<Bone&>(target).FindSkinnedOwner();
}

int Bone::PrepareOwn(void*) {
    Vector3 column{0, 0, 1};
    KNode* parent = Parent();
    if (parent != nullptr && parent->IsKindOf(StaticTypeId())) {
        const Vector3 parentPosition = static_cast<Bone*>(parent)->bind_.position;
        Vector3Sub(parentPosition, bind_.position, column);
        // Two bones bound at one point have no direction between them.
        if (Vector3LengthSquared(column) > 0.0f)
            Vector3Normalize(column);
        else
            column = Vector3{0, 0, 1};
    }
    bind_.local.m[0][1] = column.x;
    bind_.local.m[1][1] = column.y;
    bind_.local.m[2][1] = column.z;
    FindSkinnedOwner();
    return 0;
}

int Bone::Load(FileStream& stream) {
    if (KNode::Load(stream) != 0) return 1;
    SetFlagBits(kNodeWantsAttachNotes, false);
    if (!StreamRead4(stream, &words_[0]) || !StreamRead4(stream, &words_[1])) return 1;
    return LoadTransform(bind_, stream);
}

int Bone::Save(FileStream& stream) {
    if (KNode::Save(stream) != 0) return 1;
    if (!StreamWrite4(stream, words_[0]) || !StreamWrite4(stream, words_[1])) return 1;
    return SaveTransform(bind_, stream);
}
