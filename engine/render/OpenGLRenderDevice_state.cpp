// The render device's mirror of the GL fixed-function state: blending, alpha test, depth,
// culling, lighting, client arrays and the four texture units. A setting equal to the
// mirror issues no GL call; every call that is issued is counted.
#include <GLES/gl.h>
#include <GLES/glext.h>

#include "engine/core/math/ColorMath.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/render/TextureDataOpenGL.h"
#include "platform/gles/MatrixPalette.h"

namespace {

RenderStateRecord& State() { return Device().state; }
void Count() { ++Device().statistics.stateCalls; }

void Switch(GLenum capability, bool on) {
    Count();
    if (on)
        platform::gles::Enable(capability);
    else
        platform::gles::Disable(capability);
}

// Filter codes to GL.
GLint FilterOf(DWORD code) {
    switch (code) {
        case 1:
            return GL_LINEAR;
        case 2:
            return GL_NEAREST_MIPMAP_NEAREST;
        case 3:
            return GL_LINEAR_MIPMAP_NEAREST;
        case 4:
            return GL_NEAREST_MIPMAP_LINEAR;
        case 5:
            return GL_LINEAR_MIPMAP_LINEAR;
        default:
            return GL_NEAREST;
    }
}

// Blend factor codes to GL; the destination-alpha codes 7 and 8 give zero, as the surface
// has no alpha channel.
GLenum BlendFactorOf(DWORD code) {
    switch (code) {
        case 2:
            return GL_ONE;
        case 3:
            return GL_SRC_COLOR;
        case 4:
            return GL_ONE_MINUS_SRC_COLOR;
        case 5:
            return GL_SRC_ALPHA;
        case 6:
            return GL_ONE_MINUS_SRC_ALPHA;
        case 9:
            return GL_DST_COLOR;
        case 10:
            return GL_ONE_MINUS_DST_COLOR;
        default:
            return GL_ZERO;
    }
}

// The combiner table: function and sources by operation code.
struct Combiner {
    GLenum function;
    GLenum source0;
    GLenum source1;  // 0: one source
};

constexpr Combiner kCombiners[12] = {
    {GL_REPLACE, GL_PREVIOUS, 0},
    {GL_REPLACE, GL_TEXTURE, 0},
    {GL_REPLACE, GL_PRIMARY_COLOR, 0},
    {GL_REPLACE, GL_CONSTANT, 0},
    {GL_MODULATE, GL_TEXTURE, GL_PRIMARY_COLOR},
    {GL_MODULATE, GL_TEXTURE, GL_CONSTANT},
    {GL_MODULATE, GL_PREVIOUS, GL_PRIMARY_COLOR},
    {GL_MODULATE, GL_PREVIOUS, GL_TEXTURE},
    {GL_ADD, GL_TEXTURE, GL_PRIMARY_COLOR},
    {GL_ADD, GL_PREVIOUS, GL_PRIMARY_COLOR},
    {GL_ADD, GL_PREVIOUS, GL_TEXTURE},
    {GL_MODULATE, GL_PREVIOUS, GL_CONSTANT},
};

// SetTextureMode's unit 0 operations by mode.
struct ModeOps {
    DWORD colour;
    DWORD alpha;
};
constexpr ModeOps kTextureModes[7] = {{1, 1}, {2, 1}, {2, 2}, {4, 2}, {4, 4}, {2, 4}, {1, 4}};

DWORD ActiveUnit() { return (State().word1 & kStateActiveUnitMask) >> kStateActiveUnitShift; }

}  // namespace

int OpenGLRenderDevice::ResetRenderState() {
    RenderStateRecord& state = State();
    state = RenderStateRecord{};
    Switch(GL_DEPTH_TEST, true);
    Count();
    glDepthFunc(GL_LESS);
    Count();
    glDepthMask(GL_TRUE);
    state.word0 |=
        kStateDepthTest | kStateDepthWrite | (static_cast<DWORD>(GL_LESS - GL_NEVER) << kStateDepthFunctionShift);
    for (TextureUnitRecord& unit : state.units)
        unit.word &= ~(kUnitMinFilterMask | kUnitMagFilterMask | kUnitColourOpMask | kUnitAlphaOpMask);
    state.depthMode = -1;
    return 1;
}

int OpenGLRenderDevice::SetArray(DWORD bit, GLenum array, int on) {
    RenderStateRecord& state = State();
    bool isOn = (state.word1 & bit) != 0;
    if (isOn == (on != 0)) return 1;
    Count();
    if (on != 0) {
        platform::gles::EnableClientState(array);
        state.word1 |= bit;
    } else {
        platform::gles::DisableClientState(array);
        state.word1 &= ~bit;
    }
    return 1;
}

