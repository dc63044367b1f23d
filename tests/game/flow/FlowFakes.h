// Stand-ins that record what the game's flow asks of the HUD, the world, the menus, the
// sound device and the application, for the flow's tests.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/sound/SoundSample.h"
#include "game/flow/interfaces/FlowHost.h"
#include "game/flow/interfaces/MenuPages.h"
#include "game/flow/interfaces/PlayHud.h"
#include "game/flow/interfaces/PlayWorld.h"
#include "game/flow/screens/ScreenFlow.h"
#include "game/flow/services/GameServices.h"
#include "game/flow/sound/SoundOutput.h"

namespace flow_test {

struct Popup {
    std::int32_t kind;
    std::int32_t number;
    std::string key;
};

struct Banner {
    std::string key;
    std::int32_t number;
    float seconds;
};

class RecordingHud : public SilentHud {
public:
    void AddFloatingText(std::int32_t kind, std::int32_t number, const char* key) override {
        popups.push_back({kind, number, key});
    }
    void PushNotification(const char* key, std::int32_t number, float seconds, std::uint32_t) override {
        banners.push_back({key, number, seconds});
    }
    void ClearNotifications() override { banners.clear(); }
    bool BannersEmpty() const override { return banners.empty(); }
    void SetPressedButtons(std::uint32_t set) override { pressed = set; }
    void ResetComics() override { pagesLeft = comicPages; }
    std::int32_t NextIntroPage() override {
        ++turns;
        return pagesLeft-- > 1 ? 1 : 0;
    }
    std::int32_t NextOutroPage() override { return NextIntroPage(); }

    std::vector<Popup> popups;
    std::vector<Banner> banners;
    std::uint32_t pressed = 0;
    std::int32_t comicPages = 3;
    std::int32_t pagesLeft = 0;
    std::int32_t turns = 0;
};

class FakeWorld : public NoPlayWorld {
public:
    bool LoadLevelFile(const char* folder, const char* name) override {
        loads.push_back(std::string(folder) + name);
        return loadSucceeds;
    }
    bool LoadCutscene(const char* name) override {
        loads.push_back(std::string("cutscene ") + name);
        return loadSucceeds;
    }
    void UpdateLevel(float dt) override { levelSteps.push_back(dt); }
    void UpdateCharacter(float dt) override { characterSteps.push_back(dt); }
    void MoveCharacter(std::uint32_t bits) override { commands.push_back(bits); }
    LevelFacts Level() const override { return level; }
    CharacterFacts Character() const override { return character; }
    bool IsExitPortalOpen() const override { return portalOpen; }
    void OpenExitPortal() override {
        portalOpen = true;
        ++portalOpenings;
    }
    void UnloadLevel() override { ++unloads; }

    bool loadSucceeds = true;
    std::vector<std::string> loads;
    std::vector<float> levelSteps;
    std::vector<float> characterSteps;
    std::vector<std::uint32_t> commands;
    LevelFacts level;
    CharacterFacts character;
    bool portalOpen = false;
    int portalOpenings = 0;
    int unloads = 0;
};

// Pages that exist by name and end with the commands a test queues.
class ScriptedMenus : public MenuPages {
public:
    int LoadMenus() override {
        ++loads;
        return 1;
    }
    void Shutdown() override { ++shutdowns; }
    void ClearHistory() override {}
    int GotoPage(const char* name, int) override {
        for (const std::string& page : pages) {
            if (page == name) {
                opened.push_back(name);
                pending = true;
                return 1;
            }
        }
        return 0;
    }
    std::int32_t ProcessPendingPage() override {
        if (!pending || results.empty()) return kMenuIdleResult;
        pending = false;
        const std::int32_t result = results.front();
        results.erase(results.begin());
        return result;
    }
    bool Busy() const override { return false; }
    bool HasPages() const override { return !pages.empty(); }

