// The results page at a moment of its animation.
#include "game/flow/frame/ResultsPage.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "game/flow/profile/PlayerProfile.h"
#include "game/ui/text/TextFormat.h"

namespace {

constexpr float kRowScale = 1.6f;
constexpr float kDim = 0.5f;
constexpr int kPipCount = 5;
constexpr float kPipSize = 16.0f;
constexpr std::int32_t kIconLogicPip = 18;
constexpr std::int32_t kIconPipDark = 20;
constexpr std::int32_t kIconPipLit = 21;
constexpr std::int32_t kIconMenu = 4;
constexpr std::int32_t kIconRetry = 6;
constexpr std::int32_t kIconNext = 8;

// One row's times: when counting starts, when the points run in, when it is final and when
// its pips start lighting.
struct RowTimes {
    float count, points, final, pips;
};
constexpr RowTimes kTimeRow{1.0f, 1.5f, 2.0f, 4.5f};
constexpr RowTimes kLogicRow{3.0f, 3.5f, 4.0f, 5.5f};

PageText& AddKey(ResultsPage& page, const char* key, float x, float y, DWORD alignment, float scale, DWORD colour) {
    PageText& text = page.texts.emplace_back();
    text.key = key;
    text.x = x;
    text.y = y;
    text.alignment = alignment;
    text.scale = scale;
    text.colour = colour;
    return text;
}

PageText& AddLine(ResultsPage& page, float x, float y, DWORD alignment, float scale, DWORD colour) {
    PageText& text = AddKey(page, "", x, y, alignment, scale, colour);
    text.line.Clear();
    return text;
}

// The points run in over half a second from `start`, truncated.
std::int32_t RunningPoints(std::int32_t points, float t, float start) {
    if (t < start) return 0;
    return static_cast<std::int32_t>(static_cast<float>(points) * std::fmin(2.0f * (t - start), 1.0f));
}

struct RowFacts {
    float y;
    float value;
    std::int32_t points;
    float rating;
    RowTimes times;
    float dimU0, dimV0, dimU1, dimV1;  // the dim pip's atlas cell before counting
    std::int32_t countingIcon;         // the pips while counting; 0: the dim cell
    bool* pips;
    std::int32_t stageBefore;
};

void AddRow(ResultsPage& page, const RowFacts& row, float t, ResultsProgress& progress, float cx, float cy) {
    // By position: a second text may move the first.
    AddLine(page, cx + 64.0f, row.y, kAlignCentre, kRowScale, 0xFFFFFFFF);
    AddLine(page, cx + 256.0f, row.y, kAlignRight, kRowScale, 0xFFFFFFFF);
    PageText& value = page.texts[page.texts.size() - 2];
    PageText& points = page.texts.back();
    const RowTimes& times = row.times;
    if (t < times.count) {
        value.line.AppendAscii("0.00");
        points.line.AppendAscii("0p");
    } else if (t < times.final) {
        const float shown = t < times.points ? 2.0f * (t - times.count) * row.value : row.value;
        value.line.AppendFixed2(shown);
        points.line.AppendNumber(RunningPoints(row.points, t, times.points));
        points.line.AppendAscii("p");
        page.sounds.push_back(kSoundResultsCount);
    } else {
        value.line.AppendFixed2(row.value);
        points.line.AppendNumber(row.points);
        points.line.AppendAscii("p");
        if (progress.soundStage == row.stageBefore) {
            page.sounds.push_back(kSoundResultsRowDone);
            progress.soundStage = row.stageBefore + 1;
        }
    }

    const auto rating = static_cast<std::int32_t>(row.rating);
    const std::int32_t lit = t > times.pips ? static_cast<std::int32_t>(5.0f * (t - times.pips)) : 0;
    for (int i = 0; i < kPipCount; ++i) {
        const float x = cx - 188.0f;
        const float y = cy - 76.0f - 11.0f * static_cast<float>(i) + (row.y - (cy - 96.0f));
        if (t < times.final) {
            if (t < times.count || row.countingIcon == 0)
                page.cells.push_back(PageCell{row.dimU0, row.dimV0, row.dimU1, row.dimV1, x, y, kPipSize, kPipSize, 1.0f});
            else
                page.icons.push_back(PageIcon{row.countingIcon, x, y, 1.0f, 1.0f});
            continue;
        }
        const bool on = i < lit && (i == 0 || i < rating);
        page.icons.push_back(PageIcon{on ? kIconPipLit : kIconPipDark, x, y, 1.0f, 1.0f});
        if (on && !row.pips[i]) {
            row.pips[i] = true;
            page.sounds.push_back(kSoundResultsFirstPip + static_cast<std::uint32_t>(i));
        }
    }
}

}  // namespace

const PageText* ResultsPage::FindKey(const char* key) const {
    for (const PageText& text : texts)
        if (!text.key.empty() && text.key == key) return &text;
    return nullptr;
}

const PageText* ResultsPage::FindLine(const char16_t* line) const {
    for (const PageText& text : texts)
        if (text.key.empty() && std::u16string_view(text.line.Text()) == std::u16string_view(line)) return &text;
    return nullptr;
}

