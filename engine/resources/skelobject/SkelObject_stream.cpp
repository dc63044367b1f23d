// The skinned object's saved form (the header words, the geometries and their skin
// records) and its building from a text skeleton.
#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/core/node/StreamFields.h"
#include "engine/core/math/QuaternionMath.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/resources/mesh/GeometryCache.h"
#include "engine/resources/mesh/MeshBuild.h"
#include "engine/resources/mesh/MeshText.h"
#include "engine/resources/meshnode/Bone.h"
#include "engine/resources/skelobject/SkelObject.h"

#define SKEL_LOG(format, ...) LogException(format, "skelobject", __LINE__ __VA_OPT__(, ) __VA_ARGS__)

namespace {

constexpr std::uint32_t kSkelHeaderWords = 5;

// The strongest influence of each vertex, the one bone the matrix palette moves it by.
std::uint8_t* StrongestBones(const SkinRecord* skin, std::uint32_t vertexCount) {
    auto* bones = static_cast<std::uint8_t*>(EngineAlloc(vertexCount != 0 ? vertexCount : 1));
    if (bones == nullptr) return nullptr;
    for (std::uint32_t v = 0; v < vertexCount; ++v) {
        const SkinRecord& record = skin[v];
        std::uint32_t best = 0;
        for (std::uint32_t i = 1; i < record.influenceCount && i < 4; ++i)
            if (record.weights[i] > record.weights[best]) best = i;
        bones[v] = static_cast<std::uint8_t>(record.influenceCount != 0 ? record.bones[best] : 0);
    }
    return bones;
}

}  // namespace

// Every bone index of the skin within the bones; the strongest bones for the palette.
static bool CheckSkin(const SkinRecord* skin, std::uint32_t vertexCount, std::uint32_t boneCount, std::uint32_t g) {
    for (std::uint32_t v = 0; v < vertexCount; ++v) {
        const SkinRecord& record = skin[v];
        if (record.influenceCount > 4) {
            SKEL_LOG("Skin record %u of geometry %u has %u influences; a vertex has at most 4", v, g,
                     record.influenceCount);
            return false;
        }
        for (std::uint32_t i = 0; i < record.influenceCount; ++i)
            if (record.bones[i] >= boneCount) {
                SKEL_LOG("Skin record %u of geometry %u names bone %u of %u", v, g, record.bones[i], boneCount);
                return false;
            }
    }
    return true;
}

int SkelObject::Load(FileStream& stream) {
    if (KNode::Load(stream) != 0) return 1;
    DWORD header[kSkelHeaderWords];
    for (DWORD& word : header)
        if (!StreamRead4(stream, &word)) return 1;
    if (header[1] > kMaxSkelBones) {
        SKEL_LOG("A skinned object of %u bones is refused; it has at most %u", header[1], kMaxSkelBones);
        return 1;
    }
    if (header[2] == 0 || header[2] > kMaxSkelGeometries) {
        SKEL_LOG("A skinned object of %u geometries is refused; it has 1 to %u", header[2], kMaxSkelGeometries);
        return 1;
    }
    options_ = header[0];
    boneCount_ = header[1];
    geometryCount_ = header[2];
    savedWords_[0] = header[3];
    savedWords_[1] = header[4];
    for (std::uint32_t g = 0; g < geometryCount_; ++g) {
        if (ReadGeometry(geometries_[g], stream) != 0) return 1;
        geometries_[g].flags |= kGeometrySkinned;
    }
    FreeSkins();
    for (std::uint32_t g = 0; g < geometryCount_; ++g) {
        const std::uint32_t vertices = GetVertexCount(geometries_[g].list);
        const std::uint64_t bytes = std::uint64_t{vertices} * kSkinRecordSize;
        if (bytes > StreamBytesLeft(stream)) {
            SKEL_LOG("The skin records of geometry %u (%u vertices) are more than the file holds", g, vertices);
            return 1;
        }
        if (SkipSkinData()) {
            stream.Seek(static_cast<LONG>(bytes), 1);
            skinSkipped_ = true;
            continue;
        }
        skins_[g] = static_cast<SkinRecord*>(EngineAlloc(bytes != 0 ? bytes : 1));
        if (skins_[g] == nullptr) return 1;
        if (stream.Read(skins_[g], static_cast<DWORD>(bytes)) != bytes) return 1;
        if (!CheckSkin(skins_[g], vertices, boneCount_, g)) return 1;
        EngineFree(paletteBones_[g]);
        paletteBones_[g] = StrongestBones(skins_[g], vertices);
        if (paletteBones_[g] == nullptr) return 1;
    }
    return 0;
}

