// Computing a track's frame tables: for each step of the path the faces seen from this
// frame's camera and the next one's, appended to each strip's face order so that every frame
// draws one contiguous range of it.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "engine/core/files/FileStream.h"
#include "engine/core/math/PlaneMath.h"
#include "engine/resources/collision/FaceGather.h"
#include "engine/resources/meshnode/Track.h"

namespace {

constexpr std::size_t kCachePathCapacity = 160;

// A gathered face and its depth: the squared distance of its centre from the camera.
struct DepthFace {
    std::uint32_t face;
    float depth;
};

float FaceDepth(const MeshFace& face, const Vector3* positions, const Vector3& reference) {
    Vector3 centre{0, 0, 0};
    const std::uint32_t corners = face.cornerCount;
    for (std::uint32_t i = 0; i < corners; ++i) {
        centre.x += positions[face.corners[i]].x;
        centre.y += positions[face.corners[i]].y;
        centre.z += positions[face.corners[i]].z;
    }
    const float scale = corners > 0 ? 1.0f / static_cast<float>(corners) : 0.0f;
    const float dx = centre.x * scale - reference.x;
    const float dy = centre.y * scale - reference.y;
    const float dz = centre.z * scale - reference.z;
    return dx * dx + dy * dy + dz * dz;
}

// Nearest first; a face as far as others goes after them.
void InsertFaceSorted(std::vector<DepthFace>& list, const DepthFace& face) {
    const auto at = std::upper_bound(list.begin(), list.end(), face,
                                     [](const DepthFace& a, const DepthFace& b) { return a.depth < b.depth; });
    list.insert(at, face);
}

std::uint32_t TrianglesOf(const MeshFace& face) { return face.cornerCount > 2 ? face.cornerCount - 2 : 0; }

// The six planes of a camera at `position` looking along `rotation`'s z axis, seeing out to
// `distance` with the given half extent there in both directions.
void ViewPlanes(const Vector3& position, const Quaternion& rotation, float distance, float half, PlaneSet& planes) {
    const float d = distance;
    const float h = half;
    const Vector3 eye{0, 0, 0};
    planes.count = 0;
    auto add = [&](const Vector3& a, const Vector3& b, const Vector3& c) {
        PlaneFromPoints(a, b, c, planes.planes[planes.count++]);
    };
    // The order of the points turns each normal into the view.
    add(eye, {-1, -1, 0}, {1, -1, 0});
    add({0, 0, d}, {1, -1, d}, {-1, -1, d});
    add(eye, {h, -1, d}, {h, 1, d});
    add(eye, {-h, -h, d}, {h, -h, d});
    add(eye, {-h, 1, d}, {-h, -1, d});
    add(eye, {h, h, d}, {-h, h, d});
    Matrix34 camera;
    Matrix34FromRotationAndPosition(rotation, position, camera);
    PlaneSetTransform(planes, camera);
}

// One strip's work while the path is walked.
struct StripWork {
    std::vector<std::uint32_t> order;  // the faces in drawing order; a face may come back
    std::uint32_t start = 0;
    std::vector<std::uint32_t> first;  // face positions in `order`, per frame
    std::vector<std::uint32_t> end;
    std::vector<std::uint32_t> seenAt;  // per face: step + 1 while in this step's lists
    std::vector<std::uint32_t> nowAt;   // per face: step + 1 while in Now
    std::vector<DepthFace> now, next, both;
};

}  // namespace

