// Materials: the KML1 and KML2 forms and their entries (colours, scalars, flags, group,
// techniques, shaders, stages), mode blocks sharing a layer, the material-wide terms a later
// block overwrites, the stage-2 flag of the current mode, the failures, the references a
// material takes and gives back (also after a failed load), and the material list.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/core/object/ResourceCache.h"
#include "engine/resources/material/KMaterial.h"
#include "engine/resources/material/MaterialList.h"
#include "engine/resources/shader/Shader.h"
#include "engine/resources/texture/Texture.h"
#include "tests/engine/resources/support/ResourceTestSupport.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

class MaterialTest : public resource_test::ResourceTest {
protected:
    void SetUp() override {
        ResourceTest::SetUp();
        if (HasFatalFailure()) return;
        StartNullDevice();
        ResetMaterialModes();
        WriteTga("gfx/textures/default.tga", 2, 2, 255, 255, 255);
        WriteTga("gfx/stone.tga", 4, 4, 128, 128, 128);
        WriteTga("gfx/light.tga", 4, 4, 255, 255, 0);
    }
    void TearDown() override {
        SetCurrentMaterialList(nullptr);
        SetCreateMissingMaterials(false);
        ResetMaterialModes();
        ResourceTest::TearDown();
    }

    // The material from a ".kml" text, named "test"; null when it does not load.
    KMaterial* Parse(const std::string& text) {
        FileStream stream;
        resource_test::AttachBytes(stream, text, kStreamText);
        return ReadMaterialFile(stream, "test");
    }
    Texture* CachedTexture(const char* name) {
        return static_cast<Texture*>(GlobalResourceCache().GetTexture(name, 0));
    }
    Shader* CachedShader(const char* name) { return static_cast<Shader*>(GlobalResourceCache().GetShader(name)); }
};

TEST_F(MaterialTest, AKml1MaterialFillsLayerZeroAndTheMaterialWideTerms) {
    KMaterial* material = Parse(R"(KML1 Material   "own name"
{
    Diffuse [0.25 0.5 0.75 1]
    Ambient [0.1 0.2 0.3 0.4]
    Specular [1 1 1 0.5]
    Specularity 2.5  Glossiness 0.75
    Emittance [0.5 0 0 1]
    Reflectance [0 0.5 0 1]
    Friction 0.3 Elasticity 0.6 RimAlpha 0.2 RimPower 4
    Group -7
    Flags < SMOOTH DOUBLESIDED unknownword DECAL >
    DefaultTechnique   "RenderColorDTAlphaT"
    ShadowTechnique "RenderShadowVolume"
    Shader "shaders/lit"
    TextureStage 0 {
        Texture "gfx/stone.tga"
    }
    BumpMap {
        Texture "gfx/light.tga"
    }
}
)");
    ASSERT_NE(material, nullptr);
    EXPECT_STREQ(material->name.Text(), "test") << "the loader renames the material to the name asked for";
    EXPECT_FLOAT_EQ(material->diffuse.g, 0.5f);
    EXPECT_FLOAT_EQ(material->ambient.a, 0.4f);
    EXPECT_FLOAT_EQ(material->specular.a, 0.5f);
    EXPECT_FLOAT_EQ(material->specularity, 2.5f);
    EXPECT_FLOAT_EQ(material->glossiness, 0.75f);
    EXPECT_FLOAT_EQ(material->emittance.r, 0.5f);
    EXPECT_FLOAT_EQ(material->reflectance.g, 0.5f);
    EXPECT_FLOAT_EQ(material->friction, 0.3f);
    EXPECT_FLOAT_EQ(material->elasticity, 0.6f);
    EXPECT_FLOAT_EQ(material->rimAlpha, 0.2f);
    EXPECT_FLOAT_EQ(material->rimPower, 4.0f);
    EXPECT_EQ(material->group, -7);
    EXPECT_EQ(material->flags,
              kMaterialSmooth | kMaterialDoubleSided | kMaterialDecal | kMaterialEmissive | kMaterialReflective);
    const TechniqueLayer& layer = material->layers[0];
    EXPECT_STREQ(layer.defaultTechnique.Text(), "RenderColorDTAlphaT");
    EXPECT_STREQ(layer.shadowTechnique.Text(), "RenderShadowVolume");
    ASSERT_NE(layer.shader, nullptr);
    EXPECT_STREQ(layer.shader->Name(), "shaders/lit");
    ASSERT_NE(layer.stages[0].texture, nullptr);
    EXPECT_STREQ(layer.stages[0].texture->Name(), "gfx/stone.tga");
    ASSERT_NE(layer.bumpMap.texture, nullptr);
    EXPECT_STREQ(layer.bumpMap.texture->Name(), "gfx/light.tga");
    EXPECT_EQ(material->layers[1].used, 0u);
    EXPECT_STREQ(material->layers[1].defaultTechnique.Text(), "RenderDefault");
    EXPECT_STREQ(material->layers[1].shadowTechnique.Text(), "RenderShadow");

    RenderMaterial* view = material->RenderView();
    EXPECT_EQ(view->flags, kMaterialDoubleSided);
    ASSERT_NE(view->stage, nullptr);
    EXPECT_EQ(view->stage->StageTexture(), layer.stages[0].texture->Data());
    delete material;
}

