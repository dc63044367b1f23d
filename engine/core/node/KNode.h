// KNode: the scene-graph node that everything placed in a scene derives from (cameras,
// bones, skinned objects, tracks, mesh objects, effect nodes). A node has a name, a parent
// and an ordered list of children, a transform, bounds, flags and at most one animation
// player; it saves itself to engine streams and can be cloned with its subtree.
//
// Nothing here recurses in proportion to the depth of a tree: walks, cloning and the
// release of owned children run in loops. Subclasses therefore add their own part of a
// tree-wide operation through the protected "...Own" hooks, which the walk calls once for
// every node; a hook must not change the tree.
//
// Sections: flags and records; the class (virtual operations in slot order, then the tree,
// the transform, cloning, animation and the saved form); the global switches.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/core/containers/KDLList.h"
#include "engine/core/math/MathTypes.h"
#include "engine/core/node/AnimationEvent.h"
#include "engine/core/node/AnimationPlayer.h"
#include "engine/core/node/NodeTransform.h"
#include "engine/core/object/KGlobalInterface.h"
#include "platform/base/Types.h"

class Animation;
class FileStream;

// [SECTION] Node flags.
constexpr DWORD kNodePrepared = 0x40;
constexpr DWORD kNodeNotCloned = 0x200;            // a child left out when its parent is cloned
constexpr DWORD kNodeWantsAttachNotes = 0x400;     // OnAttached / OnDetached
constexpr DWORD kNodeWantsChildNotes = 0x800;      // OnChildAdded / OnChildRemoved
constexpr DWORD kNodeRaySkipForMaterials = 0x20000;  // skipped by ray tests asking kRayMaterialQuery
constexpr DWORD kNodeRaySkipOnRequest = 0x80000;   // skipped by ray tests asking kRaySkipFlagged
constexpr DWORD kNodeSavesExtraWord = 0x100000;
constexpr DWORD kNodeRaySkipSubtree = 0x2000000;
constexpr DWORD kNodeOwner = 0x4000000;            // GetOwnerNode stops here
constexpr DWORD kNodeOwnedChild = 0x8000000;       // released by its parent, searched and cloned
constexpr DWORD kNodeInheritTransform = 0x10000000;
constexpr DWORD kNodeInstance = 0x20000000;
constexpr DWORD kNodeAnimated = 0x40000000;        // in the list of animated nodes

constexpr DWORD kNodeInitialFlags = kNodeSavesExtraWord | kNodeInheritTransform;
// The flags that are saved, loaded and copied.
constexpr DWORD kNodeSavedFlags = 0x3e7ff3bb;
// The flags a copy target keeps of its own.
constexpr DWORD kNodeTargetOwnFlags = 0x24801cc0;

// Ray query flags.
constexpr DWORD kRayMaterialQuery = 0x900;
constexpr DWORD kRaySkipFlagged = 0x10000;

// Extra word: bit 0 says the extra data is in the saved form.
constexpr DWORD kExtraDataSaved = 0x1;

// A name holds 31 characters and its terminator.
constexpr std::size_t kNodeNameCapacity = 32;

struct NodeBounds {
    Vector3 boxMin{0, 0, 0};
    Vector3 boxMax{0, 0, 0};
    Vector3 sphereCentre{0, 0, 0};
    float radius = 0.0f;
};

// Data a node only initialises, copies and saves; subclasses give it a meaning.
struct NodeExtraData {
    float values[4] = {0, 0, 0, 0};
    Vector3 direction{0.577f, 0.577f, 0.577f};
    DWORD word = 0;
};

// What a walk does after a node.
enum class WalkStep {
    kDescend,  // go on into its children
    kSkip,     // leave its children out
    kStop,     // end the walk
};

struct RayQuery {
    Vector3 start;
    Vector3 end;
    void* userData;
    DWORD flags;
};

// Filled by the nodes that are hit; the last hit's point and node win.
struct RayHit {
    int hits = 0;
    KNode* node = nullptr;
    float value = 0.0f;
    Vector3 point{0, 0, 0};
};

