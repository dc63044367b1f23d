// Building objects from ".knode" scene files: a TagFile whose brace blocks are nodes with a
// name, an optional mesh, a position, a rotation in degrees, flags and children (which may
// hang below a named bone of a skinned parent).
#include <cstring>

#include "engine/core/files/TagFile.h"
#include "engine/core/math/MatrixMath.h"
#include "engine/core/math/QuaternionMath.h"
#include "engine/core/node/KNode.h"
#include "engine/core/text/EngineString.h"
#include "engine/core/text/TextCompare.h"
#include "engine/resources/kdb/KDB.h"
#include "engine/resources/skelobject/SkelObject.h"

namespace {

constexpr float kSceneDegreesToRadians = 0.017453292f;

EngineString TagString(TagFile& block, const char* tagName) {
    EngineString value;
    if (TagFileTag* tag = block.FindTag(tagName)) tag->GetString(0, value);
    return value;
}

// Position, rotation and flags of the block onto the node's reset transform.
void ApplyPlacement(TagFile& block, KNode& node) {
    NodeTransform& transform = node.Transform();
    ResetTransform(transform);
    if (TagFileTag* tag = block.FindTag("POS")) {
        Vector3 position{0, 0, 0};
        if (tag->GetVector3(0, position) != 0) transform.position = position;
    }
    if (TagFileTag* tag = block.FindTag("ROT")) {
        Vector3 degrees{0, 0, 0};
        if (tag->GetVector3(0, degrees) != 0) {
            const Vector3 radians{degrees.x * kSceneDegreesToRadians, degrees.y * kSceneDegreesToRadians,
                                  degrees.z * kSceneDegreesToRadians};
            Matrix34 rotation;
            Matrix34FromEuler(radians, rotation);
            QuaternionFromMatrix34(rotation, transform.rotation);
        }
    }
    transform.flags |= kTransformPositionChanged;
    node.SetFlagBits(kNodeInheritTransform, true);
    if (TagFileTag* tag = block.FindTag("FLAGS"))
        for (std::uint32_t i = 0; i < tag->ValueCount(); ++i) {
            EngineString word;
            if (tag->GetString(i, word) != 0 && CompareNoCase(word.Text(), "NO_INHERIT") == 0)
                node.SetFlagBits(kNodeInheritTransform, false);
        }
}

struct Pending {
    TagFile* block;
    KNode* node;
};

bool PushPending(KDLList& pending, TagFile* block, KNode* node) {
    auto* item = static_cast<Pending*>(EngineAlloc(sizeof(Pending)));
    if (item == nullptr) return false;
    item->block = block;
    item->node = node;
    if (ListAppend(pending, item) != nullptr) return true;
    EngineFree(item);
    return false;
}

}  // namespace

KNode* KDB::BuildSceneNode(TagFile& block) {
    EngineString name = TagString(block, "NAME");
    if (name.Length() == 0) name = EngineString("Default");
    const EngineString mesh = TagString(block, "MESH");
    KNode* node = nullptr;
    if (mesh.Length() != 0) {
        node = LoadMeshFiles(mesh.Text(), name.Text(), true);
        if (node == nullptr) return nullptr;
    } else {
        node = new KNode();
        if (node == nullptr) return nullptr;
        node->SetName(name.Text());
    }
    ApplyPlacement(block, *node);
    return node;
}

// The tree is built breadth by breadth with an explicit list of pending blocks, so that a
// deeply nested file cannot exhaust the stack.
KNode* KDB::BuildSceneTree(TagFile& root) {
    KNode* top = BuildSceneNode(root);
    if (top == nullptr) return nullptr;
    KDLList pending;
    if (!PushPending(pending, &root, top)) {
        top->Release();
        return nullptr;
    }
    while (pending.head != nullptr) {
        auto* item = static_cast<Pending*>(ListUnlink(pending, pending.head));
        TagFile& block = *item->block;
        KNode* node = item->node;
        EngineFree(item);
        const bool skinned = node->IsKindOf(SkelObject::StaticTypeId());
        for (KDLLink* link = block.children.head; link != nullptr; link = link->next) {
            auto* childBlock = static_cast<TagFile*>(link->item);
            KNode* child = BuildSceneNode(*childBlock);
            if (child == nullptr) continue;
            KNode* attachTo = node;
            const EngineString boneName = TagString(*childBlock, "BONEPARENT");
            if (boneName.Length() != 0 && skinned) {
                if (KNode* bone = FindNodeByName(node, boneName.Text())) {
                    attachTo = bone;
                    child->SetFlagBits(kNodeInheritTransform, true);
                }
            }
            child->SetFlagBits(kNodeOwnedChild, true);
            if (attachTo->AddChildEx(child, true) == 0) {
                child->Release();
                continue;
            }
            // Without memory for the pending block the child stays, without its children.
            PushPending(pending, childBlock, child);
        }
    }
    return top;
}
