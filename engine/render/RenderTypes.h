// Records the render device's operations take: the screen size given to Init, the
// immediate vertex of the 2D and effect drawing, vertex layout flags, the light set, the
// pixel format codes of texture data, and where buffer and texture data is kept.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "platform/base/Types.h"

// The size the device is initialised with (pixels).
struct ScreenSize {
    std::int32_t width;
    std::int32_t height;
};

// The vertex of DrawPrimitives and DrawIndexedPrimitives: 44 bytes, of which the device
// reads position, normal, colour (R, G, B, A bytes) and one pair of texture coordinates.
struct ImmediateVertex {
    Vector3 position;
    Vector3 normal;
    std::uint8_t colour[4];
    float u, v;
    std::uint8_t unread[8];
};
static_assert(sizeof(ImmediateVertex) == 44, "the immediate vertex is 44 bytes");

// Vertex layout flags: which components a vertex of a buffer carries. They lie in a vertex
// in this order, tightly packed: position, normal, point size, colour, texture sets 0 to 3,
// then the skin weight and palette index.
constexpr DWORD kVertexColour = 0x01;         // 4 unsigned bytes
constexpr DWORD kVertexNormal = 0x02;         // 3 floats
constexpr DWORD kVertexPointSize = 0x04;      // 1 float
constexpr DWORD kVertexPosition = 0x10;       // 3 floats
constexpr DWORD kVertexTexture1Float = 0x40;  // texture set n: 0x40 << n, then 0x400 << n ...
constexpr DWORD kVertexTexture2Floats = 0x400;
constexpr DWORD kVertexTexture3Floats = 0x4000;
constexpr DWORD kVertexTexture4Floats = 0x40000;
constexpr DWORD kVertexSkin = 0x400000;  // 1 float weight, then 1 unsigned byte palette index

// How many floats texture set `set` (0 to 3) has under `layout`: the first size flag
// present counts; 0 when the set is absent.
int TextureSetFloats(DWORD layout, int set);

// Draw types of DrawPrimitives, DrawIndexedPrimitives and DrawBuffers.
constexpr DWORD kDrawFan = 0;
constexpr DWORD kDrawTriangles = 1;
constexpr DWORD kDrawNothing = 2;
constexpr DWORD kDrawQuads = 3;
constexpr DWORD kDrawLines = 4;
constexpr DWORD kDrawRefused = 5;

// One light of the engine's light table: 21 words.
struct RenderLight {
    DWORD kind;  // 0 point, 2 directional; other kinds are not drawn
    Vector3 position;
    Vector3 direction;
    Color diffuse;
    Color ambient;
    Color specular;
    float nearRange;
    float farRange;
};
static_assert(sizeof(RenderLight) == 21 * 4, "a light record is 21 words");

constexpr int kMaxLights = 8;

// The lights SetLights switches on: the scene's ambient colour and the first `count` lights.
struct RenderLightSet {
    Color ambient;
    DWORD count;
    RenderLight lights[kMaxLights];
};

// Pixel format codes of texture data; bit 31 marks a cube map of six faces.
constexpr DWORD kFormatRgb565 = 1;
constexpr DWORD kFormatArgb4444 = 5;
constexpr DWORD kFormatArgb8888 = 8;
constexpr DWORD kFormatDxt1 = 9;
constexpr DWORD kFormatDxt2 = 10;
constexpr DWORD kFormatDxt3 = 11;
constexpr DWORD kFormatDxt4 = 12;
constexpr DWORD kFormatDxt5 = 13;
constexpr DWORD kFormatArgb1555 = 14;
constexpr DWORD kFormatAtcRgb = 20;
constexpr DWORD kFormatAtcRgba = 21;
constexpr DWORD kFormatCubeMap = 0x80000000;

// Where a buffer's or texture's data lives: in a GL object that the staging copy is uploaded
// to, or in the staging copy alone (the null device's objects, which nothing draws).
enum class DeviceStorage { GlObject, ProcessorOnly };
