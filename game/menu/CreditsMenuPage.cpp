// The credits: entries from the text table, their tags, timing, fades and logos.
#include "game/menu/CreditsMenuPage.h"

#include <algorithm>
#include <cstdio>

#include "engine/core/math/VectorMath.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/menu/MenuStyle.h"
#include "engine/overlay/menu/PageDescription.h"
#include "engine/overlay/text/GlyphRun.h"
#include "engine/overlay/text/TextRef.h"
#include "engine/overlay/text/TextTable.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "engine/resources/font/BitmapFont.h"
#include "game/flow/profile/PlayerProfile.h"

namespace {

constexpr DWORD kCreditsTextFlags = 38;  // centred across, round position, middle
constexpr float kStartTimer = 6.0f;      // past the 4 seconds: the first update takes entry 1
// Pixels between the heading's line and the next, where the divider goes.
constexpr float kDividerRoom = 10.0f;
// The text block's own gap between two lines.
constexpr float kBlockLineGap = 2.0f;

// The middle of the band between the first and the second line of the body as the text block
// lays it out around `centreY`: the first line's middle, then half the step to the next.
float DividerMiddle(const EngineWString& body, float centreY, float scale, float room) {
    const BitmapFont* font = SystemFont();
    const float lineHeight = font != nullptr ? font->LineHeight() : 0.0f;
    float lines = 1.0f;
    for (std::uint32_t i = 0; i < body.Length(); ++i)
        if (body.Text()[i] == u'\n') lines += 1.0f;
    const float firstMiddle = RoundHalfAway(centreY) - (lines - 1.0f) * (lineHeight + kBlockLineGap) * scale * 0.5f;
    const float step = lineHeight * Overlay2D().textScale * scale + room + kBlockLineGap;
    return firstMiddle + step * 0.5f;
}

const WCHAR* EntryText(const char* key) {
    TextTable* table = GlobalTextTable();
    return table != nullptr ? TextTableFind(table, key, nullptr) : u"";
}

bool Equals(const EngineWString& text, const char16_t* literal) {
    const WCHAR* a = text.Text();
    std::uint32_t i = 0;
    for (; literal[i] != 0; ++i)
        if (i >= text.Length() || a[i] != literal[i]) return false;
    return i == text.Length();
}

DWORD ColourWithAlpha(float alpha) {
    return static_cast<DWORD>(std::clamp(alpha, 0.0f, 1.0f) * 255.0f) << 24;  // black
}

}  // namespace

CreditsEntry SplitCreditsEntry(const WCHAR* text) {
    CreditsEntry entry;
    if (text == nullptr) return entry;
    std::size_t length = 0;
    while (text[length] != 0) ++length;
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] != u']') continue;
        entry.tag = EngineWString::FromRange(text, i + 1);
        entry.body = EngineWString::FromRange(text + i + 1, length - i - 1);
        return entry;
    }
    entry.body = EngineWString::FromRange(text, length);
    return entry;
}

EngineWString ClosingLine(const WCHAR* text) { return SplitCreditsEntry(text).body; }

CreditsMenuPage::CreditsMenuPage(PageDescription* pageDescription) : DefaultMenuPage(pageDescription) {
    logos[0] = {StyleBrush(pageDescription, "STUDIOMARK_BRUSH"), 440.0f, 220.0f, 517.0f, 310.0f, 0.85f};
    logos[1] = {StyleBrush(pageDescription, "HALVORN_BRUSH"), 440.0f, 220.0f, 295.0f, 192.0f, 0.85f};
    logos[2] = {StyleBrush(pageDescription, "HERO_BRUSH"), 406.0f, 220.0f, 732.0f, 366.0f, 0.85f};
    underline_.flags = 0;
    for (DWORD& colour : underline_.colours) colour = 0xFF000000;
}

void CreditsMenuPage::OnShow(int shown, int unused) {
    if (shown != 0) {
        timer = kStartTimer;
        logos[0].centreX = 440.0f;
        logos[0].centreY = 220.0f;
        logos[1].centreX = 440.0f;
        logos[1].centreY = 220.0f;
        logos[2].centreX = 406.0f;
        logos[2].centreY = 220.0f;
        entryNumber = 0;
        lineCount = 0;
        part1 = part2 = part3 = 0;
        finalLatch = 0;
        body.Free();
    } else {
        Overlay().RemoveUpdateWidget(this);
    }
    DefaultMenuPage::OnShow(shown, unused);
}

