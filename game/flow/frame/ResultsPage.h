// ResultsPage: what the results page after a level shows at a moment of its animation: the
// frames, texts, atlas cells, icons and medal to draw, and the sounds to start in this frame.
// Times count up, points run in, the rating pips light one by one and the medal drops in;
// each pip's sound and each row's closing sound plays once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/flow/frame/FrameText.h"

// What the page shows of the finished level.
struct ResultsFacts {
    float elapsed = 0.0f;
    float logicMeasure = 0.0f;
    float timeRating = 0.0f;
    float logicRating = 0.0f;
    std::int32_t medal = 0;
    std::int32_t timePoints = 0;
    std::int32_t logicPoints = 0;
    bool newRecord = false;
    std::string resultTitle;  // text key of the medal line
    std::uint32_t resultColour = 0;
    std::int32_t previousBest = 0;
    bool finale = false;
    bool hasNextLevel = false;
    std::int32_t level = 0;
};

// Kept from frame to frame: which closing sounds have played (0-3) and which pips have lit.
struct ResultsProgress {
    std::int32_t soundStage = 0;
    bool timePips[5] = {};
    bool logicPips[5] = {};
};

struct PageFrame {
    float x, y, width, height, alpha;
};
// A keyed text (key set) or a text put together here (line).
struct PageText {
    std::string key;
    TextLine line;
    float x = 0.0f, y = 0.0f;
    DWORD alignment = kAlignLeft;
    float scale = 1.0f;
    DWORD colour = 0xFFFFFFFF;
};
struct PageCell {
    float u0, v0, u1, v1, x, y, width, height, alpha;
};
struct PageIcon {
    std::int32_t icon;
    float x, y, scale, alpha;
};
struct PagePicture {
    const char* name;
    float x, y, width, height;
};

struct ResultsPage {
    std::vector<PageFrame> frames;
    std::vector<PageText> texts;
    std::vector<PageCell> cells;
    std::vector<PageIcon> icons;
    std::vector<PagePicture> pictures;
    bool medalShown = false;
    std::int32_t medal = 0;
    float medalX = 0.0f, medalY = 0.0f, medalScale = 1.0f;
    std::vector<std::uint32_t> sounds;

    // The first text with the key, or the first composed text equal to `line`; null if none.
    const PageText* FindKey(const char* key) const;
    const PageText* FindLine(const char16_t* line) const;
};

// Sound ids of the page.
constexpr std::uint32_t kSoundResultsCount = 10;
constexpr std::uint32_t kSoundResultsRowDone = 11;
constexpr std::uint32_t kSoundResultsFirstPip = 19;
constexpr std::uint32_t kSoundResultsMedal = 31;

// The page at t seconds into the results, centred on (cx, cy); `pulse` scales the medal
// line's colour.
ResultsPage BuildResultsPage(const ResultsFacts& facts, float t, float pulse, ResultsProgress& progress, float cx,
                             float cy);
