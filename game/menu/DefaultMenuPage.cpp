// The default page: commands, title, and the back key and back area.
#include "game/menu/DefaultMenuPage.h"

#include <cstring>

#include "engine/core/files/TagFile.h"
#include "engine/core/text/TextCompare.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/menu/MenuManager.h"
#include "engine/overlay/menu/PageDescription.h"
#include "engine/overlay/text/TextRef.h"
#include "engine/overlay/widgets/WidgetTree.h"
#include "game/flow/GameServices.h"
#include "game/flow/PlayerProfile.h"
#include "game/flow/SoundManager.h"

namespace {

constexpr std::uint32_t kSoundMenuBack = 15;
// The title reads along the landscape screen like every other text of the page.
constexpr DWORD kTitleFlags = 0;

struct Keyword {
    const char* word;
    std::int32_t id;
};

constexpr Keyword kKeywords[] = {
    {"START", kCommandStart},           {"QUIT", kCommandQuit},       {"EXITGAME", kCommandExitGame},
    {"SAVEGAME", kCommandSaveGame},     {"RESUMEGAME", kCommandResumeGame}, {"CREDITS", kCommandCredits},
};

struct Title {
    const char* page;
    const char* key;
    std::int32_t language;  // the language whose scale differs; -1 none
    float scale;
};

constexpr Title kTitles[] = {
    {"Main", "MENU_MAINMENU", -1, 1.1f},
    {"Awards", "MENU_AWARDS", -1, 1.1f},
    {"GameSettings", "MENU_GAMESETTINGS", 2, 1.05f},
    {"HowToPlay", "MENU_HOWTOPLAY", 1, 0.97f},
    {"Ingame", "MENU_INGAME", 0, 1.025f},
    {"LevelSelect", "MENU_SELECTLEVEL", 7, 1.05f},
    {"Settings", "MENU_SETTINGS", -1, 1.1f},
    {"IngameSettings", "MENU_SETTINGS", -1, 1.1f},
    {"SoundSettings", "MENU_SOUNDSETTINGS", -1, 1.1f},
    {"WorldSelect", "MENU_SELECTWORLD", 7, 1.05f},
    {"Credits", "MENU_CREDITS", -1, 1.1f},
    {"Language", "MENU_LANGUAGE_SELECTION", -1, 1.1f},
};

bool IsBackKey(std::int32_t key) { return key == 8 || key == 27 || key == 201 || key == 211 || key == 233; }

const char* CurrentPageName() {
    MenuPage* current = GetMenuManager().current;
    return current != nullptr ? current->Name() : nullptr;
}

bool IsPage(const char* name, const char* page) { return name != nullptr && CompareNoCase(name, page) == 0; }

void PlayMenuSound(std::uint32_t id) { PlaySoundEffect(id, 0, 0); }

std::int32_t ProfileLanguage() {
    PlayerProfile* profile = GetProfile();
    return profile != nullptr ? profile->Option(kOptionLanguage) : -1;
}

}  // namespace

std::int32_t MenuCommandId(const char* keyword) {
    if (keyword == nullptr) return kCommandUnknown;
    for (const Keyword& k : kKeywords)
        if (std::strcmp(k.word, keyword) == 0) return k.id;
    return kCommandUnknown;
}

bool IsInBackArea(float x, float y) { return x <= kBackAreaRight && y >= kBackAreaTop && y <= kBackAreaBottom; }

DefaultMenuPage::DefaultMenuPage(PageDescription* pageDescription) : MenuPage(pageDescription) {
    if (pageDescription == nullptr || pageDescription->tree == nullptr) return;
    TagFile& root = *pageDescription->tree;
    if (root.FindTag("BACK") != nullptr) hasBack = 1;
    if (TagFileTag* tip = root.FindTag("TOOLTIP")) tip->GetString(0, tooltip);
}