void CreditsMenuPage::NextEntry() {
    ++entryNumber;
    char key[32];
    std::snprintf(key, sizeof key, "%s%.3d", "CREDITS_", static_cast<int>(entryNumber));
    CreditsEntry entry = SplitCreditsEntry(EntryText(key));
    body = entry.body;
    const bool title = Equals(entry.tag, u"[TITLE]");
    if (title) {
        ++entryNumber;
        std::snprintf(key, sizeof key, "%s%.3d", "CREDITS_", static_cast<int>(entryNumber));
        const WCHAR* next = EntryText(key);
        std::size_t bodyLength = body.Length();
        std::size_t nextLength = 0;
        while (next[nextLength] != 0) ++nextLength;
        EngineWString joined = EngineWString::OfLength(static_cast<int>(bodyLength + 1 + nextLength));
        WCHAR* out = joined.Buffer();
        if (out != nullptr && joined.Length() == bodyLength + 1 + nextLength) {
            std::copy(body.Text(), body.Text() + bodyLength, out);
            out[bodyLength] = u'\n';
            std::copy(next, next + nextLength, out + bodyLength + 1);
            body = joined;
        }
    }
    lineCount = 0;
    for (std::uint32_t i = 0; i < body.Length(); ++i)
        if (body.Text()[i] == u'\n') ++lineCount;
    if (title) ++lineCount;
    if (Equals(entry.tag, u"[PART1]")) {
        part1 = 1;
    } else if (Equals(entry.tag, u"[PART2]")) {
        part2 = 1;
    } else if (Equals(entry.tag, u"[PART3]")) {
        part3 = 1;
    } else {
        part1 = 0;
        part2 = 0;
    }
}

void CreditsMenuPage::Update(DWORD elapsedMilliseconds) {
    timer += static_cast<float>(elapsedMilliseconds) * 0.001f;
    if (part3 == 0) {
        if (timer > kCreditsEntrySeconds) {
            NextEntry();
            timer = 0.0f;
        }
    } else if (finalLatch == 0) {
        NextEntry();
        finalLatch = 1;
        timer = 0.0f;
    }
    DefaultMenuPage::Update(elapsedMilliseconds);
}

float CreditsMenuPage::EntryGrow() const { return std::clamp(timer, 0.0f, 1.0f); }

float CreditsMenuPage::EntryAlpha() const {
    float alpha = std::clamp(timer, 0.0f, 1.0f);
    if (part3 == 0 && timer >= 3.0f) alpha = std::clamp(1.0f - (timer - 3.0f), 0.0f, 1.0f);
    return alpha;
}

void CreditsMenuPage::PostDraw(Canvas2D* canvas) {
    if (canvas == nullptr) return;
    canvas->offsetX = 0.0f;
    canvas->offsetY = 0.0f;
    const float grow = EntryGrow();
    const float alpha = EntryAlpha();
    const auto drawLogo = [&](const CreditsLogo& logo) {
        if (logo.brush == nullptr) return;
        Brush faded = *logo.brush;
        faded.SetAlpha(alpha);
        const float w = logo.width * logo.scale * grow;
        const float h = logo.height * logo.scale * grow;
        DrawQuad(canvas, logo.centreX - w * 0.5f, logo.centreY - h * 0.5f, w, h, &faded, 0.0f);
    };
    const DWORD colour = ColourWithAlpha(alpha);
    const float scale = textScale * grow;
    if (part1 != 0) {
        drawLogo(logos[0]);
    } else if (part2 != 0) {
        drawLogo(logos[1]);
    } else if (part3 != 0) {
        drawLogo(logos[2]);
        if (IsRightToLeftText()) {
            EngineWString first = ClosingLine(EntryText("CREDITS_050"));
            EngineWString second(EntryText("CREDITS_051"));
            DrawText(canvas, textX + 390.0f, textY + 186.0f, TextRefFromText(&first), nullptr, colour, kCreditsTextFlags,
                     scale);
            DrawText(canvas, textX + 390.0f, textY + 214.0f, TextRefFromText(&second), nullptr, colour,
                     kCreditsTextFlags, scale);
        } else {
            DrawTextBlock(canvas, textX, textY + 186.0f, textWidth, textHeight, TextRefFromText(&body), nullptr, colour,
                          kCreditsTextFlags, scale, 0.0f, 0);
        }
    } else if (IsRightToLeftText()) {
        DrawTextBlock(canvas, textX + 60.0f, textY, 300.0f, textHeight, TextRefFromText(&body), nullptr, colour,
                      kCreditsTextFlags, scale, 0.0f, 0);
    } else {
        // The lines are opened up so that the divider under the heading has a band of its own:
        // placed by the font's real line height, it never runs through the heading or the text.
        const float room = kDividerRoom * grow;
        DrawTextBlock(canvas, textX, textY, textWidth, textHeight, TextRefFromText(&body), nullptr, colour,
                      kCreditsTextFlags, scale, room, 0);
        underline_.colours[0] = colour;
        const float middle = DividerMiddle(body, textY + textHeight * 0.5f, scale, room);
        DrawQuad(canvas, 370.0f, middle - 2.0f * grow, 100.0f * grow, 4.0f * grow, &underline_, 0.0f);
    }
    DefaultMenuPage::PostDraw(canvas);
}