int SkelObject::Save(FileStream& stream) {
    if (KNode::Save(stream) != 0) return 1;
    const DWORD header[kSkelHeaderWords] = {options_ & ~kSkelMemoryOnly, boneCount_, geometryCount_, savedWords_[0],
                                            savedWords_[1]};
    for (DWORD word : header)
        if (!StreamWrite4(stream, word)) return 1;
    for (std::uint32_t g = 0; g < geometryCount_; ++g)
        if (WriteGeometry(geometries_[g], stream) != 0) return 1;
    for (std::uint32_t g = 0; g < geometryCount_; ++g) {
        const std::uint32_t vertices = GetVertexCount(geometries_[g].list);
        if (vertices == 0) continue;
        if (skins_[g] == nullptr) return 1;
        const std::uint64_t bytes = std::uint64_t{vertices} * kSkinRecordSize;
        if (stream.Write(skins_[g], static_cast<DWORD>(bytes)) != bytes) return 1;
    }
    return 0;
}

// [SECTION] Building from text.

namespace {

// Each bone but the root is named exactly once as a child, and the child-count sum matches:
// the hierarchy is a tree under bone 0.
bool CheckHierarchy(const MeshText& text) {
    std::uint64_t children = 0;
    for (std::uint32_t b = 0; b < text.boneCount; ++b) {
        if (text.bones[b].childCount < 0) {
            SKEL_LOG("Bone %u has %d children", b, static_cast<int>(text.bones[b].childCount));
            return false;
        }
        children += static_cast<std::uint32_t>(text.bones[b].childCount);
    }
    if (children != std::uint64_t{text.boneCount} - 1) {
        SKEL_LOG("The bones name %llu children; a skeleton of %u bones has %u", static_cast<unsigned long long>(children),
                 text.boneCount, text.boneCount - 1);
        return false;
    }
    bool named[kMaxSkelBones] = {};
    named[0] = true;
    for (std::uint32_t i = 0; i + 1 < text.boneCount; ++i) {
        const std::int32_t child = text.childIndices[i];
        if (child < 0 || static_cast<std::uint32_t>(child) >= text.boneCount || named[child]) {
            SKEL_LOG("Child index %u names bone %d, which is outside the %u bones or already placed", i,
                     static_cast<int>(child), text.boneCount);
            return false;
        }
        named[child] = true;
    }
    // Every bone's chain of parents reaches the root: no loop hangs beside the tree.
    std::uint32_t parent[kMaxSkelBones] = {};
    std::uint32_t next = 0;
    for (std::uint32_t b = 0; b < text.boneCount; ++b)
        for (std::int32_t c = 0; c < text.bones[b].childCount; ++c) parent[text.childIndices[next++]] = b;
    for (std::uint32_t b = 1; b < text.boneCount; ++b) {
        std::uint32_t at = b;
        for (std::uint32_t steps = 0; at != 0 && steps < text.boneCount; ++steps) at = parent[at];
        if (at != 0) {
            SKEL_LOG("Bone %u is in a loop of bones that does not reach the root", b);
            return false;
        }
    }
    return true;
}

}  // namespace

