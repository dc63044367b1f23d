// Breaking wide text into lines that fit a width, for display. '\n' and '|' force a break.
#pragma once

#include <cstddef>

#include "engine/core/containers/KDLList.h"
#include "engine/core/text/EngineWString.h"
#include "platform/base/Types.h"

// What wrapping needs of a font: the width of a run of characters and of one character,
// unscaled.
class TextMeasure {
public:
    virtual float TextWidth(const WCHAR* text, std::size_t count) const = 0;
    virtual float CharacterWidth(WCHAR character) const = 0;

protected:
    ~TextMeasure() = default;
};

// Appends each line to `lines` as a new EngineWString object (the caller owns them:
// ListDeleteAll with EngineWString::DeleteItem). Widths are scaled and truncated to whole
// units before they are compared with the (truncated) width.
// Word mode breaks between words; a word that does not fit a line of its own stands alone
// on a line although it is too wide. Character mode fills each line with the characters
// whose widths stay below the width, and always takes at least one character.
// 1 on success; 0 when a line could not be allocated (the lines so far stay in the list).
int WrapText(const EngineWString& text, KDLList& lines, float width, const TextMeasure& font, float scale,
             int byCharacter);
