// Hud: the heads-up display of play. One record holds a sprite batch of 64 quads drawn with
// one call per frame, the drawers of the HUD's elements (touch controls, rotate meter,
// sphere row, corner and pause buttons, icons, medals, awards, frames), the fade and the
// dimming of controls that cannot be used, the pooled banners and pop-ups, and the panel
// tables of the intro and outro comics. Positions are screen pixels of the 2D screen
// (800 x 480 class), computed from its current width W and height H.
//
// The HUD knows nothing of the game's flow: what it reads of play comes from a HudHost.
//
// Sections: constants; the host; the message entries; the record; element drawing;
// messages; comics.
#pragma once

#include <cstdint>

#include "engine/core/containers/KDLList.h"
#include "engine/core/math/MathTypes.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/text/EngineWString.h"
#include "engine/overlay/canvas/Brush.h"
#include "engine/render/RenderTypes.h"
#include "game/ui/AnimatedValue.h"
#include "platform/base/Types.h"

class Canvas2D;

// [SECTION] Constants.
constexpr std::uint32_t kHudPoolSize = 16;
constexpr std::uint32_t kHudBatchQuads = 64;
constexpr std::uint32_t kHudBatchVertices = kHudBatchQuads * 4;
constexpr int kHudControlGroups = 7;
constexpr int kHudSphereSlots = 5;
constexpr std::uint32_t kIntroPanelCount = 10;
constexpr std::uint32_t kOutroPanelCount = 12;
constexpr float kHudAtlasSize = 512.0f;
constexpr float kControlDimmed = 0.125f;

// Pressed direction buttons (Hud::pressedButtons).
constexpr std::uint32_t kPressedLeft = 0x10;
constexpr std::uint32_t kPressedUpperLeft = 0x20;
constexpr std::uint32_t kPressedTop = 0x40;
constexpr std::uint32_t kPressedUpperRight = 0x80;
constexpr std::uint32_t kPressedRight = 0x100;
// Disabled sets (Hud::disabledButtons).
constexpr std::uint32_t kDisabledRotate = 0x1B;
constexpr std::uint32_t kDisabledDirections = 0x06;

// The HUD's brushes: their textures and what draws with them.
enum HudBrush : int {
    kHudBrushAtlas = 0,   // "ui/hud_02.dds": the sprite batch
    kHudBrushMenu = 1,    // "ui/menu_01.dds": medals 2-4
    kHudBrushFrame = 2,   // "ui/frame1.dds": frames
    kHudBrushUnused = 3,
    kHudBrushAwards = 4,  // "ui/awards1.dds": award icons
    kHudBrushAwards2 = 5, // "ui/awards2.dds"
    kHudBrushCount = 6,
};
extern const char* const kHudTextureNames[kHudBrushCount];  // null: no texture

// The touch buttons of play, where DrawTouchControls draws them.
enum HudButton : int {
    kHudButtonLeft,
    kHudButtonUpperLeft,
    kHudButtonTop,
    kHudButtonUpperRight,
    kHudButtonRight,
    kHudButtonRotateLeft,
    kHudButtonRotateRight,
    kHudButtonCount,
};

// Pop-up kinds.
constexpr std::uint8_t kPopupKindAward = 0;
constexpr std::uint8_t kPopupKindWorldUnlocked = 1;
constexpr std::uint8_t kPopupKindWorldComplete = 2;

// Sounds the HUD asks for (the game's sound ids).
constexpr std::int32_t kSoundRotateMeterFull = 29;
constexpr std::int32_t kSoundWorldUnlocked = 32;

// Play states the HUD tells apart.
constexpr std::int32_t kHudStatePlaying = 5;
constexpr std::int32_t kHudStateLooking = 6;
constexpr std::int32_t kHudStateLevelDone = 7;

// A character higher than this is in the air: the HUD fades out.
constexpr float kHudAirHeight = 4.9f;
// The character's rotate charge when full.
constexpr float kRotateChargeFull = 1.9f;

// [SECTION] What the HUD reads of play, and the sounds it plays.
struct HudPlayState {
    std::int32_t controllerState = 0;
    bool hudAllowed = true;        // the controller lets the HUD show
    float controlOpacity = 1.0f;   // the player's opacity of the touch controls
    bool buttonsSwapped = false;   // the rotate buttons change sides
    float rotateCharge = 0.0f;     // the character's, full at kRotateChargeFull
    std::int32_t characterState = 0;  // 1 and 2: busy, the controls are dimmed
    bool mayMove = true;
    float fallHeight = 0.0f;
    std::int32_t sphereTotal = 0;
    std::int32_t spheresCollected = 0;
};

class HudHost {
public:
    virtual ~HudHost() = default;
    virtual HudPlayState PlayState() const = 0;
    virtual void PlaySound(std::int32_t soundId) = 0;
};

// [SECTION] Message entries, pooled: 16 banners and 16 pop-ups for the record's life.
struct HudBanner : EngineAllocated {
    EngineWString text;
    float width = 0.0f;  // at scale 0.7 in the HUD font
    Color colour{1.0f, 1.0f, 1.0f, 1.0f};
    float duration = 0.0f;
    float remaining = 0.0f;
};

struct HudPopup : EngineAllocated {
    std::uint8_t kind = 0;
    std::uint8_t number = 0;  // the award's icon, or the world
    EngineWString text;
    Color colour{1.0f, 1.0f, 1.0f, 1.0f};
    float duration = 0.0f;
    float remaining = 0.0f;
};

struct ComicPanel {
    std::uint32_t page = 0;
    float x = 0.0f, y = 0.0f, width = 0.0f, height = 0.0f;
};

