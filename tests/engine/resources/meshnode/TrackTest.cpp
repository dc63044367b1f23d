// Tracks: the frame ranges computed along a path (the last frame included), drawing a frame
// with the position clamped, faces of five corners as three triangles, the 8192-face gather
// cap and the index limit, and the cache: read back in place of the computation, and refused
// whole when it does not fit the geometry.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "engine/core/files/FileStream.h"
#include "engine/render/NullRenderDevice.h"
#include "engine/resources/collision/FaceGather.h"
#include "engine/resources/meshnode/Track.h"
#include "tests/engine/resources/mesh/MeshTestSupport.h"

namespace {

using mesh_test::TextFace;
using mesh_test::TextVertex;

// Remembers the ranges the track submits.
class RangeDevice : public NullRenderDevice {
public:
    struct Range {
        std::uint32_t subMesh, first, count;
    };
    int SubmitMeshRange(RenderMesh*, std::uint32_t subMesh, std::uint32_t firstIndex, std::uint32_t indexCount,
                        const RenderTransform&) override {
        ranges.push_back({subMesh, firstIndex, indexCount});
        return 1;
    }
    std::vector<Range> ranges;
};

// Unit quads along x, one every 10 units: quad i has vertices 4i .. 4i + 3.
std::string QuadRow(int quads) {
    std::vector<TextFace> faces;
    std::vector<TextVertex> vertices;
    for (int i = 0; i < quads; ++i) {
        const float x = 10.0f * static_cast<float>(i);
        faces.push_back({{4 * i, 4 * i + 1, 4 * i + 2, 4 * i + 3}});
        for (const TextVertex& corner : mesh_test::UnitQuad())
            vertices.push_back({{corner.position.x + x, corner.position.y, 0}, corner.uv});
    }
    return mesh_test::GeometrySection(faces, vertices);
}

// A grid of side x side unit quads in z = 0 sharing their corners.
std::string QuadGrid(int side) {
    std::vector<TextFace> faces;
    std::vector<TextVertex> vertices;
    for (int y = 0; y <= side; ++y)
        for (int x = 0; x <= side; ++x)
            vertices.push_back({{static_cast<float>(x) * 0.01f, static_cast<float>(y) * 0.01f, 0}});
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const int corner = y * (side + 1) + x;
            faces.push_back({{corner, corner + 1, corner + side + 2, corner + side + 1}});
        }
    return mesh_test::GeometrySection(faces, vertices);
}

class TrackTest : public mesh_test::MeshTest {
protected:
    void SetUp() override {
        MeshTest::SetUp();
        // The folder the caches go to, as in an installed game.
        WriteText("objects/quad.fmesh", "");
    }
    void TearDown() override {
        for (Track* track : tracks_) track->Release();
        if (RenderDevice() == device_) StopDevice();
        MeshTest::TearDown();
    }
    // A named track over the text's geometry, with its face tree.
    Track* MakeTrack(const std::string& name, const std::string& text, bool withTree = true) {
        auto* track = new Track();
        tracks_.push_back(track);
        track->SetName(name.c_str());
        EXPECT_TRUE(Build(text, track->GetGeometry()));
        if (withTree) {
            EXPECT_TRUE(track->BuildCollision());
        }
        return track;
    }
    void StartRangeDevice() {
        device_ = new RangeDevice;
        const ScreenSize size{render_test::kScreenWidth, render_test::kScreenHeight};
        ASSERT_EQ(device_->Init(window_, &size), 0u);
        SetRenderDevice(device_);
    }
    // Each frame's range of strip 0 as "first+count".
    static std::string Ranges(const Track& track) {
        std::ostringstream out;
        for (std::uint32_t f = 0; f < track.FrameCount(); ++f) {
            std::uint32_t first = 0;
            std::uint32_t count = 0;
            track.FrameRange(0, static_cast<std::int32_t>(f), first, count);
            out << (f == 0 ? "" : " ") << first << "+" << count;
        }
        return out.str();
    }
    // Along the row at the height of the quads, one frame a quad.
    static std::vector<Vector3> PathAlongRow(int frames) {
        std::vector<Vector3> path;
        for (int k = 0; k < frames; ++k) path.push_back({10.0f * static_cast<float>(k) + 0.5f, 0.5f, 0.0f});
        return path;
    }

