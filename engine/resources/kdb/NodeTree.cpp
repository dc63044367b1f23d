// The node-tree records of ".ksk" files: reading a tree (classes created by name through
// their modules, instances cloned from loaded objects) and writing one.
#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/core/node/StreamFields.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/node/KNode.h"
#include "engine/core/object/Module.h"
#include "engine/resources/kdb/KDB.h"

#define KDB_LOG(format, ...) LogException(format, "kdb", __LINE__ __VA_OPT__(, ) __VA_ARGS__)

namespace {

// A zero-padded field as a terminated string of at most `size` characters.
template <std::size_t N>
void FieldText(const char* field, std::size_t size, char (&out)[N]) {
    const std::size_t length = strnlen(field, size < N - 1 ? size : N - 1);
    std::memcpy(out, field, length);
    out[length] = 0;
}

bool ReadExactly(FileStream& stream, void* buffer, std::uint32_t size) { return stream.Read(buffer, size) == size; }

// One record read with its parent (null for a root) and the children still to read.
struct TreeFrame {
    KNode* node;
    std::uint32_t childrenLeft;
};

}  // namespace

// The tree is read with an explicit stack of open nodes, so that a deeply nested file cannot
// exhaust the call stack; each record is attached as soon as it is read.
int KDB::LoadNodeTree(FileStream& stream, KNode* parent) {
    KDLList stack;
    int result = 0;
    KNode* current = parent;
    std::uint32_t toRead = 1;
    for (;;) {
        if (toRead == 0) {
            auto* frame = static_cast<TreeFrame*>(ListPopBack(stack));
            if (frame == nullptr) break;
            current = frame->node;
            toRead = frame->childrenLeft;
            EngineFree(frame);
            continue;
        }
        --toRead;
        NodeTreeHeader header;
        if (!ReadExactly(stream, &header, kNodeTreeHeaderSize)) {
            KDB_LOG("A node-tree record ends inside its header");
            result = 1;
            break;
        }
        char nodeName[kNodeTreeNameSize + 1];
        FieldText(header.nodeName, kNodeTreeNameSize, nodeName);
        KNode* node = nullptr;
        if ((header.flags & kNodeTreeInstance) != 0) {
            char objectName[2 * kNodeTreeNameSize];
            FieldText(header.moduleName, 2 * kNodeTreeNameSize - 1, objectName);
            KNode* source = FindOrLoadObject(objectName, true);
            if (source == nullptr) {
                KDB_LOG("Failed to get object '%s' ref. by '%s'", objectName, nodeName);
                result = -1;
                break;
            }
            const bool guids = CloneGuidsAssigned();
            const bool prepared = ClonesPrepared();
            SetCloneGuidsAssigned(false);
            SetClonesPrepared(false);
            node = source->Clone(nullptr);
            SetCloneGuidsAssigned(guids);
            SetClonesPrepared(prepared);
            if (node == nullptr) {
                KDB_LOG("Failed to instanciate '%s' from '%s'", nodeName, objectName);
                result = -1;
                break;
            }
        } else {
            char moduleName[kNodeTreeNameSize + 1];
            char className[kNodeTreeNameSize + 1];
            FieldText(header.moduleName, kNodeTreeNameSize, moduleName);
            FieldText(header.className, kNodeTreeNameSize, className);
            if (className[0] == 0) {
                KDB_LOG("Empty class name in kdb file");
                result = 1;
                break;
            }
            Module* module = FindModule(moduleName);
            Interface* made = module != nullptr ? CreateByClassName(module, className, KNode::StaticTypeId()) : nullptr;
            if (made == nullptr) {
                KDB_LOG("Failed to create object '%s::%s'", moduleName, className);
                result = -1;
                break;
            }
            node = static_cast<KNode*>(made);
        }
        if ((flags_ & kKdbSwapHeaderWords) != 0 && node->SavedWord() != 4) {
            const DWORD saved = node->SavedWord();
            node->SetSavedWord(node->UnsavedWord());
            node->SetUnsavedWord(saved);
        }
        node->SetName(nodeName);
        char block[kNodeTreeBlockSize];
        const bool hasParentHeader = (header.flags & kNodeTreeParentHeader) != 0;
        if (((header.flags & kNodeTreeExtraBlock) != 0 && !ReadExactly(stream, block, kNodeTreeBlockSize)) ||
            (hasParentHeader && !ReadExactly(stream, block, kNodeTreeBlockSize))) {
            KDB_LOG("The node-tree record of '%s' ends inside its header blocks", nodeName);
            node->Release();
            result = 1;
            break;
        }
        if (header.dataLength > StreamBytesLeft(stream)) {
            KDB_LOG("The node-tree record of '%s' claims %u bytes of data; fewer are left", nodeName,
                    header.dataLength);
            node->Release();
            result = 1;
            break;
        }
        int loaded = 0;
        if ((header.flags & kNodeTreeInstance) != 0) {
            const DWORD kept = node->Flags() & kNodeTargetOwnFlags;
            loaded = node->KNode::Load(stream);
            node->SetFlags((node->Flags() & ~kNodeTargetOwnFlags) | kept);
        } else {
            loaded = node->Load(stream);
        }
        if (loaded != 0) {
            KDB_LOG("The node '%s' of a node tree does not load", nodeName);
            node->Release();
            result = loaded;
            break;
        }
        if (current != nullptr) {
            if (hasParentHeader) KDB_LOG("KDB::LoadNodeTree child node contained parent header");
            const bool attached = (node->Flags() & kNodeOwnedChild) != 0 ? current->AddChildEx(node, true) != 0
                                                                          : current->AddChild(node) != 0;
            if (!attached) {
                node->Release();
                result = 1;
                break;
            }
        } else if (ListAppend(roots_, node) == nullptr) {
            node->Release();
            result = 1;
            break;
        }
        if (header.childCount != 0) {
            auto* frame = static_cast<TreeFrame*>(EngineAlloc(sizeof(TreeFrame)));
            if (frame == nullptr || ListAppend(stack, frame) == nullptr) {
                EngineFree(frame);
                result = 1;
                break;
            }
            frame->node = current;
            frame->childrenLeft = toRead;
            current = node;
            toRead = header.childCount;
        }
    }
    ListFreeAll(stack);
    return result;
}

