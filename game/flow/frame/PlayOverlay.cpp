// The play overlay by play state, the level title, the cut-scene caption and the results
// page's drawing.
#include "game/flow/frame/PlayOverlay.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/core/text/EngineWString.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/text/TextRef.h"
#include "game/flow/frame/FrameText.h"
#include "game/flow/frame/RenderPass.h"
#include "game/flow/ingame/IngameController.h"
#include "game/flow/interfaces/HudDrawing.h"
#include "game/flow/interfaces/PlayWorld.h"
#include "game/flow/profile/PlayerProfile.h"
#include "game/flow/services/GameServices.h"
#include "game/flow/sound/SoundManager.h"
#include "game/ui/AnimatedValue.h"
#include "game/ui/text/ShadowedText.h"
#include "game/ui/text/TextFormat.h"

namespace {

constexpr float kTitleScale = 1.6f;
constexpr std::int32_t kTwoPartBriefingLevel = 7;
constexpr float kSecondBriefingAfter = 5.0f;
// The shadow falls two pixels right of and below the text.
constexpr float kShadowOffset[2] = {-2.0f, -2.0f};

ResultsProgress progress;

AnimatedValue& MedalPulse() {
    static AnimatedValue pulse = [] {
        AnimatedValue value;
        value.StartPulse(0.9f, 0.9f, 1.3f, 4.0f);
        return value;
    }();
    return pulse;
}

void DrawCutsceneCaption(const IngameController& controller, HudDrawing& hud, Canvas2D* canvas) {
    std::int32_t speaker = 0;
    std::string line;
    if (!GetPlayWorld().ShotLine(controller.cutsceneShot, speaker, line)) return;
    hud.DrawFrameQuad(400.0f, 380.0f, 740.0f, 170.0f, 1.0f);
    DrawTextBox(canvas, 62.5f, 314.0f, 680.0f, 200.0f, KeyedText(line.c_str()), nullptr, 0xFFFFFFFF, kShadowBlack,
                kShadowOffset, 0, 1.0f, 0.0f);
    const bool bram = speaker == 1;
    if (bram)
        hud.DrawFrameQuad(102.0f, 282.0f, 100.0f, 50.0f, 1.0f);
    else
        hud.DrawFrameQuad(140.0f, 282.0f, 180.0f, 50.0f, 1.0f);
    DrawShadowedText(canvas, 70.5f, 265.0f, KeyedText(bram ? "CUTSCENE_BRAM" : "CUTSCENE_ODILE"), -1, nullptr,
                     0xFFFFFFFF, kShadowBlack, kShadowOffset, 0, 2.0f);
}

void DrawBriefing(const IngameController& controller, HudDrawing& hud, Canvas2D* canvas, float cx, float cy) {
    const float a = std::fmin(2.0f * controller.stateTimer, 1.0f);
    char key[48];
    hud.DrawFrameQuad(cx, cy - 66.0f, 580.0f, 48.0f, a);
    FormatBounded(key, sizeof key, "LEVEL_NAME_%d", static_cast<int>(controller.currentLevel + 1));
    DrawKeyedText(canvas, cx, cy - 66.0f, key, WhiteWithAlpha(a), kAlignCentre, kTitleScale);
    hud.DrawFrameQuad(cx, cy + 52.0f, 580.0f, 176.0f, a);
    const bool second = controller.currentLevel == kTwoPartBriefingLevel && controller.stateTimer > kSecondBriefingAfter;
    FormatBounded(key, sizeof key, second ? "LEVEL_BRIEFING_%d_2" : "LEVEL_BRIEFING_%d", static_cast<int>(controller.currentLevel + 1));
    DrawTextBox(canvas, cx - 272.0f, cy - 15.0f, 532.0f, 176.0f, KeyedText(key), nullptr, WhiteWithAlpha(a),
                RgbWithAlpha(0.0f, 0.0f, 0.0f, a), kShadowOffset, 0, kTitleScale, 0.0f);
}

// The HUD's pieces of the running level.
void DrawHudPieces(HudDrawing& hud, bool popupsFirst, bool touchControls) {
    if (popupsFirst) {
        hud.DrawPopups();
        hud.DrawBanners();
    } else {
        hud.DrawBanners();
        hud.DrawPopups();
    }
    hud.DrawSphereRow();
    hud.DrawRotateMeter();
    if (touchControls) hud.DrawTouchControls();
    hud.DrawCornerButtons();
}

void DrawTitleFrame(HudDrawing& hud, Canvas2D* canvas, float x, float y, float height, float frameAlpha,
                    const WCHAR* text, float textAlpha) {
    hud.DrawFrameQuad(x, y, 560.0f, height, frameAlpha);
    DrawLineText(canvas, x, y, text, WhiteWithAlpha(textAlpha), kAlignCentre, kTitleScale);
}

}  // namespace

ResultsProgress& OverlayResultsProgress() { return progress; }

void ResetPlayOverlay() {
    progress = ResultsProgress{};
    MedalPulse().StartPulse(0.9f, 0.9f, 1.3f, 4.0f);
}

ResultsFacts ResultsFactsOf(const IngameController& controller) {
    ResultsFacts facts;
    facts.elapsed = controller.elapsedCopy;
    facts.logicMeasure = controller.logicMeasure;
    facts.timeRating = controller.timeRating;
    facts.logicRating = controller.logicRating;
    facts.medal = controller.medal;
    facts.timePoints = controller.timePoints;
    facts.logicPoints = controller.logicPoints;
    facts.newRecord = controller.newRecord != 0;
    facts.resultTitle = controller.resultTitle != nullptr ? controller.resultTitle : "";
    facts.resultColour = controller.resultColour;
    facts.previousBest = controller.previousBest;
    facts.finale = controller.finale != 0;
    const PlayerProfile* profile = GetProfile();
    facts.hasNextLevel = profile != nullptr && profile->NextLevel(controller.currentLevel) > 0;
    facts.level = controller.currentLevel;
    return facts;
}

