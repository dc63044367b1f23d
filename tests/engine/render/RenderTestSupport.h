// Shared pieces of the render device tests: a window on a small screen with a data folder,
// a device initialised headless on it (llvmpipe, 5-6-5, dithering off), frames read back,
// reference images compared per channel within what 5-6-5 keeps (8, 4, 8), and a square
// mesh for the render queue.
#pragma once

#include <GLES/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/memory/EngineLog.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/render/RenderMesh.h"
#include "engine/render/RenderTypes.h"
#include "platform/screen/Display.h"
#include "platform/user/Window.h"
#include "tests/support/TestSupport.h"

namespace render_test {

constexpr int kScreenWidth = 64;
constexpr int kScreenHeight = 48;

// Engine heaps, the screen at kScreenWidth x kScreenHeight, the data folder and a window of
// the screen's size: what a render device starts on.
class RenderWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a file into the data folder (which textures are loaded from).
    void WriteDataFile(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

    handset_test::TempHandsetRoot root_;
    HWND window_ = nullptr;
};

// The GL device started on the window.
class RenderDeviceTest : public RenderWindowTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The frame as the user sees it: rows top first, RGBA.
    platform::screen::Image ReadFrame() const;
    // RGB of one pixel of the frame, top-left origin.
    std::array<int, 3> FramePixel(int x, int y) const;
    // The quad over pixels (x, y) to (x + w, y + h) in screen terms, drawn with the device
    // under a pixel projection, in `colour` (R, G, B, A), texture corners (0, 0) top-left.
    void DrawQuad(float x, float y, float w, float h, std::array<std::uint8_t, 4> colour = {255, 255, 255, 255},
                  float z = 0.5f);

    OpenGLRenderDevice* device_ = nullptr;
};

// A unit square of two triangles in one colour, as a mesh of one sub-mesh.
struct SquareMesh {
    explicit SquareMesh(std::uint32_t colour, DWORD materialFlags = 0) {
        positions = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}};
        colours.assign(4, colour);
        indices = {0, 1, 2, 0, 2, 3};
        material.flags = materialFlags;
        part.vertexCount = 4;
        part.positions = positions.data();
        part.colours = colours.data();
        part.texCoords = texCoords.data();
        part.indexCount = 6;
        part.indices = indices.data();
        part.material = &material;
        mesh.subMeshCount = 1;
        mesh.subMeshes = &part;
    }
    std::vector<Vector3> positions;
    std::vector<std::uint32_t> colours;
    std::vector<Vector2> texCoords = std::vector<Vector2>(4, Vector2{0, 0});
    std::vector<std::uint16_t> indices;
    RenderMaterial material;
    RenderSubMesh part;
    RenderMesh mesh;
};

// The world matrix of a square scaled to `size` pixels at (x, y), at depth z.
RenderTransform Placed(float x, float y, float size, float z);

// Compares the image with tests/engine/render/reference/<name>.png within (8, 4, 8); a missing
// reference is written and the comparison fails, so that it can be looked at and kept.
::testing::AssertionResult MatchesReference(const platform::screen::Image& image, const std::string& name);

// Little-endian writers for file fixtures.
void Put16(std::vector<std::uint8_t>& out, std::uint16_t value);
void Put32(std::vector<std::uint8_t>& out, std::uint32_t value);

// A TGA file of `width` x `height` pixels given as B, G, R(, A) bytes in the file's row
// order; run-length files are encoded here from the same pixels.
std::vector<std::uint8_t> MakeTga(std::uint8_t type, std::uint8_t depth, std::uint8_t descriptor, int width, int height,
                                  const std::vector<std::uint8_t>& filePixels);

// A DDS file: pixel format by four-character code (fourCc != 0) or by bit count and masks,
// the mip count and caps2 as given, then `data`.
struct DdsFormat {
    std::uint32_t fourCc = 0;
    std::uint32_t bits = 0;
    std::uint32_t red = 0;
    std::uint32_t green = 0;
    std::uint32_t blue = 0;
    std::uint32_t alpha = 0;
};
std::vector<std::uint8_t> MakeDds(const DdsFormat& format, std::uint32_t width, std::uint32_t height,
                                  std::uint32_t mipCount, std::uint32_t caps2, const std::vector<std::uint8_t>& data);

}  // namespace render_test
