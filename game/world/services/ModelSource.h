// ModelSource: where the game world finds the scene objects its tiles and level objects are
// cloned from, by name. The object database of the running game is the source; tests and
// tools set one of their own.
#pragma once

class KNode;

class ModelSource {
public:
    virtual ~ModelSource() = default;
    // The object of that name, loaded when needed; the source keeps it. Null when none.
    virtual KNode* FindOrLoadObject(const char* name) = 0;
};

// Null: the current object database.
void SetModelSource(ModelSource* source);
// The named object of the source in use; null for a null name or when there is none.
KNode* FindOrLoadModel(const char* name);
// A clone of it (the caller owns it); null when there is none or the clone fails.
KNode* CloneModel(const char* name);
