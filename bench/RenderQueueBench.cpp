// A frame of 400 small draws through the render queue, against the same draws with the same
// states issued as raw GL calls in the same run, on the headless llvmpipe screen. The draws
// cover 40 sub-meshes of their own buffers and materials: four textures (one with a scaled
// texture stage) and none, culling on and off, a constant colour on texture unit 1, a texture
// matrix per draw, and a blended pass; each draw has its own world matrix. The viewport is
// 64 x 64 pixels, so that rasterising does not hide what the queue costs. The raw side keeps
// the plainest state cache (it issues only what changes, and binds each sub-mesh's buffers
// once for its draws) and draws in the order the queue does; one frame of each is read back
// and must match. The goal: the queued frame takes at most 1.2 times the raw one.
#include <GLES/gl.h>
#include <GLES/glext.h>
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "bench/BenchCompare.h"
#include "engine/core/math/ColorMath.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/render/RenderQueue.h"
#include "engine/render/TextureData.h"
#include "engine/render/VertexBuffer.h"
#include "platform/base/HandsetRoot.h"
#include "platform/screen/Display.h"
#include "platform/user/Window.h"

namespace {

constexpr int kScreenWidth = 480;
constexpr int kScreenHeight = 800;
constexpr int kViewport = 64;
constexpr int kSubMeshes = 40;
constexpr int kDraws = 400;
constexpr int kTextures = 4;

class Stage : public RenderTextureStage {
public:
    Stage(TextureData* texture, float scale) : texture_(texture), scale_(scale) {}
    TextureData* StageTexture() const override { return texture_; }
    DWORD StageFlags() const override { return 0; }
    void StageUvTransform(float& uScale, float& vScale, float& uOffset, float& vOffset) const override {
        uScale = scale_;
        vScale = scale_;
        uOffset = 0.0f;
        vOffset = 0.0f;
    }
    void UpdateUvAnimation() override {}
    float Scale() const { return scale_; }

private:
    TextureData* texture_;
    float scale_;
};

LRESULT PlainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

TextureData* whiteTexture = nullptr;
TextureData* WhiteTextureSource() { return whiteTexture; }

// One draw: its sub-mesh, world matrix, texture matrix and constant colour.
struct Draw {
    int part;
    RenderTransform transform;
};

struct Scene {
    Scene() {
        // Rasterise on the calling thread: the processor time of the draws is then the
        // process's own, without hand-overs between threads on a shared machine.
        setenv("LP_NUM_THREADS", "0", 0);
        // llvmpipe allocates and frees its scene every frame; with the C library's default,
        // freed memory at the top of its heap goes back to the system and each frame faults
        // it in again, which cost 1 to 10 ms a frame here, on both sides alike, and hid
        // what the queue costs. Freed memory is kept instead.
        mallopt(M_TRIM_THRESHOLD, 256 << 20);
        mallopt(M_MMAP_THRESHOLD, 256 << 20);
        std::filesystem::path root = std::filesystem::temp_directory_path() / "render_queue_bench";
        std::filesystem::create_directories(root);
        platform::SetHandsetRoot(root.string());
        HeapInit();
        platform::screen::Configure(platform::screen::DisplayGeometry{kScreenWidth, kScreenHeight, 192});
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = PlainProcedure;
        windowClass.lpszClassName = u"RenderBench";
        RegisterClassW(&windowClass);
        window = CreateWindowExW(0, u"RenderBench", u"bench", WS_VISIBLE, 0, 0, kScreenWidth, kScreenHeight, nullptr,
                                 nullptr, nullptr, nullptr);
        device = new OpenGLRenderDevice;
        ScreenSize size{kScreenWidth, kScreenHeight};
        ready = device->Init(window, &size) == 0;
        if (!ready) return;

        whiteTexture = MakeTexture(1, [](int) { return std::uint16_t{0xFFFF}; });
        OpenGLRenderDevice::SetWhiteTextureSource(WhiteTextureSource);
        for (int t = 0; t < kTextures; ++t) {
            textures[t] = MakeTexture(16, [t](int i) {
                return static_cast<std::uint16_t>(((i / 16) ^ (i % 16) ^ t) & 1 ? 0xFFFF : 0x7BEF + 0x0841 * t);
            });
            stages.push_back(new Stage(textures[t], t == 3 ? 2.0f : 1.0f));
        }
        // The raw side sets each texture's filters once (the queue's SetTexture sets them at
        // every bind): linear for the textures, nearest for the white one.
        for (TextureData* texture : textures) SetFilters(texture, GL_LINEAR);
        SetFilters(whiteTexture, GL_NEAREST);

        // Sub-mesh i: a 6 x 6 pixel square of two triangles in its own buffers.
        const Vector3 corners[4] = {{0, 0, 0}, {0, 6, 0}, {6, 6, 0}, {6, 0, 0}};
        const Vector2 uvs[4] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
        const std::uint16_t indices[6] = {0, 1, 2, 0, 2, 3};
        for (int i = 0; i < kSubMeshes; ++i) {
            for (int c = 0; c < 4; ++c) {
                positions[i][c] = corners[c];
                normals[i][c] = Vector3{0, 0, -1};
                texCoords[i][c] = uvs[c];
                colours[i][c] = 0x80000000u | (0x10305070u * static_cast<std::uint32_t>(i + c) & 0xFFFFFF);
            }
            std::copy(indices, indices + 6, meshIndices[i].begin());
            RenderMaterial& material = materials[i];
            material.stage = i % 8 == 7 ? nullptr : stages[i % kTextures];
            if (i % 3 == 0) material.flags |= kMaterialDoubleSided;
            if (i % 5 == 0) material.flags |= kMaterialConstantColour;
            if (i % 7 == 0) material.flags |= kMaterialTextureMatrix;
            if (i % 4 == 3) material.flags |= kMaterialBlended;
            RenderSubMesh& part = parts[i];
            part.vertexCount = 4;
            part.positions = positions[i].data();
            part.normals = normals[i].data();
            part.texCoords = texCoords[i].data();
            part.colours = colours[i].data();
            part.indexCount = 6;
            part.indices = meshIndices[i].data();
            part.material = &material;
            meshes[i].subMeshCount = 1;
            meshes[i].subMeshes = &part;
            device->PrepareMeshBatches(&meshes[i]);
        }
        // Draw d: sub-mesh d % 40 at its own place, colour and texture matrix.
        for (int d = 0; d < kDraws; ++d) {
            Draw draw{d % kSubMeshes, RenderTransform{}};
            draw.transform.world.m[0][3] = static_cast<float>((d * 7) % (kViewport - 6));
            draw.transform.world.m[1][3] = static_cast<float>((d * 13) % (kViewport - 6));
            draw.transform.materialValue = 0xFF000000u | (0x00102030u * static_cast<std::uint32_t>(d) & 0xFFFFFF);
            draw.transform.texture.m[0][3] = 0.125f * static_cast<float>(d % 8);
            draws.push_back(draw);
        }
        device->SetViewport(0, 0, kViewport, kViewport);
        device->SetDepthMode(0);
        device->SetOrtho(0, 0, kViewport, kViewport, -1.0f, 1.0f);
        device->SetViewMatrix(kIdentityMatrix34);
        QueuedFrame();
        glFinish();
    }

