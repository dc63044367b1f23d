// The how-to-play book: its text pages, the page turns with their cross-fade, the page
// number, the divider and the illustrations.
#include "game/menu/PageContentMenuPage.h"

#include <algorithm>
#include <cstdio>

#include "engine/core/text/EngineWString.h"
#include "engine/core/text/TextCompare.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/menu/ControlDescription.h"
#include "engine/overlay/menu/MenuStyle.h"
#include "engine/overlay/menu/PageDescription.h"
#include "engine/overlay/text/TextTable.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "engine/overlay/widgets/SimpleWidgets.h"
#include "game/flow/sound/SoundManager.h"
#include "game/ui/text/ShadowedText.h"

namespace {

constexpr DWORD kWhite = 0x00FFFFFF;
constexpr DWORD kStyleContent = 0x8;  // shown
constexpr std::int32_t kTouchKey = 200;
// From the eighth page on the heading and the decoration sit higher, to leave room for the
// wide illustrations.
constexpr std::int32_t kFirstHighPage = 7;

DWORD WithAlpha(DWORD rgb, float alpha) {
    const float a = std::clamp(alpha, 0.0f, 1.0f);
    return static_cast<DWORD>(a * 255.0f) << 24 | (rgb & 0x00FFFFFF);
}

struct Illustration {
    std::int32_t image;  // 1-based, as in the brush names
    float x, y, width, height;
};

struct PageIllustrations {
    Illustration pictures[2];
    std::int32_t count;
};

// The pictures of each text page, by index.
constexpr PageIllustrations kIllustrations[] = {
    {{{1, 150, 20, 156, 156}, {}}, 1},
    {{{2, 150, 20, 156, 156}, {}}, 1},
    {{{3, 150, 20, 156, 156}, {}}, 1},
    {{{5, 150, 20, 156, 156}, {}}, 1},
    {{{6, 150, 20, 156, 156}, {}}, 1},
    {{{7, 150, 20, 156, 156}, {}}, 1},
    {{{8, 150, 20, 156, 156}, {}}, 1},
    {{{10, 150, 70, 239, 100}, {9, 500, 70, 185, 100}}, 2},
    {{{14, 615, 100, 150, 114}, {13, 605, 290, 160, 102}}, 2},
    {{{12, 620, 100, 140, 115}, {}}, 1},
};

}  // namespace

// ---------------------------------------------------------------------------------------

PageContentControl::~PageContentControl() {
    for (TextRef& line : lines) ReleaseTextRef(line);
}

void PageContentControl::Reset() {
    active = 0;
    fadeMode = kSteady;
}

void PageContentControl::StartFade(Fade mode) {
    active = 1;
    fadeTime = 0.0f;
    fadeDuration = kPageFadeSeconds;
    fadeMode = mode;
}

void PageContentControl::Advance(float seconds) {
    if (active == 0 || fadeMode == kSteady) return;
    fadeTime += seconds;
    if (fadeTime < fadeDuration) return;
    if (fadeMode == kFadingOut) active = 0;
    fadeMode = kSteady;
}

float PageContentControl::Alpha() const {
    if (fadeMode == kSteady) return 1.0f;
    const float a = std::min(fadeTime / fadeDuration, 1.0f);
    return fadeMode == kFadingIn ? a : 1.0f - a;
}

const WCHAR* PageContentControl::LineText(std::int32_t line) const {
    if (line < 0 || line >= lineCount) return nullptr;
    const TextRef& reference = lines[line];
    if (reference.key == nullptr && reference.text == nullptr) return nullptr;
    return TextRefGetText(reference);
}

void PageContentControl::Draw(Canvas2D* canvas) {
    if (active == 0 || canvas == nullptr) return;
    const float alpha = Alpha();
    const DWORD colour = WithAlpha(kWhite, alpha);
    const DWORD shadow = WithAlpha(kShadowBlack, alpha);
    if (const WCHAR* heading = LineText(0)) {
        DrawShadowedText(canvas, headingOffset[0] + textOffsetX, headingOffset[1], heading, -1, nullptr, colour, shadow,
                         shadowOffset, 0, 1.0f);
    }
    for (std::int32_t i = 1; i < lineCount; ++i) {
        const WCHAR* body = LineText(i);
        if (body == nullptr) continue;
        DrawTextBox(canvas, bodyOffset[0] + textOffsetX, static_cast<float>(i + 1) * lineSpacing + bodyOffset[1],
                    boxWidth, boxHeight, body, nullptr, colour, shadow, shadowOffset, 0, 1.0f, 0.0f);
    }
}

