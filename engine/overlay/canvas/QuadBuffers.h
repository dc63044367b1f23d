// The shared geometry of the 2D drawing: a ring of 64 dynamic vertex buffers of 256 2D
// vertices, so that each text batch fills a buffer the GPU is not reading, and one index
// buffer of two triangles per four vertices that serves them all.
#pragma once

#include <cstdint>

#include "engine/core/object/Interface.h"
#include "engine/render/RenderTypes.h"
#include "platform/base/Types.h"

class IndexBuffer;
class VertexBuffer;

constexpr int kQuadVertexBuffers = 64;
constexpr DWORD kQuadBufferVertices = 256;
constexpr DWORD kQuadIndexCount = 24576;  // 0, 1, 2, 0, 2, 3 per quad, restarting in every block of 256
// The 44-byte 2D vertex: position, three words, colour, u and v, two words.
constexpr DWORD kQuadVertexLayout = kVertexPosition | kVertexNormal | kVertexColour | kVertexTexture2Floats |
                                    (kVertexTexture2Floats << 1);
// A texture's stand-in when a font has no page.
constexpr const char* kMissingGlyphTexture = "gfx/black.tga";

// 1, or 0 when there is no render device or a buffer cannot be made or filled (the drawing
// then has no buffers and draws no text). Buffers made before are released first.
int CreateQuadBuffers();
// Releases the buffers and the stand-in texture; 1.
int ReleaseQuadBuffers();
bool HasQuadBuffers();
// Moves the ring on and gives its buffer.
VertexBuffer* NextQuadVertexBuffer();
IndexBuffer* QuadIndexBuffer();
std::uint32_t QuadRingPosition();
// "gfx/black.tga" from the resource cache, fetched once while the buffers live.
Interface* MissingGlyphTexture();