TEST_F(MaterialTest, ModeBlocksOfOneNameShareALayerAndTheLaterTermsHold) {
    // Names, techniques, shaders and textures take the rest of their line.
    KMaterial* material = Parse(R"(KML2 Material "m"
{
Mode "default"
{ Diffuse [1 0 0 1] TextureStage 0 { Texture "gfx/stone.tga"
} }
Mode "glow"
{ Diffuse [0 1 0 1] TextureStage 2 { Texture "gfx/light.tga"
} Shader "glow"
}
Mode "GLOW"
{ TextureStage 2 { Texture "gfx/stone.tga"
} }
}
)");
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(MaterialModeIndex("glow"), 1);
    EXPECT_FLOAT_EQ(material->diffuse.r, 0.0f) << "the last Diffuse holds for the whole material";
    EXPECT_FLOAT_EQ(material->diffuse.g, 1.0f);
    EXPECT_EQ(material->layers[1].used, 1u);
    ASSERT_NE(material->layers[1].stages[2].texture, nullptr);
    EXPECT_STREQ(material->layers[1].stages[2].texture->Name(), "gfx/stone.tga")
        << "the second block of the mode replaces the first's stage";
    EXPECT_EQ(material->flags & kMaterialStage2Texture, 0u) << "the current mode (default) has no stage 2";
    delete material;

    // With "glow" current, its layer's stage 2 sets the flag.
    SetCurrentMaterialMode(1);
    material = Parse("KML2 Material \"m\"\n{ Mode \"glow\"\n{ TextureStage 2 { Texture \"gfx/light.tga\"\n} } }");
    ASSERT_NE(material, nullptr);
    EXPECT_NE(material->flags & kMaterialStage2Texture, 0u);
    delete material;
    // A current mode the material does not use falls back to layer 0.
    SetCurrentMaterialMode(5);
    material = Parse("KML1 Material \"m\"\n{ TextureStage 2 { Texture \"gfx/light.tga\"\n} }");
    ASSERT_NE(material, nullptr);
    EXPECT_NE(material->flags & kMaterialStage2Texture, 0u);
    delete material;
}

TEST_F(MaterialTest, WhatIsNotAMaterialOrIsBrokenIsRefused) {
    const char* const cases[] = {
        "KML3 Material \"m\"\n{ }",
        "KML1 material \"m\"\n{ }",
        "KML1 Material m\n{ }",
        "KML1 Material \"m\"\nDiffuse [1 1 1 1] }",
        "KML1 Material \"m\"\n{ Diffuse 1 1 1 1 }",
        "KML1 Material \"m\"\n{ Diffuse [1 1 1 1 }",
        "KML1 Material \"m\"\n{ TextureStage 8 { } }",
        "KML1 Material \"m\"\n{ TextureStage -1 { } }",
        "KML1 Material \"m\"\n{ TextureStage 0 { Texture \"gfx/stone.tga\" }",
        "KML1 Material \"m\"\n{ Flags SMOOTH > }",
        "KML1 Material \"m\"\n{ Flags < SMOOTH }",
        "KML1 Material \"m\"\n{ Shader lit\n}",
        "KML1 Material \"m\"\n{ DefaultTechnique\n\"on the next line\" }",
        "KML2 Material \"m\"\n{ Diffuse [1 1 1 1] }",
        "KML2 Material \"m\"\n{ Mode default\n{ } }",
        "KML2 Material \"m\"\n{ Mode \"a\"\n{ } Diffuse [1 1 1 1] }",
        "KML2 Material \"m\"\n{ Mode \"a\"\nDiffuse [1 1 1 1] }",
    };
    for (const char* text : cases) {
        engine_test::CapturedLog log;
        KMaterial* material = Parse(text);
        EXPECT_EQ(material, nullptr) << text;
        delete material;
    }

    engine_test::CapturedLog log;
    KMaterial* tolerant = Parse("KML2 Material \"m\"\n{ Mode \"\"\n{ Shiny 3 Diffuse [1 1 1 1] } }");
    ASSERT_NE(tolerant, nullptr) << "unknown words are logged and skipped";
    EXPECT_TRUE(log.Contains("KMaterial::LoadKML2: unknown token 'Shiny'")) << log.Text();
    delete tolerant;
}

