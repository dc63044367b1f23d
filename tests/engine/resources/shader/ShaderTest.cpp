// Shaders: the quoted-name form written and read (quotes, blanks, tabs, the length bound),
// loading through the resource cache with and without a render device, creation by class
// name, and the cache keeping the last reference of a shared shader.
#include <gtest/gtest.h>

#include <string>

#include "engine/core/files/FileStream.h"
#include "engine/core/object/Module.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/render/EffectBase.h"
#include "engine/resources/shader/Shader.h"
#include "tests/engine/resources/support/ResourceTestSupport.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

class ShaderTest : public resource_test::ResourceTest {
protected:
    Shader* Cached(const char* name) {
        Interface* got = GlobalResourceCache().GetShader(name);
        return got != nullptr && got->IsKindOf(Shader::StaticTypeId()) ? static_cast<Shader*>(got) : nullptr;
    }
    int ReadLine(Shader& shader, const std::string& text) {
        FileStream stream;
        resource_test::AttachBytes(stream, text, kStreamText);
        return shader.Read(stream);
    }
};

TEST_F(ShaderTest, WritingGivesTheNameInQuotesAndReadingTakesItBack) {
    Shader shader;
    shader.SetName("default");
    {
        FileStream out;
        ASSERT_EQ(out.Open("shader.txt", kStreamWrite), 1);
        EXPECT_EQ(shader.Write(out), 0);
    }
    EXPECT_EQ(ReadDataFile("shader.txt"), "\"default\"");

    Shader unnamed;
    {
        FileStream out;
        ASSERT_EQ(out.Open("unnamed.txt", kStreamWrite), 1);
        unnamed.Write(out);
    }
    EXPECT_EQ(ReadDataFile("unnamed.txt"), "\"\"");

    Shader read;
    FileStream in;
    ASSERT_EQ(in.Open("shader.txt", kStreamText), 1);
    ASSERT_EQ(read.Read(in), 0);
    EXPECT_STREQ(read.Name(), "default");
    EXPECT_NE(read.Effect(), nullptr) << "without a render device the stand-alone effect serves";
}

TEST_F(ShaderTest, ReadingTakesTheQuotedNameOfOneLineAndRefusesWhatIsNotOne) {
    struct Case {
        std::string line;
        const char* name;  // null: refused
    };
    const std::string longest(254, 'n');  // 256 bytes with its quotes: the longest line
    const Case cases[] = {
        {"   \t \"lit\" and anything after the quote\nnext line", "lit"},
        {"\"with blanks inside\"", "with blanks inside"},
        {"\"\"", ""},
        {"\"" + longest + "\"", longest.c_str()},
        {"\"a\ttab\"", nullptr},
        {"\"unterminated", nullptr},
        {"no quote", nullptr},
        {"", nullptr},
        {"\n\"on the next line\"", nullptr},
        {std::string("\"") + std::string(256, 'n') + "\"", nullptr},
    };
    for (const Case& c : cases) {
        Shader shader;
        shader.SetName("before");
        engine_test::CapturedLog log;
        const int result = ReadLine(shader, c.line);
        if (c.name != nullptr) {
            ASSERT_EQ(result, 0) << c.line;
            EXPECT_STREQ(shader.Name(), c.name);
        } else {
            EXPECT_EQ(result, 1) << c.line;
            EXPECT_STREQ(shader.Name(), "before") << "a refused line leaves the shader as it was: " << c.line;
            EXPECT_EQ(shader.Effect(), nullptr);
        }
    }
}

TEST_F(ShaderTest, TheCacheMakesOneShaderANameAndKeepsItsLastReference) {
    Shader* first = Cached("shaders/lit");
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->Name(), "shaders/lit");
    EXPECT_NE(first->Effect(), nullptr);
    EXPECT_EQ(first->OwningModule(), nullptr);
    Shader* again = Cached("SHADERS/LIT");
    EXPECT_EQ(again, first) << "names meet without regard to case";
    EXPECT_EQ(first->ReferenceCount(), 1u);

    ReleaseCachedShader(again);
    EXPECT_EQ(first->ReferenceCount(), 0u);
    // The last reference stays with the cache: the shader is not deleted under it.
    ReleaseCachedShader(first);
    EXPECT_EQ(Cached("shaders/lit"), first);
    ReleaseCachedShader(first);

    // A shader the cache does not hold goes with its last reference.
    auto* loose = static_cast<Shader*>(LoadShader("loose"));
    ASSERT_NE(loose, nullptr);
    const std::size_t blocks = EngineBlockCount();
    ReleaseCachedShader(loose);
    EXPECT_LT(EngineBlockCount(), blocks);
}

TEST_F(ShaderTest, AShaderMadeOnTheRenderDeviceHoldsTheDevicesEffect) {
    StartNullDevice();
    Shader* shader = Cached("device");
    ASSERT_NE(shader, nullptr);
    ASSERT_NE(shader->Effect(), nullptr);
    EXPECT_EQ(shader->ReleaseDeviceData(), 1);
    EXPECT_EQ(shader->RestoreDeviceData(), 1);
    EXPECT_EQ(shader->BeginFrame(), 1);
    EXPECT_EQ(shader->EndFrame(), 1);
    EXPECT_EQ(shader->Effect()->GetParameterByName("g_texture"), 0u);

    Interface* made = CreateByName("libkel", "Shader", Shader::StaticTypeId());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(static_cast<Shader*>(made)->Effect(), nullptr);
    EXPECT_EQ(static_cast<Shader*>(made)->ReleaseDeviceData(), 0);
    made->Release();
}

}  // namespace
