// The start-up, main and pause pages: question pages that differ only in their question,
// their buttons and the commands they return. Their menu files hand them their controls
// through the hooks "InitPageButton", "InitUFMButton" and "InitUFMUnderlay".
#pragma once

#include <cstdint>

#include "game/menu/UFMMenuPage.h"

// Further results of these pages for the screen state machine.
constexpr std::int32_t kCommandTitle = 4112;
constexpr std::int32_t kCommandRestartLevel = 4119;
// The main menu goes back to the title after this long without a key.
constexpr float kMainMenuIdleSeconds = 60.0f;

// The question each page puts up, as SetupPopup takes it.
struct QuestionSetup {
    std::int32_t mode;
    const char* key;
    PopupVector textPosition;
    PopupVector underlayCentre;
    PopupVector underlaySize;
    std::uint32_t focusIndex;
};

// The hooks the three pages share: the page buttons, the answers and the underlay.
class QuestionPage : public UFMMenuPage {
public:
    using UFMMenuPage::UFMMenuPage;
    ~QuestionPage() override;

    // A hook with its control: 1 when `command` was one (and the control was taken).
    int TakeHookControl(Control* control, const char* command, bool pageButtons);
    // SetupPopup with the page's own controls.
    void SetupQuestion(const QuestionSetup& setup);
    // The fly-in speed of the pages with a question: taken from the fourth button.
    void OverrideFlyInSpeed();
    void DropControls();
    // A touch held in the back area asks the question (with the back sound) unless it is up.
    void AskOnBackArea();

    Control* ownUnderlay = nullptr;
    KDLList ownPopupButtons;  // Control, not owned
    KDLList ownPageButtons;   // Control, not owned
};

// The first page: it asks at once whether sound is wanted, and starts once answered.
class StartupMenuPage : public QuestionPage {
public:
    using QuestionPage::QuestionPage;

    void OnShow(int shown, int unused) override;
    // Ends the page with "START" once the answer's close animation is over.
    void Update(DWORD elapsedMilliseconds) override;
    std::int32_t OnButton(Control* control, const char* command, const char* argument, std::int32_t value) override;
};

// The main menu: the back area asks whether to leave the game; a minute without a key goes
// back to the title.
class MainMenuPage : public QuestionPage {
public:
    using QuestionPage::QuestionPage;

    void OnKeyDown(std::int32_t key, std::int32_t value, std::int32_t extra) override;
    void OnKeyUp(std::int32_t key, std::int32_t extra) override;
    void OnShow(int shown, int unused) override;
    void Update(DWORD elapsedMilliseconds) override;
    std::int32_t OnButton(Control* control, const char* command, const char* argument, std::int32_t value) override;

    float idleTime = 0.0f;  // seconds since the last key
};

// The pause menu over a level: resume, restart, or leave the level behind a question.
class IngameMenuPage : public QuestionPage {
public:
    using QuestionPage::QuestionPage;

    void OnKeyUp(std::int32_t key, std::int32_t extra) override;
    void OnShow(int shown, int unused) override;
    void Update(DWORD elapsedMilliseconds) override;
    std::int32_t OnButton(Control* control, const char* command, const char* argument, std::int32_t value) override;
};