void DrawLevelTitle(const IngameController& controller, HudDrawing& hud, Canvas2D* canvas, float x, float y, float t) {
    const std::int32_t level = controller.currentLevel;
    if (level < kFirstScoredLevel) return;
    TextLine name;
    if (level >= kFirstCustomLevel) {
        const auto index = static_cast<std::size_t>(level - kFirstCustomLevel);
        if (index < controller.CustomLevels().size()) {
            EngineWString wide = EngineWString::FromUtf8(controller.CustomLevels()[index].c_str());
            name.Append(wide.Text());
        }
    } else {
        char key[48];
        FormatBounded(key, sizeof key, "LEVEL_NAME_%d", static_cast<int>(level + 1));
        name.Append(KeyedText(key));
    }

    const std::int32_t last = controller.lastCompleted;
    const std::int32_t lastWorld = last < kFirstScoredLevel ? 0 : (last - kFirstScoredLevel) / kLevelsPerWorld + 1;
    const std::int32_t world = WorldOfLevel(level);
    if (last >= 0 && world != lastWorld) {
        // The translation is data: the world's number goes into its slot, nothing else is read.
        const EngineWString filled = FillNumber(KeyedText("MENU_WORLD_NUM"), world);
        TextLine number;
        number.Append(filled.Text());
        if (t < 1.5f) {
            const float a = std::fmin(2.0f * t, 1.0f);
            DrawTitleFrame(hud, canvas, x, y, 72.0f, a, number.Text(), a);
        } else if (t < 2.0f) {
            const float a = std::fmax(1.0f - 2.0f * (t - 1.5f), 0.0f);
            DrawTitleFrame(hud, canvas, x, y, 2.0f * (12.0f * a + 24.0f), 1.0f, number.Text(), a);
        } else if (t < 3.5f) {
            DrawTitleFrame(hud, canvas, x, y, 48.0f, 1.0f, name.Text(), std::fmin(2.0f * (t - 2.0f), 1.0f));
        } else if (t < 4.0f) {
            const float a = std::fmax(1.0f - 2.0f * (t - 3.5f), 0.0f);
            DrawTitleFrame(hud, canvas, x, y, 48.0f, a, name.Text(), a);
        }
        return;
    }
    if (t < 1.5f) {
        const float a = std::fmin(2.0f * t, 1.0f);
        DrawTitleFrame(hud, canvas, x, y, 48.0f, a, name.Text(), a);
    } else if (t < 2.0f) {
        const float a = std::fmax(1.0f - 2.0f * (t - 1.5f), 0.0f);
        DrawTitleFrame(hud, canvas, x, y, 48.0f, a, name.Text(), a);
    }
}

void DrawResultsPage(const ResultsPage& page, HudDrawing& hud, Canvas2D* canvas) {
    for (const PageFrame& frame : page.frames) hud.DrawFrameQuad(frame.x, frame.y, frame.width, frame.height, frame.alpha);
    for (const PageCell& cell : page.cells)
        hud.DrawAtlasCell(cell.u0, cell.v0, cell.u1, cell.v1, cell.x, cell.y, cell.width, cell.height, cell.alpha);
    for (const PagePicture& picture : page.pictures)
        DrawPicture(canvas, picture.x, picture.y, picture.width, picture.height, picture.name);
    for (const PageIcon& icon : page.icons) hud.DrawIcon(icon.icon, icon.x, icon.y, icon.scale, icon.alpha);
    if (page.medalShown) hud.DrawMedalIcon(page.medal, page.medalX, page.medalY, page.medalScale);
    for (const PageText& text : page.texts) {
        if (!text.key.empty())
            DrawKeyedText(canvas, text.x, text.y, text.key.c_str(), text.colour, text.alignment, text.scale);
        else
            DrawLineText(canvas, text.x, text.y, text.line.Text(), text.colour, text.alignment, text.scale);
    }
    for (std::uint32_t sound : page.sounds) PlaySoundEffect(sound, 0, 0);
}

void DrawPlayOverlay(IngameController& controller, HudDrawing& hud, Canvas2D* canvas, std::uint32_t width,
                     std::uint32_t height) {
    const float cx = static_cast<float>(width >> 1);
    const float cy = static_cast<float>(height >> 1);
    switch (controller.state) {
        case kPlayCutscene:
            if (controller.cutsceneShot < GetPlayWorld().Level().shotCount) DrawCutsceneCaption(controller, hud, canvas);
            hud.DrawPauseButton();
            break;
        case kPlayTutorialPage:
            DrawBriefing(controller, hud, canvas, cx, cy);
            break;
        case kPlayPlaying:
        case kPlayScroll:
            if (controller.stateTimer > 0.5f)
                DrawLevelTitle(controller, hud, canvas, cx, cy - 66.0f, controller.stateTimer - 0.5f);
            DrawHudPieces(hud, false, true);
            break;
        case kPlayComplete:
        case kPlayReset:
            DrawHudPieces(hud, false, false);
            break;
        case kPlayCompleteWait:
            DrawHudPieces(hud, true, false);
            break;
        case kPlayResults: {
            const float pulse = MedalPulse().Update();
            DrawResultsPage(BuildResultsPage(ResultsFactsOf(controller), controller.stateTimer, pulse, progress, cx, cy),
                            hud, canvas);
            break;
        }
        default:
            break;
    }
    hud.Flush();
}
