// Compressed uploads that Mesa's ES 1 refuses: decoded on the CPU and drawn.
#include <GLES/gl.h>
#include <GLES/glext.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/gles/CompressedUpload.h"
#include "tests/platform/gles/GlesTestSupport.h"

namespace {

using gles_test::GlesTest;

// An 8 x 8 DXT1 image of four solid blocks: red, green / blue, white (rows top first).
std::vector<std::uint8_t> FourBlocks() {
    const std::uint16_t colours[4] = {0xF800, 0x07E0, 0x001F, 0xFFFF};
    std::vector<std::uint8_t> data;
    for (std::uint16_t colour : colours) {
        const std::uint8_t block[8] = {
            static_cast<std::uint8_t>(colour), static_cast<std::uint8_t>(colour >> 8), 0, 0, 0, 0, 0, 0};
        data.insert(data.end(), block, block + 8);
    }
    return data;
}

// Draws the bound texture over pixels 0..8 x 0..8 (texture row 0 at the bottom).
void DrawTexturedSquare() {
    gles_test::PixelProjection();
    const GLfloat positions[] = {0, 0, 8, 0, 8, 8, 0, 8};
    const GLfloat texCoords[] = {0, 0, 1, 0, 1, 1, 0, 1};
    glEnable(GL_TEXTURE_2D);
    glTexParameterx(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameterx(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexEnvx(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, positions);
    glTexCoordPointer(2, GL_FLOAT, 0, texCoords);
    glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

TEST_F(GlesTest, Dxt1IsDecodedWhenTheDriverRefusesItAndDrawsItsBlocks) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    std::vector<std::uint8_t> data = FourBlocks();
    ASSERT_EQ(platform::gles::CompressedTexImage2D(GL_TEXTURE_2D, 0, GL_COMPRESSED_RGB_S3TC_DXT1_EXT, 8, 8, 0,
                                                   static_cast<GLsizei>(data.size()), data.data()),
              static_cast<GLenum>(GL_NO_ERROR));
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    DrawTexturedSquare();
    EXPECT_EQ(PixelAt(1, 1), (std::array<int, 4>{255, 0, 0, 255}));
    EXPECT_EQ(PixelAt(6, 1), (std::array<int, 4>{0, 255, 0, 255}));
    EXPECT_EQ(PixelAt(1, 6), (std::array<int, 4>{0, 0, 255, 255}));
    EXPECT_EQ(PixelAt(6, 6), (std::array<int, 4>{255, 255, 255, 255}));
    glDeleteTextures(1, &texture);
}

TEST_F(GlesTest, CompressedUploadsCheckTheirSizeAndBorder) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    std::vector<std::uint8_t> data = FourBlocks();
    EXPECT_EQ(platform::gles::CompressedTexImage2D(GL_TEXTURE_2D, 0, GL_COMPRESSED_RGB_S3TC_DXT1_EXT, 8, 8, 0, 31,
                                                   data.data()),
              static_cast<GLenum>(GL_INVALID_VALUE));
    EXPECT_EQ(platform::gles::CompressedTexImage2D(GL_TEXTURE_2D, 0, GL_COMPRESSED_RGB_S3TC_DXT1_EXT, 8, 8, 1, 32,
                                                   data.data()),
              static_cast<GLenum>(GL_INVALID_VALUE));
    EXPECT_EQ(platform::gles::CompressedTexImage2D(GL_TEXTURE_2D, 0, GL_COMPRESSED_RGB_S3TC_DXT1_EXT, 1 << 20, 8, 0, 32,
                                                   data.data()),
              static_cast<GLenum>(GL_INVALID_VALUE));
    // ATC with explicit alpha: 16 bytes a block, alpha nibble 15 everywhere, blue.
    std::vector<std::uint8_t> atc(16, 0xFF);
    atc[8] = 0x1F;
    atc[9] = 0x00;
    atc[10] = 0x1F;
    atc[11] = 0x00;
    EXPECT_EQ(platform::gles::CompressedTexImage2D(GL_TEXTURE_2D, 0, 0x8C93, 4, 4, 0, 16, atc.data()),
              static_cast<GLenum>(GL_NO_ERROR));
    glDeleteTextures(1, &texture);
}

}  // namespace
