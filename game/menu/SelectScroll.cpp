// Scroll rows, ranges, easing, levels and the completion gauge of the selection pages.
#include "game/menu/SelectScroll.h"

#include <algorithm>
#include <cmath>

#include "game/flow/profile/PlayerProfile.h"

std::int32_t WorldLevelBase(std::int32_t world) {
    if (world < 1 || world > 9) return 0;
    return (world - 1) * kLevelsPerWorld + kTutorialLevelCount;
}

std::int32_t ChosenLevel(std::int32_t levelBase, std::int32_t item) {
    const std::int64_t level = static_cast<std::int64_t>(levelBase) + item;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(level, 0, kLastLevel));
}

std::int32_t ParseItemNumber(const char* text) {
    if (text == nullptr) return 0;
    while (*text == ' ' || *text == '\t') ++text;
    std::int32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) value = std::min(value * 10 + (*text - '0'), 9999);
    return value;
}

std::int32_t ClampRow(std::int32_t row, std::int32_t count, std::int32_t rowsBeforeEnd) {
    const std::int32_t last = std::max(count - rowsBeforeEnd, 0);
    return std::clamp(row, 0, last);
}

float ScrollLimit(std::int32_t count, std::int32_t rowsBeforeEnd, float rowHeight) {
    return static_cast<float>(std::max(count - rowsBeforeEnd, 0)) * rowHeight;
}

float EaseToward(float current, float target, float frameStep) {
    return target - (target - current) * std::pow(0.77f, frameStep * 30.0f);
}

std::int32_t DoneBits(std::uint32_t word, std::int32_t bits) {
    std::int32_t done = 0;
    for (std::int32_t bit = 0; bit < bits && bit < 32; ++bit) done += static_cast<std::int32_t>(word >> bit & 1u);
    return done;
}

int CompletionGaugePieces(float fraction, GaugePlacement (&pieces)[3]) {
    if (!(fraction > 0.0f)) return 0;
    if (fraction < 0.25f) {
        pieces[0] = {GaugePiece::kSingle, 62.0f};
        return 1;
    }
    pieces[0] = {GaugePiece::kBottom, 62.0f};
    float top = 16.0f;
    float middle = 26.0f;
    if (fraction < 0.45f) {
        top = 52.0f;
    } else if (fraction < 0.65f) {
        top = 35.0f;
        middle = 45.0f;
    } else if (fraction < 0.99f) {
        top = 27.0f;
        middle = 35.0f;
    }
    pieces[1] = {GaugePiece::kTop, top};
    if (fraction < 0.45f) return 2;
    pieces[2] = {GaugePiece::kMiddle, middle};
    return 3;
}
