// KMaterial: how a surface is lit and drawn: its colours and lighting terms, the physical
// terms of the game (friction, elasticity, game material), its material flags, and up to 16
// technique layers (modes), each with a shader, a default and a shadow technique name,
// eight texture stages and a bump-map stage. Materials are read from "materials/<name>.kml"
// files; the material list keeps them (the object database owns one).
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "engine/core/text/EngineString.h"
#include "engine/render/RenderMesh.h"
#include "engine/resources/texturestage/TextureStage.h"
#include "platform/base/Types.h"

class FileStream;
class Interface;
class Shader;

// Material flags.
constexpr DWORD kMaterialSmooth = 0x1;
constexpr DWORD kMaterialSpecular = 0x2;
constexpr DWORD kMaterialTransparent = 0x8;
constexpr DWORD kMaterialEmissive = 0x10;  // an Emittance entry
constexpr DWORD kMaterialUnsortedAlpha = 0x40;
constexpr DWORD kMaterialNoEnvBump = 0x80;
constexpr DWORD kMaterialNoZWrite = 0x100;
constexpr DWORD kMaterialStage2Texture = 0x200;  // the current mode's layer has a texture in stage 2
// 0x400 DOUBLESIDED is the render queue's kMaterialDoubleSided.
constexpr DWORD kMaterialNoShadows = 0x800;
constexpr DWORD kMaterialNoDiffuse = 0x1000;
constexpr DWORD kMaterialReflective = 0x2000;  // a Reflectance entry
constexpr DWORD kMaterialDecal = 0x4000;
constexpr DWORD kMaterialGlowOnly = 0x8000;
constexpr DWORD kMaterialKept = 0x40000000;  // survives the clearing of the material list

constexpr int kMaterialModeCount = 16;

// One technique layer of a material.
struct TechniqueLayer {
    TechniqueLayer();
    // Gives back the shader reference; the stages give back their textures.
    ~TechniqueLayer();
    TechniqueLayer(const TechniqueLayer&) = delete;
    TechniqueLayer& operator=(const TechniqueLayer&) = delete;

    // Takes a reference of the cache's shader of that name, giving back the one held
    // before; false, logged, when the cache has none.
    bool FetchShader(const char* name);
    void SetDefaultTechnique(const char* name);
    void SetShadowTechnique(const char* name);

    DWORD used = 0;
    Shader* shader = nullptr;  // one reference of the resource cache's shader
    EngineString defaultTechnique;
    EngineString shadowTechnique;
    // Resolved by the render device; 0 until then and whenever the name is set.
    DWORD defaultTechniqueIndex = 0;
    DWORD shadowTechniqueIndex = 0;
    TextureStage stages[kStagesPerLayer];
    TextureStage bumpMap;
};

// The render device's view of one texture stage, for the render queue.
class MaterialStageView final : public RenderTextureStage {
public:
    void Bind(TextureStage* stage) { stage_ = stage; }
    TextureData* StageTexture() const override;
    DWORD StageFlags() const override;
    void StageUvTransform(float& uScale, float& vScale, float& uOffset, float& vOffset) const override;
    // Scrolls the stage by the material clock (SetMaterialClock).
    void UpdateUvAnimation() override;

private:
    TextureStage* stage_ = nullptr;
};

class KMaterial : public EngineAllocated {
public:
    KMaterial();
    // Releases the attached object, the layers' shaders and the textures of every stage.
    ~KMaterial();
    KMaterial(const KMaterial&) = delete;
    KMaterial& operator=(const KMaterial&) = delete;

    // The body of a ".kml" file after its "Material" word: KML1 (one technique, layer 0)
    // or KML2 (mode blocks). 0 on success, 1 on failure (logged).
    int Load(FileStream& stream, bool isVersion2);
    int LoadKML2(FileStream& stream);

    // The material of that name in the current material list. When it is absent and
    // missing materials are made (SetCreateMissingMaterials), a new default material of
    // that name joins the list and is given; otherwise null. Without a current list nothing
    // would own a new material: null.
    static KMaterial* FindOrCreate(const char* name);

    // The layer of the engine's current material mode, or layer 0 when that one is unused.
    TechniqueLayer& CurrentLayer();
    // Refreshes and gives the render queue's view: the material flags and, when the current
    // layer's first stage has a texture, that stage.
    RenderMaterial* RenderView();

    // Takes ownership of one reference; the object held before is released.
    void SetAttachedObject(Interface* object);
    Interface* AttachedObject() const { return attached_; }

    EngineString name;
    DWORD flags = 0;
    std::int32_t group = 0;
    DWORD gameMaterial = 0;
    Color diffuse{0.5f, 0.5f, 0.5f, 1.0f};
    Color ambient{1.0f, 1.0f, 1.0f, 1.0f};
    Color specular{0.9f, 0.9f, 0.9f, 0.0f};
    DWORD modeWords[kMaterialModeCount] = {};
    Color emittance{0, 0, 0, 0};
    Color reflectance{0, 0, 0, 0};
    float rimAlpha = 1.0f;
    float rimPower = 0.0f;
    float specularity = 0.0f;
    float glossiness = 0.0f;
    float friction = 0.0f;
    float elasticity = 0.0f;
    TechniqueLayer layers[kMaterialModeCount];

private:
    // The entries of one technique (KML1's body, one mode block of KML2) into `layer`, up
    // to a word that begins with "}" or the end; false on a failure (logged).
    bool LoadEntries(FileStream& stream, TechniqueLayer& layer, bool isVersion2);
    bool LoadEntry(FileStream& stream, TechniqueLayer& layer, const char* keyword, bool isVersion2);
    // Flag 0x200 from the current layer's stage 2.
    void UpdateStage2Flag();

    Interface* attached_ = nullptr;
    RenderMaterial renderView_;
    MaterialStageView stageView_;
};

// Opens "materials/<name>.kml" as text and reads it (ReadMaterialFile); null when it does
// not open or does not load.
KMaterial* LoadMaterialFile(const char* name);
// The whole ".kml" text from the stream: the version word ("KML2" or "KML1"), the word
// "Material" and the material's body. The material is named `name` (not the file's own
// name for itself); null, with nothing left behind, on failure.
KMaterial* ReadMaterialFile(FileStream& stream, const char* name);

// Mode names: "default" or an empty name is mode 0; any other name has its place in the
// engine's list of mode names, which every material shares and which grows by a name not
// yet in it. -1 when the list would grow past 16 names.
int MaterialModeIndex(const char* modeName);
// Forgets every mode name but "default" (tests, and start-up).
void ResetMaterialModes();
// The engine's current material mode, whose layer the render device draws (0 at start).
int CurrentMaterialMode();
void SetCurrentMaterialMode(int mode);

// The engine's clock as the texture stages scroll by it: the current time and the frame's
// time step in seconds. Without a clock the stages stand still.
void SetMaterialClock(float (*currentTime)(), float (*frameTime)());

// The game material index of a "GameMaterial" name: whoever owns the game material table
// installs the look-up; without one every name gives 0.
void SetGameMaterialLookup(DWORD (*lookup)(const char* name));
