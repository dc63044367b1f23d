// The HUD record: its pools, reset and preparation, the per-frame fade and dimming, and the
// comic panel tables.
#include "game/ui/hud/Hud.h"

#include <algorithm>
#include <iterator>

#include "engine/overlay/canvas/Canvas2D.h"

const char* const kHudTextureNames[kHudBrushCount] = {
    "ui/hud_02.dds", "ui/menu_01.dds", "ui/frame1.dds", nullptr, "ui/awards1.dds", "ui/awards2.dds",
};

namespace {

constexpr float kFullCharge = 0.9f;
constexpr float kEmptyCharge = 0.1f;
constexpr float kOpacityRate = 4.0f;
constexpr std::uint32_t kWhiteArgb = 0xFFFFFFFF;
// The frame texture's border as a fraction of its side.
constexpr float kFrameBorder = 0.25f;

void DeleteBanner(void* item) { delete static_cast<HudBanner*>(item); }
void DeletePopup(void* item) { delete static_cast<HudPopup*>(item); }

}  // namespace

void RetireBanner(Hud& hud) {
    auto* banner = static_cast<HudBanner*>(ListUnlink(hud.banners, hud.banners.head));
    if (banner == nullptr) return;
    banner->text.Assign(nullptr);
    banner->colour = Color{1.0f, 1.0f, 1.0f, 1.0f};
    banner->width = banner->remaining = 0.0f;
    // Without a link for the pool the entry goes: the pool shrinks rather than leaks.
    if (ListAppend(hud.bannerPool, banner) == nullptr) delete banner;
}

void RetirePopup(Hud& hud) {
    auto* popup = static_cast<HudPopup*>(ListUnlink(hud.popups, hud.popups.head));
    if (popup == nullptr) return;
    popup->text.Assign(nullptr);
    popup->colour = Color{1.0f, 1.0f, 1.0f, 1.0f};
    popup->remaining = 0.0f;
    if (ListAppend(hud.popupPool, popup) == nullptr) delete popup;
}

namespace {

// The two busy states of the character in which the controls do nothing.
bool Busy(std::int32_t characterState) { return characterState == 1 || characterState == 2; }

void WhiteBrush(Brush& brush) {
    brush.flags = 0;
    for (DWORD& colour : brush.colours) colour = kWhiteArgb;
}

}  // namespace

Hud::Hud() {
    for (Brush& brush : brushes) WhiteBrush(brush);
    WhiteBrush(coverBrush);
    coverBrush.colours[0] = 0xFF101018;
    for (std::uint32_t i = 0; i < kHudPoolSize; ++i) {
        if (auto* banner = new HudBanner) {
            if (ListAppend(bannerPool, banner) == nullptr) delete banner;
        }
        if (auto* popup = new HudPopup) {
            if (ListAppend(popupPool, popup) == nullptr) delete popup;
        }
    }
    InitComicPanels();
}

Hud::~Hud() { FreeLists(); }

void Hud::FreeLists() {
    ListDeleteAll(bannerPool, DeleteBanner);
    ListDeleteAll(banners, DeleteBanner);
    ListDeleteAll(popupPool, DeletePopup);
    ListDeleteAll(popups, DeletePopup);
    for (Brush& brush : brushes) ReleaseTextureHandle(brush);
}

float Hud::ScreenWidth() { return static_cast<float>(Overlay2D().screenWidth); }
float Hud::ScreenHeight() { return static_cast<float>(Overlay2D().screenHeight); }

HudPlayState Hud::Play() const { return host != nullptr ? host->PlayState() : HudPlayState{}; }

void Hud::Sound(std::int32_t id) {
    if (host != nullptr) host->PlaySound(id);
}

void Hud::Prepare() {
    for (int i = 0; i < kHudBrushCount; ++i) {
        if (kHudTextureNames[i] == nullptr) continue;
        // A texture that fails to load leaves its brush untextured: the HUD still draws.
        if (LoadTextureHandle(brushes[i], kHudTextureNames[i], 0) != 0)
            brushes[i].flags |= kBrushTextured;
        else
            brushes[i].flags &= ~kBrushTextured;
    }
    // The frame stretches as a nine-slice box: its corners keep their size at any frame size.
    Brush& frame = brushes[kHudBrushFrame];
    if ((frame.flags & kBrushTextured) != 0) frame.flags |= kBrushNineSlice;
    for (int i = 0; i < 4; ++i) frame.corners[i] = kFrameBorder;
    Reset();
    vertexCount = 0;
    ResetComicPanels();
    pressedButtons = 0;
    disabledButtons = 0;
    bannerShowing = 0;
    std::fill(std::begin(targets), std::end(targets), 1.0f);
    std::fill(std::begin(opacities), std::end(opacities), 1.0f);
    std::fill(std::begin(sphereScales), std::end(sphereScales), 0.0f);
    meterSoundLatch = 0;
    shadowOffset[0] = -2.0f;
    shadowOffset[1] = -2.0f;
    popupSoundPending = 1;
}