struct OverlapQuery {
    AxisBox box;
    void* tag;
    DWORD exclude;
    DWORD include;
};

// One result of CollectOverlapping: the geometry met, the caller's tag and its node.
struct OverlapRecord {
    const void* geometry;
    void* tag;
    KNode* node;
    DWORD reserved;
};

// [SECTION] The node.
class KNode : public KGlobalInterface {
    KEL_DECLARE_TYPE(KNode, KGlobalInterface, "Node")

public:
    KNode();
    // Gives back the player, leaves the animated list and the parent, releases the owned
    // children and the source node (deep trees are released in a loop, not recursively).
    ~KNode() override;

    // Virtual operations, in slot order.
    // A new node of the same class with the defaults; null when memory runs out.
    virtual KNode* CreateInstance(void* argument);
    // CopyTo, then the copy is an instance whose source is this node's source (or this node).
    virtual void InitClone(KNode& copy);
    // Module, global words, name, flags, extra word and data, subclass words, transform,
    // bounds and source node.
    virtual void CopyTo(KNode& target);
    virtual void OnChildAdded(KNode& child);
    virtual void OnChildRemoved(KNode& child);
    virtual void OnAttached(KNode& parent);
    virtual void OnDetached(KNode& oldParent);
    // State bits of subclasses; a plain node has none.
    virtual DWORD GetOptions();
    virtual void SetOptions(DWORD mask, DWORD value);
    // Stores the position; transform flags |= dirty | given.
    virtual void SetPosition(const Vector3& position);
    virtual void SetRotation(const Quaternion& rotation);
    virtual void SetScale(const Vector3& scale);
    // Over the subtree; 1 when any node released (or created) something.
    virtual int ReleaseDeviceData();
    virtual int CreateDeviceData();
    virtual const char* GetClassId() const;
    // Once only (kNodePrepared): the children's subtrees in order, each node after its
    // children; the first non-zero result stops it and is returned. 0 on success.
    virtual int Prepare(void* argument);
    // The subtree's nodes in depth-first order; 1 when any was hit, with the last hit's node,
    // value and point.
    virtual int RayTest(const Vector3& start, const Vector3& end, void* userData, KNode** hitNode, float* hitValue,
                        Vector3* hitPoint, DWORD flags);
    // The direct children whose flags have none of `exclude` and all of `include` and whose
    // box (moved into world space) holds the point, and with `useSphere` also the sphere;
    // at most `capacity`. The number stored.
    virtual int QueryPoint(const Vector3& point, KNode** found, int capacity, bool useSphere, DWORD exclude,
                           DWORD include);
    // The same for the children whose box meets the box.
    virtual int QueryBox(const AxisBox& box, KNode** found, int capacity, DWORD exclude, DWORD include);
    // Hands the query through the subtree, filling records until the capacity is reached;
    // the number of records.
    virtual int CollectOverlapping(const AxisBox& box, void* tag, OverlapRecord* results, int capacity, DWORD exclude,
                                   DWORD include);
    // 1 when nothing is attached or the attached animation has finished, else 0.
    virtual int UpdateAnimation(float frameTime);
    virtual int IsAnimationFinished();
    virtual int IsAnimationAllowed();
    // The play id, or -1 when the animation is not a NodeAnimation with frames.
    virtual int PlayAnimation(Animation* animation, float speed, DWORD playFlags, float fade, float startTime);
    // 1 when it matched: end time = current time + fade; fade <= 0 detaches at once.
    virtual int StopAnimation(Animation* animation, float fade);
    virtual int StopAnimationById(int playId, float fade);
    // Whatever is attached; 1 also when nothing is.
    virtual int StopAnimations(float fade);
    virtual int SetAnimationFlag(int playId);
    virtual int ClearAnimationFlag(int playId);
    virtual int GetAnimationFlag(int playId);
    virtual int HasAnimation();
    virtual int IsAnimationId(int playId);
    virtual int IsAnimation(Animation* animation);
    // Channel operations of skinned objects; 0 here.
    virtual int SetChannelSpeed(int playId, float speed);
    virtual int SetChannelWeight(int playId, float weight);
    virtual int AddTimedEventWithId(int playId, float time, int eventId);
    virtual int RemoveTimedEvent(int playId, int eventId);
    // The current time when the id matches, else -1.0.
    virtual float GetAnimationTime(int playId);
    virtual int SetAnimationTime(int playId, float time);
    virtual int RewindAnimation(int playId);
    // The play id when the node plays that animation, else 0.
    virtual int GetAnimationId(Animation* animation);
    // The step after loading (mesh nodes bake their lighting); nothing here.
    virtual void ApplyLighting(void* argument);
    // The saved form; 0 on success, 1 on failure.
    virtual int Load(FileStream& stream);
    virtual int Save(FileStream& stream);

