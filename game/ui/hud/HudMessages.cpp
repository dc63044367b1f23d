// Banners and pop-ups: queued into pooled entries, animated and drawn one at a time.
#include <algorithm>

#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/text/TextRef.h"
#include "engine/overlay/text/TextTable.h"
#include "game/ui/hud/Hud.h"
#include "game/ui/text/ShadowedText.h"

namespace {

constexpr float kBannerMeasureScale = 0.7f;
constexpr float kBannerTextScale = 1.4f;
constexpr float kBannerFitWidth = 400.0f;
constexpr float kBannerRise = 46.0f;
constexpr float kPopupSeconds = 4.0f;
constexpr DWORD kCentred = kTextCentre | kTextMiddle;

float Clamp01(float value) { return std::clamp(value, 0.0f, 1.0f); }

DWORD ToArgb(const Color& colour, float alpha) {
    auto byte = [](float channel) { return static_cast<DWORD>(Clamp01(channel) * 255.0f); };
    return byte(alpha) << 24 | byte(colour.r) << 16 | byte(colour.g) << 8 | byte(colour.b);
}

float MeasureWide(const EngineWString& text, float scale) {
    EngineWString copy(text);
    return MeasureText(TextRefFromText(&copy), nullptr, scale);
}

}  // namespace

void Hud::AddFloatingText(std::uint8_t kind, std::uint8_t icon, const WCHAR* text, const Color& colour) {
    if (popupPool.head == nullptr) return;
    auto* popup = static_cast<HudPopup*>(ListUnlink(popupPool, popupPool.head));
    popup->kind = kind;
    popup->number = icon;
    popup->colour = colour;
    // The text is shown as it is: a translated text is never a format string.
    popup->text.Assign(text);
    popup->duration = popup->remaining = kPopupSeconds;
    if (ListAppend(popups, popup) == nullptr) delete popup;
}

void Hud::PushNotification(const WCHAR* text, float seconds, const Color& colour) {
    if (bannerPool.head == nullptr) return;
    auto* banner = static_cast<HudBanner*>(ListUnlink(bannerPool, bannerPool.head));
    banner->colour = colour;
    banner->duration = banner->remaining = seconds;
    banner->text.Assign(text);
    banner->width = MeasureWide(banner->text, kBannerMeasureScale);
    if (ListAppend(banners, banner) == nullptr) delete banner;
}

void Hud::ClearNotifications() {
    while (banners.head != nullptr) RetireBanner(*this);
}

void Hud::DrawBanners(float dt) {
    const float cx = ScreenWidth() * 0.5f;
    const float rest = ScreenHeight() - 58.0f;
    if (banners.head == nullptr) {
        DrawBanner(cx, rest, false);
        bannerShowing = 0;
        return;
    }
    bannerShowing = 1;
    auto* banner = static_cast<HudBanner*>(banners.head->item);
    banner->remaining -= dt;
    if (banner->remaining <= 0.0f) {
        RetireBanner(*this);
        DrawBanner(cx, rest, true);
        return;
    }
    const float elapsed = banner->duration - banner->remaining;
    const float fade = elapsed < 0.5f ? 2.0f * elapsed : (banner->remaining < 0.5f ? 2.0f * banner->remaining : 1.0f);
    const float width = MeasureWide(banner->text, 1.0f);
    const float fit = width > kBannerFitWidth ? kBannerFitWidth / width : 1.0f;
    DrawBanner(cx, rest - kBannerRise * fade, true);
    DrawShadowedText(canvas, cx, rest + 32.0f - kBannerRise * fade, banner->text.Text(), -1, nullptr,
                     ToArgb(banner->colour, fade), ToArgb(Color{0, 0, 0, 1}, fade), shadowOffset, kCentred,
                     kBannerTextScale * fit);
}

void Hud::DrawPopups(float dt) {
    if (popups.head == nullptr) return;
    auto* popup = static_cast<HudPopup*>(popups.head->item);
    popup->remaining -= dt;
    if (popup->remaining <= 0.0f) {
        RetirePopup(*this);
        return;
    }
    const float e = popup->duration - popup->remaining;
    const float cx = ScreenWidth() * 0.5f;
    const float cy = ScreenHeight() * 0.5f;
    const bool world = popup->kind == kPopupKindWorldUnlocked || popup->kind == kPopupKindWorldComplete;
    float scale = 0.0f;
    if (e < 0.5f) {
        scale = std::min(8.0f * e, 2.0f);
        if (world) popupSoundPending = 1;
    } else if (e < 3.5f) {
        scale = 2.0f;
        if (world && popupSoundPending != 0) {
            Sound(kSoundWorldUnlocked);
            popupSoundPending = 0;
        }
    } else if (e < 4.0f) {
        scale = std::max(2.0f - 8.0f * (e - 3.5f), 0.0f);
    } else {
        return;
    }
    DrawFrameQuad(cx, cy - 24.0f, 280.0f * scale, 132.0f * scale, 1.0f);
    // The emblem grows with the frame and sits in its upper part.
    if (popup->kind == kPopupKindAward) {
        DrawAwardIcon(popup->number, cx, cy - 24.0f - 24.0f * scale, scale);
    } else {
        const float size = 64.0f * scale;
        const float centreY = cy - 24.0f - 12.0f * scale;
        DrawAtlasSprite(0.0f, 256.0f, 128.0f, 384.0f, cx - size * 0.5f, centreY - size * 0.5f, size, size);
        if (popup->kind == kPopupKindWorldComplete) {
            const float w = 22.0f * scale;
            const float h = 52.0f * scale;
            DrawAtlasSprite(328.0f, 94.0f, 372.0f, 198.0f, cx - 4.0f * scale - w * 0.5f,
                            cy - 24.0f - 53.0f * scale - h * 0.5f, w, h);
        }
    }
    if (e < 0.5f || e >= 3.5f) return;
    const float textScale = 2.0f * std::max(2.0f - 4.0f * (e - 0.5f), 1.0f);
    const float textAlpha = e >= 3.0f ? std::max(1.0f - 2.0f * (e - 3.0f), 0.0f) : 1.0f;
    const DWORD colour = ToArgb(popup->colour, textAlpha);
    const DWORD shadow = ToArgb(Color{0, 0, 0, 1}, textAlpha);
    if (popup->kind == kPopupKindAward) {
        const WCHAR* heading = TextTableFind(GlobalTextTable(), "NOTIFICATION_NEW_AWARD", nullptr);
        DrawShadowedText(canvas, cx, cy + 12.0f, heading, -1, nullptr, colour, shadow, shadowOffset, kCentred,
                         textScale);
    }
    DrawShadowedText(canvas, cx, cy + 48.0f, popup->text.Text(), -1, nullptr, colour, shadow, shadowOffset, kCentred,
                     textScale);
}
