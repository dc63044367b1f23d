// The level list of a world or of the tutorials: commands, items and focus.
#include "game/menu/LevelSelectMenuPage.h"

#include <algorithm>
#include <string>

#include "engine/core/text/TextCompare.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/text/GlyphRun.h"
#include "engine/overlay/text/TextRef.h"
#include "engine/resources/font/BitmapFont.h"
#include "engine/overlay/widgets/WidgetTree.h"
#include "game/flow/frame/FrameText.h"
#include "game/flow/services/GameServices.h"
#include "game/flow/interfaces/HudDrawing.h"
#include "game/flow/ingame/IngameController.h"
#include "game/flow/profile/PlayerProfile.h"
#include "game/flow/sound/SoundManager.h"
#include "game/ui/text/TextFormat.h"

namespace {

constexpr DWORD kLeftAligned = 4;
constexpr std::int32_t kWorldLevelItems = 5;

DWORD TextColour(float fade) { return static_cast<DWORD>(fade * 0.5f * 255.0f) << 24; }

// "<best>:  <score>p ", the translated word copied as it is.
EngineWString ScoreLine(std::uint32_t score) {
    std::u16string line;
    if (const WCHAR* word = KeyedText("MENU_HIGHSCORE"))
        for (; *word != 0; ++word) line.push_back(*word);
    line += u":  ";
    for (char digit : std::to_string(score)) line.push_back(static_cast<char16_t>(digit));
    line += u"p ";
    return EngineWString(line.c_str());
}

}  // namespace

std::int32_t StartChosenLevel(std::int32_t level) {
    if (IngameController* controller = GetController()) controller->SelectLevel(level);
    if (PlayerProfile* profile = GetProfile()) profile->tutorialHint = 0;
    PlaySoundEffect(kSoundMenuSelectBig, 0, 0);
    return kCommandStart;
}

namespace {

// The commands both level lists take: their buttons register as items, "SelectLevel" starts
// the level that `levelOf` gives for the item number; the rest is the selection page's.
std::int32_t LevelListButton(SelectMenuPage& page, std::int32_t (*levelOf)(std::int32_t item), Control* control,
                             const char* command, const char* argument, std::int32_t value) {
    if (!InMenuScreenState() || command == nullptr) return 0;
    if (CompareNoCase(command, "InitLevelButton") == 0) {
        page.RegisterItem(control, kSelectShownRows);
        return 0;
    }
    if (CompareNoCase(command, "SelectLevel") == 0) return StartChosenLevel(levelOf(ParseItemNumber(argument)));
    return page.SelectMenuPage::OnButton(control, command, argument, value);
}

// A custom level's name is the player's own: one longer than the button (or than the 64 glyphs
// a line draws, which would draw nothing) is cut and ends in "...".
constexpr std::int32_t kLabelGlyphs = 64;
constexpr float kLabelWidth = 250.0f;  // from the label's start to the button's right edge

bool LabelFits(const WCHAR* text, std::int32_t count) {
    if (count > kLabelGlyphs) return false;
    const BitmapFont* font = SystemFont();
    if (font == nullptr) return true;
    float width = 0.0f;
    font->MeasureN(text, count, &width, nullptr);
    return width <= kLabelWidth;
}

EngineWString FitLabel(EngineWString label) {
    const auto length = static_cast<std::int32_t>(label.Length());
    if (LabelFits(label.Text(), length)) return label;
    constexpr WCHAR kEllipsis[] = u"...";
    for (std::int32_t kept = std::min(length, kLabelGlyphs - 3); kept >= 0; --kept) {
        std::u16string cut(label.Text(), static_cast<std::size_t>(kept));
        cut += kEllipsis;
        if (LabelFits(cut.c_str(), static_cast<std::int32_t>(cut.size()))) return EngineWString(cut.c_str());
    }
    return EngineWString(kEllipsis);
}

}  // namespace

std::int32_t LevelSelectMenuPage::ShownItems() const {
    return std::min(SelectedLevelBase() == 0 ? kTutorialLevelCount : kWorldLevelItems, itemCount);
}

void LevelSelectMenuPage::OnShow(int shown, int unused) {
    SelectMenuPage::OnShow(shown, unused);
    if (shown != 0) scrolling = SelectedLevelBase() == 0;
}

std::int32_t LevelSelectMenuPage::OnButton(Control* control, const char* command, const char* argument,
                                           std::int32_t value) {
    return LevelListButton(
        *this, [](std::int32_t item) { return ChosenLevel(SelectedLevelBase(), item); }, control, command, argument,
        value);
}

