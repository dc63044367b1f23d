// The fixture of the game's page tests: the menu fixture with the game's page types, a text
// table of the test's own entries, a profile, and a sound manager on a recording device so
// that a test counts the effects played.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/text/EngineWString.h"
#include "engine/overlay/text/TextTable.h"
#include "game/flow/profile/PlayerProfile.h"
#include "game/flow/services/GameServices.h"
#include "game/flow/sound/SoundManager.h"
#include "game/menu/GamePageTypes.h"
#include "tests/engine/overlay/menu/MenuTestSupport.h"
#include "tests/game/flow/FlowFakes.h"

namespace game_page_test {

class GamePageTest : public menu_test::MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        if (HasFatalFailure()) return;
        RegisterGamePageTypes();
        ASSERT_EQ(TextTableCreate(), 1);
        output_ = std::make_unique<flow_test::FakeSoundOutput>();
        sound_ = std::make_unique<SoundManager>(*output_);
        sound_->LoadAllSounds();
        SetSoundManager(sound_.get());
        SetProfile(&profile_);
    }
    void TearDown() override {
        Menus().current = nullptr;
        GetMenuManager().Shutdown();
        SetProfile(nullptr);
        SetSoundManager(nullptr);
        TextTableDestroy();
        // The samples come from the engine heap, which the overlay fixture counts.
        sound_.reset();
        output_.reset();
        MenuTest::TearDown();
    }
    void AddText(const std::string& key, const std::u16string& text) {
        AddTextEntry(*GlobalTextTable(), key.c_str(), key.size(), EngineWString(text.c_str()));
    }
    // The page of that name, made current and shown as the menu manager would show it.
    template <typename Page>
    Page* Show(const char* name) {
        auto* page = dynamic_cast<Page*>(Menus().FindPage(name));
        EXPECT_NE(page, nullptr) << name;
        if (page == nullptr) return nullptr;
        Menus().current = page;
        SetVisible(page, 1);
        return page;
    }
    // Effects started on the device so far.
    std::int32_t EffectsPlayed() const { return output_->lastChannel; }
    static std::u16string Wide(const WCHAR* text) { return text != nullptr ? std::u16string(text) : u"(null)"; }

    std::unique_ptr<flow_test::FakeSoundOutput> output_;
    std::unique_ptr<SoundManager> sound_;
    PlayerProfile profile_;
};

}  // namespace game_page_test