// ---------------------------------------------------------------------------------------

PageContentMenuPage::PageContentMenuPage(PageDescription* pageDescription) : DefaultMenuPage(pageDescription) {
    for (std::int32_t i = 0; i < kHowToPlayImages; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "HOWTOPLAYIMAGE%02d", static_cast<int>(i + 1));
        images[i] = StyleBrush(pageDescription, name);
    }
    divider_.flags = kBrushCornerColours;
    for (DWORD& colour : divider_.colours) colour = 0xFFFFFFFF;
    const float full[8] = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f};
    std::copy(full, full + 8, divider_.corners);
    LoadTextureHandle(divider_, "ui/scrollbar.dds", 0);
}

PageContentMenuPage::~PageContentMenuPage() {
    ListDestroy(contents);
    ReleaseTextureHandle(divider_);
}

PageContentControl* PageContentMenuPage::Content(std::int32_t index) const {
    if (index < 0) return nullptr;
    std::int32_t i = 0;
    for (KDLLink* link = contents.head; link != nullptr; link = link->next, ++i)
        if (i == index) return static_cast<PageContentControl*>(link->item);
    return nullptr;
}

Control* PageContentMenuPage::CreateChildControls(ControlDescription* control) {
    if (control == nullptr || CompareNoCase(control->type.Text(), "PAGECONTENT") != 0)
        return DefaultMenuPage::CreateChildControls(control);
    const ControlDescription& d = *control;
    if (RegisterWidgetClass(kPageContentClass) == 0) return nullptr;
    auto* content = new PageContentControl;
    if (content == nullptr) return nullptr;
    if (content->Create(kPageContentClass, nullptr, kStyleContent, static_cast<float>(d.x), static_cast<float>(d.y),
                        static_cast<float>(d.width), static_cast<float>(d.height), this, d.id) == 0) {
        delete content;
        return nullptr;
    }
    // A page has room for a heading and 14 paragraphs; further TEXT lines are left out.
    std::int32_t line = 0;
    for (KDLLink* link = d.texts.head; link != nullptr && line < kPageContentLines; link = link->next, ++line) {
        const auto* key = static_cast<const EngineString*>(link->item);
        if (line == 0) content->textKey.Copy(*key);
        EngineString* owned = EngineString::New(key->Text());
        if (owned != nullptr) content->lines[line] = TextRefFromKey(owned, 1);
    }
    content->lineCount = line;
    content->textOffsetX = d.textOffsetX;
    content->lineSpacing = d.textOffsetY != 0.0f ? d.textOffsetY : kDefaultLineSpacing;
    content->boxWidth = static_cast<float>(d.wrapWidth);
    content->boxHeight = static_cast<float>(d.wrapHeight);
    if (ListAppend(contents, content) == nullptr) {
        delete content;
        return nullptr;
    }
    if (contents.count == 1) content->active = 1;
    ++pageCount;
    return content;
}

void PageContentMenuPage::OnShow(int shown, int unused) {
    if (shown != 0) {
        if (PageContentControl* previous = Content(previousPage)) previous->Reset();
        if (PageContentControl* current = Content(currentPage)) current->Reset();
        currentPage = 0;
        previousPage = 0;
        if (PageContentControl* first = Content(0)) {
            first->Reset();
            first->active = 1;
        }
        // The pages with the wide pictures keep their texts further up.
        const float bodyRise[3] = {-35.0f, -90.0f, -80.0f};
        for (std::int32_t i = 0; i < 3; ++i) {
            PageContentControl* page = Content(kFirstHighPage + i);
            if (page == nullptr) break;
            page->headingOffset[0] = 0.0f;
            page->headingOffset[1] = -100.0f;
            page->bodyOffset[0] = 0.0f;
            page->bodyOffset[1] = bodyRise[i];
        }
    } else {
        Overlay().RemoveUpdateWidget(this);
    }
    DefaultMenuPage::OnShow(shown, unused);
}

