// Level files read and prepared for play, every model a plain node, then one step of play and
// the teardown.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "engine/core/node/KNode.h"
#include "game/world/level/Level.h"
#include "game/world/levelfile/LevelFile.h"
#include "game/world/player/PlayerCharacter.h"
#include "game/world/services/ModelSource.h"
#include "game/world/update/LevelUpdate.h"

namespace {
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
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    static PlainModels models;
    if (!ready) return 0;
    SetModelSource(&models);
    const std::string text(reinterpret_cast<const char*>(data), size);
    auto* level = new Level();
    auto* character = new PlayerCharacter();
    level->character = character;
    LoadLevelText(*level, text.c_str(), "fuzz");
    UpdateLevel(*level, 0.033f);
    Unload(*level);
    delete level;
    delete character;
    return 0;
}
