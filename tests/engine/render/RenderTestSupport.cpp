// The render device fixture, frame read-back, reference images and file fixtures.
#include "tests/engine/render/RenderTestSupport.h"

#include <png.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "engine/core/files/DataFolder.h"
#include "engine/core/memory/EngineMemory.h"
#include "platform/screen/PngFile.h"
#include "tests/support/ReferenceImage.h"

namespace render_test {

namespace {

LRESULT PlainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void RenderWindowTest::SetUp() {
    ASSERT_EQ(HeapInit(), 0);
    ASSERT_TRUE(platform::screen::Configure(platform::screen::DisplayGeometry{kScreenWidth, kScreenHeight, 96}));
    std::filesystem::create_directories(root_.Path() + "/fs/data");
    SetDataFolder("\\data\\");
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = PlainProcedure;
    windowClass.lpszClassName = u"RenderTestWindow";
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, u"RenderTestWindow", u"render", WS_VISIBLE, 0, 0, kScreenWidth, kScreenHeight, nullptr,
                              nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
}

void RenderWindowTest::TearDown() {
    if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
    platform::screen::SetCaptureSource({});
    platform::screen::Configure(platform::screen::DisplayGeometry{});
    SetDataFolder(nullptr);
    HeapTeardown();
}

void RenderWindowTest::WriteDataFile(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    std::ofstream file(root_.Path() + "/fs/data/" + name, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void RenderDeviceTest::SetUp() {
    RenderWindowTest::SetUp();
    if (HasFatalFailure()) return;
    device_ = new OpenGLRenderDevice;
    ASSERT_NE(device_, nullptr);
    ScreenSize size{kScreenWidth, kScreenHeight};
    ASSERT_EQ(device_->Init(window_, &size), 0u) << LastEglTrace();
    glDisable(GL_DITHER);
    OpenGLRenderDevice::ResetStatistics();
    OpenGLRenderDevice::ClearFailure();
}

void RenderDeviceTest::TearDown() {
    if (device_ != nullptr) {
        device_->Shutdown();
        delete device_;
    }
    OpenGLRenderDevice::SetWhiteTextureSource(nullptr);
    RenderWindowTest::TearDown();
}

platform::screen::Image RenderDeviceTest::ReadFrame() const {
    platform::screen::Image image;
    image.width = kScreenWidth;
    image.height = kScreenHeight;
    std::vector<std::uint8_t> bottomUp(static_cast<std::size_t>(kScreenWidth) * kScreenHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kScreenWidth, kScreenHeight, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    image.rgba.resize(bottomUp.size());
    const std::size_t row = static_cast<std::size_t>(kScreenWidth) * 4;
    for (int y = 0; y < kScreenHeight; ++y)
        std::memcpy(&image.rgba[y * row], &bottomUp[(kScreenHeight - 1 - y) * row], row);
    return image;
}

std::array<int, 3> RenderDeviceTest::FramePixel(int x, int y) const {
    std::uint8_t pixel[4] = {};
    glReadPixels(x, kScreenHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return {pixel[0], pixel[1], pixel[2]};
}

void RenderDeviceTest::DrawQuad(float x, float y, float w, float h, std::array<std::uint8_t, 4> colour, float z) {
    device_->SetOrtho(0, 0, static_cast<float>(kScreenWidth), static_cast<float>(kScreenHeight), 0.0f, 1.0f);
    device_->SetViewMatrix(kIdentityMatrix34);
    device_->SetWorldMatrix(kIdentityMatrix34);
    ImmediateVertex quad[4] = {};
    const float corners[4][4] = {{x, y, 0, 0}, {x, y + h, 0, 1}, {x + w, y + h, 1, 1}, {x + w, y, 1, 0}};
    for (int i = 0; i < 4; ++i) {
        quad[i].position = Vector3{corners[i][0], corners[i][1], z};
        quad[i].normal = Vector3{0, 0, -1};
        std::memcpy(quad[i].colour, colour.data(), 4);
        quad[i].u = corners[i][2];
        quad[i].v = corners[i][3];
    }
    device_->DrawPrimitives(kDrawQuads, 1, quad);
}

RenderTransform Placed(float x, float y, float size, float z) {
    RenderTransform transform;
    transform.world.m[0][0] = size;
    transform.world.m[1][1] = size;
    transform.world.m[0][3] = x;
    transform.world.m[1][3] = y;
    transform.world.m[2][3] = z;
    return transform;
}

::testing::AssertionResult MatchesReference(const platform::screen::Image& image, const std::string& name) {
    return handset_test::MatchesReference(image, RENDER_REFERENCE_DIR, name);
}

void Put16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, static_cast<std::uint16_t>(value));
    Put16(out, static_cast<std::uint16_t>(value >> 16));
}

std::vector<std::uint8_t> MakeTga(std::uint8_t type, std::uint8_t depth, std::uint8_t descriptor, int width, int height,
                                  const std::vector<std::uint8_t>& filePixels) {
    std::vector<std::uint8_t> out = {0, 0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Put16(out, static_cast<std::uint16_t>(width));
    Put16(out, static_cast<std::uint16_t>(height));
    out.push_back(depth);
    out.push_back(descriptor);
    const std::size_t bytes = depth / 8u;
    const std::size_t count = static_cast<std::size_t>(width) * height;
    if (type != 10) {
        out.insert(out.end(), filePixels.begin(), filePixels.end());
        return out;
    }
    // Run-length: repeats of equal pixels become run packets, the rest raw packets, at most
    // 128 pixels a packet.
    std::size_t index = 0;
    auto same = [&](std::size_t a, std::size_t b) {
        return std::memcmp(&filePixels[a * bytes], &filePixels[b * bytes], bytes) == 0;
    };
    while (index < count) {
        std::size_t run = 1;
        while (index + run < count && run < 128 && same(index, index + run)) ++run;
        if (run >= 2) {
            out.push_back(static_cast<std::uint8_t>(0x80 | (run - 1)));
            out.insert(out.end(), filePixels.begin() + index * bytes, filePixels.begin() + (index + 1) * bytes);
            index += run;
            continue;
        }
        std::size_t raw = 1;
        while (index + raw < count && raw < 128 && !(index + raw + 1 < count && same(index + raw, index + raw + 1)))
            ++raw;
        out.push_back(static_cast<std::uint8_t>(raw - 1));
        out.insert(out.end(), filePixels.begin() + index * bytes, filePixels.begin() + (index + raw) * bytes);
        index += raw;
    }
    return out;
}

std::vector<std::uint8_t> MakeDds(const DdsFormat& format, std::uint32_t width, std::uint32_t height,
                                  std::uint32_t mipCount, std::uint32_t caps2, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> out;
    Put32(out, 0x20534444);  // "DDS "
    Put32(out, 124);         // header size
    Put32(out, 0x1 | 0x2 | 0x4 | 0x1000 | (mipCount > 1 ? 0x20000 : 0));
    Put32(out, height);    // 12
    Put32(out, width);     // 16
    Put32(out, 0);         // pitch
    Put32(out, 0);         // depth
    Put32(out, mipCount);  // 28
    for (int i = 0; i < 11; ++i) Put32(out, 0);
    Put32(out, 32);  // 76: pixel format size
    Put32(out, format.fourCc != 0 ? 0x4 : 0x40);
    Put32(out, format.fourCc);  // 84
    Put32(out, format.bits);    // 88
    Put32(out, format.red);     // 92
    Put32(out, format.green);   // 96
    Put32(out, format.blue);    // 100
    Put32(out, format.alpha);   // 104
    Put32(out, 0x1000);         // 108: caps
    Put32(out, caps2);          // 112
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);  // 124
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

}  // namespace render_test
