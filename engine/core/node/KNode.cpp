// KNode: construction, destruction with the release of owned children, the child list and
// its notifications, and the look-ups over the tree.
#include "engine/core/node/KNode.h"

#include <cstring>

#include "engine/core/node/NodeAnimation.h"

namespace {

// Releases that would delete a node wait here until the outermost node destructor runs
// them one after another, so a deep tree is never destroyed recursively.
KNode* pendingReleases = nullptr;
bool releasingPending = false;

}  // namespace

KNode::KNode() = default;

KNode::~KNode() {
    DetachPlayer();
    LeaveAnimatedList();
    if (parent_ != nullptr) parent_->RemoveChild(this);
    // The list is emptied first so that nothing below finds a half-taken list.
    KDLLink* link = children_.head;
    children_ = KDLList{};
    while (link != nullptr) {
        KDLLink* next = link->next;
        auto* child = static_cast<KNode*>(link->item);
        FreeLink(link);
        child->parent_ = nullptr;
        child->linkInParent_ = nullptr;
        if ((child->flags_ & kNodeOwnedChild) != 0) {
            // A count above 0 only drops; at 0 the release would delete, which waits.
            if (child->ReferenceCount() > 0) {
                child->Release();
            } else {
                child->nextPendingRelease_ = pendingReleases;
                pendingReleases = child;
            }
        }
        link = next;
    }
    if (source_ != nullptr) {
        KNode* source = source_;
        source_ = nullptr;
        if (source->ReferenceCount() > 0) {
            source->Release();
        } else {
            source->nextPendingRelease_ = pendingReleases;
            pendingReleases = source;
        }
    }
    if (releasingPending) return;
    releasingPending = true;
    while (KNode* node = pendingReleases) {
        pendingReleases = node->nextPendingRelease_;
        node->nextPendingRelease_ = nullptr;
        node->Release();
    }
    releasingPending = false;
}

void KNode::SetName(const char* name) {
    // The bound keeps the terminator: a longer name is cut to 31 characters.
    const std::size_t length = name != nullptr ? strnlen(name, kNodeNameCapacity - 1) : 0;
    if (length > 0) std::memmove(name_, name, length);
    std::memset(name_ + length, 0, kNodeNameCapacity - length);
}

void KNode::SetSourceNode(KNode* source) {
    if (source == source_) return;
    if (source != nullptr) source->AddRef();
    KNode* old = source_;
    source_ = source;
    if (old != nullptr) old->Release();
}

// [SECTION] Children.

KNode* KNode::FirstChild() const {
    return children_.head != nullptr ? static_cast<KNode*>(children_.head->item) : nullptr;
}

KNode* KNode::NextSibling() const {
    return linkInParent_ != nullptr && linkInParent_->next != nullptr ? static_cast<KNode*>(linkInParent_->next->item)
                                                                      : nullptr;
}

bool KNode::IsSelfOrAncestorOf(const KNode* node) const {
    for (; node != nullptr; node = node->parent_)
        if (node == this) return true;
    return false;
}

bool KNode::AppendChild(KNode* child) {
    KDLLink* link = ListAppend(children_, child);
    if (link == nullptr) return false;
    child->parent_ = this;
    child->linkInParent_ = link;
    return true;
}

void KNode::UnlinkChild(KNode* child) {
    ListUnlink(children_, child->linkInParent_);
    child->parent_ = nullptr;
    child->linkInParent_ = nullptr;
}

int KNode::AddChild(KNode* child) { return AddChildEx(child, true); }

int KNode::AddChildEx(KNode* child, bool owned) {
    // A node already in a tree would otherwise stand in two child lists, and an ancestor
    // would make a cycle that no walk ever leaves.
    if (child == nullptr || child->IsSelfOrAncestorOf(this)) return 0;
    if (child->parent_ != nullptr) child->parent_->RemoveChild(child);
    if (!AppendChild(child)) return 0;
    // A child taken without ownership must not keep an owned flag it was loaded or copied
    // with: the parent would release a node it does not hold.
    child->flags_ = owned ? child->flags_ | kNodeOwnedChild : child->flags_ & ~kNodeOwnedChild;
    if ((flags_ & kNodeWantsChildNotes) != 0) OnChildAdded(*child);
    if ((child->flags_ & kNodeWantsAttachNotes) != 0) child->OnAttached(*this);
    return 1;
}

