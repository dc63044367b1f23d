// The text mesh reader: one section at a time, every count checked against the bytes left
// in the file before anything is allocated for it, every index checked against what it
// indexes.
#include "engine/resources/mesh/MeshText.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/text/TextCompare.h"
#include "engine/resources/material/KMaterial.h"
#include "engine/resources/material/MaterialList.h"

#define MESH_LOG(format, ...) LogException(format, "mesh", __LINE__ __VA_OPT__(, ) __VA_ARGS__)

namespace {

constexpr float kTurnsToRadians = 6.2831855f;
constexpr std::size_t kWordSize = 64;
constexpr std::size_t kLineSize = 512;

// The fewest bytes of text each item of a section can take: a count above what the rest of
// the file could hold is refused before anything is allocated for it.
constexpr std::uint64_t kFaceTextBytes = 8;    // "2[0 1]0m"
constexpr std::uint64_t kVertexTextBytes = 6;  // "0 0 0 "
constexpr std::uint64_t kPairTextBytes = 4;    // "0 0 "
constexpr std::uint64_t kBillboardTextBytes = 14;
constexpr std::uint64_t kBindTextBytes = 18;
constexpr std::uint64_t kBoneTextBytes = 40;

template <typename T>
T* AllocateArray(std::uint64_t count) {
    if (count == 0 || count * sizeof(T) > kMaximumEngineAllocation) return nullptr;
    auto* items = static_cast<T*>(EngineAlloc(static_cast<std::size_t>(count * sizeof(T))));
    if (items != nullptr) std::memset(static_cast<void*>(items), 0, static_cast<std::size_t>(count * sizeof(T)));
    return items;
}

template <typename T>
void FreeArray(T*& items) {
    EngineFree(items);
    items = nullptr;
}

class MeshTextReader {
public:
    MeshTextReader(FileStream& stream, const char* fileName, MeshText& out)
        : stream_(stream), fileName_(fileName != nullptr ? fileName : "(mesh)"), out_(out) {}

    bool ReadAll();

private:
    bool Fail(const char* format, ...) __attribute__((format(printf, 2, 3)));
    std::uint64_t Remaining() const {
        const std::uint64_t size = stream_.Size();
        const std::uint64_t at = stream_.Tell();
        return at < size ? size - at : 0;
    }
    // A count of `what` of at least 1 that the rest of the file can hold at `bytesEach`.
    bool ReadCount(std::uint32_t& count, const char* what, std::uint64_t bytesEach);
    bool Expect(char expected);
    void Separator() { stream_.SkipWhitespace(); }
    std::uint32_t ReadHex();
    float ReadFloat() {
        float value = 0.0f;
        stream_.ReadFloat(value);
        return value;
    }
    std::int32_t ReadInt() {
        std::int32_t value = 0;
        stream_.ReadInt(value);
        return value;
    }
    Vector3 ReadVector3() {
        const float x = ReadFloat();
        const float y = ReadFloat();
        return Vector3{x, y, ReadFloat()};
    }
    Quaternion ReadQuaternion() {
        const Vector3 v = ReadVector3();
        return Quaternion{v.x, v.y, v.z, ReadFloat()};
    }
    // The rest of the line, without the blanks around it.
    void ReadRestOfLine(char (&line)[kLineSize]);
    KMaterial* ReadMaterial();
    // The section's own content ended with its "}" and the file did not end inside it.
    bool EndSection(const char* section);

    bool ReadGeometry();
    bool ReadBillboards();
    bool ReadBindInfo();
    bool ReadSkeleton();