bool SkelObject::BuildFromText(const MeshText& text, const char* name) {
    if (text.boneCount == 0 || text.bones == nullptr) {
        SKEL_LOG("The skeleton '%s' has no bones", name != nullptr ? name : "");
        return false;
    }
    if (text.boneCount > kMaxSkelBones) {
        SKEL_LOG("The skeleton '%s' has %u bones; a skinned object has at most %u", name != nullptr ? name : "",
                 text.boneCount, kMaxSkelBones);
        return false;
    }
    if (!CheckHierarchy(text)) return false;
    if (text.bindRecords == nullptr) {
        SKEL_LOG("The skeleton '%s' has no BindInfo", name != nullptr ? name : "");
        return false;
    }
    for (std::uint32_t v = 0; v < text.vertexCount; ++v) {
        const MeshBindRecord& record = text.bindRecords[v];
        for (std::int32_t i = 0; i < record.influenceCount; ++i)
            if (record.bones[i] < 0 || static_cast<std::uint32_t>(record.bones[i]) >= text.boneCount) {
                SKEL_LOG("Vertex %u of '%s' is bound to bone %d of %u", v, name != nullptr ? name : "",
                         static_cast<int>(record.bones[i]), text.boneCount);
                return false;
            }
    }

    Geometry& geometry = geometries_[0];
    if (BuildGeometryFromText(geometry, text) == 0) return false;
    geometry.flags |= kGeometrySkinned | text.materialMarks;
    geometryCount_ = 1;
    const std::uint32_t vertices = GetVertexCount(geometry.list);
    FreeSkins();
    skins_[0] = static_cast<SkinRecord*>(EngineAlloc(std::uint64_t{vertices} * kSkinRecordSize + 1));
    if (skins_[0] == nullptr) return false;
    for (std::uint32_t v = 0; v < vertices; ++v) {
        const Vector3 position = GetVertexPosition(geometry.list, v);
        std::uint32_t source = 0;
        while (source < text.vertexCount && std::memcmp(&text.positions[source], &position, sizeof(Vector3)) != 0)
            ++source;
        SkinRecord& skin = skins_[0][v];
        std::memset(&skin, 0, sizeof(skin));
        if (source == text.vertexCount) continue;
        const MeshBindRecord& record = text.bindRecords[source];
        skin.influenceCount = static_cast<std::uint32_t>(record.influenceCount);
        for (int i = 0; i < kMaxBoneInfluences; ++i) {
            skin.bones[i] = static_cast<std::uint16_t>(i < record.influenceCount ? record.bones[i] : 0);
            skin.weights[i] = i < record.influenceCount ? record.weights[i] : 0.0f;
        }
    }
    EngineFree(paletteBones_[0]);
    paletteBones_[0] = StrongestBones(skins_[0], vertices);
    if (paletteBones_[0] == nullptr) return false;
    SetName(name);

    // The bones, in order, then the hierarchy from the child-index list.
    boneCount_ = text.boneCount;
    Bone* made[kMaxSkelBones] = {};
    for (std::uint32_t b = 0; b < boneCount_; ++b) {
        const MeshBone& source = text.bones[b];
        Bone* bone = new Bone();
        if (bone == nullptr) {
            for (std::uint32_t i = 0; i < b; ++i) made[i]->Release();
            return false;
        }
        made[b] = bone;
        bone->SetFlagBits(kNodeOwnedChild, true);
        bone->SetFlagBits(kNodeInheritTransform, false);
        bone->Bounds().radius = 0.1f;
        bone->SetWord(0, 1);
        bone->SetWord(1, b);
        bone->SetName(source.name);
        bone->Bind().rotation = source.rotation;
        bone->Bind().position = source.position;
        bone->ExtraData().direction = source.extra;
        bone->Transform().rotation = source.localRotation;
        bone->Transform().position = source.localPosition;
        bone->Transform().flags |= kTransformPositionChanged | kTransformRotationOnly;
        BuildTransform(bone->Bind());
    }
    std::uint32_t next = 0;
    for (std::uint32_t b = 0; b < boneCount_; ++b)
        for (std::int32_t c = 0; c < text.bones[b].childCount; ++c) {
            Bone* child = made[text.childIndices[next++]];
            child->SetFlagBits(kNodeInheritTransform, true);
            made[b]->AddChildEx(child, true);
        }
    AddChildEx(made[0], true);
    made[0]->SetFlagBits(kNodeInheritTransform, true);
    Transform().position = Vector3{0, -5.5f, 0};
    Transform().flags |= kTransformPositionChanged;
    return Prepare(nullptr) == 0;
}
