// KNode's transform: the setters, and the world, inverse world and pivot matrices built by
// walking up the parents in a loop.
#include "engine/core/math/MatrixMath.h"
#include "engine/core/node/KNode.h"

void KNode::SetPosition(const Vector3& position) {
    transform_.position = position;
    transform_.flags |= kTransformPositionChanged;
}

void KNode::SetRotation(const Quaternion& rotation) {
    transform_.rotation = rotation;
    transform_.flags |= kTransformDirty;
}

void KNode::SetScale(const Vector3& scale) {
    transform_.scale = scale;
    transform_.flags |= kTransformDirty;
}

namespace {

// The pose a held player composes onto the node's local matrix; false when it has none.
bool HeldPose(const AnimationPlayer* player, Matrix34& pose) {
    if (player == nullptr || (player->playFlags & kPlayHeld) == 0) return false;
    Vector3 position{0, 0, 0};
    Quaternion rotation = kIdentityQuaternion;
    Vector3 scale{1, 1, 1};
    if (!PlayerPose(*player, position, rotation, scale)) return false;
    Matrix34FromPose(position, rotation, scale, pose);
    return true;
}

}  // namespace

void KNode::LocalWithPose(Matrix34& out) {
    UpdateTransform(transform_);
    Matrix34 pose;
    if (HeldPose(player_, pose)) {
        Matrix34Multiply(transform_.local, pose, out);
    } else {
        out = transform_.local;
    }
}

void KNode::InverseLocalWithPose(Matrix34& out) {
    UpdateTransform(transform_);
    Matrix34 pose;
    if (HeldPose(player_, pose)) {
        Matrix34 inversePose;
        Matrix34InverseAffine(pose, inversePose);
        Matrix34Multiply(inversePose, transform_.inverseLocal, out);
    } else {
        out = transform_.inverseLocal;
    }
}

// The chain walks up while each node inherits: the world matrix multiplies each parent's
// local matrix in front, the inverse multiplies each parent's inverse behind.
void KNode::ComposeUpTheChain(bool inverse, Matrix34& out) {
    Matrix34 result;
    if (inverse) {
        InverseLocalWithPose(result);
    } else {
        LocalWithPose(result);
    }
    for (KNode* node = this; (node->flags_ & kNodeInheritTransform) != 0 && node->parent_ != nullptr;) {
        node = node->parent_;
        Matrix34 parent;
        if (inverse) {
            node->InverseLocalWithPose(parent);
            Matrix34Multiply(result, parent, result);
        } else {
            node->LocalWithPose(parent);
            Matrix34Multiply(parent, result, result);
        }
    }
    out = result;
}

void KNode::GetWorldMatrix(Matrix34& out) { ComposeUpTheChain(false, out); }

void KNode::GetInverseWorldMatrix(Matrix34& out) { ComposeUpTheChain(true, out); }

void KNode::GetPivotMatrix(Matrix34& out) {
    const Vector3& pivot = transform_.pivot;
    Matrix34 result{{{1, 0, 0, -pivot.x}, {0, 1, 0, -pivot.y}, {0, 0, 1, -pivot.z}}};
    if ((flags_ & kNodeInheritTransform) != 0 && parent_ != nullptr) {
        Matrix34 parentWorld;
        parent_->GetWorldMatrix(parentWorld);
        Matrix34Multiply(parentWorld, result, result);
    }
    out = result;
}