int OpenGLRenderDevice::SetVertexArray(int on) { return SetArray(kStateVertexArray, GL_VERTEX_ARRAY, on); }
int OpenGLRenderDevice::SetNormalArray(int on) { return SetArray(kStateNormalArray, GL_NORMAL_ARRAY, on); }
int OpenGLRenderDevice::SetColourArray(int on) { return SetArray(kStateColourArray, GL_COLOR_ARRAY, on); }
int OpenGLRenderDevice::SetTexCoordArray(int on) { return SetArray(kStateTexCoordArray, GL_TEXTURE_COORD_ARRAY, on); }
int OpenGLRenderDevice::SetPointSizeArray(int on) {
    return SetArray(kStatePointSizeArray, GL_POINT_SIZE_ARRAY_OES, on);
}
int OpenGLRenderDevice::SetMatrixIndexArray(int on) {
    return SetArray(kStateMatrixIndexArray, GL_MATRIX_INDEX_ARRAY_OES, on);
}
int OpenGLRenderDevice::SetWeightArray(int on) { return SetArray(kStateWeightArray, GL_WEIGHT_ARRAY_OES, on); }

int OpenGLRenderDevice::SetArrays(int vertex, int normal, int colour, int texCoord) {
    SetVertexArray(vertex);
    SetNormalArray(normal);
    SetColourArray(colour);
    SetTexCoordArray(texCoord);
    SetPointSizeArray(0);
    SetMatrixIndexArray(0);
    SetWeightArray(0);
    return 1;
}

int OpenGLRenderDevice::SetActiveTextureUnit(DWORD unit) {
    if (unit >= kTextureUnitCount) return 0;
    RenderStateRecord& state = State();
    if (ActiveUnit() == unit) return 1;
    Count();
    glActiveTexture(GL_TEXTURE0 + unit);
    state.word1 = (state.word1 & ~kStateActiveUnitMask) | (unit << kStateActiveUnitShift);
    // State word 1's texturing bit follows the active unit.
    if ((state.units[unit].word & kUnitTexturingOn) != 0)
        state.word1 |= kStateTexturing;
    else
        state.word1 &= ~kStateTexturing;
    return 1;
}

int OpenGLRenderDevice::SetBlendEnable(int on) {
    RenderStateRecord& state = State();
    if (((state.word0 & kStateBlend) != 0) == (on != 0)) return 1;
    Switch(GL_BLEND, on != 0);
    state.word0 ^= kStateBlend;
    return 1;
}

int OpenGLRenderDevice::SetAlphaTest(int on) {
    RenderStateRecord& state = State();
    if (((state.word0 & kStateAlphaTest) != 0) != (on != 0)) {
        Switch(GL_ALPHA_TEST, on != 0);
        state.word0 ^= kStateAlphaTest;
    }
    if (on != 0) {
        Count();
        glAlphaFunc(GL_GREATER, 0.1f);
    }
    return 1;
}

int OpenGLRenderDevice::SetBlendFunc(DWORD source, DWORD destination) {
    Count();
    glBlendFunc(BlendFactorOf(source), BlendFactorOf(destination));
    return 1;
}

int OpenGLRenderDevice::SetBlend(int on, GLenum sourceFactor, GLenum destinationFactor) {
    SetBlendEnable(on);
    Count();
    glBlendFunc(sourceFactor, destinationFactor);
    return 1;
}

int OpenGLRenderDevice::SetTexParameter(GLenum name, GLint value) {
    Count();
    glTexParameterx(GL_TEXTURE_2D, name, value);
    return 1;
}

int OpenGLRenderDevice::SetTexEnv(GLenum name, GLint value) {
    Count();
    glTexEnvx(GL_TEXTURE_ENV, name, value);
    return 1;
}

int OpenGLRenderDevice::SetDepthMode(std::int32_t mode) {
    RenderStateRecord& state = State();
    if (mode == state.depthMode) return 1;
    state.depthMode = mode;
    bool test = mode != 0;
    bool write = mode != 0 && (mode & 1) != 0;
    GLenum function = mode != 0 && (mode & 2) != 0 ? GL_LEQUAL : GL_ALWAYS;
    if (((state.word0 & kStateDepthTest) != 0) != test) {
        Switch(GL_DEPTH_TEST, test);
        state.word0 ^= kStateDepthTest;
    }
    if (((state.word0 & kStateDepthWrite) != 0) != write) {
        Count();
        glDepthMask(write ? GL_TRUE : GL_FALSE);
        state.word0 ^= kStateDepthWrite;
    }
    DWORD functionBits = static_cast<DWORD>(function - GL_NEVER) << kStateDepthFunctionShift;
    if ((state.word0 & kStateDepthFunctionMask) != functionBits) {
        Count();
        glDepthFunc(function);
        state.word0 = (state.word0 & ~kStateDepthFunctionMask) | functionBits;
    }
    return 1;
}