namespace {

bool WriteHeader(FileStream& stream, const NodeTreeHeader& header) {
    return stream.Write(&header, kNodeTreeHeaderSize) == kNodeTreeHeaderSize;
}

// The record of one node: header, data, and the data length patched into the header.
int WriteRecord(FileStream& stream, KNode& node, std::uint32_t& childCount) {
    NodeTreeHeader header;
    std::memset(&header, 0, sizeof(header));
    const bool instance = (node.Flags() & kNodeInstance) != 0;
    Module* first = FindModule(nullptr);
    if (node.OwningModule() != nullptr && node.OwningModule() != first)
        std::strncpy(header.moduleName, node.OwningModule()->Name().Text(), kNodeTreeNameSize);
    std::strncpy(header.className, node.GetTypeId()->name, kNodeTreeNameSize);
    std::strncpy(header.nodeName, node.Name(), kNodeTreeNameSize);
    childCount = instance ? node.CountChildrenWithFlags(kNodeNotCloned) : node.ChildCount();
    header.childCount = childCount;
    if (instance) {
        header.flags |= kNodeTreeInstance;
        // The source object's name fills the module and class fields together.
        char sourceName[2 * kNodeTreeNameSize] = {};
        KNode* source = node.SourceNode();
        if (source != nullptr) std::strncpy(sourceName, source->Name(), sizeof(sourceName) - 1);
        std::memcpy(&header, sourceName, sizeof(sourceName));
    }
    const DWORD headerAt = stream.Tell();
    if (!WriteHeader(stream, header)) return 1;
    const DWORD dataAt = stream.Tell();
    const int saved = instance ? node.KNode::Save(stream) : node.Save(stream);
    if (saved != 0) return saved;
    const DWORD end = stream.Tell();
    header.dataLength = end - dataAt;
    stream.Seek(static_cast<LONG>(headerAt), 0);
    if (!WriteHeader(stream, header)) return 1;
    stream.Seek(static_cast<LONG>(end), 0);
    return 0;
}

}  // namespace

// Depth first without recursion: each node's record, then its children in list order (an
// instance's only those marked as not cloned with it).
int SaveNodeTree(FileStream& stream, KNode& node) {
    int result = 0;
    WalkSubtree(node, [&](KNode& current) {
        if (result != 0) return WalkStep::kStop;
        if (&current != &node && current.Parent() != nullptr &&
            (current.Parent()->Flags() & kNodeInstance) != 0 && (current.Flags() & kNodeNotCloned) == 0)
            return WalkStep::kSkip;
        std::uint32_t children = 0;
        result = WriteRecord(stream, current, children);
        return result == 0 ? WalkStep::kDescend : WalkStep::kStop;
    });
    return result;
}