    // [SECTION] Children.
    // Appends the child with kNodeOwnedChild and notifies. A child that has a parent leaves
    // it first. 0 (nothing changed) for null, for this node or one of its ancestors, or when
    // memory runs out; 1 otherwise.
    int AddChild(KNode* child);
    // The same, with kNodeOwnedChild set when `owned` and cleared otherwise.
    int AddChildEx(KNode* child, bool owned);
    // 1 when it was a child of this node: unlinked, parent cleared, notified.
    int RemoveChild(KNode* child);
    // Moves the node to the tail of the new parent's children. 0 when the node has no parent,
    // the new parent is null, the current one, this node or below it; 1 otherwise.
    int SetParent(KNode* newParent);
    // Direct children with any bit of the mask.
    std::uint32_t CountChildrenWithFlags(DWORD mask) const;
    // Appends every node of the subtree that is a kind of `type`, depth first; false when
    // memory ran out.
    bool CollectByType(KDLList& list, TypeId type);
    KNode* GetRoot();
    // The nearest node from this one upward with kNodeOwner, else the root.
    KNode* GetOwnerNode();

    KNode* Parent() const { return parent_; }
    KNode* FirstChild() const;
    KNode* NextSibling() const;
    std::uint32_t ChildCount() const { return children_.count; }

    // [SECTION] Transform.
    // The local matrix (rebuilt when dirty), with a held animation's pose composed, onto the
    // parent's world matrix while kNodeInheritTransform is set.
    void GetWorldMatrix(Matrix34& out);
    void GetInverseWorldMatrix(Matrix34& out);
    // T(-pivot), onto the parent's world matrix while kNodeInheritTransform is set.
    void GetPivotMatrix(Matrix34& out);
    NodeTransform& Transform() { return transform_; }
    const NodeTransform& Transform() const { return transform_; }

    // [SECTION] Cloning.
    // The node and its owned children that lack kNodeNotCloned, as instances of this one;
    // null when a class gives a copy of another type, memory runs out or preparing the copy
    // fails (no partial copy is left behind).
    KNode* Clone(void* argument);

    // [SECTION] Animation.
    AnimationPlayer* Player() const { return player_; }
    // Places the event at its position node (or this node), turned by its rotation node,
    // and hands it to the animation event handler.
    void FireAnimationEvent(const AnimationEvent& event);

    // [SECTION] Fields.
    const char* Name() const { return name_; }
    // At most 31 characters are kept; null gives an empty name.
    void SetName(const char* name);
    DWORD Flags() const { return flags_; }
    void SetFlags(DWORD flags) { flags_ = flags; }
    void SetFlagBits(DWORD mask, bool on) { flags_ = on ? flags_ | mask : flags_ & ~mask; }
    DWORD ExtraWord() const { return extraWord_; }
    void SetExtraWord(DWORD word) { extraWord_ = word; }
    NodeExtraData& ExtraData() { return extraData_; }
    NodeBounds& Bounds() { return bounds_; }
    const NodeBounds& Bounds() const { return bounds_; }
    std::int32_t SubclassWord(int index) const { return subclassWords_[index]; }
    void SetSubclassWord(int index, std::int32_t value) { subclassWords_[index] = value; }
    KNode* SourceNode() const { return source_; }
    // Holds a reference on the new source and gives up the old one.
    void SetSourceNode(KNode* source);

protected:
    // One node's part of the tree-wide operations; the walks call them on every node.
    // May the ray test go into this node's subtree, and does the node itself get hit.
    virtual WalkStep RayTestOwn(const RayQuery& query, RayHit& hit);
    // May the query go into this node's subtree; a node that meets the box adds a record
    // to results[count] while count < capacity.
    virtual WalkStep CollectOverlappingOwn(const OverlapQuery& query, OverlapRecord* results, int capacity,
                                           int& count);
    // Runs after the node's children are prepared; 0 on success.
    virtual int PrepareOwn(void* argument);
    // 1 when the node released (created) device data of its own.
    virtual int ReleaseOwnDeviceData();
    virtual int CreateOwnDeviceData();

private:
    friend void FreeSceneNodeLists();

