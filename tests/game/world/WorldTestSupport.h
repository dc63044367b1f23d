// Fixtures of the game world's tests: fresh engine heaps and a handset root with a data folder,
// models made of named plain nodes in place of the object database, services that record what
// the world asked of them, and path animation sources written into the data folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/app/CoreModule.h"
#include "engine/core/files/DataFolder.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/node/KNode.h"
#include "engine/core/object/Module.h"
#include "engine/core/object/ResourceCache.h"
#include "game/world/services/ModelSource.h"
#include "game/world/services/PlayerLocation.h"
#include "game/world/services/WorldServices.h"
#include "tests/engine/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"

namespace world_test {

// Models by name, each a root node with named parts ("odile1/lefthand" makes both levels).
class NodeModels : public ModelSource {
public:
    ~NodeModels() override { Clear(); }
    KNode* FindOrLoadObject(const char* name) override {
        auto found = models_.find(name);
        return found != models_.end() ? found->second : nullptr;
    }
    KNode* Add(const std::string& name, const std::vector<std::string>& parts = {}) {
        KNode* root = Named(name);
        for (const std::string& path : parts) {
            KNode* parent = root;
            std::stringstream steps(path);
            for (std::string step; std::getline(steps, step, '/');) {
                KNode* child = FindNodeByName(parent, step.c_str());
                if (child == nullptr) {
                    child = Named(step);
                    parent->AddChild(child);
                }
                parent = child;
            }
        }
        Clear(name);
        models_[name] = root;
        return root;
    }
    void Clear(const std::string& name) {
        auto found = models_.find(name);
        if (found == models_.end()) return;
        found->second->Release();
        models_.erase(found);
    }
    void Clear() {
        for (auto& entry : models_) entry.second->Release();
        models_.clear();
    }

private:
    static KNode* Named(const std::string& name) {
        auto* node = new KNode();
        node->SetName(name.c_str());
        return node;
    }
    std::map<std::string, KNode*> models_;
};

// Remembers every request.
class RecordingServices : public WorldServices {
public:
    ControllerRecord& Controller() override { return controller; }
    void OnSphereCollected() override { ++spheresCollected; }
    void RestartLevel() override { ++restarts; }
    DWORD PlaySoundEffect(int soundId, bool, bool) override {
        sounds.push_back(soundId);
        return static_cast<DWORD>(sounds.size());
    }
    bool IsSoundPlaying(DWORD) override { return false; }
    void StopSound(DWORD) override {}
    void TriggerRumble() override { ++rumbles; }
    std::int32_t RaiseOneLeafDoorCount() override { return ++oneLeafDoors; }
    std::int32_t RaiseTeskKillCount() override { return ++teskKills; }
    void GrantAward10() override { ++award10; }
    void GrantAward11() override { ++award11; }

