// 1,000 glyphs drawn through the 2D text batches (64 glyphs a batch, each through the next
// ring buffer with the text state), and the same quads drawn with raw GL calls in the same
// run, on the headless llvmpipe screen (800 x 480): once as one upload and one draw (the
// strongest plain baseline), once in the same 64-quad pieces. The goal: the batched glyphs
// take at most 1.2 times the raw quads. The pairs compare the wall clock, as llvmpipe's own
// threads do much of the drawing.
#include <GLES/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "bench/BenchCompare.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/text/GlyphRun.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/render/TextureData.h"
#include "platform/base/HandsetRoot.h"
#include "platform/screen/Display.h"
#include "platform/user/Window.h"

namespace {

constexpr int kGlyphs = 1000;
constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 480;
constexpr int kGlyphsPerLine = 50;
constexpr int kRawBuffers = 16;

LRESULT PlainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

// 20 lines of 50 glyphs of 16 x 16 pixels over the screen, in the 2D vertex.
struct Scene {
    Scene() {
        std::filesystem::path root = std::filesystem::temp_directory_path() / "glyph_batch_bench";
        std::filesystem::create_directories(root);
        platform::SetHandsetRoot(root.string());
        HeapInit();
        platform::screen::Configure(platform::screen::DisplayGeometry{kScreenWidth, kScreenHeight, 192});
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = PlainProcedure;
        windowClass.lpszClassName = u"GlyphBench";
        RegisterClassW(&windowClass);
        window = CreateWindowExW(0, u"GlyphBench", u"bench", WS_VISIBLE, 0, 0, kScreenWidth, kScreenHeight, nullptr,
                                 nullptr, nullptr, nullptr);
        device = new OpenGLRenderDevice;
        ScreenSize size{kScreenWidth, kScreenHeight};
        ready = device->Init(window, &size) == 0;
        if (!ready) return;
        SetRenderDevice(device);
        canvas = new Canvas2D;
        canvas->Init();

        run = NewGlyphRun(kGlyphs);
        for (int glyph = 0; glyph < kGlyphs; ++glyph) {
            const auto x = static_cast<float>((glyph % kGlyphsPerLine) * 16);
            const auto y = static_cast<float>((glyph / kGlyphsPerLine) * 24);
            const float corners[4][4] = {{x, y, 0, 0}, {x + 16, y, 1, 0}, {x + 16, y + 16, 1, 1}, {x, y + 16, 0, 1}};
            for (int i = 0; i < 4; ++i) {
                ImmediateVertex& vertex = run->quads[glyph * 4 + i];
                vertex = ImmediateVertex{};
                vertex.position = Vector3{corners[i][0], corners[i][1], 0};
                vertex.colour[0] = vertex.colour[1] = vertex.colour[2] = vertex.colour[3] = 255;
                vertex.u = corners[i][2];
                vertex.v = corners[i][3];
            }
        }
        run->count = kGlyphs;

        // The raw draw's buffers and texture: the same vertices, two triangles a quad.
        glGenBuffers(kRawBuffers, rawVertices);
        glGenBuffers(1, &rawIndices);
        std::vector<std::uint16_t> indices;
        for (int glyph = 0; glyph < kGlyphs; ++glyph) {
            const auto first = static_cast<std::uint16_t>(glyph * 4);
            for (int offset : {0, 1, 2, 0, 2, 3}) indices.push_back(static_cast<std::uint16_t>(first + offset));
        }
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, rawIndices);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * 2), indices.data(),
                     GL_STATIC_DRAW);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        const std::uint32_t white = 0xFFFFFFFF;
        glGenTextures(1, &rawTexture);
        glBindTexture(GL_TEXTURE_2D, rawTexture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, &white);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glBindTexture(GL_TEXTURE_2D, 0);
    }

    void BeginFrame() {
        device->SetClearColor(Color{0, 0, 0, 1});
        device->Clear(0);
        device->SetOrtho(0, 0, kScreenWidth, kScreenHeight, 0.0f, 1.0f);
        device->SetBlendEnable(1);
        device->SetBlendFunc(5, 6);
        BeginOverlayDraw(canvas);
    }

    // The engine's way: 64 glyphs a batch, each with its colour and transform.
    void DrawBatched() {
        BeginFrame();
        Overlay2D().textTransform = kIdentityMatrix34;
        for (int first = 0; first < kGlyphs; first += static_cast<int>(kSharedRunGlyphs)) {
            GlyphRun part = *run;
            part.quads = run->quads + first * 4;
            part.count = static_cast<std::uint32_t>(std::min(kGlyphs - first, static_cast<int>(kSharedRunGlyphs)));
            DrawGlyphBatch(part, part.count, 0xFFFFFFFF);
        }
        glFinish();
    }

    // The plain way: the texture modulated, the quads uploaded and drawn in pieces of
    // `piece` quads (all at once: the strongest baseline).
    void DrawRaw(int piece) {
        BeginFrame();
        const GLsizei stride = sizeof(ImmediateVertex);
        glActiveTexture(GL_TEXTURE0);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, rawTexture);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, rawIndices);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        for (int first = 0, buffer = 0; first < kGlyphs; first += piece, ++buffer) {
            const int count = std::min(piece, kGlyphs - first);
            glBindBuffer(GL_ARRAY_BUFFER, rawVertices[buffer % kRawBuffers]);
            glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count) * 4 * stride, run->quads + first * 4,
                         GL_DYNAMIC_DRAW);
            glVertexPointer(3, GL_FLOAT, stride, reinterpret_cast<const void*>(0));
            glTexCoordPointer(2, GL_FLOAT, stride, reinterpret_cast<const void*>(28));
            glDrawElements(GL_TRIANGLES, count * 6, GL_UNSIGNED_SHORT, nullptr);
        }
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        glFinish();
        // The device's mirror no longer matches GL: put GL back the way the mirror says.
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
        glBindTexture(GL_TEXTURE_2D, 0);
        device->ResetRenderState();
    }

    HWND window = nullptr;
    OpenGLRenderDevice* device = nullptr;
    Canvas2D* canvas = nullptr;
    GlyphRun* run = nullptr;
    GLuint rawVertices[kRawBuffers] = {};
    GLuint rawIndices = 0;
    GLuint rawTexture = 0;
    bool ready = false;
};