    template <typename Texel>
    TextureData* MakeTexture(int side, Texel texel) {
        TextureData* texture = device->CreateTextureObject();
        texture->Create(side, side, 1, kFormatRgb565, 0);
        std::int32_t pitch = 0;
        auto* pixels = static_cast<std::uint16_t*>(texture->Lock(0, &pitch, 0));
        for (int i = 0; i < side * side; ++i) pixels[i] = texel(i);
        texture->Unlock(0);
        return texture;
    }

    void SetFilters(TextureData* texture, GLint filter) {
        glBindTexture(GL_TEXTURE_2D, texture->DeviceName());
        glTexParameterx(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
        glTexParameterx(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    }

    bool IsBlended(int part) const { return (materials[part].flags & kMaterialBlended) != 0; }

    // The opaque draws through the queue, then the blended ones with blending on.
    void QueuedFrame() {
        for (const Draw& draw : draws)
            if (!IsBlended(draw.part)) device->SubmitMesh(nullptr, &meshes[draw.part], draw.transform);
        device->FlushQueue();
        device->SetBlendEnable(1);
        device->SetBlendFunc(5, 6);
        for (const Draw& draw : draws)
            if (IsBlended(draw.part)) device->SubmitMesh(nullptr, &meshes[draw.part], draw.transform);
        device->FlushQueue();
        device->SetBlendEnable(0);
    }

    HWND window = nullptr;
    OpenGLRenderDevice* device = nullptr;
    bool ready = false;
    std::array<TextureData*, kTextures> textures{};
    std::vector<Stage*> stages;
    std::array<std::array<Vector3, 4>, kSubMeshes> positions{};
    std::array<std::array<Vector3, 4>, kSubMeshes> normals{};
    std::array<std::array<Vector2, 4>, kSubMeshes> texCoords{};
    std::array<std::array<std::uint32_t, 4>, kSubMeshes> colours{};
    std::array<std::array<std::uint16_t, 6>, kSubMeshes> meshIndices{};
    std::array<RenderMaterial, kSubMeshes> materials{};
    std::array<RenderSubMesh, kSubMeshes> parts{};
    std::array<RenderMesh, kSubMeshes> meshes{};
    std::vector<Draw> draws;
};

Scene& TheScene() {
    static Scene* scene = new Scene;
    return *scene;
}

// The raw side's state cache: what it last set, so that it issues only what changes.
struct RawState {
    int cull = -1;
    int unit0Colour = -1;  // 4: texture x vertex colour, 2: vertex colour
    GLuint unit0Texture = 0;
    int unit1 = -1;  // 1: constant colour on, 0: off
    GLuint unit1Texture = 0;
    int activeUnit = 0;
    bool textureMatrix = false;

    void Active(int unit) {
        if (activeUnit == unit) return;
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
        activeUnit = unit;
    }

    // Unit 0's colour: 4 the texture times the vertex colour, 2 the vertex colour alone.
    void Unit0Colour(int operation) {
        if (operation == unit0Colour) return;
        Active(0);
        if (operation == 4) {
            glTexEnvx(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_MODULATE);
            glTexEnvx(GL_TEXTURE_ENV, GL_SRC0_RGB, GL_TEXTURE);
            glTexEnvx(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
            glTexEnvx(GL_TEXTURE_ENV, GL_SRC1_RGB, GL_PRIMARY_COLOR);
            glTexEnvx(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
        } else {
            glTexEnvx(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_REPLACE);
            glTexEnvx(GL_TEXTURE_ENV, GL_SRC0_RGB, GL_PRIMARY_COLOR);
            glTexEnvx(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
        }
        unit0Colour = operation;
    }
};

void LoadTextureMatrix(RawState& state, const GLfloat* matrix) {
    state.Active(0);
    glMatrixMode(GL_TEXTURE);
    glLoadMatrixf(matrix);
    glMatrixMode(GL_MODELVIEW);
    state.textureMatrix = true;
}

void ResetTextureMatrix(RawState& state) {
    if (!state.textureMatrix) return;
    state.Active(0);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    state.textureMatrix = false;
}

// The draws of one pass, sub-mesh by sub-mesh in the order each first appears (as the queue
// batches them), with the states the queue sets.
void RawPass(Scene& scene, RawState& state, bool blended) {
    bool done[kSubMeshes] = {};
    for (const Draw& first : scene.draws) {
        const int part = first.part;
        if (scene.IsBlended(part) != blended || done[part]) continue;
        done[part] = true;
        const RenderMaterial& material = scene.materials[part];
        const int cull = (material.flags & kMaterialDoubleSided) != 0 ? 0 : 1;
        if (cull != state.cull) {
            if (cull != 0) {
                glCullFace(GL_BACK);
                glEnable(GL_CULL_FACE);
            } else {
                glDisable(GL_CULL_FACE);
            }
            state.cull = cull;
        }
        const auto* stage = static_cast<const Stage*>(material.stage);
        state.Unit0Colour(stage != nullptr ? 4 : 2);
        GLfloat stageMatrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        const bool stageScaled = stage != nullptr && stage->Scale() != 1.0f;
        if (stage != nullptr) {
            const GLuint name = stage->StageTexture()->DeviceName();
            if (name != state.unit0Texture) {
                state.Active(0);
                glBindTexture(GL_TEXTURE_2D, name);
                state.unit0Texture = name;
            }
            if (stageScaled) {
                stageMatrix[0] = stageMatrix[5] = stage->Scale();
                LoadTextureMatrix(state, stageMatrix);
            } else {
                ResetTextureMatrix(state);
            }
        }
        const QueueGeometry& geometry = *scene.parts[part].geometry;
        const auto stride = static_cast<GLsizei>(geometry.vertices->VertexSize());
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, geometry.indices->Name());
        glBindBuffer(GL_ARRAY_BUFFER, geometry.vertices->Name());
        glVertexPointer(3, GL_FLOAT, stride, reinterpret_cast<const void*>(0));
        glNormalPointer(GL_FLOAT, stride, reinterpret_cast<const void*>(12));
        glColorPointer(4, GL_UNSIGNED_BYTE, stride, reinterpret_cast<const void*>(24));
        glTexCoordPointer(2, GL_FLOAT, stride, reinterpret_cast<const void*>(28));

        bool recordMatrixLoaded = false;
        for (const Draw& draw : scene.draws) {
            if (draw.part != part) continue;
            const RenderTransform& transform = draw.transform;
            // Model-view: the view (the identity here) times the world matrix.
            GLfloat modelView[16];
            ExpandMatrix34(transform.world, modelView);
            glLoadMatrixf(modelView);
            const bool constantColour = (material.flags & kMaterialConstantColour) != 0;
            if (constantColour) {
                // Unit 1 multiplies by the draw's colour; unit 0 then modulates by its texture.
                state.Unit0Colour(4);
                state.Active(1);
                if (state.unit1Texture != whiteTexture->DeviceName()) {
                    glBindTexture(GL_TEXTURE_2D, whiteTexture->DeviceName());
                    state.unit1Texture = whiteTexture->DeviceName();
                }
                if (state.unit1 != 1) {
                    glEnable(GL_TEXTURE_2D);
                    glTexEnvx(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_MODULATE);
                    glTexEnvx(GL_TEXTURE_ENV, GL_SRC0_RGB, GL_PREVIOUS);
                    glTexEnvx(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
                    glTexEnvx(GL_TEXTURE_ENV, GL_SRC1_RGB, GL_CONSTANT);
                    glTexEnvx(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
                    glTexEnvx(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_REPLACE);
                    glTexEnvx(GL_TEXTURE_ENV, GL_SRC0_ALPHA, GL_TEXTURE);
                    glTexEnvx(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA, GL_SRC_ALPHA);
                    state.unit1 = 1;
                }
                Color colour{};
                ColorFromARGB(transform.materialValue, colour);
                const GLfloat values[4] = {colour.r, colour.g, colour.b, colour.a};
                glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, values);
            } else if (state.unit1 != 0) {
                state.Active(1);
                glDisable(GL_TEXTURE_2D);
                state.unit1 = 0;
            }
            if ((material.flags & kMaterialTextureMatrix) != 0) {
                GLfloat matrix[16];
                ExpandMatrix34(transform.texture, matrix);
                LoadTextureMatrix(state, matrix);
                recordMatrixLoaded = true;
            } else if (recordMatrixLoaded) {
                if (stageScaled)
                    LoadTextureMatrix(state, stageMatrix);
                else
                    ResetTextureMatrix(state);
                recordMatrixLoaded = false;
            }
            glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, nullptr);
        }
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    ResetTextureMatrix(state);
    state.Active(0);
}

void RawFrame(Scene& scene, RawState& state) {
    RawPass(scene, state, false);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    RawPass(scene, state, true);
    glDisable(GL_BLEND);
}

std::vector<std::uint8_t> ReadViewport() {
    std::vector<std::uint8_t> pixels(std::size_t{kViewport} * kViewport * 4);
    glReadPixels(0, kScreenHeight - kViewport, kViewport, kViewport, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// Both sides draw the same picture (the raw side starts from nothing it knows).
bool SamePicture(Scene& scene) {
    scene.device->Clear(1);
    scene.QueuedFrame();
    const std::vector<std::uint8_t> queued = ReadViewport();
    scene.device->Clear(1);
    RawState state;
    RawFrame(scene, state);
    const std::vector<std::uint8_t> raw = ReadViewport();
    return queued == raw;
}

void QueuedDraws(benchmark::State& state) {
    Scene& scene = TheScene();
    if (!scene.ready) {
        state.SkipWithError("the headless render device did not start");
        return;
    }
    if (!SamePicture(scene)) {
        state.SkipWithError("the queued and the raw frame differ");
        return;
    }
    for (auto _ : state) {
        scene.QueuedFrame();
        glFinish();
    }
    state.counters["draws"] = kDraws;
}

void RawGlDraws(benchmark::State& state) {
    Scene& scene = TheScene();
    if (!scene.ready) {
        state.SkipWithError("the headless render device did not start");
        return;
    }
    // The state a queued frame leaves is known to the queue only: the raw side's cache
    // starts empty each frame, which costs it a handful of calls.
    for (auto _ : state) {
        RawState raw;
        RawFrame(scene, raw);
        glFinish();
    }
    state.counters["draws"] = kDraws;
}

BENCHMARK(QueuedDraws)->Unit(benchmark::kMicrosecond);
BENCHMARK(RawGlDraws)->Unit(benchmark::kMicrosecond);

using bench::Clock;
using bench::Ratio;
const bool kCompared = bench::Compare({"QueuedDraws", "RawGlDraws", Ratio::Time, Clock::Cpu, 1.2});

}  // namespace
