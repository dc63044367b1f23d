// PageContentMenuPage: the how-to-play book. Each "PAGECONTENT" control of the menu file is
// one text page (PageContentControl): a heading and up to 14 wrapped paragraphs. One page is
// shown at a time; "Next" and "Previous" (and a touch release) turn it, the old page fading
// out while the new one fades in. The page draws the page number, a divider and the
// illustrations of the current page on top.
//
// A "PAGECONTENT" control takes its lines from its TEXT keys (the first is the heading), the
// x offset of its lines and their spacing from ALIGNTEXT's two numbers, and the box each
// paragraph wraps into from WRAPSIZE.
#pragma once

#include <cstdint>

#include "engine/core/text/EngineString.h"
#include "engine/overlay/text/TextRef.h"
#include "engine/overlay/widgets/Control.h"
#include "game/menu/DefaultMenuPage.h"

constexpr std::int32_t kPageContentLines = 15;
constexpr float kPageFadeSeconds = 0.125f;
constexpr std::int32_t kHowToPlayImages = 14;
constexpr float kDefaultLineSpacing = 40.0f;
constexpr const char kPageContentClass[] = "PageContentWndClass";

class PageContentControl : public Control {
public:
    enum Fade : DWORD { kFadingIn = 0, kFadingOut = 1, kSteady = 2 };

    PageContentControl() = default;
    // Releases the line references and the text key.
    ~PageContentControl() override;

    void Draw(Canvas2D* canvas) override;

    // Inactive and steady.
    void Reset();
    bool IsBusy() const { return fadeMode != kSteady; }
    // Active, from the start of a fade in (kFadingIn) or out (kFadingOut).
    void StartFade(Fade mode);
    // The fade runs on by `seconds`; at its end the control is steady, and one that faded
    // out is no longer active.
    void Advance(float seconds);
    // The opacity the control draws with now.
    float Alpha() const;
    // A line's text: its own text, else its key's table text; null for an empty line.
    const WCHAR* LineText(std::int32_t line) const;

    std::int32_t lineCount = 0;
    float textOffsetX = 0.0f;
    float lineSpacing = kDefaultLineSpacing;
    float boxWidth = 0.0f;
    float boxHeight = 0.0f;
    EngineString textKey;
    TextRef lines[kPageContentLines];
    DWORD active = 0;
    DWORD fadeMode = kSteady;
    float fadeTime = 0.0f;
    float fadeDuration = kPageFadeSeconds;
    float shadowOffset[2] = {-2.0f, -2.0f};
    float bodyOffset[2] = {0.0f, 0.0f};
    float headingOffset[2] = {160.0f, 0.0f};
};

class PageContentMenuPage : public DefaultMenuPage {
public:
    explicit PageContentMenuPage(PageDescription* pageDescription);
    ~PageContentMenuPage() override;

    // Page number, divider, illustrations, then the default page's drawing.
    void PostDraw(Canvas2D* canvas) override;
    // A touch release (200) turns to the next page when no turn runs; every key then goes to
    // the default handling.
    void OnKeyUp(std::int32_t key, std::int32_t extra) override;
    // Shown: back to the first page; the update list while shown.
    void OnShow(int shown, int unused) override;
    // Runs the fades; a turn ends once both pages are steady.
    void Update(DWORD elapsedMilliseconds) override;
    Control* CreateChildControls(ControlDescription* control) override;
    // "Next" and "Previous"; any other command returns 0.
    std::int32_t OnButton(Control* control, const char* command, const char* argument, std::int32_t value) override;

    // Turns one page on (+1) or back (-1), wrapping; nothing while a turn runs.
    void Turn(std::int32_t direction);
    PageContentControl* Content(std::int32_t index) const;

    std::int32_t pageCount = 0;
    std::int32_t currentPage = 0;
    std::int32_t previousPage = 0;
    const Brush* images[kHowToPlayImages] = {};
    KDLList contents;  // PageContentControl, not owned (children of the page)

private:
    static constexpr float kShadow[2] = {-2.0f, -2.0f};
    Brush divider_;
};
