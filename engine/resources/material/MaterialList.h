// The material list: the materials meshes draw with, searched by name. The object database
// owns one and makes it current; mesh loaders ask the current list for their materials.
#pragma once

#include "engine/core/containers/KDLList.h"
#include "engine/core/memory/EngineMemory.h"

class KMaterial;

// The name a list falls back to when a material cannot be had.
constexpr const char* kDefaultMaterialName = "default";

class MaterialList : public EngineAllocated {
public:
    MaterialList() = default;
    // Destroys every material, kept ones too, and frees the links.
    ~MaterialList();
    MaterialList(const MaterialList&) = delete;
    MaterialList& operator=(const MaterialList&) = delete;

    // The first material whose name equals `name` exactly; null when none does.
    KMaterial* Find(const char* name);
    // The listed material of that name, or the one loaded from "materials/<name>.kml" and
    // appended; when that fails, the same for "default"; null when "default" cannot be had
    // either.
    KMaterial* FindOrLoad(const char* name);
    // The listed material of that name, or the one loaded from its file and appended; null
    // when there is no such file or it does not load (no "default" in its place).
    KMaterial* FindOrLoadNamed(const char* name);
    // Appends the material, which the list owns from then on; false when memory runs out.
    bool Add(KMaterial* material);
    // Takes every material off the list and destroys those without kMaterialKept.
    void Clear();

    std::uint32_t Count() const { return materials_.count; }
    KDLList& Materials() { return materials_; }

private:
    KDLList materials_;
};

// The list mesh loaders use; null when none is set (the list is not owned here).
MaterialList* CurrentMaterialList();
void SetCurrentMaterialList(MaterialList* list);

// Whether KMaterial::FindOrCreate makes a default material for a name it cannot find (off
// at start).
bool CreateMissingMaterials();
void SetCreateMissingMaterials(bool on);
