// KDB: the object database. It loads scene objects by name from "objects/" (a ".knode" scene
// file, a ".kgc" geometry cache, a ".ksk" node-tree cache, a ".fmesh" text mesh or a ".skel"
// text skeleton, in that order; the texts write their caches beside them), keeps each loaded
// object under its name, owns the material list meshes draw with, keeps the nodes updated
// every frame and hands device loss and restore to every object. One database is current at
// a time.
#pragma once

#include <cstdint>

#include "engine/core/containers/KDLList.h"
#include "engine/resources/gamemat/GameMaterialTable.h"
#include "engine/resources/material/MaterialList.h"
#include "platform/base/Types.h"

class FileStream;
class KMaterial;
class KNode;
class Object;
class TagFile;

// Database flags: exchange the last two global header words of nodes read from node trees
// whose last word is not 4.
constexpr DWORD kKdbSwapHeaderWords = 0x1;

// The node-tree record of ".ksk" files.
constexpr std::uint32_t kNodeTreeHeaderSize = 60;
constexpr std::uint32_t kNodeTreeNameSize = 16;
constexpr std::uint32_t kNodeTreeBlockSize = 32;
constexpr DWORD kNodeTreeExtraBlock = 0x1;
constexpr DWORD kNodeTreeParentHeader = 0x2;
constexpr DWORD kNodeTreeInstance = 0x4;

struct NodeTreeHeader {
    char moduleName[kNodeTreeNameSize];  // with kNodeTreeInstance: bytes 0-31 the source object
    char className[kNodeTreeNameSize];
    char nodeName[kNodeTreeNameSize];
    std::uint32_t childCount;
    DWORD flags;
    std::uint32_t dataLength;
};
static_assert(sizeof(NodeTreeHeader) == kNodeTreeHeaderSize, "a node-tree header is kept as it is stored");

class KDB {
public:
    // Zero flags and empty lists.
    KDB() = default;
    // Clear, and no longer current.
    ~KDB();
    KDB(const KDB&) = delete;
    KDB& operator=(const KDB&) = delete;

    // The object whose root name equals `name` (exactly, up to 32 characters); when absent
    // and not `lookupOnly`, loaded, named and prepared. The database owns it.
    KNode* FindOrLoadObject(const char* name, bool lookupOnly = false);
    // Loads the named object and adds it to the object list; null on failure.
    KNode* LoadObject(const char* name);
    // One node-tree record and its children below `parent` (the root list without one).
    // 0 on success, else the failing step's code (1 for an empty class name, -1 for an object
    // that cannot be made or referenced).
    int LoadNodeTree(FileStream& stream, KNode* parent);
    // The object a parsed ".knode" scene file describes (not listed); null when its root
    // block gives nothing.
    KNode* BuildSceneTree(TagFile& root);
    // The material list's material (loaded when absent), else "default"; null without both.
    KMaterial* FindOrLoadMaterial(const char* name);

    // The nodes updated every frame (node flag bit 30 marks them; the animation players
    // share the list).
    void AddToUpdateList(KNode& node);
    bool RemoveFromUpdateList(KNode& node);
    // Each node's animation update with the step; 0 keeps it, others drop it. Nothing for 0.
    void UpdateObjects(float timeStep);
    int ReleaseDeviceBuffers();
    int RestoreDeviceBuffers();

    void RegisterObject(Object& object);
    bool UnregisterObject(Object& object);

    // Releases every object, the materials not kept, the update list (nodes untouched).
    void Clear();

    DWORD Flags() const { return flags_; }
    void SetFlags(DWORD flags) { flags_ = flags; }
    KDLList& Objects() { return objects_; }
    KDLList& Roots() { return roots_; }
    KDLList& Meshes() { return meshes_; }
    KDLList& Reserved() { return reserved_; }
    MaterialList& Materials() { return materials_; }
    // The game materials that ".kml" files name; looked up while the database is current.
    GameMaterialTable& GameMaterials() { return gameMaterials_; }

private:
    // One object from its caches or texts; null when none gives it.
    KNode* LoadMeshFiles(const char* stem, const char* nodeName, bool listed);
    KNode* LoadGeometryCache(const char* stem);
    KNode* LoadSkeletonCache(const char* stem);
    KNode* BuildSceneNode(TagFile& block);

    DWORD flags_ = 0;
    KDLList reserved_;
    KDLList objects_;
    KDLList roots_;
    KDLList meshes_;
    MaterialList materials_;
    GameMaterialTable gameMaterials_;
};

// The current database (none at start); making one current makes its material list the one
// mesh loaders use, its game material table the one materials look their names up in, and
// its mesh list the one mesh nodes join.
KDB* CurrentKdb();
void SetCurrentKdb(KDB* database);

// Writes the node and its children as node-tree records; 0, else the failing Save's code.
int SaveNodeTree(FileStream& stream, KNode& node);

// One Object with the geometry of every mesh node below `node`, each moved by its world
// matrix, added to the current database; `node` itself when it has none below it.
KNode* MergeMeshObjects(KNode& node);

// Text loading with caches: the ".fmesh" (an Object) or ".skel" (a SkelObject) file at the
// path, given a fresh identifier, its ".kgc" / ".ksk" cache written beside it. Null when
// the file does not open or read.
KNode* LoadTextObject(const char* path, const char* name);
