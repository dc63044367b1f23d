// The services in use, and the silent stand-in the world runs with until the flow sets its own.
#include "game/world/services/WorldServices.h"

#include "platform/base/Clock.h"

namespace {

class SilentServices final : public WorldServices {
public:
    ControllerRecord& Controller() override { return controller_; }
    void OnSphereCollected() override {}
    void RestartLevel() override {}
    DWORD PlaySoundEffect(int, bool, bool) override { return 0; }
    bool IsSoundPlaying(DWORD) override { return false; }
    void StopSound(DWORD) override {}
    void TriggerRumble() override {}
    std::int32_t RaiseOneLeafDoorCount() override { return 0; }
    std::int32_t RaiseTeskKillCount() override { return 0; }
    void GrantAward10() override {}
    void GrantAward11() override {}

private:
    ControllerRecord controller_;
};

SilentServices g_silent;
WorldServices* g_services = nullptr;

}  // namespace

std::int32_t WorldOfLevelIndex(std::int32_t levelIndex) {
    if (levelIndex < kTutorialLevelCount) return 0;
    const std::int32_t world = (levelIndex - kTutorialLevelCount) / 5 + 1;
    return world > 10 ? 10 : world;
}

float WorldServices::ClockSeconds() { return static_cast<float>(GetTickCount()) * 0.001f; }

WorldServices& GetWorldServices() { return g_services != nullptr ? *g_services : g_silent; }

void SetWorldServices(WorldServices* services) { g_services = services; }