void DefaultMenuPage::PostDraw(Canvas2D* canvas) {
    const char* page = CurrentPageName();
    if (page == nullptr) return;
    for (const Title& title : kTitles) {
        if (!IsPage(page, title.page)) continue;
        float scale = 1.1f;
        if (title.language < 0 || title.language == ProfileLanguage()) scale = title.scale;
        EngineString key(title.key);
        const TextRef text = TextRefFromKey(&key, 0);
        canvas->offsetX = 0.0f;
        canvas->offsetY = 0.0f;
        DrawText(canvas, 73.0f, 20.0f, text, nullptr, 0xFFFFFFFF, kTitleFlags, scale);
        DrawText(canvas, 75.0f, 18.0f, text, nullptr, 0xFF5F5F5F, kTitleFlags, scale);
        return;
    }
}

void DefaultMenuPage::OnKeyDown(std::int32_t key, std::int32_t /*value*/, std::int32_t /*extra*/) {
    if (key == 200) {
        const OverlayManager& overlay = Overlay();
        backPressed = overlay.pointerX >= kBackAreaLeft && IsInBackArea(overlay.pointerX, overlay.pointerY) ? 1 : 0;
    } else if (key == 27 || key == 233) {
        Notify(2, 0, 0, 0);
    } else if (key == 10 || key == 176 || key == 232) {
        Notify(1, 0, 0, 0);
    }
}

void DefaultMenuPage::OnKeyUp(std::int32_t key, std::int32_t extra) {
    if (IsBackKey(key)) {
        const char* page = CurrentPageName();
        if (IsPage(page, "Main")) {
            EndModal(this, kCommandQuit);
        } else if (IsPage(page, "Ingame")) {
            EndModal(this, kCommandResumeGame);
        } else {
            GoBackFromPage();
        }
        return;
    }
    if (key == 200) {
        const OverlayManager& overlay = Overlay();
        const char* page = CurrentPageName();
        if (backPressed != 0 && overlay.pointerX >= kBackAreaLeft && IsInBackArea(overlay.pointerX, overlay.pointerY) &&
            !IsPage(page, "Main") && !IsPage(page, "Ingame"))
            GoBackFromPage();
        backPressed = 0;
        return;
    }
    if (parent != nullptr) parent->OnKeyUp(key, extra);
}

int DefaultMenuPage::GoBackFromPage() {
    MenuManager& manager = GetMenuManager();
    MenuPage* back = backName.IsEmpty() ? nullptr : manager.FindPage(backName.Text());
    if (back != nullptr) {
        if (back == this) return 1;
        PlayMenuSound(kSoundMenuBack);
        manager.ClearHistory();
        manager.OpenPage(back);
        CloseWithoutResult();
        return 1;
    }
    PlayMenuSound(kSoundMenuBack);
    if (manager.history.count < 2) {
        manager.ClearHistory();
        manager.GotoPage("Main", 1);
        CloseWithoutResult();
        return 0;
    }
    manager.GoBack();
    CloseWithoutResult();
    return 1;
}

void DefaultMenuPage::OnShow(int shown, int /*unused*/) {
    if (shown == 0) {
        if (PlayerProfile* profile = GetProfile()) profile->Save();
        return;
    }
    Overlay().AddUpdateWidget(this);
}

void DefaultMenuPage::Draw(Canvas2D* canvas) {
    x = 0.0f;
    y = 0.0f;
    if (canvas != nullptr) {
        canvas->offsetX = 0.0f;
        canvas->offsetY = 0.0f;
    }
}

void DefaultMenuPage::Update(DWORD /*elapsedMilliseconds*/) {
    const OverlayManager& overlay = Overlay();
    if (backPressed != 0 && !(overlay.pointerX >= kBackAreaLeft && IsInBackArea(overlay.pointerX, overlay.pointerY)))
        backPressed = 0;
}

std::int32_t DefaultMenuPage::CommandId(const char* keyword) { return MenuCommandId(keyword); }

std::int32_t DefaultMenuPage::OnButton(Control* /*control*/, const char* command, const char* /*argument*/,
                                       std::int32_t /*value*/) {
    if (command == nullptr) return 0;
    if (CompareNoCase(command, "StartGame") == 0) return kCommandStart;
    if (CompareNoCase(command, "PlayButtonSound") == 0) PlayMenuSound(kSoundMenuSelect);
    return 0;
}