    ControllerRecord controller;
    std::vector<int> sounds;
    int spheresCollected = 0, restarts = 0, rumbles = 0, award10 = 0, award11 = 0;
    std::int32_t oneLeafDoors = 0, teskKills = 0;
};

// A path animation source: `frames` positions from `from` to `to` in even steps, each rotation
// the identity, or `rotations` when given.
inline std::string PathSource(int frames, Vector3 from, Vector3 to, const std::vector<Quaternion>& rotations = {}) {
    std::ostringstream text;
    text << "PathAnimation\n{\nAnimationHeader\n{\nNumberOfFrames " << frames << "\n}\nPositions\n{\n";
    for (int i = 0; i < frames; ++i) {
        const float a = frames > 1 ? static_cast<float>(i) / static_cast<float>(frames - 1) : 0.0f;
        text << "Frame (" << from.x + a * (to.x - from.x) << ", " << from.y + a * (to.y - from.y) << ", "
             << from.z + a * (to.z - from.z) << ")\n";
    }
    text << "}\nRotations\n{\n";
    for (int i = 0; i < frames; ++i) {
        const Quaternion q = i < static_cast<int>(rotations.size()) ? rotations[i] : Quaternion{0, 0, 0, 1};
        text << "Frame (" << q.x << ", " << q.y << ", " << q.z << ", " << q.w << ")\n";
    }
    text << "}\n}\n";
    return text.str();
}

class WorldTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(HeapInit(), 0);
        SetDataFolder("\\data\\");
        std::filesystem::create_directories(DataPath("animations"));
        std::filesystem::create_directories(DataPath("cutscenes"));
        ASSERT_EQ(RegisterCoreModule(), 0);
        ASSERT_EQ(GlobalResourceCache().Init(), 0);
        models_ = new NodeModels();
        SetModelSource(models_);
        SetWorldServices(&services_);
        SetPlayerPosition(Vector3{1000, 1000, 0});
    }
    void TearDown() override {
        SetWorldServices(nullptr);
        SetModelSource(nullptr);
        delete models_;
        GlobalResourceCache().Clear();
        SetResourceHooks(ResourceHooks{});
        ShutdownModules();
        FreeSceneNodeLists();
        SetDataFolder(nullptr);
        HeapTeardown();
    }

    std::string DataPath(const std::string& name = "") const { return root_.Path() + "/fs/data/" + name; }
    void WriteData(const std::string& name, const std::string& text) const {
        std::ofstream file(DataPath(name), std::ios::binary | std::ios::trunc);
        file << text;
    }
    bool DataExists(const std::string& name) const { return std::filesystem::exists(DataPath(name)); }
    void WritePath(const std::string& name, int frames, Vector3 from, Vector3 to) const {
        WriteData("animations/" + name + ".anim", PathSource(frames, from, to));
    }
    // The path animations every object class loads: door leaves and dampers travel 10 along
    // x, bridges 10 along y; a door motion takes 16 frames (0.65 s), a swing 24 (1 s).
    void WriteObjectPaths() const {
        for (const char* spin : {"Key_01_rotate", "pickup1_rotate", "pickup2_rotate", "portaleffect1_rotate"})
            WritePath(spin, 24, {0, 0, 0}, {0, 0, 1});
        WritePath("blockerdoor1_open", 16, {0, 0, 0}, {10, 0, 0});
        WritePath("blockerdoor1_close", 16, {10, 0, 0}, {0, 0, 0});
        WritePath("bridge1_up", 25, {0, 0, 0}, {0, 10, 0});
        WritePath("bridge1_down", 25, {0, 10, 0}, {0, 0, 0});
        for (const char* damper : {"damper_land", "damper_walkon", "damper_walkoff"})
            WritePath(damper, 12, {0, 0, 0}, {0, 0, -2});
    }
    // Models for every object class, with the parts their behaviour moves.
    void AddObjectModels() {
        models_->Add("key_01");
        for (const char* sphere : {"pickup1_up", "pickup1_down", "pickup1_left", "pickup1_right", "pickup2_up",
                                   "pickup2_down", "pickup2_left", "pickup2_right"})
            models_->Add(sphere, {"pickup"});
        for (const char* portal : {"portal1_up", "portal1_down", "portal1_left", "portal1_right", "spawneffect"})
            models_->Add(portal, {"portaleffect1"});
        models_->Add("spikecube_01");
        for (const char* damper : {"damper_01_up", "damper_01_down", "damper_01_left", "damper_01_right"})
            models_->Add(damper, {"damper_01_top"});
        for (const char* door : {"blocker_01_up", "blocker_01_down", "blocker_01_left", "blocker_01_right"})
            models_->Add(door, {"door1", "door2"});
        for (const char* bridge : {"bridge1_up", "bridge1_down", "bridge1_left", "bridge1_right"})
            models_->Add(bridge, {"bridge1"});
        for (const char* side : {"left", "right"})
            for (const char* facing : {"up", "down", "left", "right"})
                models_->Add(std::string("tesk1_") + side + "_" + facing, {"tesk1"});
        models_->Add("odile", {"odile1/lefthand"});
        models_->Add("twizturn01");
    }

    handset_test::TempHandsetRoot root_;
    NodeModels* models_ = nullptr;
    RecordingServices services_;
};

}  // namespace world_test

namespace world_test {

// The messages of the exceptions kept so far, one a line.
inline std::string KeptExceptions() {
    std::string text;
    for (int i = 0; i < ExceptionCount(); ++i) text += std::string(ExceptionAt(i)->message) + "\n";
    return text;
}

}  // namespace world_test
