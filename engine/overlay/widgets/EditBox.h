// EditBox: a one-line text field with a blinking caret. It keeps its text in the control's
// text reference and counts how many trailing characters fit its width; on screen it shows
// its background.
#pragma once

#include <cstdint>

#include "engine/overlay/widgets/Control.h"

constexpr const char kEditClass[] = "EditWndClass";

// Styles.
constexpr DWORD kEditNoHoverFocus = 0x2000;   // the pointer passing over does not take the focus
constexpr DWORD kEditEnterSelects = 0x10000;  // Enter reports a selection to the parent
constexpr DWORD kEditParentFirst = 0x40000;   // keys go to the parent first

// The caret changes every this many milliseconds.
constexpr std::int32_t kCaretBlinkMs = 500;

class EditBox : public Control {
public:
    void OnKeyDown(std::int32_t key, std::int32_t value, std::int32_t extra) override;
    void OnKeyUp(std::int32_t key, std::int32_t extra) override;
    void OnChar(std::int32_t a, std::int32_t b, std::int32_t c) override;
    void OnPointerDown(float x, float y) override;
    void OnPointerEnter(Control* from) override;
    // Joins the update list; the caret restarts visible.
    void OnGainFocus(Control* previous) override;
    void OnLoseFocus(Control* next) override;
    // The visible characters are counted again.
    void OnShow(int shown, int unused) override;
    void Draw(Canvas2D* canvas) override;
    // The caret blink.
    void Update(DWORD elapsedMilliseconds) override;

    int CreateEdit(const TextRef* caption, DWORD style, float x, float y, float width, float height,
                   Control* parent, DWORD id);
    // The number of trailing characters of the text that fit the width with the caret.
    std::int32_t CountVisibleCharacters() const;

    DWORD firstColour = 0xFF5AB2F5;
    DWORD secondColour = 0xFFFFFF00;
    DWORD thirdColour = 0xFF111111;
    DWORD flag = 0;
    DWORD maximumLength = 128;
    std::int32_t caretTimer = 0;
    DWORD caretVisible = 1;
    float textScale = 1.0f;
    std::int32_t visibleCharacters = 0;
};
