// The matrix palette on the CPU: skinning arithmetic against a reference, and skinned draws
// from buffer objects that land where their palette matrices put them.
#include <GLES/gl.h>
#include <GLES/glext.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/gles/MatrixPalette.h"
#include "tests/platform/gles/GlesTestSupport.h"

namespace {

using gles_test::GlesTest;
using Matrix = std::array<GLfloat, 16>;

Matrix Translation(float x, float y, float z) { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1}; }

// A rotation about z by a quarter turn, scaled by 2, moved by (1, 2, 3).
Matrix TurnScaleMove() { return {0, 2, 0, 0, -2, 0, 0, 0, 0, 0, 2, 0, 1, 2, 3, 1}; }

TEST(MatrixPaletteMath, SkinnedPositionsAndNormalsMatchTheirReference) {
    std::vector<Matrix> palette = {Translation(10, 0, 0), TurnScaleMove()};
    std::vector<GLfloat> normalMatrices(palette.size() * 9);
    for (std::size_t i = 0; i < palette.size(); ++i)
        platform::gles::ComputeNormalMatrix(palette[i].data(), &normalMatrices[i * 9]);

    // Two units a vertex: (index 0, index 1) with weights (w, 1 - w).
    struct Vertex {
        float position[3];
        float normal[3];
        std::uint8_t indices[2];
        std::uint8_t pad[2];
        float weights[2];
    };
    const Vertex vertices[3] = {{{1, 0, 0}, {1, 0, 0}, {0, 1}, {}, {1.0f, 0.0f}},
                                {{1, 0, 0}, {1, 0, 0}, {0, 1}, {}, {0.0f, 1.0f}},
                                {{0, 1, 0}, {0, 0, 1}, {1, 0}, {}, {0.5f, 0.5f}}};
    auto view = [&](std::size_t offset, GLint size, GLenum type) {
        return platform::gles::VertexArrayView{reinterpret_cast<const std::uint8_t*>(vertices) + offset, size, type,
                                               sizeof(Vertex)};
    };
    GLfloat positions[9];
    GLfloat normals[9];
    platform::gles::SkinVertices(
        palette.data(), normalMatrices.data(), palette.size(), view(offsetof(Vertex, position), 3, GL_FLOAT),
        view(offsetof(Vertex, normal), 3, GL_FLOAT), view(offsetof(Vertex, indices), 2, GL_UNSIGNED_BYTE),
        view(offsetof(Vertex, weights), 2, GL_FLOAT), 3, positions, normals);
    // Reference, worked by hand: M1 x (1, 0, 0) = (1, 4, 3); M1 x (0, 1, 0) = (-1, 2, 3);
    // M0 x (0, 1, 0) = (10, 1, 0); normals by the inverse transpose (a turn, scaled by 1/2).
    const float expectedPositions[9] = {11, 0, 0, 1, 4, 3, 0.5f * (-1 + 10), 0.5f * (2 + 1), 0.5f * (3 + 0)};
    const float expectedNormals[9] = {1, 0, 0, 0, 0.5f, 0, 0, 0, 0.5f * 1 + 0.5f * 0.5f};
    for (int i = 0; i < 9; ++i) {
        EXPECT_NEAR(positions[i], expectedPositions[i], 1e-5f) << "position component " << i;
        EXPECT_NEAR(normals[i], expectedNormals[i], 1e-5f) << "normal component " << i;
    }
}

TEST_F(GlesTest, TheDriverLacksThePaletteSoTheCpuStandsIn) {
    EXPECT_FALSE(platform::gles::NativeMatrixPalette());
    EXPECT_GE(platform::gles::PaletteMatrixCount(), 96);
}

// Two triangles near the origin in one buffer; the first follows palette matrix 0, the
// second matrix 1.
class PaletteDrawTest : public GlesTest {
protected:
    struct Vertex {
        float position[3];
        float weight;
        std::uint8_t index;
        std::uint8_t pad[3];
    };

    void SetUp() override {
        GlesTest::SetUp();
        const Vertex vertices[6] = {{{-4, -4, 0}, 1, 0, {}}, {{4, -4, 0}, 1, 0, {}}, {{0, 4, 0}, 1, 0, {}},
                                    {{-4, -4, 0}, 1, 1, {}}, {{4, -4, 0}, 1, 1, {}}, {{0, 4, 0}, 1, 1, {}}};
        const std::uint16_t indices[6] = {0, 1, 2, 3, 4, 5};
        glGenBuffers(1, &vertexBuffer_);
        glGenBuffers(1, &indexBuffer_);
        glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
        platform::gles::BufferData(GL_ARRAY_BUFFER, sizeof vertices, vertices, GL_STATIC_DRAW);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
        platform::gles::BufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof indices, indices, GL_STATIC_DRAW);