int KNode::RemoveChild(KNode* child) {
    if (child == nullptr || child->parent_ != this) return 0;
    UnlinkChild(child);
    if ((flags_ & kNodeWantsChildNotes) != 0) OnChildRemoved(*child);
    if ((child->flags_ & kNodeWantsAttachNotes) != 0) child->OnDetached(*this);
    return 1;
}

int KNode::SetParent(KNode* newParent) {
    KNode* oldParent = parent_;
    if (oldParent == nullptr || newParent == nullptr || newParent == oldParent || IsSelfOrAncestorOf(newParent))
        return 0;
    KDLLink* link = ListAppend(newParent->children_, this);
    if (link == nullptr) return 0;
    ListUnlink(oldParent->children_, linkInParent_);
    parent_ = newParent;
    linkInParent_ = link;
    if ((oldParent->flags_ & kNodeWantsChildNotes) != 0) oldParent->OnChildRemoved(*this);
    if ((flags_ & kNodeWantsAttachNotes) != 0) OnDetached(*oldParent);
    if ((newParent->flags_ & kNodeWantsChildNotes) != 0) newParent->OnChildAdded(*this);
    if ((flags_ & kNodeWantsAttachNotes) != 0) OnAttached(*newParent);
    return 1;
}

std::uint32_t KNode::CountChildrenWithFlags(DWORD mask) const {
    std::uint32_t count = 0;
    for (KNode* child = FirstChild(); child != nullptr; child = child->NextSibling())
        if ((child->flags_ & mask) != 0) ++count;
    return count;
}

bool KNode::CollectByType(KDLList& list, TypeId type) {
    return WalkSubtree(*this, [&](KNode& node) {
        if (node.IsKindOf(type) && ListAppend(list, &node) == nullptr) return WalkStep::kStop;
        return WalkStep::kDescend;
    });
}

KNode* KNode::GetRoot() {
    KNode* node = this;
    while (node->parent_ != nullptr) node = node->parent_;
    return node;
}

KNode* KNode::GetOwnerNode() {
    KNode* node = this;
    for (;;) {
        if ((node->flags_ & kNodeOwner) != 0 || node->parent_ == nullptr) return node;
        node = node->parent_;
    }
}

KNode* FindNodeByName(KNode* node, const char* name) {
    if (node == nullptr || name == nullptr) return nullptr;
    KNode* found = nullptr;
    // Each node visited offers its direct children first; the walk then goes on only into
    // the owned children.
    WalkSubtree(*node, [&](KNode& visited) {
        if (&visited != node && (visited.Flags() & kNodeOwnedChild) == 0) return WalkStep::kSkip;
        for (KNode* child = visited.FirstChild(); child != nullptr; child = child->NextSibling()) {
            if (std::strcmp(child->Name(), name) == 0) {
                found = child;
                return WalkStep::kStop;
            }
        }
        return WalkStep::kDescend;
    });
    return found;
}

// [SECTION] Plain virtual operations.

void KNode::OnChildAdded(KNode&) {}
void KNode::OnChildRemoved(KNode&) {}
void KNode::OnAttached(KNode&) {}
void KNode::OnDetached(KNode&) {}
DWORD KNode::GetOptions() { return 0; }
void KNode::SetOptions(DWORD, DWORD) {}
const char* KNode::GetClassId() const { return "libkel/Node"; }
void KNode::ApplyLighting(void*) {}
int KNode::ReleaseOwnDeviceData() { return 0; }
int KNode::CreateOwnDeviceData() { return 0; }
int KNode::PrepareOwn(void*) { return 0; }

int KNode::ForEachOwnDeviceData(int (KNode::*hook)()) {
    int any = 0;
    WalkSubtree(*this, [&](KNode& node) {
        any |= (node.*hook)() != 0 ? 1 : 0;
        return WalkStep::kDescend;
    });
    return any;
}

int KNode::ReleaseDeviceData() { return ForEachOwnDeviceData(&KNode::ReleaseOwnDeviceData); }

int KNode::CreateDeviceData() { return ForEachOwnDeviceData(&KNode::CreateOwnDeviceData); }

int KNode::Prepare(void* argument) {
    int result = 0;
    WalkSubtree(
        *this,
        [](KNode& node) {
            if ((node.flags_ & kNodePrepared) != 0) return WalkStep::kSkip;
            node.flags_ |= kNodePrepared;
            return WalkStep::kDescend;
        },
        [&](KNode& node) {
            result = node.PrepareOwn(argument);
            return result == 0;
        });
    return result;
}

Interface* CreateNode() { return new KNode(); }