int OpenGLRenderDevice::SetCullMode(std::int32_t mode) {
    RenderStateRecord& state = State();
    bool on = (state.word0 & kStateCull) != 0;
    if (mode == 0) {
        if (on) {
            Switch(GL_CULL_FACE, false);
            state.word0 &= ~kStateCull;
        }
    } else if (mode == 1 || mode == 2) {
        // The face is chosen when culling starts; while it is on the face stays.
        if (!on) {
            Count();
            glCullFace(mode == 1 ? GL_BACK : GL_FRONT);
            Switch(GL_CULL_FACE, true);
            state.word0 |= kStateCull;
            if (mode == 2)
                state.word0 |= kStateCullFront;
            else
                state.word0 &= ~kStateCullFront;
        }
    }
    return 1;
}

int OpenGLRenderDevice::SetLighting(int on) {
    RenderStateRecord& state = State();
    if (((state.word0 & kStateLighting) != 0) == (on != 0)) return 1;
    Switch(GL_LIGHTING, on != 0);
    state.word0 ^= kStateLighting;
    return 1;
}

TextureData* OpenGLRenderDevice::WhiteTexture() {
    DeviceGlobals& device = Device();
    if (device.whiteTextureSource != nullptr)
        if (TextureData* white = device.whiteTextureSource()) return white;
    if (device.ownWhiteTexture == nullptr) {
        auto* white = new TextureDataOpenGL;
        if (white == nullptr) return nullptr;
        std::int32_t pitch = 0;
        void* pixels = nullptr;
        if (white->Create(1, 1, 1, kFormatArgb8888, 0) == 0 && (pixels = white->Lock(0, &pitch, 0)) != nullptr) {
            static_cast<std::uint8_t*>(pixels)[0] = 255;
            static_cast<std::uint8_t*>(pixels)[1] = 255;
            static_cast<std::uint8_t*>(pixels)[2] = 255;
            static_cast<std::uint8_t*>(pixels)[3] = 255;
            white->Unlock(0);
            device.ownWhiteTexture = white;
        } else {
            delete white;
        }
    }
    return device.ownWhiteTexture;
}

int OpenGLRenderDevice::SetTexture(TextureData* texture, DWORD unit, DWORD flags) {
    if (unit >= kTextureUnitCount) return 0;
    TextureUnitRecord& record = State().units[unit];
    DWORD magnification = (flags & 0x2000) != 0 ? 0 : 1;
    DWORD minification = 0;
    if (texture == nullptr)
        magnification = 0;
    else if (texture->LevelCount() < 2)
        minification = (flags & 0x4000) != 0 ? 0 : 1;
    else
        minification = (flags & 0x4000) != 0 ? 2 : 3;
    DWORD filters = (minification << kUnitMinFilterShift) | (magnification << kUnitMagFilterShift);

    TextureData* bound = texture != nullptr ? texture : WhiteTexture();
    DWORD oldFilters = record.word & (kUnitMinFilterMask | kUnitMagFilterMask);
    record.word = (record.word & ~(kUnitMinFilterMask | kUnitMagFilterMask)) | filters;
    // A texture already on the unit is bound again only for new filters.
    if (record.texture == bound && bound != nullptr && oldFilters == filters) return 1;
    SetActiveTextureUnit(unit);
    if (record.texture != bound || bound == nullptr) {
        Count();
        glBindTexture(GL_TEXTURE_2D, bound != nullptr ? bound->DeviceName() : 0);
    }
    Count();
    glTexParameterx(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, FilterOf(minification));
    Count();
    glTexParameterx(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, FilterOf(magnification));
    record.texture = bound;
    record.second = 0;
    return 1;
}

