// Shared fixture of the resource tests: the engine heaps, a data folder and a window (from
// the render tests), the core module (whose Init installs the resource cache's texture
// hooks), the global resource cache, and a render device when a test starts one.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/app/CoreModule.h"
#include "engine/core/files/FileStream.h"
#include "engine/core/object/Module.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/render/NullRenderDevice.h"
#include "tests/engine/render/RenderTestSupport.h"

namespace resource_test {

// A stream over `bytes` in memory, as a loader's stream is over its file.
inline void AttachBytes(FileStream& stream, const std::string& bytes, DWORD flags) {
    void* image = bytes.empty() ? nullptr : EngineAlloc(bytes.size());
    if (image != nullptr) std::memcpy(image, bytes.data(), bytes.size());
    stream.SetFlags(flags);
    stream.AttachImage(image, static_cast<DWORD>(bytes.size()), 0);
}

class ResourceTest : public render_test::RenderWindowTest {
protected:
    void SetUp() override {
        RenderWindowTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_EQ(RegisterCoreModule(), 0);
        ASSERT_EQ(GlobalResourceCache().Init(), 0);
    }
    void TearDown() override {
        // The textures go while the device that made their data still exists.
        GlobalResourceCache().Clear();
        StopDevice();
        SetResourceHooks(ResourceHooks{});
        ShutdownModules();
        RenderWindowTest::TearDown();
    }

    // The null render device as the render device.
    void StartNullDevice() {
        auto* device = new NullRenderDevice;
        ASSERT_NE(device, nullptr);
        const ScreenSize size{render_test::kScreenWidth, render_test::kScreenHeight};
        ASSERT_EQ(device->Init(window_, &size), 0u);
        SetRenderDevice(device);
    }
    void StopDevice() {
        OpenGLRenderDevice* device = RenderDevice();
        if (device == nullptr) return;
        SetRenderDevice(nullptr);
        device->Shutdown();
        device->Release();
    }

    // The bytes of a file of the data folder; empty when it is not there.
    std::string ReadDataFile(const std::string& name) const {
        std::ifstream file(root_.Path() + "/fs/data/" + name, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    }
    // A file of the data folder, its folders made as needed.
    void WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        const std::filesystem::path path = root_.Path() + "/fs/data/" + name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream file(path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    void WriteText(const std::string& name, const std::string& text) const {
        WriteFile(name, std::vector<std::uint8_t>(text.begin(), text.end()));
    }
    // A 24-bit TGA of one colour (R, G, B).
    void WriteTga(const std::string& name, int width, int height, std::uint8_t r, std::uint8_t g,
                  std::uint8_t b) const {
        std::vector<std::uint8_t> pixels;
        for (int i = 0; i < width * height; ++i) pixels.insert(pixels.end(), {b, g, r});
        WriteFile(name, render_test::MakeTga(2, 24, 0x20, width, height, pixels));
    }
};

}  // namespace resource_test