void PageContentMenuPage::Update(DWORD elapsedMilliseconds) {
    const float seconds = static_cast<float>(elapsedMilliseconds) * 0.001f;
    PageContentControl* previous = Content(previousPage);
    PageContentControl* current = Content(currentPage);
    if (previous != nullptr) previous->Advance(seconds);
    if (current != nullptr && current != previous) current->Advance(seconds);
    const bool previousIdle = previous == nullptr || !previous->IsBusy();
    const bool currentIdle = current == nullptr || !current->IsBusy();
    if (previousIdle && currentIdle) previousPage = currentPage;
    DefaultMenuPage::Update(elapsedMilliseconds);
}

void PageContentMenuPage::Turn(std::int32_t direction) {
    if (pageCount <= 0 || currentPage != previousPage) return;
    previousPage = currentPage;
    currentPage += direction;
    if (currentPage >= pageCount) currentPage = 0;
    if (currentPage < 0) currentPage = pageCount - 1;
    if (PageContentControl* previous = Content(previousPage)) previous->StartFade(PageContentControl::kFadingOut);
    if (PageContentControl* current = Content(currentPage)) current->StartFade(PageContentControl::kFadingIn);
    PlaySoundEffect(kSoundMenuSelect, 0, 0);
}

void PageContentMenuPage::OnKeyUp(std::int32_t key, std::int32_t extra) {
    if (key == kTouchKey) {
        const PageContentControl* previous = Content(previousPage);
        const PageContentControl* current = Content(currentPage);
        const bool idle = (previous == nullptr || !previous->IsBusy()) && (current == nullptr || !current->IsBusy());
        if (idle) Turn(1);
    }
    DefaultMenuPage::OnKeyUp(key, extra);
}

std::int32_t PageContentMenuPage::OnButton(Control* /*control*/, const char* command, const char* /*argument*/,
                                           std::int32_t /*value*/) {
    if (command == nullptr) return 0;
    if (CompareNoCase(command, "Next") == 0) {
        Turn(1);
    } else if (CompareNoCase(command, "Previous") == 0) {
        Turn(-1);
    }
    return 0;
}

void PageContentMenuPage::PostDraw(Canvas2D* canvas) {
    if (canvas == nullptr) return;
    canvas->offsetX = 0.0f;
    canvas->offsetY = 0.0f;
    const std::int32_t p = currentPage;
    const bool high = p >= kFirstHighPage;
    if (pageCount > 0) {
        char number[32];
        std::snprintf(number, sizeof number, "%d%s%d", static_cast<int>(p + 1), "/", static_cast<int>(pageCount));
        const EngineWString text = EngineWString::FromUtf8(number);
        DrawShadowedText(canvas, 670.0f, high ? 70.0f : 120.0f, text.Text(), -1, nullptr, 0xFFFFFFFF, kShadowBlack,
                         kShadow, kTextRoundPosition, 1.0f);
    }
    if (divider_.texture != nullptr)
        DrawQuad(canvas, high ? 160.0f : 320.0f, high ? 65.0f : 165.0f, 440.0f, 4.0f, &divider_, 0.0f);
    if (p >= 0 && p < static_cast<std::int32_t>(std::size(kIllustrations))) {
        const PageIllustrations& page = kIllustrations[p];
        for (std::int32_t i = 0; i < page.count; ++i) {
            const Illustration& picture = page.pictures[i];
            const Brush* brush = images[picture.image - 1];
            if (brush != nullptr) DrawQuad(canvas, picture.x, picture.y, picture.width, picture.height, brush, 0.0f);
        }
        if (p == 8) {
            TextTable* table = GlobalTextTable();
            if (table != nullptr)
                DrawTextBox(canvas, 160.0f, 300.0f, 400.0f, 200.0f, TextTableFind(table, "MENU_HOWTOPLAY_TEXT11", nullptr),
                            nullptr, 0xFFFFFFFF, kShadowBlack, kShadow, 0, 1.0f, 0.0f);
        }
    }
    DefaultMenuPage::PostDraw(canvas);
}