    FileStream& stream_;
    const char* fileName_;
    MeshText& out_;
    bool sawSkeleton_ = false;
    // The last material name and what it gave: faces mostly repeat the one before.
    char lastMaterialName_[kLineSize] = {};
    KMaterial* lastMaterial_ = nullptr;
};

bool MeshTextReader::Fail(const char* format, ...) {
    char message[384];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(message, sizeof message, format, arguments);
    va_end(arguments);
    MESH_LOG("%s: %s", fileName_, message);
    return false;
}

bool MeshTextReader::ReadCount(std::uint32_t& count, const char* what, std::uint64_t bytesEach) {
    const std::int32_t value = ReadInt();
    if (value <= 0) return Fail("the %s count %d is not at least 1.", what, static_cast<int>(value));
    if (static_cast<std::uint64_t>(value) > Remaining() / bytesEach)
        return Fail("the %s count %d is more than the rest of the file can hold.", what, static_cast<int>(value));
    count = static_cast<std::uint32_t>(value);
    return true;
}

bool MeshTextReader::Expect(char expected) {
    stream_.SkipToToken();
    char c = 0;
    return stream_.Read(&c, 1) == 1 && c == expected;
}

std::uint32_t MeshTextReader::ReadHex() {
    const DWORD flags = stream_.Flags();
    stream_.SetFlags(flags | kStreamHexIntegers);
    std::uint32_t value = 0;
    stream_.ReadUInt(value);
    stream_.SetFlags((stream_.Flags() & ~kStreamHexIntegers) | (flags & kStreamHexIntegers));
    return value;
}

void MeshTextReader::ReadRestOfLine(char (&line)[kLineSize]) {
    if (stream_.ReadLine(line, sizeof line) == 0) line[0] = 0;
    char* start = line;
    while (*start == ' ' || *start == '\t') ++start;
    std::size_t length = std::strlen(start);
    while (length > 0 && (start[length - 1] == ' ' || start[length - 1] == '\t')) --length;
    std::memmove(line, start, length);
    line[length] = 0;
}

KMaterial* MeshTextReader::ReadMaterial() {
    char name[kLineSize];
    ReadRestOfLine(name);
    if (lastMaterial_ != nullptr && std::strcmp(name, lastMaterialName_) == 0) return lastMaterial_;
    KMaterial* material = TextMeshMaterial(name);
    if (material == nullptr) {
        Fail("the material '%s' cannot be had.", name);
        return nullptr;
    }
    std::memcpy(lastMaterialName_, name, sizeof name);
    lastMaterial_ = material;
    if ((material->flags & kMaterialEmissive) != 0) out_.materialMarks |= kGeometryEmissiveFaces;
    if ((material->flags & kMaterialTransparent) != 0) out_.materialMarks |= kGeometryTransparentFaces;
    return material;
}

bool MeshTextReader::EndSection(const char* section) {
    if (!Expect('}') || stream_.AtEnd()) return Fail("the %s section ends before its '}'.", section);
    return true;
}

bool MeshTextReader::ReadGeometry() {
    // A later Geometry section replaces an earlier one.
    FreeArray(out_.faces);
    FreeArray(out_.faceMaterials);
    FreeArray(out_.positions);
    FreeArray(out_.texCoords);
    FreeArray(out_.normals);
    FreeArray(out_.colours);
    FreeArray(out_.bindRecords);
    out_.faceCount = out_.vertexCount = 0;

    const float scale = ReadFloat();
    std::uint32_t faceCount = 0;
    std::uint32_t vertexCount = 0;
    if (!ReadCount(faceCount, "face", kFaceTextBytes) || !ReadCount(vertexCount, "vertex", kVertexTextBytes))
        return false;
    const DWORD format = ReadHex();
    if ((format & kMeshTextUnsupported) != 0) return Fail("vertex format 0x2 is not supported.");
    // Each vertex takes at least one more pair of numbers for every array beyond positions.
    std::uint64_t vertexBytes = kVertexTextBytes;
    if ((format & kMeshTextTexCoords) != 0) vertexBytes += kPairTextBytes;
    if ((format & kMeshTextNormals) != 0) vertexBytes += kVertexTextBytes;
    if ((format & kMeshTextColours) != 0) vertexBytes += 2;
    if (std::uint64_t{faceCount} * kFaceTextBytes + std::uint64_t{vertexCount} * vertexBytes > Remaining())
        return Fail("%u faces and %u vertices are more than the rest of the file can hold.",
                    static_cast<unsigned>(faceCount), static_cast<unsigned>(vertexCount));
    out_.faces = AllocateArray<MeshFace>(faceCount);
    out_.faceMaterials = AllocateArray<KMaterial*>(faceCount);
    out_.positions = AllocateArray<Vector3>(vertexCount);
    if ((format & kMeshTextTexCoords) != 0) out_.texCoords = AllocateArray<Vector2>(vertexCount);
    if ((format & kMeshTextNormals) != 0) out_.normals = AllocateArray<Vector3>(vertexCount);
    if ((format & kMeshTextColours) != 0) out_.colours = AllocateArray<std::uint32_t>(vertexCount);
    if (out_.faces == nullptr || out_.faceMaterials == nullptr || out_.positions == nullptr ||
        ((format & kMeshTextTexCoords) != 0 && out_.texCoords == nullptr) ||
        ((format & kMeshTextNormals) != 0 && out_.normals == nullptr) ||
        ((format & kMeshTextColours) != 0 && out_.colours == nullptr))
        return Fail("there is no memory for %u faces and %u vertices.", static_cast<unsigned>(faceCount),
                    static_cast<unsigned>(vertexCount));
    out_.faceCount = faceCount;
    out_.vertexCount = vertexCount;

    for (std::uint32_t f = 0; f < faceCount; ++f) {
        MeshFace& face = out_.faces[f];
        const std::int32_t corners = ReadInt();
        if (corners < 2 || corners > static_cast<std::int32_t>(kMaxFaceCorners))
            return Fail("face %u has %d corners; a face has 2 to 8.", static_cast<unsigned>(f),
                        static_cast<int>(corners));
        face.cornerCount = static_cast<std::uint32_t>(corners);
        Separator();
        for (std::uint32_t c = 0; c < face.cornerCount; ++c) {
            const std::int32_t index = ReadInt();
            if (index < 0 || static_cast<std::uint32_t>(index) >= vertexCount)
                return Fail("corner %u of face %u names vertex %d of %u.", static_cast<unsigned>(c),
                            static_cast<unsigned>(f), static_cast<int>(index), static_cast<unsigned>(vertexCount));
            face.corners[c] = static_cast<std::uint32_t>(index);
        }
        Separator();
        face.flags = ReadHex();
        if ((face.flags & kFaceFileMark) != 0) face.flags |= kFaceMarked;
        out_.faceMaterials[f] = ReadMaterial();
        if (out_.faceMaterials[f] == nullptr) return false;
        if (stream_.AtEnd()) return Fail("the file ends inside face %u.", static_cast<unsigned>(f));
    }
    for (std::uint32_t v = 0; v < vertexCount; ++v) {
        Vector3 position = ReadVector3();
        out_.positions[v] = Vector3{position.x * scale, position.y * scale, position.z * scale};
    }
    if (out_.texCoords != nullptr)
        for (std::uint32_t v = 0; v < vertexCount; ++v) {
            const float u = ReadFloat();
            out_.texCoords[v] = Vector2{u, ReadFloat()};
        }
    if (out_.normals != nullptr)
        for (std::uint32_t v = 0; v < vertexCount; ++v) out_.normals[v] = ReadVector3();
    if (out_.colours != nullptr)
        for (std::uint32_t v = 0; v < vertexCount; ++v) out_.colours[v] = ReadHex();
    return EndSection("Geometry");
}

bool MeshTextReader::ReadBillboards() {
    FreeArray(out_.billboards);
    out_.billboardCount = 0;
    const float scale = ReadFloat();
    std::uint32_t count = 0;
    if (!ReadCount(count, "billboard", kBillboardTextBytes)) return false;
    ReadHex();  // the flags mean nothing to the loaders
    out_.billboards = AllocateArray<MeshBillboard>(count);
    if (out_.billboards == nullptr) return Fail("there is no memory for %u billboards.", static_cast<unsigned>(count));
    out_.billboardCount = count;
    for (std::uint32_t b = 0; b < count; ++b) {
        MeshBillboard& billboard = out_.billboards[b];
        const Vector3 position = ReadVector3();
        billboard.position = Vector3{position.x * scale, position.y * scale, position.z * scale};
        billboard.width = ReadFloat() * scale;
        billboard.height = ReadFloat() * scale;
        billboard.rotation = ReadFloat() * kTurnsToRadians;
        billboard.material = ReadMaterial();
        if (billboard.material == nullptr) return false;
    }
    return EndSection("Billboards");
}

bool MeshTextReader::ReadBindInfo() {
    if (out_.vertexCount == 0) return Fail("BindInfo comes before any Geometry.");
    if (std::uint64_t{out_.vertexCount} * kBindTextBytes > Remaining())
        return Fail("BindInfo for %u vertices is more than the rest of the file can hold.",
                    static_cast<unsigned>(out_.vertexCount));
    FreeArray(out_.bindRecords);
    out_.bindRecords = AllocateArray<MeshBindRecord>(out_.vertexCount);
    if (out_.bindRecords == nullptr) return Fail("there is no memory for the bind records.");
    for (std::uint32_t v = 0; v < out_.vertexCount; ++v) {
        MeshBindRecord& record = out_.bindRecords[v];
        record.influenceCount = ReadInt();
        if (record.influenceCount < 0 || record.influenceCount > kMaxBoneInfluences)
            return Fail("vertex %u has %d bone influences; a vertex has 0 to 4.", static_cast<unsigned>(v),
                        static_cast<int>(record.influenceCount));
        for (int i = 0; i < kMaxBoneInfluences; ++i) {
            record.weights[i] = ReadFloat();
            record.bones[i] = ReadInt();
        }
    }
    return EndSection("BindInfo");
}

bool MeshTextReader::ReadSkeleton() {
    FreeArray(out_.bones);
    FreeArray(out_.childIndices);
    out_.boneCount = 0;
    std::uint32_t count = 0;
    if (!ReadCount(count, "bone", kBoneTextBytes)) return false;
    out_.bones = AllocateArray<MeshBone>(count);
    // A single bone has no child indices; the array still gets one slot.
    out_.childIndices = AllocateArray<std::int32_t>(count);
    if (out_.bones == nullptr || out_.childIndices == nullptr)
        return Fail("there is no memory for %u bones.", static_cast<unsigned>(count));
    out_.boneCount = count;
    for (std::uint32_t b = 0; b < count; ++b) {
        MeshBone& bone = out_.bones[b];
        Separator();
        bone.position = ReadVector3();
        Separator();
        Separator();
        bone.rotation = ReadQuaternion();
        Separator();
        Separator();
        bone.extra = ReadVector3();
        Separator();
        Separator();
        bone.localPosition = ReadVector3();
        Separator();
        Separator();
        bone.localRotation = ReadQuaternion();
        Separator();
        bone.childCount = ReadInt();
        bone.word = ReadInt();
        char name[kLineSize];
        ReadRestOfLine(name);
        std::size_t length = strnlen(name, kBoneNameCapacity - 1);
        std::memcpy(bone.name, name, length);
        bone.name[length] = 0;
        if (stream_.AtEnd()) return Fail("the file ends inside bone %u.", static_cast<unsigned>(b));
    }
    for (std::uint32_t i = 0; i + 1 < count; ++i) {
        const std::int32_t child = ReadInt();
        if (child < 0 || static_cast<std::uint32_t>(child) >= count)
            return Fail("child index %u names bone %d of %u.", static_cast<unsigned>(i), static_cast<int>(child),
                        static_cast<unsigned>(count));
        out_.childIndices[i] = child;
    }
    sawSkeleton_ = true;
    return EndSection("Skeleton");
}

bool MeshTextReader::ReadAll() {
    char word[kWordSize];
    for (;;) {
        stream_.ReadWord(word, sizeof word);
        if (word[0] == 0) break;  // the end of the data at the start of a section
        if (CompareNoCase(word, "Portals") == 0) return Fail("it has a Portals section, which nothing reads.");
        if (!Expect('{')) return Fail("the section word '%s' is not followed by '{'.", word);
        bool read = true;
        if (CompareNoCase(word, "Geometry") == 0)
            read = ReadGeometry();
        else if (CompareNoCase(word, "Billboards") == 0)
            read = ReadBillboards();
        else if (CompareNoCase(word, "BindInfo") == 0)
            read = ReadBindInfo();
        else if (CompareNoCase(word, "Skeleton") == 0)
            read = ReadSkeleton();
        else
            read = EndSection(word);
        if (!read) return false;
    }
    if (sawSkeleton_ && out_.vertexCount > 0) {
        out_.sourceVertices = AllocateArray<std::uint32_t>(out_.vertexCount);
        if (out_.sourceVertices == nullptr) return Fail("there is no memory for the source-vertex numbers.");
        for (std::uint32_t v = 0; v < out_.vertexCount; ++v) out_.sourceVertices[v] = v;
    }
    return true;
}

}  // namespace

KMaterial* TextMeshMaterial(const char* name) {
    if (MaterialList* list = CurrentMaterialList())
        if (KMaterial* material = list->FindOrLoadNamed(name)) return material;
    return KMaterial::FindOrCreate(name);
}

int ReadMeshText(FileStream& stream, const char* fileName, MeshText& out) {
    FreeMeshText(out);
    MeshTextReader reader(stream, fileName, out);
    if (reader.ReadAll()) return 1;
    FreeMeshText(out);
    return 0;
}

void FreeMeshText(MeshText& text) {
    FreeArray(text.faces);
    FreeArray(text.faceMaterials);
    FreeArray(text.positions);
    FreeArray(text.texCoords);
    FreeArray(text.normals);
    FreeArray(text.colours);
    FreeArray(text.sourceVertices);
    FreeArray(text.billboards);
    FreeArray(text.bindRecords);
    FreeArray(text.bones);
    FreeArray(text.childIndices);
    text = MeshText{};
}