// [SECTION] The record.
class Hud : public EngineAllocated {
public:
    // Empty lists, fade in, alpha 0, then 16 entries in each pool (an entry that cannot be
    // allocated is left out).
    Hud();
    ~Hud();
    Hud(const Hud&) = delete;
    Hud& operator=(const Hud&) = delete;

    // Every entry of the four lists deleted, and the brushes' textures given back.
    void FreeLists();
    // Before play or a comic: the textures into their brushes, the reset, both comics at
    // their start, an empty batch, no pressed buttons, opacities 1, shadow offset (-2, -2).
    void Prepare();
    // Every banner and pop-up back in its pool; controls not pressed, not disabled, fully
    // opaque; the panel tables from the screen size.
    void Reset();

    // Once a frame of play: the fade, the dimming of controls that cannot be used.
    void Update(float dt);
    void SetPressedButtons(std::uint32_t bits) { pressedButtons = bits; }
    // enable 0 sets the bits, else clears them.
    void SetDisabledButtons(std::uint32_t bits, int enable);

    // [SECTION] Sprites. Each queues quads into the batch with the atlas brush.
    // One quad at (x, y), w x h, with the atlas brush's corners and colours; nothing once
    // the batch is full.
    void DrawHudSprite(float x, float y, float w, float h);
    // The atlas brush's corners for the pixel cell (left, top)-(right, bottom) of the atlas.
    void SetAtlasCell(float left, float top, float right, float bottom);
    // One atlas cell drawn w x h at (x, y), at `alpha`.
    void DrawAtlasSprite(float left, float top, float right, float bottom, float x, float y, float w, float h,
                         float alpha = 1.0f);
    // An icon of the atlas by id; false (nothing drawn, the brush untouched) for an id
    // without a cell.
    bool DrawIcon(std::int32_t id, float x, float y, bool centred, float scale, float alpha);
    void DrawMeterBar(float y, float width);
    void DrawSphereIcon(int slot, float x, float y);
    void DrawTouchControls();
    void DrawRotateMeter();
    void DrawSphereRow();
    void DrawCornerButtons();
    void DrawPauseButton();
    // The batch in one draw with the atlas texture; the count stays.
    void Flush();
    void ClearBatch() { vertexCount = 0; }

    // Quads drawn at once through the 2D layer (not batched).
    void DrawFrameQuad(float x, float y, float w, float h, float alpha);
    void DrawBanner(float x, float y, bool tall);
    void DrawAwardIcon(std::int32_t icon, float x, float y, float scale);
    void DrawMedalIcon(std::int32_t medal, float x, float y, float scale);

    // [SECTION] Messages.
    // A pop-up: the text copied as it is, 4 seconds; dropped when the pool is empty.
    void AddFloatingText(std::uint8_t kind, std::uint8_t icon, const WCHAR* text, const Color& colour);
    // A banner for `seconds`; dropped when the pool is empty.
    void PushNotification(const WCHAR* text, float seconds, const Color& colour);
    void ClearNotifications();
    // Per frame with the frame's step: the head banner and the head pop-up.
    void DrawBanners(float dt);
    void DrawPopups(float dt);

    // [SECTION] Comics.
    void InitComicPanels();
    void ResetComicPanels();
    // 1 while there is a panel to reveal, 0 once the comic is over.
    int NextIntroPanel();
    int NextOutroPanel();
    // The current page with its unrevealed panels covered; t is the reveal time of the
    // current panel in seconds.
    void DrawIntroPage(float t);
    void DrawOutroPage(float t);

    // A touch button's centre in screen pixels, as drawn on the current screen; (-1, -1) for
    // no button.
    static void ButtonCentre(int button, float& x, float& y);

    // Screen size of the 2D layer.
    static float ScreenWidth();
    static float ScreenHeight();

    // [SECTION] Fields.
    KDLList bannerPool;
    KDLList banners;
    KDLList popupPool;
    KDLList popups;
    std::uint32_t fadeIn = 1;
    std::uint32_t lowPosition = 0;
    float alpha = 0.0f;
    std::uint32_t pressedButtons = 0;
    std::uint32_t disabledButtons = 0;
    float targets[kHudControlGroups] = {1, 1, 1, 1, 1, 1, 1};
    float opacities[kHudControlGroups] = {1, 1, 1, 1, 1, 1, 1};
    float sphereScales[kHudSphereSlots] = {};
    std::uint32_t introPage = 1;
    std::uint32_t introPanel = 0;
    ComicPanel introPanels[kIntroPanelCount];
    std::uint32_t outroPage = 1;
    std::uint32_t outroPanel = 0;
    ComicPanel outroPanels[kOutroPanelCount];
    std::uint32_t meterSoundLatch = 0;
    ImmediateVertex vertices[kHudBatchVertices] = {};
    std::uint32_t vertexCount = 0;

    std::uint32_t bannerShowing = 0;
    std::uint32_t popupSoundPending = 1;  // a world pop-up plays its sound once
    float shadowOffset[2] = {-2.0f, -2.0f};
    Brush brushes[kHudBrushCount];
    Brush coverBrush;  // covers the comic panels not yet revealed
    AnimatedValue meterPulse;
    bool meterPulseStarted = false;
    float meterAlpha = 1.0f;  // the meter bar's pieces, while it pulses

    Canvas2D* canvas = nullptr;  // the 2D layer's canvas the HUD draws through
    HudHost* host = nullptr;     // null: an idle play state, no sounds

private:
    HudPlayState Play() const;
    void Sound(std::int32_t id);
    void DrawComicPage(const char* pictureFormat, const ComicPanel* panels, std::uint32_t count,
                       std::uint32_t current, float t);
};

// The head banner or pop-up, emptied, back to the end of its pool.
void RetireBanner(Hud& hud);
void RetirePopup(Hud& hud);