    std::vector<Track*> tracks_;
    RangeDevice* device_ = nullptr;
};

TEST_F(TrackTest, EachFrameDrawsWhatItAndTheNextFrameSeeAndTheLastFrameIsFilled) {
    Track* track = MakeTrack("row", QuadRow(4));
    const std::vector<Vector3> path = PathAlongRow(4);
    ASSERT_EQ(track->Build(path.data(), nullptr, 0.0f, 4, 3.0f), 1);
    ASSERT_EQ(track->FrameCount(), 4u);
    ASSERT_EQ(track->StripCount(), 1u);
    EXPECT_EQ(track->IndexCount(0), 24u) << "four quads of two triangles";
    // Frame k sees quad k only; its range holds quads k and k + 1. The last frame keeps the
    // range of the step that ends on it.
    EXPECT_EQ(Ranges(*track), "0+12 6+12 12+12 12+12");
    const std::uint16_t* indices = track->GetGeometry().list->subMeshes[0].indices;
    const std::uint16_t second[] = {4, 5, 6, 4, 6, 7};
    EXPECT_EQ(std::memcmp(indices + 6, second, sizeof second), 0) << "quad 1 as a fan";

    StartRangeDevice();
    const struct {
        std::int32_t position;
        std::uint32_t first;
    } draws[] = {{-5, 0}, {1, 6}, {3, 12}, {99, 12}};
    for (const auto& draw : draws) {
        SCOPED_TRACE(draw.position);
        device_->ranges.clear();
        EXPECT_EQ(track->Draw(nullptr, draw.position), 1);
        ASSERT_EQ(device_->ranges.size(), 1u);
        EXPECT_EQ(device_->ranges[0].first, draw.first);
        EXPECT_EQ(device_->ranges[0].count, 12u);
    }
}

TEST_F(TrackTest, AFaceOfFiveCornersGivesThreeTriangles) {
    std::vector<TextVertex> pentagon = mesh_test::UnitQuad();
    pentagon.push_back({{0.5f, 1.5f, 0}});
    std::swap(pentagon[3], pentagon[4]);  // (0,0) (1,0) (1,1) (0.5,1.5) (0,1)
    Track* track = MakeTrack("pentagon", mesh_test::GeometrySection({{{0, 1, 2, 3, 4}}}, pentagon));
    const Vector3 at{0.5f, 0.5f, 0.0f};
    ASSERT_EQ(track->Build(&at, nullptr, 0.0f, 1, 5.0f), 1);
    ASSERT_EQ(track->IndexCount(0), 9u);
    const std::uint16_t fan[] = {0, 1, 2, 0, 2, 3, 0, 3, 4};
    EXPECT_EQ(std::memcmp(track->GetGeometry().list->subMeshes[0].indices, fan, sizeof fan), 0);
    EXPECT_EQ(Ranges(*track), "0+9");
}

TEST_F(TrackTest, GathersStopAt8192FacesAndAStripOf65536IndicesIsRefused) {
    Track* track = MakeTrack("grid", QuadGrid(96));  // 9216 faces within 1.5 units
    std::vector<std::uint32_t> faces(kMaxGatheredFaces);
    std::vector<std::uint8_t> subMeshes(kMaxGatheredFaces);
    EXPECT_EQ(GatherFacesInSphere(track->Collision().tree, Vector3{0.5f, 0.5f, 0}, 5.0f, track->GetGeometry(),
                                  faces.data(), subMeshes.data()),
              kMaxGatheredFaces);

    // There, away and back: the grid's faces enter the order twice, 98304 indices.
    const std::uint16_t* before = track->GetGeometry().list->subMeshes[0].indices;
    const Vector3 path[] = {{0.5f, 0.5f, 0}, {500, 0, 0}, {0.5f, 0.5f, 0}};
    EXPECT_EQ(track->Build(path, nullptr, 0.0f, 3, 5.0f), 0);
    EXPECT_EQ(track->FrameCount(), 0u);
    EXPECT_EQ(track->GetGeometry().list->subMeshes[0].indices, before) << "the geometry keeps its own indices";
    EXPECT_TRUE(ReadDataFile("objects/grid.track").empty()) << "no cache for a refused build";
    // Once, the 8192 faces gathered fit.
    EXPECT_EQ(track->Build(path, nullptr, 0.0f, 1, 5.0f), 1);
    EXPECT_EQ(track->IndexCount(0), 6 * kMaxGatheredFaces);
}

