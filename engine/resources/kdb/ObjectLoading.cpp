// Loading objects by name: the scene file, the two caches and the two texts, in that order;
// a text writes its cache beside it.
#include <cstring>
#include <initializer_list>

#include "engine/core/files/FileStream.h"
#include "engine/core/node/StreamFields.h"
#include "engine/core/files/TagFile.h"
#include "engine/core/math/Random.h"
#include "engine/core/text/EngineString.h"
#include "engine/core/text/TextCompare.h"
#include "engine/resources/kdb/KDB.h"
#include "engine/resources/mesh/GeometryCache.h"
#include "engine/resources/mesh/MeshBuild.h"
#include "engine/resources/mesh/MeshFile.h"
#include "engine/resources/mesh/MeshText.h"
#include "engine/resources/meshnode/MeshObject.h"
#include "engine/resources/skelobject/SkelObject.h"

namespace {

// The cache path of a text path: "fmesh" becomes "kgc", "skel" becomes "ksk" (any case);
// empty for any other ending.
EngineString CachePathFor(const char* path) {
    const std::size_t length = std::strlen(path);
    if (length >= 5 && CompareNoCase(path + length - 5, "fmesh") == 0)
        return EngineString::FromCharsN(path, static_cast<int>(length - 5)).Concat("kgc");
    if (length >= 4 && CompareNoCase(path + length - 4, "skel") == 0)
        return EngineString::FromCharsN(path, static_cast<int>(length - 4)).Concat("ksk");
    return EngineString();
}

bool EndsWithNoCase(const char* path, const char* ending) {
    const std::size_t length = std::strlen(path);
    const std::size_t tail = std::strlen(ending);
    return length >= tail && CompareNoCase(path + length - tail, ending) == 0;
}

}  // namespace

KNode* LoadTextObject(const char* path, const char* name) {
    if (path == nullptr) return nullptr;
    FileStream stream;
    if (stream.Open(path, kStreamText | kStreamReadWhole) == 0) return nullptr;
    MeshText text;
    if (ReadMeshText(stream, path, text) == 0) return nullptr;
    stream.Close();
    KNode* node = nullptr;
    Geometry* geometry = nullptr;
    if (EndsWithNoCase(path, ".skel")) {
        auto* object = new SkelObject();
        if (object != nullptr && !object->BuildFromText(text, name)) {
            object->Release();
            object = nullptr;
        }
        node = object;
        if (object != nullptr) geometry = &object->GetGeometry(0);
    } else {
        auto* object = new Object();
        if (object != nullptr) {
            object->SetGeometryKind(kGeometrySubMeshList);
            if (BuildGeometryFromText(object->GetGeometry(), text) == 0) {
                object->Release();
                object = nullptr;
            } else {
                object->SetName(name);
                object->ComputeBounds();
                geometry = &object->GetGeometry();
            }
        }
        node = object;
    }
    FreeMeshText(text);
    if (node == nullptr) return nullptr;
    geometry->identifier = NextRandom();
    geometry->flags |= kGeometryIdentifier;

    // The cache is best effort: one that cannot be written is skipped, one cut short emptied.
    const EngineString cachePath = CachePathFor(path);
    if (cachePath.Length() == 0) return node;
    FileStream cache;
    if (cache.Open(cachePath.Text(), kStreamWrite | kStreamBinary) == 0) return node;
    const bool written = node->IsKindOf(SkelObject::StaticTypeId()) ? SaveNodeTree(cache, *node) == 0
                                                                     : WriteGeometry(*geometry, cache) == 0;
    cache.Close();
    if (!written) cache.Open(cachePath.Text(), kStreamWrite | kStreamBinary);
    return node;
}

KNode* KDB::LoadGeometryCache(const char* stem) {
    const EngineString path = EngineString::Format("objects/%s.kgc", stem);
    FileStream stream;
    if (stream.Open(path.Text(), kStreamBinary | kStreamReadWhole) == 0) return nullptr;
    auto* object = new Object();
    if (object == nullptr) return nullptr;
    object->SetGeometryKind(kGeometrySubMeshList);
    if (ReadGeometry(object->GetGeometry(), stream) != 0) {
        object->Release();
        return nullptr;
    }
    object->ComputeBounds();
    return object;
}

KNode* KDB::LoadSkeletonCache(const char* stem) {
    const EngineString path = EngineString::Format("objects/%s.ksk", stem);
    FileStream stream;
    if (stream.Open(path.Text(), kStreamBinary | kStreamReadWhole) == 0) return nullptr;
    while (!stream.AtEnd() && StreamBytesLeft(stream) > 0)
        if (LoadNodeTree(stream, nullptr) != 0) {
            while (roots_.head != nullptr) static_cast<KNode*>(ListUnlink(roots_, roots_.head))->Release();
            return nullptr;
        }
    if (roots_.tail == nullptr) return nullptr;
    auto* node = static_cast<KNode*>(ListPopBack(roots_));
    if (node->IsKindOf(Object::StaticTypeId()) &&
        static_cast<Object*>(node)->GeometryKind() == kGeometrySubMeshList)
        static_cast<Object*>(node)->ComputeBounds();
    return node;
}

KNode* KDB::LoadMeshFiles(const char* stem, const char* nodeName, bool listed) {
    KNode* node = LoadGeometryCache(stem);
    if (node == nullptr) node = LoadSkeletonCache(stem);
    if (node != nullptr) {
        node->SetName(nodeName);
        // A listed node is held twice: by the list and by the parent it is built into.
        if (listed) {
            if (ListAppend(objects_, node) == nullptr) {
                node->Release();
                return nullptr;
            }
            node->AddRef();
        }
        return node;
    }
    for (const char* extension : {"fmesh", "skel"}) {
        const EngineString path = EngineString::Format("objects/%s.%s", stem, extension);
        node = LoadTextObject(path.Text(), nodeName);
        if (node != nullptr) return node;
    }
    return nullptr;
}

KNode* KDB::LoadObject(const char* name) {
    if (name == nullptr) return nullptr;
    KNode* node = nullptr;
    const EngineString scenePath = EngineString::Format("objects/%s.knode", name);
    TagFile scene;
    if (scene.Load(scenePath.Text(), 0) == 0) {
        node = BuildSceneTree(scene);
        if (node == nullptr) return nullptr;
    } else {
        node = LoadMeshFiles(name, name, false);
        if (node == nullptr) return nullptr;
    }
    if (ListAppend(objects_, node) == nullptr) {
        node->Release();
        return nullptr;
    }
    return node;
}
