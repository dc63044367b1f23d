// The drawing layer's test card: colour bars filled, a translucent band blended over them,
// a green disc blended through an 8-bit mask (opaque and at opacity 160), an orange
// checker filled through a 1-bit mask, a red ramp through a 4-bit mask, a grey ramp tinted
// and dithered over navy, and two lines of text. The screenshot test and the repaint
// benchmark paint it.
#pragma once

#include <cmath>
#include <cstdint>

#include "dialer/surface/DibSurface.h"
#include "dialer/surface/SurfaceDrawing.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Text.h"

namespace test_card {

constexpr LONG kWidth = 480;
constexpr LONG kHeight = 800;
constexpr COLORREF kBars[8] = {RGB(255, 255, 255), RGB(255, 255, 0), RGB(0, 255, 255), RGB(0, 255, 0),
                               RGB(255, 0, 255),   RGB(255, 0, 0),   RGB(0, 0, 255),   RGB(0, 0, 0)};
constexpr COLORREF kBackground = RGB(32, 48, 96);

class CTestCard {
public:
    CTestCard() {
        CreateDibSurface(disc_, 160, 160, DIB_FORMAT_MASK8);
        CreateDibSurface(green_, 160, 160, DIB_FORMAT_RGB565);
        CreateDibSurface(checker_, 64, 64, DIB_FORMAT_MASK1);
        CreateDibSurface(ramp_, 240, 32, DIB_FORMAT_MASK4);
        CreateDibSurface(red_, 240, 32, DIB_FORMAT_RGB565);
        CreateDibSurface(grey_, 240, 40, DIB_FORMAT_MASK8);
        CreateDibSurface(greyMask_, 240, 40, DIB_FORMAT_MASK8);
        FillRectRGB565(green_, 0, 0, 160, 160, RGB(0, 200, 40), 255);
        FillRectRGB565(red_, 0, 0, 240, 32, RGB(230, 20, 20), 255);
        for (LONG y = 0; y < 160; ++y)
            for (LONG x = 0; x < 160; ++x) {
                // Coverage of a disc of radius 70 with a soft 4-pixel edge.
                const double distance = std::hypot(x + 0.5 - 80.0, y + 0.5 - 80.0);
                const double coverage = std::fmin(1.0, std::fmax(0.0, (72.0 - distance) / 4.0));
                disc_.Row(y)[x] = static_cast<BYTE>(coverage * 255.0 + 0.5);
            }
        for (LONG y = 0; y < 64; ++y)
            for (LONG x = 0; x < 64; ++x)
                if (((x / 8) + (y / 8)) % 2 == 0) checker_.Row(y)[x >> 3] |= static_cast<BYTE>(0x80u >> (x & 7));
        for (LONG y = 0; y < 32; ++y)
            for (LONG x = 0; x < 240; ++x) {
                const BYTE level = static_cast<BYTE>(x * 16 / 240);
                BYTE& pair = ramp_.Row(y)[x >> 1];
                pair = static_cast<BYTE>((x & 1) != 0 ? (pair & 0xF0) | level : (pair & 0x0F) | (level << 4));
            }
        for (LONG y = 0; y < 40; ++y)
            for (LONG x = 0; x < 240; ++x) {
                grey_.Row(y)[x] = static_cast<BYTE>(x * 255 / 239);
                greyMask_.Row(y)[x] = 200;
            }
        LOGFONTW description{};
        description.lfHeight = -40;
        description.lfWeight = FW_BOLD;
        description.lfQuality = ANTIALIASED_QUALITY;
        const char16_t face[] = u"DejaVu Sans";
        for (std::size_t i = 0; i < sizeof face / sizeof face[0]; ++i) description.lfFaceName[i] = face[i];
        title_ = CreateFontIndirectW(&description);
        description.lfHeight = -20;
        description.lfWeight = FW_NORMAL;
        note_ = CreateFontIndirectW(&description);
    }
    ~CTestCard() {
        DeleteObject(title_);
        DeleteObject(note_);
    }
    CTestCard(const CTestCard&) = delete;
    CTestCard& operator=(const CTestCard&) = delete;

    // Paints the whole card into an RGB565 surface of kWidth × kHeight whose context is dc.
    void Paint(CDibSurface& card, HDC dc) const {
        for (LONG i = 0; i < 8; ++i) FillRectRGB565(card, i * 60, 0, 60, 300, kBars[i], 255);
        FillRectRGB565(card, 0, 300, kWidth, kHeight - 300, kBackground, 255);
        FillRectRGB565(card, 40, 100, 400, 120, RGB(255, 255, 255), 128);
        BlendSurfaceMasked(card, 40, 340, 160, 160, green_, 0, 0, disc_, 255);
        BlendSurfaceMasked(card, 280, 340, 160, 160, green_, 0, 0, disc_, 160);
        FillMaskRGB565(card, 40, 520, 64, 64, RGB(255, 140, 0), 0, 0, checker_, 255);
        BlendSurfaceMasked(card, 200, 520, 240, 32, red_, 0, 0, ramp_, 255);
        BlendSurfaceTinted8(card, 200, 570, 240, 40, grey_, 0, 0, greyMask_, RGB(0, 0, 128));
        CDCStateSaver saver(dc);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        SelectObject(dc, title_);
        RECT title{0, 640, kWidth, 720};
        DrawTextW(dc, u"Calvane 0123", -1, &title, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SetTextColor(dc, RGB(255, 255, 0));
        SelectObject(dc, note_);
        ExtTextOutW(dc, 20, 740, 0, nullptr, u"RGB565 test card", 16, nullptr);
    }

private:
    CDibSurface disc_;
    CDibSurface green_;
    CDibSurface checker_;
    CDibSurface ramp_;
    CDibSurface red_;
    CDibSurface grey_;
    CDibSurface greyMask_;
    HFONT title_ = nullptr;
    HFONT note_ = nullptr;
};

}  // namespace test_card