TEST_F(TrackTest, TheCacheReplacesTheComputationAndAnyMisfitIsRefusedWhole) {
    Track* first = MakeTrack("row", QuadRow(4));
    const std::vector<Vector3> path = PathAlongRow(4);
    ASSERT_EQ(first->Build(path.data(), nullptr, 0.0f, 4, 3.0f), 1);
    const std::string cache = ReadDataFile("objects/row.track");
    ASSERT_EQ(cache.size(), 8u + 4u + 24u * 2 + 2u * 4u * 2) << "F, S, a count, the indices and two tables";

    // Without a face tree nothing could be computed: the ranges come from the cache.
    Track* second = MakeTrack("row", QuadRow(4), false);
    ASSERT_EQ(second->Build(path.data(), nullptr, 0.0f, 4, 3.0f), 1);
    EXPECT_EQ(Ranges(*second), Ranges(*first));
    EXPECT_EQ(std::memcmp(second->GetGeometry().list->subMeshes[0].indices,
                          first->GetGeometry().list->subMeshes[0].indices, 48),
              0);

    auto word = [](std::string bytes, std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
        return bytes;
    };
    auto half = [](std::string bytes, std::size_t at, std::uint16_t value) {
        bytes[at] = static_cast<char>(value);
        bytes[at + 1] = static_cast<char>(value >> 8);
        return bytes;
    };
    const std::size_t indices = 12;
    const std::size_t ends = indices + 48 + 8;
    const struct {
        const char* what;
        std::string bytes;
        std::uint32_t expectedFrames;
    } refused[] = {
        {"a byte short", cache.substr(0, cache.size() - 1), kAnyTrackFrameCount},
        {"a byte over", cache + '\0', kAnyTrackFrameCount},
        {"two strips for one sub-mesh", word(cache, 4, 2), kAnyTrackFrameCount},
        {"a count that is no whole triangle", word(cache, 8, 23), kAnyTrackFrameCount},
        {"an index past the vertices", half(cache, indices + 2, 16), kAnyTrackFrameCount},
        {"an end past the list", half(cache, ends, 30), kAnyTrackFrameCount},
        {"another path's frame count", cache, 5},
        {"a frame count past the limit", word(cache, 0, 0x10000000), kAnyTrackFrameCount},
    };
    Track* third = MakeTrack("row", QuadRow(4), false);
    for (const auto& c : refused) {
        SCOPED_TRACE(c.what);
        FileStream stream;
        resource_test::AttachBytes(stream, c.bytes, kStreamBinary);
        EXPECT_EQ(third->LoadCache(stream, c.expectedFrames), 1);
        EXPECT_EQ(third->FrameCount(), 0u);
        EXPECT_EQ(third->IndexCount(0), 0u);
        EXPECT_EQ(third->GetGeometry().list->subMeshes[0].indexCount, 24u) << "its own indices stay";
    }

    // A cache of no frames loads and draws nothing.
    std::string empty = word(cache.substr(0, 8 + 4 + 48), 0, 0);
    FileStream stream;
    resource_test::AttachBytes(stream, empty, kStreamBinary);
    ASSERT_EQ(third->LoadCache(stream), 0);
    EXPECT_EQ(third->FrameCount(), 0u);
    StartRangeDevice();
    EXPECT_EQ(third->Draw(nullptr, 0), 0);
    EXPECT_TRUE(device_->ranges.empty());
}

}  // namespace
