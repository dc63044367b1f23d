// Fixtures of the animation tests: fresh engine heaps, a handset root with a data folder, the
// core module (whose Init installs the cache's animation hooks) and the global resource cache;
// a little-endian byte builder for ".kan" files and streams over bytes.
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
#include "engine/core/files/DataFolder.h"
#include "engine/core/files/FileStream.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/node/KNode.h"
#include "engine/core/object/Module.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/resources/animation/SkelAnimation.h"
#include "tests/engine/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"

namespace animation_test {

using Bytes = std::vector<std::uint8_t>;

// Little-endian fields in file order.
class ByteWriter {
public:
    ByteWriter& Word(std::uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        return *this;
    }
    ByteWriter& Float(float value) {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return Word(bits);
    }
    ByteWriter& Floats(std::initializer_list<float> values) {
        for (float value : values) Float(value);
        return *this;
    }
    ByteWriter& Half(std::uint16_t value) {
        bytes_.push_back(static_cast<std::uint8_t>(value));
        bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
        return *this;
    }
    // The text zero-padded (or cut) to `size` bytes.
    ByteWriter& Name(const std::string& text, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) bytes_.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
        return *this;
    }
    // A ".kan" header: magic, module name and class name.
    ByteWriter& KanHeader(const std::string& className, const std::string& moduleName = "libkel",
                          const std::string& magic = "KAN1") {
        return Name(magic, 4).Name(moduleName, 16).Name(className, 16);
    }
    ByteWriter& AnimationHeader(std::uint32_t flags, std::uint32_t frames, float rate = 30.0f) {
        return Word(flags).Word(frames).Float(rate);
    }
    const animation_test::Bytes& Data() const { return bytes_; }

private:
    animation_test::Bytes bytes_;
};

// A ".kan" file of a NodeAnimation: three frames ten a second, starting at (1, 2, 3) and
// moving along x by 10 a frame.
inline Bytes NodeAnimationFile(const std::string& className = "NodeAnimation", const std::string& moduleName = "libkel",
                               const std::string& magic = "KAN1") {
    ByteWriter file;
    file.KanHeader(className, moduleName, magic).AnimationHeader(0, 3, 10.0f);
    file.Floats({1, 2, 3}).Floats({0, 0, 0, 1});
    file.Floats({0, 0, 0, 10, 0, 0, 20, 0, 0});
    file.Floats({0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1});
    return file.Data();
}

// A stream reading the bytes from memory.
inline void AttachBytes(FileStream& stream, const Bytes& bytes) {
    void* image = bytes.empty() ? nullptr : EngineAlloc(bytes.size());
    if (image != nullptr) std::memcpy(image, bytes.data(), bytes.size());
    stream.AttachImage(image, static_cast<DWORD>(bytes.size()), 0);
}

class AnimationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(HeapInit(), 0);
        SetDataFolder("\\data\\");
        std::filesystem::create_directories(DataPath("animations"));
        ASSERT_EQ(RegisterCoreModule(), 0);
        ASSERT_EQ(GlobalResourceCache().Init(), 0);
    }
    void TearDown() override {
        GlobalResourceCache().Clear();
        SetResourceHooks(ResourceHooks{});
        ShutdownModules();
        FreeSceneNodeLists();
        SetSkelBoneNamesKept(true);
        SetDataFolder(nullptr);
        HeapTeardown();
    }

    std::string DataPath(const std::string& name = "") const { return root_.Path() + "/fs/data/" + name; }
    void WriteData(const std::string& name, const Bytes& bytes) const {
        std::ofstream file(DataPath(name), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    void WriteData(const std::string& name, const std::string& text) const {
        WriteData(name, Bytes(text.begin(), text.end()));
    }
    Bytes ReadData(const std::string& name) const {
        std::ifstream file(DataPath(name), std::ios::binary);
        return Bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    }

    handset_test::TempHandsetRoot root_;
};

}  // namespace animation_test