    std::vector<std::string> pages{"Startup", "Main", "WorldSelect", "Credits", "Ingame", "CustomLevelSelect"};
    std::vector<std::string> opened;
    std::vector<std::int32_t> results;
    bool pending = false;
    int loads = 0;
    int shutdowns = 0;
};

// The application's side: key states and the touch point set by the test.
class FakeScreenHost : public ScreenHost, public FlowHost {
public:
    bool CanRun() const override { return canRun; }
    void SetSuspended(DWORD) override {}
    int KeyState(std::int32_t key) const override {
        const auto found = keys.find(key);
        return found != keys.end() ? found->second : 0;
    }
    void TouchPoint(float& x, float& y) override {
        x = touchX;
        y = touchY;
    }
    void Tilt(std::int32_t& x, std::int32_t& y, std::int32_t& z) override {
        x = tilt[0];
        y = tilt[1];
        z = tilt[2];
    }
    void Tilt(std::int32_t& x, std::int32_t& y, std::int32_t& z) const override {
        x = tilt[0];
        y = tilt[1];
        z = tilt[2];
    }
    void ProcessInput() override {}
    void RunFrameDriverOnce() override {}
    void RequestQuit() override { quit = true; }
    int LoadGameResources() override { return 1; }
    int LoadLocalisation(const char* folder) override {
        localisations.push_back(folder);
        return 1;
    }
    bool LoadLoadingPicture() override { return false; }
    void SetClickSounds(DWORD on) override { clickSounds = on; }
    DWORD CurrentScreenState() const override { return screen; }
    void RequestScreenState(DWORD state) override { requested.push_back(state); }

    bool canRun = true;
    DWORD clickSounds = 2;
    std::map<std::int32_t, int> keys;
    float touchX = 0.0f;
    float touchY = 0.0f;
    std::int32_t tilt[3] = {0, 0, 0};
    bool quit = false;
    std::vector<std::string> localisations;
    DWORD screen = kScreenPlay;
    std::vector<DWORD> requested;
};

// A device that keeps channels playing until the test ends them.
class FakeSoundOutput : public SoundOutput {
public:
    ~FakeSoundOutput() override {
        for (SoundSample* sample : made) delete sample;
    }
    SoundSample* LoadSample(const char* name) override {
        if (missing.count(name) != 0) return nullptr;
        auto* sample = new SoundSample(nullptr, 100, 22050, 16, 1);
        made.push_back(sample);
        return sample;
    }
    void ReleaseSample(SoundSample* sample) override { ++released[sample]; }
    DWORD DefaultFrequency(const SoundSample* sample) const override { return sample->sampleRate; }
    std::int32_t PlaySound(SoundSample*, DWORD, float) override {
        if (refuse) return 0;
        const std::int32_t channel = ++lastChannel;
        playing[channel] = true;
        return channel;
    }
    void StopSound(std::int32_t channel) override {
        playing[channel] = false;
        stopped.push_back(channel);
    }
    bool IsPlaying(std::int32_t channel) override { return playing[channel]; }
    DWORD GetPosition(std::int32_t) override { return 1234; }
    void SetPosition(std::int32_t channel, DWORD position) override { positions[channel] = position; }
    void SetVolume(std::int32_t channel, float volume) override { volumes[channel] = volume; }
    void SetFrequency(std::int32_t channel, DWORD hertz) override { frequencies[channel] = hertz; }
    int PlayMusic(const char*, std::int32_t order) override {
        musicStarts.push_back(order);
        return 1;
    }
    void StopMusic() override { ++musicStops; }
    void SetMusicMasterVolume(std::int32_t volume) override { masterVolume = volume; }
    void Close() override { ++closes; }
    void Reopen() override { ++reopens; }

    std::vector<SoundSample*> made;
    std::map<std::string, int> missing;
    std::map<SoundSample*, int> released;
    std::map<std::int32_t, bool> playing;
    std::map<std::int32_t, DWORD> positions;
    std::map<std::int32_t, float> volumes;
    std::map<std::int32_t, DWORD> frequencies;
    std::vector<std::int32_t> stopped;
    std::vector<std::int32_t> musicStarts;
    std::int32_t lastChannel = 0;
    int musicStops = 0;
    std::int32_t masterVolume = -1;
    int closes = 0;
    int reopens = 0;
    bool refuse = false;
};

// Installs the recording HUD, the fake world and the scripted menus for one test.
struct InstalledFakes {
    InstalledFakes() {
        SetPlayHud(&hud);
        SetPlayWorld(&world);
        SetMenuPages(&menus);
    }
    ~InstalledFakes() {
        SetPlayHud(nullptr);
        SetPlayWorld(nullptr);
        SetMenuPages(nullptr);
        SetProfile(nullptr);
        SetSoundManager(nullptr);
    }
    RecordingHud hud;
    FakeWorld world;
    ScriptedMenus menus;
};

}  // namespace flow_test
