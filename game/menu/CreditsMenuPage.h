// CreditsMenuPage: the credits, one entry of the credits texts ("CREDITS_001", "CREDITS_002",
// ...) every 4 seconds, each growing and fading in and fading out. An entry may start with a
// tag: "[TITLE]" joins it with the next entry, "[PART1]" and "[PART2]" show a logo instead of
// text, and "[PART3]" starts the closing screen: the closing picture with the entry after it,
// which stays.
#pragma once

#include <cstdint>

#include "engine/core/text/EngineWString.h"
#include "game/menu/DefaultMenuPage.h"

constexpr float kCreditsEntrySeconds = 4.0f;

struct CreditsLogo {
    const Brush* brush = nullptr;
    float centreX = 0.0f;
    float centreY = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    float scale = 0.85f;
};

// An entry split at its first ']': the tag with the bracket, and the rest; no ']' means no tag.
struct CreditsEntry {
    EngineWString tag;
    EngineWString body;
};
CreditsEntry SplitCreditsEntry(const WCHAR* text);
// The first closing line as the right-to-left layout draws it: without its tag (a line
// without one, however short, is drawn whole).
EngineWString ClosingLine(const WCHAR* text);

class CreditsMenuPage : public DefaultMenuPage {
public:
    explicit CreditsMenuPage(PageDescription* pageDescription);

    // The logo or the text of the current entry, then the default page's drawing.
    void PostDraw(Canvas2D* canvas) override;
    // Shown: from the first entry again, at once.
    void OnShow(int shown, int unused) override;
    // The entry clock; takes the next entry when its 4 seconds are up.
    void Update(DWORD elapsedMilliseconds) override;

    // Takes the next entry into the current body and sets the tag flags.
    void NextEntry();
    // Opacity and growth of the current entry at its time.
    float EntryAlpha() const;
    float EntryGrow() const;

    CreditsLogo logos[3];
    float textX = 20.0f;
    float textY = 220.0f;
    float textWidth = 800.0f;
    float textHeight = 0.0f;
    float textScale = 0.85f;
    EngineWString body;
    std::int32_t entryNumber = 0;
    std::int32_t lineCount = 0;
    DWORD part1 = 0;
    DWORD part2 = 0;
    DWORD part3 = 0;
    DWORD finalLatch = 0;
    float timer = 0.0f;

private:
    Brush underline_;
};