        gles_test::PixelProjection();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor4f(1, 1, 1, 1);
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, sizeof(Vertex), reinterpret_cast<const void*>(offsetof(Vertex, position)));
        platform::gles::WeightPointerOES(1, GL_FLOAT, sizeof(Vertex),
                                         reinterpret_cast<const void*>(offsetof(Vertex, weight)));
        platform::gles::MatrixIndexPointerOES(1, GL_UNSIGNED_BYTE, sizeof(Vertex),
                                              reinterpret_cast<const void*>(offsetof(Vertex, index)));
        platform::gles::EnableClientState(GL_MATRIX_INDEX_ARRAY_OES);
        platform::gles::EnableClientState(GL_WEIGHT_ARRAY_OES);

        // The palette replaces the model-view: each matrix is projection-free eye space.
        platform::gles::Enable(GL_MATRIX_PALETTE_OES);
        platform::gles::MatrixMode(GL_MATRIX_PALETTE_OES);
        platform::gles::CurrentPaletteMatrixOES(0);
        platform::gles::LoadMatrixf(Translation(12, 24, 0).data());
        platform::gles::CurrentPaletteMatrixOES(1);
        platform::gles::LoadMatrixf(Translation(40, 0, 0).data());
        platform::gles::MultMatrixf(Translation(12, 24, 0).data());
        platform::gles::MatrixMode(GL_MODELVIEW);
    }
    void TearDown() override {
        platform::gles::Disable(GL_MATRIX_PALETTE_OES);
        platform::gles::DeleteBuffers(1, &vertexBuffer_);
        platform::gles::DeleteBuffers(1, &indexBuffer_);
        GlesTest::TearDown();
    }
    bool Lit(int x, int y) const { return PixelAt(x, y)[0] > 128; }

    GLuint vertexBuffer_ = 0;
    GLuint indexBuffer_ = 0;
};

TEST_F(PaletteDrawTest, EachTriangleLandsWhereItsPaletteMatrixPutsIt) {
    platform::gles::DrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, nullptr);
    EXPECT_TRUE(Lit(12, 22));   // triangle 0 around (12, 24)
    EXPECT_TRUE(Lit(52, 22));   // triangle 1 around (52, 24)
    EXPECT_FALSE(Lit(32, 22));  // nothing between them
    EXPECT_FALSE(Lit(1, 1));    // nothing at the untransformed place

    // GL's own arrays and model-view are as they were.
    void* pointer = nullptr;
    glGetPointerv(GL_VERTEX_ARRAY_POINTER, &pointer);
    GLint binding = 0;
    glGetIntegerv(GL_VERTEX_ARRAY_BUFFER_BINDING, &binding);
    EXPECT_EQ(pointer, reinterpret_cast<void*>(offsetof(Vertex, position)));
    EXPECT_EQ(static_cast<GLuint>(binding), vertexBuffer_);
    GLfloat modelView[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    EXPECT_EQ(modelView[12], 0.0f);
}

TEST_F(PaletteDrawTest, BufferUpdatesReachTheSkinnedDrawAndThePaletteCanBeSwitchedOff) {
    // Vertex 3 to 5 get palette index 0: both triangles land on the same place.
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    const std::uint8_t zero = 0;
    for (int v = 3; v < 6; ++v)
        platform::gles::BufferSubData(GL_ARRAY_BUFFER,
                                      static_cast<GLintptr>(v * sizeof(Vertex) + offsetof(Vertex, index)), 1, &zero);
    platform::gles::DrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, nullptr);
    EXPECT_TRUE(Lit(12, 22));
    EXPECT_FALSE(Lit(52, 22));

    glClear(GL_COLOR_BUFFER_BIT);
    platform::gles::Disable(GL_MATRIX_PALETTE_OES);
    glLoadIdentity();
    glTranslatef(32, 24, 0);
    platform::gles::DrawElements(GL_TRIANGLES, 3, GL_UNSIGNED_SHORT, nullptr);
    EXPECT_TRUE(Lit(32, 22));
    EXPECT_FALSE(Lit(12, 22));
}

TEST_F(PaletteDrawTest, IndicesBeyondTheBufferDrawNothing) {
    const std::uint16_t far[3] = {0, 1, 60000};
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
    platform::gles::BufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, sizeof far, far);
    platform::gles::DrawElements(GL_TRIANGLES, 3, GL_UNSIGNED_SHORT, nullptr);
    platform::gles::DrawElements(GL_TRIANGLES, 600, GL_UNSIGNED_SHORT, nullptr);
    EXPECT_FALSE(Lit(12, 22));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