int OpenGLRenderDevice::ClearTexture(DWORD unit) {
    if (unit >= kTextureUnitCount) return 0;
    TextureUnitRecord& record = State().units[unit];
    if (record.texture == nullptr) return 1;
    SetActiveTextureUnit(unit);
    Count();
    glBindTexture(GL_TEXTURE_2D, 0);
    Count();
    glTexParameterx(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    Count();
    glTexParameterx(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    record.texture = nullptr;
    record.word &= ~(kUnitMinFilterMask | kUnitMagFilterMask);
    return 1;
}

void OpenGLRenderDevice::ApplyCombiner(bool alpha, DWORD operation) {
    const Combiner& combiner = kCombiners[operation];
    GLenum operand = alpha ? GL_SRC_ALPHA : GL_SRC_COLOR;
    Count();
    glTexEnvx(GL_TEXTURE_ENV, alpha ? GL_COMBINE_ALPHA : GL_COMBINE_RGB, static_cast<GLfixed>(combiner.function));
    Count();
    glTexEnvx(GL_TEXTURE_ENV, alpha ? GL_SRC0_ALPHA : GL_SRC0_RGB, static_cast<GLfixed>(combiner.source0));
    Count();
    glTexEnvx(GL_TEXTURE_ENV, alpha ? GL_OPERAND0_ALPHA : GL_OPERAND0_RGB, static_cast<GLfixed>(operand));
    if (combiner.source1 != 0) {
        Count();
        glTexEnvx(GL_TEXTURE_ENV, alpha ? GL_SRC1_ALPHA : GL_SRC1_RGB, static_cast<GLfixed>(combiner.source1));
        Count();
        glTexEnvx(GL_TEXTURE_ENV, alpha ? GL_OPERAND1_ALPHA : GL_OPERAND1_RGB, static_cast<GLfixed>(operand));
    }
}

int OpenGLRenderDevice::SetTextureStageOps(DWORD colourOp, DWORD alphaOp, DWORD unit) {
    if (unit >= kTextureUnitCount || colourOp > 11 || alphaOp > 11) return 0;
    RenderStateRecord& state = State();
    TextureUnitRecord& record = state.units[unit];
    DWORD cachedColour = (record.word & kUnitColourOpMask) >> kUnitColourOpShift;
    DWORD cachedAlpha = (record.word & kUnitAlphaOpMask) >> kUnitAlphaOpShift;
    if (cachedColour == colourOp && cachedAlpha == alphaOp) return 0;
    SetActiveTextureUnit(unit);
    record.word = (record.word & ~(kUnitColourOpMask | kUnitAlphaOpMask)) | (colourOp << kUnitColourOpShift) |
                  (alphaOp << kUnitAlphaOpShift);
    bool texturing = (record.word & kUnitTexturingOn) != 0;
    if (colourOp == 0 && alphaOp == 0) {
        if (texturing) {
            Switch(GL_TEXTURE_2D, false);
            record.word &= ~kUnitTexturingOn;
            state.word1 &= ~kStateTexturing;
        }
        return 1;
    }
    if (!texturing) {
        Switch(GL_TEXTURE_2D, true);
        record.word |= kUnitTexturingOn;
        state.word1 |= kStateTexturing;
    }
    if (colourOp != cachedColour) ApplyCombiner(false, colourOp);
    if (alphaOp != cachedAlpha) ApplyCombiner(true, alphaOp);
    return 1;
}

int OpenGLRenderDevice::SetTextureMode(DWORD mode) {
    ModeOps ops = mode < 7 ? kTextureModes[mode] : ModeOps{4, 4};
    SetTextureStageOps(ops.colour, ops.alpha, 0);
    SetTextureStageOps(0, 0, 1);
    return 1;
}

int OpenGLRenderDevice::SetTextureConstantColour(const Color& colour, DWORD unit) {
    if (unit >= kTextureUnitCount) return 0;
    SetActiveTextureUnit(unit);
    const GLfloat values[4] = {colour.r, colour.g, colour.b, colour.a};
    Count();
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, values);
    return 1;
}

void OpenGLRenderDevice::SetUnitWrap(DWORD unit, bool tAxis, bool clamp) {
    TextureUnitRecord& record = State().units[unit];
    DWORD value = clamp ? 2 : 0;
    DWORD mask = tAxis ? kUnitWrapTMask : kUnitWrapSMask;
    DWORD bits = tAxis ? value << kUnitWrapTShift : value;
    if ((record.word & mask) == bits) return;
    SetActiveTextureUnit(unit);
    Count();
    glTexParameterx(GL_TEXTURE_2D, tAxis ? GL_TEXTURE_WRAP_T : GL_TEXTURE_WRAP_S, clamp ? GL_CLAMP_TO_EDGE : GL_REPEAT);
    record.word = (record.word & ~mask) | bits;
}

int OpenGLRenderDevice::SetWrapSRepeat(DWORD unit) {
    if (unit >= kTextureUnitCount) return 0;
    SetUnitWrap(unit, false, false);
    return 1;
}
int OpenGLRenderDevice::SetWrapSClamp(DWORD unit) {
    if (unit >= kTextureUnitCount) return 0;
    SetUnitWrap(unit, false, true);
    return 1;
}
int OpenGLRenderDevice::SetWrapTRepeat(DWORD unit) {
    if (unit >= kTextureUnitCount) return 0;
    SetUnitWrap(unit, true, false);
    return 1;
}
int OpenGLRenderDevice::SetWrapTClamp(DWORD unit) {
    if (unit >= kTextureUnitCount) return 0;
    SetUnitWrap(unit, true, true);
    return 1;
}
