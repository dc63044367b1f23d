// Texture handles load through the resource cache: success sets bit 0 and holds one reference,
// a failed load or a missing loader leaves no texture and bit 0 clear.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/object/ResourceCache.h"
#include "engine/resources/texture/TextureHandle.h"

namespace {

class TestTexture : public Interface {
    KEL_DECLARE_TYPE(TestTexture, Interface, "TestTexture")

public:
    explicit TestTexture(std::string name) : name(std::move(name)) {}
    std::string name;
};

std::vector<std::string> loads;

ResourceHooks TestHooks() {
    ResourceHooks hooks;
    hooks.loadTexture = [](const char* name, DWORD flags) -> Interface* {
        loads.push_back(std::string(name) + "#" + std::to_string(flags));
        if (std::string(name).find("missing") != std::string::npos) return nullptr;
        return new TestTexture(name);
    };
    hooks.resourceName = [](DWORD, const Interface* resource) {
        return static_cast<const TestTexture*>(resource)->name.c_str();
    };
    return hooks;
}

class TextureHandleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(HeapInit(), 0);
        loads.clear();
        ASSERT_EQ(GlobalResourceCache().Init(), 0);
    }
    void TearDown() override {
        GlobalResourceCache().Clear();
        SetResourceHooks(ResourceHooks{});
        HeapTeardown();
    }
};

TEST_F(TextureHandleTest, WithoutALoaderEveryLoadFailsCleanly) {
    TextureHandle handle{0x100, nullptr};
    EXPECT_EQ(LoadTextureHandle(handle, "ui/button.tga", 0), 0);
    EXPECT_EQ(handle.texture, nullptr);
    EXPECT_EQ(handle.flags, 0x100u);
}

TEST_F(TextureHandleTest, LoadsWithTheKeepPixelsFlagAndReplacesCleanly) {
    SetResourceHooks(TestHooks());
    TextureHandle handle;
    handle.flags = 0x100;
    ASSERT_EQ(LoadTextureHandle(handle, "ui/button.tga", 1), 1);
    ASSERT_NE(handle.texture, nullptr);
    EXPECT_EQ(static_cast<TestTexture*>(handle.texture)->name, "ui/button.tga");
    EXPECT_EQ(handle.flags, 0x101u);

    // A second handle shares the cached texture; both hold a reference.
    TextureHandle other;
    ASSERT_EQ(LoadTextureHandle(other, "ui/button.tga", 0), 1);
    EXPECT_EQ(other.texture, handle.texture);
    EXPECT_EQ(handle.texture->ReferenceCount(), 1u);
    EXPECT_EQ(loads, (std::vector<std::string>{"ui/button.tga#64"}));

    // A failed load gives back the old reference and leaves no texture behind bit 0.
    EXPECT_EQ(LoadTextureHandle(other, "ui/missing.tga", 0), 0);
    EXPECT_EQ(other.texture, nullptr);
    EXPECT_EQ(other.flags, 0u);
    EXPECT_EQ(handle.texture->ReferenceCount(), 0u);
    EXPECT_EQ(loads.back(), "ui/missing.tga#0");

    EXPECT_EQ(LoadTextureHandle(other, nullptr, 0), 0);
    EXPECT_EQ(other.texture, nullptr);

    ReleaseTextureHandle(handle);
    EXPECT_EQ(handle.texture, nullptr);
    EXPECT_EQ(handle.flags, 0x100u);
}

}  // namespace