Scene& TheScene() {
    static Scene* scene = new Scene;
    return *scene;
}

// Draws one frame an iteration with `draw`.
template <typename Draw>
void DrawFrames(benchmark::State& state, Draw draw) {
    Scene& scene = TheScene();
    if (!scene.ready) {
        state.SkipWithError("the headless render device did not start");
        return;
    }
    for (auto _ : state) draw(scene);
    state.counters["glyphs"] = kGlyphs;
}

void BM_GlyphBatches(benchmark::State& state) {
    DrawFrames(state, [](Scene& scene) { scene.DrawBatched(); });
}

void BM_RawGlQuads(benchmark::State& state) {
    DrawFrames(state, [](Scene& scene) { scene.DrawRaw(kGlyphs); });
}

void BM_RawGlQuadsIn64s(benchmark::State& state) {
    DrawFrames(state, [](Scene& scene) { scene.DrawRaw(static_cast<int>(kSharedRunGlyphs)); });
}

BENCHMARK(BM_GlyphBatches)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawGlQuads)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawGlQuadsIn64s)->Unit(benchmark::kMicrosecond);

using bench::Clock;
using bench::Ratio;
const bool kCompared = bench::Compare({"BM_GlyphBatches", "BM_RawGlQuads", Ratio::Time, Clock::Real, 1.2}) &&
                       bench::Compare({"BM_GlyphBatches", "BM_RawGlQuadsIn64s", Ratio::Time, Clock::Real, 0});

}  // namespace