    // Appends a child without notifications (cloning).
    bool AppendChild(KNode* child);
    // Unlinks the child's link from this node's list.
    void UnlinkChild(KNode* child);
    bool IsSelfOrAncestorOf(const KNode* node) const;
    // The local matrix with a held animation's pose composed (forward or inverse).
    void LocalWithPose(Matrix34& out);
    void InverseLocalWithPose(Matrix34& out);
    void ComposeUpTheChain(bool inverse, Matrix34& out);
    // Runs one of the device-data hooks on every node of the subtree; 1 when any did.
    int ForEachOwnDeviceData(int (KNode::*hook)());
    void DetachPlayer();
    void LeaveAnimatedList();
    // The copy for Clone of one node: CreateInstance with the type check, GUID and InitClone.
    KNode* CloneOne(void* argument);

    char name_[kNodeNameCapacity] = {};
    KNode* parent_ = nullptr;
    KDLLink* linkInParent_ = nullptr;
    KDLList children_;
    DWORD flags_ = kNodeInitialFlags;
    NodeTransform transform_;
    DWORD extraWord_ = 0;
    NodeExtraData extraData_;
    NodeBounds bounds_;
    std::int32_t subclassWords_[3] = {0, -1, 0};
    KNode* source_ = nullptr;
    AnimationPlayer* player_ = nullptr;
    // Chains nodes whose release waits until the outermost node destructor runs it.
    KNode* nextPendingRelease_ = nullptr;
};

// "Create_Node" of the core module.
Interface* CreateNode();

// The first direct child named exactly `name` (case-sensitive), in list order; only then the
// subtrees of the owned children, depth first in list order. Null when none matches.
KNode* FindNodeByName(KNode* node, const char* name);

// Visits the subtree of `root` depth first without recursion: `enter` is called on a node
// before its children and decides whether to go into them; `leave` (returning false to stop)
// after them, but not for nodes that `enter` skipped. False when the walk was stopped.
template <typename Enter, typename Leave>
bool WalkSubtree(KNode& root, Enter enter, Leave leave) {
    KNode* node = &root;
    for (;;) {
        const WalkStep step = enter(*node);
        if (step == WalkStep::kStop) return false;
        if (step == WalkStep::kDescend) {
            if (KNode* child = node->FirstChild()) {
                node = child;
                continue;
            }
            if (!leave(*node)) return false;
        }
        for (;;) {
            if (node == &root) return true;
            if (KNode* next = node->NextSibling()) {
                node = next;
                break;
            }
            node = node->Parent();
            if (!leave(*node)) return false;
        }
    }
}

template <typename Enter>
bool WalkSubtree(KNode& root, Enter enter) {
    return WalkSubtree(root, enter, [](KNode&) { return true; });
}

// [SECTION] Global switches of cloning (both on at start).
void SetCloneGuidsAssigned(bool on);
bool CloneGuidsAssigned();
void SetClonesPrepared(bool on);
bool ClonesPrepared();
// The next GUID a clone would take (clones count up from 0x80000000).
DWORD PeekCloneGuid();
void SetNextCloneGuid(DWORD guid);

// The head of a node's saved form: the GUID and the saved global word, 4 bytes each.
int SaveGlobalInterface(KGlobalInterface& object, FileStream& stream);
// Reads them and registers the GUID (a refused GUID is logged, the load goes on).
int LoadGlobalInterface(KGlobalInterface& object, FileStream& stream);
