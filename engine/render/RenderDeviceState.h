// The render device's process-global state: EGL handles, screen and viewport rectangles,
// the clear colour, the mirror of the GL fixed-function state, the render queue and the
// counters. All device state lives here, so exactly one device exists at a time.
#pragma once

#include <EGL/egl.h>
#include <GLES/gl.h>

#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "engine/render/RenderTypes.h"
#include "platform/base/Types.h"

class RenderQueue;
class TextureData;
class TextureDataOpenGL;

constexpr int kTextureUnitCount = 4;

// State word 0.
constexpr DWORD kStateBlend = 1u << 0;
constexpr DWORD kStateAlphaTest = 1u << 1;
constexpr DWORD kStateDepthTest = 1u << 2;
constexpr DWORD kStateDepthWrite = 1u << 3;
constexpr DWORD kStateCull = 1u << 4;
constexpr DWORD kStateCullFront = 1u << 5;
constexpr DWORD kStateLighting = 1u << 24;
constexpr int kStateDepthFunctionShift = 25;  // 3 bits: the function minus GL_NEVER
constexpr DWORD kStateDepthFunctionMask = 7u << kStateDepthFunctionShift;
constexpr DWORD kStateDepthFunctionUnset = 0xFFFFFFFF;

// State word 1.
constexpr int kStateActiveUnitShift = 4;  // 2 bits
constexpr DWORD kStateActiveUnitMask = 3u << kStateActiveUnitShift;
constexpr DWORD kStateTexturing = 1u << 8;
constexpr DWORD kStateTextureMatrixChanged = 1u << 9;
constexpr DWORD kStateVertexArray = 1u << 10;
constexpr DWORD kStateNormalArray = 1u << 11;
constexpr DWORD kStateColourArray = 1u << 12;
constexpr DWORD kStateTexCoordArray = 1u << 13;
constexpr DWORD kStatePointSizeArray = 1u << 14;
constexpr DWORD kStateMatrixIndexArray = 1u << 15;
constexpr DWORD kStateWeightArray = 1u << 16;

// A texture unit's word.
constexpr DWORD kUnitWrapSMask = 7u;  // 0 repeat, 2 clamp to edge
constexpr int kUnitWrapTShift = 3;
constexpr DWORD kUnitWrapTMask = 7u << kUnitWrapTShift;
constexpr int kUnitMinFilterShift = 9;
constexpr DWORD kUnitMinFilterMask = 7u << kUnitMinFilterShift;
constexpr int kUnitMagFilterShift = 12;
constexpr DWORD kUnitMagFilterMask = 7u << kUnitMagFilterShift;
constexpr int kUnitColourOpShift = 18;
constexpr DWORD kUnitColourOpMask = 15u << kUnitColourOpShift;
constexpr int kUnitAlphaOpShift = 22;
constexpr DWORD kUnitAlphaOpMask = 15u << kUnitAlphaOpShift;
// GL_TEXTURE_2D is on for this unit (GL switches texturing per unit, so the device tracks
// it per unit; state word 1's bit follows the active unit's).
constexpr DWORD kUnitTexturingOn = 1u << 31;

struct TextureUnitRecord {
    DWORD word = 0;
    TextureData* texture = nullptr;
    DWORD second = 0;
};

struct RenderStateRecord {
    DWORD word0 = 0;
    DWORD word1 = 0;
    TextureUnitRecord units[kTextureUnitCount];
    std::int32_t depthMode = -1;
    Matrix34 world = kIdentityMatrix34;
    Matrix34 view = kIdentityMatrix34;
    GLfloat worldGl[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    GLfloat viewGl[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    GLfloat projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    GLfloat scratch[16] = {};
};

// What the device counts; tests and benchmarks read it.
struct RenderStatistics {
    std::uint64_t drawCalls = 0;
    std::uint64_t primitives = 0;
    std::uint64_t batches = 0;
    // GL state calls issued by the render-state operations (a repeated setting issues none).
    std::uint64_t stateCalls = 0;
};

struct FullScreenQuad {
    Vector3 corners[4];
    Vector2 texCoords[4];
    Vector3 normals[4];
};

struct DeviceGlobals {
    HWND window = nullptr;
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
    RECT screen{};
    RECT viewport{};
    GLfloat clearColour[4] = {0, 0, 0, 0};
    DWORD clearArgb = 0;
    RenderStateRecord state;
    RenderQueue* queue = nullptr;
    RenderStatistics statistics;
    std::int32_t liveVertexBuffers = 0;
    std::int32_t liveIndexBuffers = 0;
    bool failed = false;  // a buffer or texture creation met a GL error
    FullScreenQuad quad{};
    // The white texture that SetTexture binds for none, when the engine gives it none.
    TextureDataOpenGL* ownWhiteTexture = nullptr;
    TextureData* (*whiteTextureSource)() = nullptr;
};

DeviceGlobals& Device();

// A GL error during buffer or texture creation: the device's failure flag.
inline void RaiseDeviceFailure() { Device().failed = true; }
// A 3x4 row-major matrix as GL's column-major 4x4 (last row 0, 0, 0, 1).
void ExpandMatrix34(const Matrix34& matrix, GLfloat* columnMajor);
// out := a x b, column-major 4x4 matrices (`out` is neither input).
void MultiplyMatrix4(const GLfloat* a, const GLfloat* b, GLfloat* out);
// The projection SetPerspective records in RenderStateRecord::projection (field of view in
// radians); GL itself is given a frustum of half height FrustumHalfHeight, turned by
// glScalef(1, -1, -1).
void RecordPerspective(float fieldOfView, float aspect, float nearPlane, float farPlane, GLfloat* record);
float FrustumHalfHeight(float fieldOfView, float nearPlane);
// The projection of SetOrtho, recorded and loaded into GL alike.
void OrthoProjection(float width, float height, float nearPlane, float farPlane, GLfloat* projection);
// projection x modelView x (x, y, z, 1) into result[0..3].
void ClipSpacePoint(const GLfloat* projection, const GLfloat* modelView, const Vector3& point, float* result);

// A texture that goes away or loses its GL name leaves the units' records, so that a unit
// never skips binding a texture that is not bound.
void ForgetBoundTexture(const TextureData* texture);