void LevelSelectMenuPage::DrawItem(Canvas2D* canvas, std::int32_t item, bool tutorials) {
    const std::int32_t level = SelectedLevelBase() + item;
    const float d = FlyInDistance(item);
    const float y = rowHeight * static_cast<float>(item) + 5.0f - scrollOffset;
    const float f = ItemFade(item, d);
    const DWORD colour = TextColour(f);
    EngineWString title = FillNumber(KeyedText(tutorials ? "MENU_TUTORIAL_NUM" : "MENU_LEVEL_NUM"), item + 1);
    const PlayerProfile* profile = GetProfile();
    const bool scored = level >= kFirstScoredLevel && level <= kLastLevel && profile != nullptr;
    const std::uint32_t best = scored ? profile->BestScore(level) : 0;
    if (best == 0) {
        DrawText(canvas, d + 212.0f, y + 46.0f, TextRefFromText(&title), nullptr, colour, kLeftAligned, 1.0f);
    } else {
        DrawText(canvas, d + 212.0f, y + 38.0f, TextRefFromText(&title), nullptr, colour, kLeftAligned, 1.0f);
        EngineWString line = ScoreLine(best);
        DrawText(canvas, d + 212.0f, y + 65.0f, TextRefFromText(&line), nullptr, colour, kLeftAligned, 0.75f);
    }
    if (Brush* empty = brushes[kBrushLevelsEmpty]) {
        empty->SetAlpha(f);
        DrawQuad(canvas, d + 534.0f, y, 100.0f, 92.0f, empty, 0.0f);
    }
    if (profile == nullptr) return;
    std::int32_t medal = 0;
    if (level < kFirstScoredLevel) {
        medal = (profile->worldFlags[0] >> level & 1u) != 0 ? 1 : 0;
    } else if (level <= kLastLevel) {
        medal = profile->Medal(level);
    }
    GetHudDrawing().DrawMedalIcon(medal, d + 583.0f, y + 45.0f, 1.0f);
}

void LevelSelectMenuPage::PostDraw(Canvas2D* canvas) {
    const std::int32_t shown = ShownItems();
    if (canvas != nullptr) {
        canvas->offsetX = 0.0f;
        canvas->offsetY = 0.0f;
        for (std::int32_t item = 0; item < shown; ++item) DrawItem(canvas, item, SelectedLevelBase() == 0);
    }
    KeepFocusOnItems(shown);
    SelectMenuPage::PostDraw(canvas);
}

void CustomLevelSelectMenuPage::OnShow(int shown, int unused) {
    SelectMenuPage::OnShow(shown, unused);
    if (shown != 0) scrolling = SelectedLevelBase() == 0;
}

std::int32_t CustomLevelSelectMenuPage::OnButton(Control* control, const char* command, const char* argument,
                                                 std::int32_t value) {
    return LevelListButton(
        *this, [](std::int32_t item) { return kFirstCustomLevel + item; }, control, command, argument, value);
}

EngineWString CustomLevelSelectMenuPage::ItemLabel(std::int32_t item) {
    const IngameController* controller = GetController();
    if (controller == nullptr || item < 0 || static_cast<std::size_t>(item) >= controller->CustomLevels().size())
        return EngineWString();
    return FitLabel(EngineWString::FromUtf8(controller->CustomLevels()[static_cast<std::size_t>(item)].c_str()));
}

void CustomLevelSelectMenuPage::PostDraw(Canvas2D* canvas) {
    const IngameController* controller = GetController();
    const std::size_t levels = controller != nullptr ? controller->CustomLevels().size() : 0;
    if (canvas != nullptr) {
        canvas->offsetX = 0.0f;
        canvas->offsetY = 0.0f;
    }
    for (std::int32_t item = 0; item < itemCount; ++item) {
        const float d = FlyInDistance(item);
        const float y = rowHeight * static_cast<float>(item) + 5.0f - scrollOffset;
        const float f = ItemFade(item, d);
        // An item without a level cannot be chosen; it is not enabled again while shown.
        if (static_cast<std::size_t>(item) >= levels) {
            SetEnabled(items[item], 0);
            continue;
        }
        EngineWString name = ItemLabel(item);
        if (canvas != nullptr)
            DrawText(canvas, d + 212.0f, y + 46.0f, TextRefFromText(&name), nullptr, TextColour(f), kLeftAligned, 1.0f);
    }
    // The focus stays among the items that hold a level.
    KeepFocusOnItems(std::min(static_cast<std::int32_t>(std::min<std::size_t>(levels, kSelectItemCapacity)), itemCount));
    SelectMenuPage::PostDraw(canvas);
}
