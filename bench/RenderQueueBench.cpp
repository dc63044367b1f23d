// One frame of 4,000 lit, textured triangles drawn through the render queue, and the same
// triangles from the same buffers drawn with raw GL calls in the same run, on the headless
// llvmpipe screen (480 x 800). The goal: the queued frame takes at most 1.2 times the raw one.
#include <GLES/gl.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "engine/core/memory/EngineMemory.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/render/RenderQueue.h"
#include "engine/render/TextureData.h"
#include "engine/render/VertexBuffer.h"
#include "platform/base/HandsetRoot.h"
#include "platform/screen/Display.h"
#include "platform/user/Window.h"

namespace {

constexpr int kTriangles = 4000;
constexpr int kScreenWidth = 480;
constexpr int kScreenHeight = 800;

class PlainStage : public RenderTextureStage {
public:
    explicit PlainStage(TextureData* texture) : texture_(texture) {}
    TextureData* StageTexture() const override { return texture_; }
    DWORD StageFlags() const override { return 0; }
    void StageUvTransform(float&, float&, float&, float&) const override {}
    void UpdateUvAnimation() override {}

private:
    TextureData* texture_;
};

LRESULT PlainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

// The scene both benchmarks draw: a grid of small triangles facing the camera, one light.
struct Scene {
    Scene() {
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

        texture = device->CreateTextureObject();
        texture->Create(64, 64, 1, kFormatRgb565, 0);
        std::int32_t pitch = 0;
        auto* pixels = static_cast<std::uint16_t*>(texture->Lock(0, &pitch, 0));
        for (int i = 0; i < 64 * 64; ++i)
            pixels[i] = static_cast<std::uint16_t>(((i / 64) ^ (i % 64)) & 1 ? 0xFFFF : 0x7BEF);
        texture->Unlock(0);

        // 80 x 50 cells of 6 x 16 pixels, one triangle each.
        for (int t = 0; t < kTriangles; ++t) {
            float x = static_cast<float>(t % 80) * 6.0f;
            float y = static_cast<float>(t / 80) * 16.0f;
            const Vector3 corners[3] = {{x, y, 0}, {x, y + 14, 0}, {x + 5, y + 14, 0}};
            for (int c = 0; c < 3; ++c) {
                positions.push_back(corners[c]);
                normals.push_back(Vector3{0, 0, -1});
                texCoords.push_back(Vector2{static_cast<float>(c & 1), static_cast<float>(c >> 1)});
                colours.push_back(0xFFFFFFFF);
                indices.push_back(static_cast<std::uint16_t>(positions.size() - 1));
            }
        }
        stage = new PlainStage(texture);
        material.stage = stage;
        part.vertexCount = static_cast<std::uint32_t>(positions.size());
        part.positions = positions.data();
        part.normals = normals.data();
        part.texCoords = texCoords.data();
        part.colours = colours.data();
        part.indexCount = static_cast<std::uint32_t>(indices.size());
        part.indices = indices.data();
        part.material = &material;
        mesh.subMeshCount = 1;
        mesh.subMeshes = &part;
        device->PrepareMeshBatches(&mesh);

        lights.ambient = Color{0.2f, 0.2f, 0.2f, 1.0f};
        lights.count = 1;
        lights.lights[0].kind = 2;
        lights.lights[0].direction = Vector3{0, 0, -1};
        lights.lights[0].diffuse = Color{1, 1, 1, 1};
        lights.lights[0].ambient = Color{0, 0, 0, 1};
    }

    // What both frames share: clear, camera, lights.
    void BeginFrame() {
        device->SetClearColor(Color{0, 0, 0, 1});
        device->Clear(0);
        device->SetDepthMode(3);
        device->SetOrtho(0, 0, kScreenWidth, kScreenHeight, -1.0f, 1.0f);
        device->SetViewMatrix(kIdentityMatrix34);
        device->SetLights(1, &lights);
    }

    HWND window = nullptr;
    OpenGLRenderDevice* device = nullptr;
    bool ready = false;
    TextureData* texture = nullptr;
    PlainStage* stage = nullptr;
    std::vector<Vector3> positions;
    std::vector<Vector3> normals;
    std::vector<Vector2> texCoords;
    std::vector<std::uint32_t> colours;
    std::vector<std::uint16_t> indices;
    RenderMaterial material;
    RenderSubMesh part;
    RenderMesh mesh;
    RenderLightSet lights{};
};

Scene& TheScene() {
    static Scene* scene = new Scene;
    return *scene;
}

void BM_QueuedFrame(benchmark::State& state) {
    Scene& scene = TheScene();
    if (!scene.ready) {
        state.SkipWithError("the headless render device did not start");
        return;
    }
    RenderTransform transform;
    for (auto _ : state) {
        scene.BeginFrame();
        scene.device->SubmitMesh(nullptr, &scene.mesh, transform);
        scene.device->FlushQueue();
        glFinish();
    }
    state.counters["triangles"] = kTriangles;
}

void BM_RawGlFrame(benchmark::State& state) {
    Scene& scene = TheScene();
    if (!scene.ready) {
        state.SkipWithError("the headless render device did not start");
        return;
    }
    const QueueGeometry& geometry = *scene.part.geometry;
    const GLsizei stride = static_cast<GLsizei>(geometry.vertices->VertexSize());
    for (auto _ : state) {
        scene.BeginFrame();
        // The state and draw the queue sets, issued directly.
        glEnable(GL_CULL_FACE);
        glActiveTexture(GL_TEXTURE0);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, scene.texture->DeviceName());
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glBindBuffer(GL_ARRAY_BUFFER, geometry.vertices->Name());
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, geometry.indices->Name());
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glVertexPointer(3, GL_FLOAT, stride, reinterpret_cast<const void*>(0));
        glNormalPointer(GL_FLOAT, stride, reinterpret_cast<const void*>(12));
        glColorPointer(4, GL_UNSIGNED_BYTE, stride, reinterpret_cast<const void*>(24));
        glTexCoordPointer(2, GL_FLOAT, stride, reinterpret_cast<const void*>(28));
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(geometry.indexCount), GL_UNSIGNED_SHORT, nullptr);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        glFinish();
        // The device's mirror no longer matches GL: put GL back the way the mirror says.
        glDisable(GL_CULL_FACE);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    }
    state.counters["triangles"] = kTriangles;
}

BENCHMARK(BM_QueuedFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawGlFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
