// The intro and outro comics: the current page's picture over the whole screen, its panels
// not yet revealed covered, the current one uncovering within a second.
#include <algorithm>
#include <iterator>

#include "engine/core/object/ResourceCache.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "game/ui/hud/Hud.h"
#include "game/ui/text/TextFormat.h"

void Hud::DrawComicPage(const char* pictureFormat, const ComicPanel* panels, std::uint32_t count,
                        std::uint32_t current, float t) {
    vertexCount = 0;
    const std::uint32_t shown = std::min(current, count - 1);
    const std::uint32_t page = panels[shown].page;
    char name[32];
    FormatBounded(name, sizeof name, pictureFormat, static_cast<unsigned>(page));
    Brush picture;
    picture.flags = kBrushTextured;
    const float corners[8] = {0, 0, 1, 0, 1, 1, 0, 1};
    std::copy(std::begin(corners), std::end(corners), picture.corners);
    std::fill(std::begin(picture.colours), std::end(picture.colours), 0xFFFFFFFFu);
    picture.texture = GlobalResourceCache().GetTexture(name, 0);
    if (picture.texture == nullptr) picture.flags = 0;
    DrawQuad(canvas, 0.0f, 0.0f, ScreenWidth(), ScreenHeight(), &picture, 0.0f);
    ResourceCache::ReleaseTexture(picture.texture);

    for (std::uint32_t i = 0; i < count; ++i) {
        const ComicPanel& panel = panels[i];
        if (panel.page != page || i < current) continue;
        if (i == current) {
            const float cover = std::max(1.0f - t, 0.0f);
            const auto byte = static_cast<DWORD>(255.0f * cover);
            for (DWORD& colour : coverBrush.colours) colour = (colour & 0x00FFFFFFu) | byte << 24;
        }
        DrawQuad(canvas, panel.x, panel.y, panel.width, panel.height, &coverBrush, 0.0f);
        coverBrush.SetAlpha(1.0f);
    }
}

void Hud::DrawIntroPage(float t) { DrawComicPage("gfx/intro%u.dds", introPanels, kIntroPanelCount, introPanel, t); }

void Hud::DrawOutroPage(float t) { DrawComicPage("gfx/outro%u.dds", outroPanels, kOutroPanelCount, outroPanel, t); }
