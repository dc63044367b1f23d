// The render device's world, view and projection matrices, the point transform of the
// overlay code, and the lights and fog.
#include <GLES/gl.h>

#include <algorithm>
#include <cmath>

#include "engine/core/math/ColorMath.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "platform/gles/MatrixPalette.h"

namespace {

// A 3x4 row-major matrix as GL's column-major 4x4.
void Expand(const Matrix34& m, GLfloat* out) {
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 3; ++row) out[column * 4 + row] = m.m[row][column];
        out[column * 4 + 3] = column == 3 ? 1.0f : 0.0f;
    }
}

// Model-view := view x world.
void LoadModelView(const RenderStateRecord& state) {
    platform::gles::MatrixMode(GL_MODELVIEW);
    platform::gles::LoadMatrixf(state.viewGl);
    platform::gles::MultMatrixf(state.worldGl);
}

}  // namespace

void ExpandMatrix34(const Matrix34& matrix, GLfloat* columnMajor) { Expand(matrix, columnMajor); }

void MultiplyMatrix4(const GLfloat* a, const GLfloat* b, GLfloat* out) {
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            GLfloat sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[column * 4 + k];
            out[column * 4 + row] = sum;
        }
}

void ClipSpacePoint(const GLfloat* projection, const GLfloat* modelView, const Vector3& point, float* result) {
    GLfloat combined[16];
    MultiplyMatrix4(projection, modelView, combined);
    const float in[4] = {point.x, point.y, point.z, 1.0f};
    for (int row = 0; row < 4; ++row)
        result[row] =
            combined[row] * in[0] + combined[4 + row] * in[1] + combined[8 + row] * in[2] + combined[12 + row] * in[3];
}

int OpenGLRenderDevice::SetWorldMatrix(const Matrix34& matrix) {
    RenderStateRecord& state = Device().state;
    state.world = matrix;
    Expand(matrix, state.worldGl);
    LoadModelView(state);
    return 1;
}

int OpenGLRenderDevice::SetViewMatrix(const Matrix34& matrix) {
    RenderStateRecord& state = Device().state;
    state.view = matrix;
    Expand(matrix, state.viewGl);
    LoadModelView(state);
    return 1;
}

const Matrix34& OpenGLRenderDevice::GetWorldMatrix() const { return Device().state.world; }
const Matrix34& OpenGLRenderDevice::GetViewMatrix() const { return Device().state.view; }

void RecordPerspective(float fieldOfView, float aspect, float nearPlane, float farPlane, GLfloat* p) {
    for (int i = 0; i < 16; ++i) p[i] = 0.0f;
    float f = static_cast<float>(1.0 / std::tan(fieldOfView / 2.0));
    p[0] = f;
    p[5] = -f / aspect;
    p[10] = (nearPlane + farPlane) / (farPlane - nearPlane);
    p[11] = -1.0f;
    p[14] = 2.0f * nearPlane * farPlane / (farPlane - nearPlane);
}

float FrustumHalfHeight(float fieldOfView, float nearPlane) {
    float degrees = fieldOfView * 57.29578f;
    return static_cast<float>(nearPlane * std::tan(degrees * 3.14159265358979323846 / 360.0));
}

void OrthoProjection(float width, float height, float nearPlane, float farPlane, GLfloat* p) {
    for (int i = 0; i < 16; ++i) p[i] = 0.0f;
    p[0] = 2.0f / width;
    p[5] = -2.0f / height;
    p[10] = 1.0f / (farPlane - nearPlane);
    p[12] = -1.0f;
    p[13] = 1.0f;
    p[14] = -nearPlane / (farPlane - nearPlane);
    p[15] = 1.0f;
}

int OpenGLRenderDevice::SetPerspective(float fieldOfView, float aspect, float nearPlane, float farPlane) {
    RecordPerspective(fieldOfView, aspect, nearPlane, farPlane, Device().state.projection);
    const float t = FrustumHalfHeight(fieldOfView, nearPlane);
    platform::gles::MatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustumf(-t * aspect, t * aspect, -t, t, nearPlane, farPlane);
    glScalef(1.0f, -1.0f, -1.0f);
    platform::gles::MatrixMode(GL_MODELVIEW);
    return 1;
}

int OpenGLRenderDevice::SetOrtho(float, float, float width, float height, float nearPlane, float farPlane) {
    GLfloat* p = Device().state.projection;
    OrthoProjection(width, height, nearPlane, farPlane, p);
    platform::gles::MatrixMode(GL_PROJECTION);
    glLoadIdentity();
    platform::gles::LoadMatrixf(p);
    platform::gles::MatrixMode(GL_MODELVIEW);
    return 1;
}

int OpenGLRenderDevice::TransformToClipSpace(const Vector3& point, float* result) {
    if (result == nullptr) return 0;
    RenderStateRecord& state = Device().state;
    GLfloat modelView[16];
    glGetFloatv(GL_PROJECTION_MATRIX, state.scratch);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    ClipSpacePoint(state.scratch, modelView, point, result);
    return 1;
}

int OpenGLRenderDevice::SetLights(int enable, const RenderLightSet* lights) {
    if (enable == 0 || lights == nullptr) {
        SetLighting(0);
        return 1;
    }
    SetLighting(1);
    const GLfloat ambient[4] = {lights->ambient.r, lights->ambient.g, lights->ambient.b, lights->ambient.a};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    DWORD count = std::min<DWORD>(lights->count, kMaxLights);
    for (DWORD i = 0; i < count; ++i) {
        const RenderLight& light = lights->lights[i];
        if (light.kind != 0 && light.kind != 2) continue;
        GLenum name = GL_LIGHT0 + i;
        const GLfloat lightAmbient[4] = {light.ambient.r, light.ambient.g, light.ambient.b, light.ambient.a};
        const GLfloat diffuse[4] = {light.diffuse.r, light.diffuse.g, light.diffuse.b, light.diffuse.a};
        glLightfv(name, GL_AMBIENT, lightAmbient);
        glLightfv(name, GL_DIFFUSE, diffuse);
        // A point light sits at its position; a directional one shines along its direction.
        const Vector3& where = light.kind == 0 ? light.position : light.direction;
        const GLfloat position[4] = {where.x, where.y, where.z, light.kind == 0 ? 1.0f : 0.0f};
        glLightfv(name, GL_POSITION, position);
        glEnable(name);
    }
    return 1;
}

int OpenGLRenderDevice::SetFog(int enable, DWORD colour, float start, float end) {
    if (enable == 0) {
        glDisable(GL_FOG);
        return 1;
    }
    glEnable(GL_FOG);
    Color unpacked{};
    ColorFromARGB(colour, unpacked);
    const GLfloat values[4] = {unpacked.r, unpacked.g, unpacked.b, unpacked.a};
    glFogfv(GL_FOG_COLOR, values);
    glHint(GL_FOG_HINT, GL_NICEST);
    glFogf(GL_FOG_START, start);
    glFogf(GL_FOG_END, end);
    return 1;
}
