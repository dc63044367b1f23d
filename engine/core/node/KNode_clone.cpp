// KNode's copying and cloning: CopyTo and InitClone, the copy of a whole subtree in a loop,
// and the two global switches of cloning with the clones' GUID counter.
#include <cstring>

#include "engine/core/memory/EngineLog.h"
#include "engine/core/node/KNode.h"

namespace {

bool assignCloneGuids = true;
bool prepareClones = true;
constexpr DWORD kFirstCloneGuid = 0x80000000;
DWORD nextCloneGuid = kFirstCloneGuid;

// The next GUID for a clone; kNoGuid once the counter is used up.
DWORD TakeCloneGuid() {
    if (nextCloneGuid == kNoGuid) return kNoGuid;
    return nextCloneGuid++;
}

}  // namespace

void SetCloneGuidsAssigned(bool on) { assignCloneGuids = on; }
bool CloneGuidsAssigned() { return assignCloneGuids; }
void SetClonesPrepared(bool on) { prepareClones = on; }
bool ClonesPrepared() { return prepareClones; }
DWORD PeekCloneGuid() { return nextCloneGuid; }
void SetNextCloneGuid(DWORD guid) { nextCloneGuid = guid; }

KNode* KNode::CreateInstance(void*) { return new KNode(); }

void KNode::CopyTo(KNode& target) {
    target.SetOwningModule(OwningModule());
    target.SetUnsavedWord(UnsavedWord());
    target.SetSavedWord(SavedWord());
    std::memcpy(target.name_, name_, sizeof name_);
    // Membership of the animated list is a fact about the target itself, so it is kept too.
    target.flags_ = (flags_ & kNodeSavedFlags) | (target.flags_ & (kNodeTargetOwnFlags | kNodeAnimated));
    target.extraWord_ = extraWord_;
    target.extraData_ = extraData_;
    std::memcpy(target.subclassWords_, subclassWords_, sizeof subclassWords_);
    target.transform_ = transform_;
    target.bounds_ = bounds_;
    target.SetSourceNode(source_);
}

void KNode::InitClone(KNode& copy) {
    KNode::CopyTo(copy);
    copy.flags_ |= kNodeInstance;
    copy.SetSourceNode(source_ != nullptr ? source_ : this);
}

KNode* KNode::CloneOne(void* argument) {
    KNode* copy = CreateInstance(argument);
    if (copy == nullptr) return nullptr;
    if (copy->GetTypeId() != GetTypeId()) {
        KEL_LOG_EXCEPTION("Internal error, KNode::CreateInstance not overridden in class");
        copy->Release();
        return nullptr;
    }
    copy->flags_ &= ~kNodeOwnedChild;
    if (assignCloneGuids) copy->SetGUID(TakeCloneGuid());
    InitClone(*copy);
    return copy;
}

KNode* KNode::Clone(void* argument) {
    KNode* root = nullptr;
    // The copy under which the next copied child goes: it follows the walk down and up.
    KNode* current = nullptr;
    const bool complete = WalkSubtree(
        *this,
        [&](KNode& node) {
            if (&node != this && ((node.flags_ & kNodeOwnedChild) == 0 || (node.flags_ & kNodeNotCloned) != 0))
                return WalkStep::kSkip;
            KNode* copy = node.CloneOne(argument);
            if (copy == nullptr) return WalkStep::kStop;
            if (root == nullptr) {
                root = copy;
            } else if (current->AppendChild(copy)) {
                copy->flags_ |= kNodeOwnedChild;
            } else {
                copy->Release();
                return WalkStep::kStop;
            }
            current = copy;
            return WalkStep::kDescend;
        },
        [&](KNode&) {
            current = current->parent_;
            return true;
        });
    // A copy that is not whole is given up with everything below it.
    if (!complete) {
        if (root != nullptr) root->Release();
        return nullptr;
    }
    if (prepareClones && root->Prepare(argument) != 0) {
        root->Release();
        return nullptr;
    }
    return root;
}