void Hud::Reset() {
    while (banners.head != nullptr) RetireBanner(*this);
    while (popups.head != nullptr) RetirePopup(*this);
    pressedButtons = 0;
    disabledButtons = 0;
    lowPosition = 0;
    std::fill(std::begin(targets), std::end(targets), 1.0f);
    std::fill(std::begin(opacities), std::end(opacities), 1.0f);
    InitComicPanels();
}

void Hud::SetDisabledButtons(std::uint32_t bits, int enable) {
    if (enable == 0)
        disabledButtons |= bits;
    else
        disabledButtons &= ~bits;
}

void Hud::Update(float dt) {
    const HudPlayState play = Play();
    const float charge = play.rotateCharge / kRotateChargeFull;
    alpha = std::clamp(fadeIn == 1 ? alpha + dt : alpha - dt, 0.0f, 1.0f);

    const bool busy = Busy(play.characterState);
    if (charge > kFullCharge && !busy) {
        targets[5] = targets[6] = 1.0f;
        disabledButtons &= ~kDisabledRotate;
    } else if (charge < kEmptyCharge || busy) {
        targets[5] = targets[6] = kControlDimmed;
        disabledButtons |= kDisabledRotate;
    }
    if (play.mayMove && !busy) {
        targets[2] = 1.0f;
        disabledButtons &= ~kDisabledDirections;
    } else {
        targets[2] = kControlDimmed;
        disabledButtons |= kDisabledDirections;
    }
    const float step = kOpacityRate * dt;
    for (int i = 0; i < kHudControlGroups; ++i) opacities[i] += StepToward(opacities[i], targets[i], step);

    if (play.controllerState == kHudStateLevelDone)
        fadeIn = 0;
    else
        fadeIn = play.controllerState == kHudStatePlaying && play.hudAllowed && !(play.fallHeight > kHudAirHeight)
                     ? 1
                     : 0;
}

// [SECTION] Comic panels.

void Hud::InitComicPanels() {
    const float w = ScreenWidth();
    const float h = ScreenHeight();
    const ComicPanel intro[kIntroPanelCount] = {
        {1, 0, 0, w, h},          {2, 0, 0, 360, h},        {2, 360, 0, w - 360, 230}, {2, 360, 230, w - 360, 250},
        {3, 0, 0, 400, h},        {3, 400, 0, 400, h},      {4, 0, 0, 400, h},         {4, 400, 0, 400, 230},
        {4, 400, 230, 400, 250},  {5, 0, 0, w, h},
    };
    const ComicPanel outro[kOutroPanelCount] = {
        {1, 0, 0, w / 2, h},           {1, w / 2, 0, w / 2, h},         {2, 0, 0, 528, h},
        {2, 528, 0, w - 528, 230},     {2, 528, 230, w - 528, 250},     {3, 0, 0, 360, 211},
        {3, 0, 211, 360, h - 211},     {3, 360, 0, w - 360, h},         {4, 0, 0, 345, h},
        {4, 345, 0, w - 345, 208},     {4, 345, 208, w - 345, h - 208}, {5, 0, 0, w, h},
    };
    std::copy(std::begin(intro), std::end(intro), introPanels);
    std::copy(std::begin(outro), std::end(outro), outroPanels);
}

void Hud::ResetComicPanels() {
    introPage = 1;
    introPanel = 0;
    outroPage = 1;
    outroPanel = 0;
}

namespace {

int NextPanel(std::uint32_t& index, std::uint32_t& page, const ComicPanel* panels, std::uint32_t count) {
    const std::uint32_t next = index + 1;
    index = next < count ? next : count;
    if (next >= count) return 0;  // the comic is over; the page stays the last panel's
    page = panels[next].page;
    return 1;
}

}  // namespace

int Hud::NextIntroPanel() { return NextPanel(introPanel, introPage, introPanels, kIntroPanelCount); }

int Hud::NextOutroPanel() { return NextPanel(outroPanel, outroPage, outroPanels, kOutroPanelCount); }