ResultsPage BuildResultsPage(const ResultsFacts& facts, float t, float pulse, ResultsProgress& progress, float cx,
                             float cy) {
    ResultsPage page;
    if (t < 1.0f) progress = ResultsProgress{};

    const float a = std::fmin(2.0f * t, 1.0f);
    page.frames.push_back(PageFrame{cx, cy - 192.0f, 560.0f, 76.0f, a});
    char key[48];
    FormatBounded(key, sizeof key, "LEVEL_NAME_%d", static_cast<int>(facts.level + 1));
    AddKey(page, key, cx, cy - 200.0f, kAlignCentre, kRowScale, 0xFFFFFFFF);
    page.frames.push_back(PageFrame{cx, cy - 20.0f, 560.0f, 260.0f, a});

    const float timeAlpha = t < kTimeRow.count ? kDim : 1.0f;
    const float logicAlpha = t < kLogicRow.count ? kDim : 1.0f;
    page.cells.push_back(PageCell{0.5f, 0.0f, 0.625f, 0.125f, cx - 256.0f, cy - 128.0f, 64.0f, 64.0f, timeAlpha});
    page.cells.push_back(PageCell{0.625f, 0.0f, 0.75f, 0.125f, cx - 256.0f, cy - 56.0f, 64.0f, 64.0f, logicAlpha});
    AddKey(page, "MENU_TIME", cx - 172.0f, cy - 96.0f, kAlignLeft, kRowScale, WhiteWithAlpha(timeAlpha));
    AddKey(page, "MENU_LOGIC", cx - 172.0f, cy - 24.0f, kAlignLeft, kRowScale, WhiteWithAlpha(logicAlpha));
    page.pictures.push_back(PagePicture{"ui/scrollbar.dds", cx - 254.0f, cy + 16.0f, 510.0f, 4.0f});

    AddRow(page,
           RowFacts{cy - 96.0f, facts.elapsed, facts.timePoints, facts.timeRating, kTimeRow, 0.25f, 0.0625f, 0.3125f,
                    0.125f, 0, progress.timePips, 0},
           t, progress, cx, cy);
    AddRow(page,
           RowFacts{cy - 24.0f, facts.logicMeasure, facts.logicPoints, facts.logicRating, kLogicRow, 0.25f, 0.0f,
                    0.3125f, 0.0625f, kIconLogicPip, progress.logicPips, 1},
           t, progress, cx, cy);

    PageText& total = AddLine(page, cx + 256.0f, cy + 62.0f, kAlignRight, 2.0f,
                              WhiteWithAlpha(t < kTimeRow.points ? kDim : 1.0f));
    total.line.AppendNumber(static_cast<std::int64_t>(RunningPoints(facts.timePoints, t, kTimeRow.points)) +
                            RunningPoints(facts.logicPoints, t, kLogicRow.points));
    total.line.AppendAscii("p");

    if (t > 6.75f) {
        const float m = t < 7.0f ? 2.0f - 4.0f * (t - 6.75f) : 1.0f;
        page.medalShown = true;
        page.medal = facts.medal;
        page.medalX = cx - 226.0f;
        page.medalY = cy + 61.0f;
        page.medalScale = m;
        if (progress.soundStage == 2 && facts.medal >= kMedalBronze) {
            page.sounds.push_back(kSoundResultsMedal);
            progress.soundStage = 3;
        }
        const std::uint32_t c = facts.resultColour;
        auto channel = [&](int shift) {
            return std::fmin(static_cast<float>((c >> shift) & 0xFF) / 255.0f * pulse, 1.0f);
        };
        const DWORD colour = RgbWithAlpha(channel(16), channel(8), channel(0), static_cast<float>(c >> 24) / 255.0f);
        AddKey(page, facts.newRecord ? "NOTIFICATION_NEW_RECORD" : facts.resultTitle.c_str(), cx - 190.0f, cy + 61.0f,
               kAlignLeft, m + 0.6f, colour);
    }

    if (facts.previousBest > 0) {
        // The translation is copied as it is; our own parts go around it.
        PageText& best = AddLine(page, cx, cy - 175.0f, kAlignCentre, 1.2f, 0xFFFFFFFF);
        best.line.Append(KeyedText("MENU_HIGHSCORE"));
        best.line.AppendAscii(": ");
        best.line.AppendNumber(facts.previousBest);
        best.line.AppendAscii("p");
    }

    const float iconY = cy + 160.0f;
    const float labelY = cy + 205.0f;
    if (!facts.finale) {
        page.icons.push_back(PageIcon{kIconMenu, cx - 230.0f, iconY, 2.0f, 1.0f});
        AddKey(page, "MENU_MENU", cx - 262.0f, labelY, kAlignLeft, kRowScale, 0xFFFFFFFF);
        page.icons.push_back(PageIcon{kIconRetry, cx, iconY, 2.0f, 1.0f});
        AddKey(page, "MENU_RETRY", cx + 5.0f, labelY, kAlignCentre, kRowScale, 0xFFFFFFFF);
    }
    const bool next = facts.hasNextLevel || facts.finale;
    page.icons.push_back(PageIcon{kIconNext, cx + 230.0f, iconY, 2.0f, next ? 1.0f : 0.5f});
    AddKey(page, "MENU_NEXT", cx + 266.0f, labelY, kAlignRight, kRowScale, WhiteWithAlpha(next ? 1.0f : 0.3f));
    return page;
}
