// A model source for harnesses of levels: every model a plain node named after it, made once
// and kept, so that levels are built without the game's data.
#pragma once

#include <map>
#include <string>

#include "engine/core/node/KNode.h"
#include "game/world/services/ModelSource.h"

class PlainModels : public ModelSource {
public:
    KNode* FindOrLoadObject(const char* name) override {
        KNode*& model = models_[name];
        if (model == nullptr) {
            model = new KNode();
            model->SetName(name);
        }
        return model;
    }

private:
    std::map<std::string, KNode*> models_;
};