TEST_F(MaterialTest, AFileBringingTheModeNamesPastSixteenFails) {
    std::string text = "KML2 Material \"m\"\n{";
    for (int mode = 1; mode <= 15; ++mode) text += " Mode \"mode" + std::to_string(mode) + "\"\n{ }";
    text += " }";
    KMaterial* fifteen = Parse(text);
    ASSERT_NE(fifteen, nullptr);
    EXPECT_EQ(MaterialModeIndex("mode15"), 15);
    delete fifteen;
    engine_test::CapturedLog log;
    EXPECT_EQ(Parse("KML2 Material \"m\"\n{ Mode \"one too many\"\n{ } }"), nullptr);
    EXPECT_EQ(MaterialModeIndex("another"), -1);
}

TEST_F(MaterialTest, EveryReferenceTakenIsGivenBackAlsoAfterAFailedLoad) {
    // The cache's own references: held here for the whole test, so counts can be read.
    Texture* stone = CachedTexture("gfx/stone.tga");
    Texture* light = CachedTexture("gfx/light.tga");
    Shader* lit = CachedShader("lit");
    Shader* other = CachedShader("other");
    ASSERT_TRUE(stone != nullptr && light != nullptr && lit != nullptr && other != nullptr);
    const char* body = R"(KML2 Material "m"
{
Mode "default"
{
    Shader "lit"
    Shader "lit"
    TextureStage 0 { Texture "gfx/stone.tga"
    }
    BumpMap { Texture "gfx/light.tga"
    }
}
Mode "second"
{
    Shader "other"
    TextureStage 1 { Texture "gfx/stone.tga"
    }
}
)";
    KMaterial* material = Parse(std::string(body) + "}");
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(lit->ReferenceCount(), 1u) << "a second Shader entry gave the first one's reference back";
    EXPECT_EQ(other->ReferenceCount(), 1u);
    EXPECT_EQ(stone->ReferenceCount(), 2u);
    EXPECT_EQ(light->ReferenceCount(), 1u);
    delete material;
    EXPECT_EQ(lit->ReferenceCount(), 0u);
    EXPECT_EQ(other->ReferenceCount(), 0u);
    EXPECT_EQ(stone->ReferenceCount(), 0u);
    EXPECT_EQ(light->ReferenceCount(), 0u);

    engine_test::CapturedLog log;
    EXPECT_EQ(Parse(std::string(body) + "Mode \"third\"\n{ TextureStage 8 { } } }"), nullptr);
    EXPECT_EQ(lit->ReferenceCount(), 0u);
    EXPECT_EQ(other->ReferenceCount(), 0u);
    EXPECT_EQ(stone->ReferenceCount(), 0u);
    EXPECT_EQ(light->ReferenceCount(), 0u);

    // The attached object goes with the material.
    auto* attached = static_cast<Shader*>(LoadShader("attached"));
    ASSERT_NE(attached, nullptr);
    attached->AddRef();
    auto* holder = new KMaterial;
    holder->SetAttachedObject(attached);
    delete holder;
    EXPECT_EQ(attached->ReferenceCount(), 0u);
    attached->Release();
}

TEST_F(MaterialTest, TheListLoadsByNameFallsBackToDefaultAndMakesMissingOnesOnlyWhenAsked) {
    WriteText("materials/stone.kml", "KML1 Material \"stone\"\n{ Diffuse [0.5 0.5 0.5 1] }");
    WriteText("materials/default.kml", "KML1 Material \"default\"\n{ }");
    MaterialList list;
    KMaterial* stone = list.FindOrLoad("stone");
    ASSERT_NE(stone, nullptr);
    EXPECT_EQ(list.FindOrLoad("stone"), stone) << "a listed material is not loaded again";
    KMaterial* fallback = list.FindOrLoad("missing");
    ASSERT_NE(fallback, nullptr);
    EXPECT_STREQ(fallback->name.Text(), "default");
    EXPECT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.FindOrLoadNamed("missing"), nullptr);

    SetCurrentMaterialList(&list);
    EXPECT_EQ(KMaterial::FindOrCreate("stone"), stone);
    EXPECT_EQ(KMaterial::FindOrCreate("made"), nullptr);
    SetCreateMissingMaterials(true);
    KMaterial* made = KMaterial::FindOrCreate("made");
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(made->name.Text(), "made");
    EXPECT_FLOAT_EQ(made->diffuse.r, 0.5f);
    EXPECT_EQ(list.Count(), 3u);
    SetCurrentMaterialList(nullptr);
    EXPECT_EQ(KMaterial::FindOrCreate("orphan"), nullptr) << "without a list nothing would own it";

    stone->flags |= kMaterialKept;
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
    delete stone;  // a kept material is its keeper's to destroy

    std::remove((root_.Path() + "/fs/data/materials/default.kml").c_str());
    MaterialList empty;
    EXPECT_EQ(empty.FindOrLoad("missing"), nullptr) << "without \"default\" nothing is had";
    EXPECT_EQ(empty.Count(), 0u);
}

}  // namespace