int Track::Build(const Vector3* positions, const Quaternion* rotations, float fieldOfView, std::uint32_t frameCount,
                 float distance) {
    const std::uint32_t strips = SubMeshCount();
    char path[kCachePathCapacity];
    const bool named = std::snprintf(path, sizeof path, "objects/%s.track", Name()) < static_cast<int>(sizeof path);
    if (named) {
        FileStream cache;
        if (cache.Open(path, kStreamBinary | kStreamReadWhole) != 0 && LoadCache(cache, frameCount) == 0) return 1;
    }
    if (frameCount > kMaxTrackFrames || (frameCount > 0 && positions == nullptr)) return 0;
    // A shared geometry's index lists belong to its source.
    if ((geometry_.flags & kGeometryShared) != 0) return 0;

    const bool useFrustum = fieldOfView > 0.0f && rotations != nullptr;
    const float half = std::tan(fieldOfView * 0.5f) * distance;
    const FaceTree* tree = (collision_.flags & kCollisionFaceTree) != 0 ? collision_.tree : nullptr;
    std::vector<std::uint32_t> faces(kMaxGatheredFaces);
    std::vector<std::uint8_t> subMeshes(kMaxGatheredFaces);
    // The faces seen from frame `frame`; each strip's by depth from `reference` into `into`.
    auto gather = [&](std::uint32_t frame) -> std::uint32_t {
        if (tree == nullptr) return 0;
        if (!useFrustum)
            return GatherFacesInSphere(tree, positions[frame], distance, geometry_, faces.data(), subMeshes.data());
        PlaneSet planes;
        ViewPlanes(positions[frame], rotations[frame], distance, half, planes);
        return GatherFacesInSphereAndFrustum(tree, planes, positions[frame], distance, geometry_, faces.data(),
                                             subMeshes.data());
    };

    std::vector<StripWork> work(strips);
    for (std::uint32_t s = 0; s < strips; ++s) {
        const SubMesh& subMesh = geometry_.list->subMeshes[s];
        work[s].first.assign(frameCount, 0);
        work[s].end.assign(frameCount, 0);
        work[s].seenAt.assign(subMesh.faceCount, 0);
        work[s].nowAt.assign(subMesh.faceCount, 0);
    }
    auto depthFace = [&](std::uint32_t s, std::uint32_t face, std::uint32_t frame) {
        const SubMesh& subMesh = geometry_.list->subMeshes[s];
        return DepthFace{face, FaceDepth(subMesh.faces[face], subMesh.positions, positions[frame])};
    };

    for (std::uint32_t k = 0; k + 1 < frameCount; ++k) {
        const std::uint32_t stamp = k + 1;
        std::uint32_t count = gather(k);
        for (std::uint32_t i = 0; i < count; ++i) {
            StripWork& strip = work[subMeshes[i]];
            InsertFaceSorted(strip.now, depthFace(subMeshes[i], faces[i], k));
            strip.nowAt[faces[i]] = stamp;
            strip.seenAt[faces[i]] = stamp;
        }
        count = gather(k + 1);
        for (std::uint32_t i = 0; i < count; ++i) {
            StripWork& strip = work[subMeshes[i]];
            const DepthFace face = depthFace(subMeshes[i], faces[i], k);
            if (strip.nowAt[faces[i]] == stamp) {
                // Seen from both frames: into Both, and out of Now below.
                strip.nowAt[faces[i]] = 0;
                InsertFaceSorted(strip.both, face);
            } else {
                InsertFaceSorted(strip.next, face);
            }
            strip.seenAt[faces[i]] = stamp;
        }
        for (StripWork& strip : work) {
            std::erase_if(strip.now, [&](const DepthFace& face) { return strip.nowAt[face.face] != stamp; });
            if (k == 0) {
                for (const DepthFace& face : strip.now) strip.order.push_back(face.face);
                for (const DepthFace& face : strip.both) strip.order.push_back(face.face);
            }
            for (const DepthFace& face : strip.next) strip.order.push_back(face.face);
            strip.end[k] = static_cast<std::uint32_t>(strip.order.size());
            // Faces that left the view are passed over from the front.
            while (strip.start < strip.order.size() && strip.seenAt[strip.order[strip.start]] != stamp) ++strip.start;
            strip.first[k] = strip.start;
            strip.now.clear();
            strip.next.clear();
            strip.both.clear();
        }
    }
    if (frameCount == 1) {
        // A path of one frame: what that frame sees, nearest first.
        const std::uint32_t count = gather(0);
        for (std::uint32_t i = 0; i < count; ++i)
            InsertFaceSorted(work[subMeshes[i]].now, depthFace(subMeshes[i], faces[i], 0));
        for (StripWork& strip : work) {
            for (const DepthFace& face : strip.now) strip.order.push_back(face.face);
            strip.end[0] = static_cast<std::uint32_t>(strip.order.size());
        }
    } else if (frameCount > 1) {
        // The last step's range holds what both of its frames see: the last frame draws it.
        for (StripWork& strip : work) {
            strip.first[frameCount - 1] = strip.first[frameCount - 2];
            strip.end[frameCount - 1] = strip.end[frameCount - 2];
        }
    }

    // Index lists: each face of the order as a fan; the frame ranges from face positions.
    std::vector<std::uint16_t*> lists(strips, nullptr);
    auto* tables = static_cast<Strip*>(EngineAlloc(sizeof(Strip) * (strips > 0 ? strips : 1)));
    bool built = tables != nullptr;
    for (std::uint32_t s = 0; s < strips && built; ++s) tables[s] = Strip{0, nullptr, nullptr};
    for (std::uint32_t s = 0; s < strips && built; ++s) {
        const SubMesh& subMesh = geometry_.list->subMeshes[s];
        const StripWork& strip = work[s];
        std::vector<std::uint32_t> before(strip.order.size() + 1, 0);  // triangles before a position
        for (std::size_t i = 0; i < strip.order.size(); ++i)
            before[i + 1] = before[i] + TrianglesOf(subMesh.faces[strip.order[i]]);
        const std::uint64_t indexCount = 3ull * before.back();
        if (indexCount >= kTrackIndexLimit) {
            built = false;
            break;
        }
        tables[s].indexCount = static_cast<std::uint32_t>(indexCount);
        lists[s] = static_cast<std::uint16_t*>(EngineAlloc(sizeof(std::uint16_t) * (indexCount > 0 ? indexCount : 1)));
        tables[s].first = static_cast<std::uint16_t*>(EngineAlloc(sizeof(std::uint16_t) * (frameCount + 1)));
        tables[s].end = static_cast<std::uint16_t*>(EngineAlloc(sizeof(std::uint16_t) * (frameCount + 1)));
        if (lists[s] == nullptr || tables[s].first == nullptr || tables[s].end == nullptr) {
            built = false;
            break;
        }
        std::uint32_t at = 0;
        for (std::uint32_t face : strip.order) {
            const MeshFace& record = subMesh.faces[face];
            for (std::uint32_t i = 0; i + 2 < record.cornerCount; ++i) {
                lists[s][at++] = static_cast<std::uint16_t>(record.corners[0]);
                lists[s][at++] = static_cast<std::uint16_t>(record.corners[i + 1]);
                lists[s][at++] = static_cast<std::uint16_t>(record.corners[i + 2]);
            }
        }
        for (std::uint32_t f = 0; f < frameCount; ++f) {
            const bool drawn = strip.end[f] > strip.first[f];
            tables[s].first[f] = drawn ? static_cast<std::uint16_t>(3 * before[strip.first[f]]) : 0;
            tables[s].end[f] = drawn ? static_cast<std::uint16_t>(3 * before[strip.end[f]]) : 0;
        }
    }
    if (!built) {
        for (std::uint32_t s = 0; s < strips; ++s) {
            EngineFree(lists[s]);
            if (tables != nullptr) {
                EngineFree(tables[s].first);
                EngineFree(tables[s].end);
            }
        }
        EngineFree(tables);
        return 0;
    }
    Adopt(frameCount, strips, tables, lists.data());

    if (named) {
        FileStream cache;
        if (cache.Open(path, kStreamWrite | kStreamBinary) != 0) SaveCache(cache);
    }
    return 1;
}
