// Painting a content layer by layer, with the layers' scroll caches: a cached layer that
// scrolled by k rows paints only the k new rows and moves the rest of its old picture;
// an unchanged one is one block copy.
#include <algorithm>

#include "dialer/dialog/DialogContent.h"
#include "dialer/dialog/ProfilerHooks.h"
#include "dialer/properties/PropertyReader.h"
#include "dialer/surface/SurfaceDrawing.h"

namespace XmlLayouts {

namespace {

// Content cache modes that let layers keep caches: while the finger drags (every cached
// layer, painted from the top of the target when it asks), and while a fling runs (layers
// that cannot scroll by themselves or whose content fits).
constexpr LONG kCacheDragging = 3;
constexpr LONG kCacheFlinging = 2;

}  // namespace

bool CDialogContent::Paint(const PaintContext& context, ILayoutElement* filter) {
    CProfileScope scope(u"XmlLayouts::CDialogContent::Paint");
    CDibSurface target;
    AttachSurfaceBitmap(target, context.bitmap, context.dc);
    CInterfacePtr<CDialogContent> self(this);
    for (std::size_t i = 0; i < m_layers.size(); ++i) {
        CProfileScope layerScope(u"CDialogContent::Layer");
        LayerEntry& entry = m_layers[i];
        CInterfacePtr<CDialogLayer> held = entry.layer;
        PaintLayer(entry, context, filter, target);
    }
    return true;
}

void CDialogContent::PaintLayer(LayerEntry& entry, const PaintContext& context, ILayoutElement* filter,
                                CDibSurface& target) {
    CDialogLayer& layer = *entry.layer.Get();
    LONG x = layer.Position().x;
    LONG y = layer.Position().y;
    LONG w = layer.Extent().cx;
    LONG h = layer.Extent().cy;
    const LONG sx = layer.Scroll().x;
    LONG sy = layer.Scroll().y;

    bool useCache = false;
    LONG allowed = 0;
    if (layer.ReadInt(PROPERTY_CACHE, &allowed) && allowed != 0) {
        if (m_cacheMode == kCacheDragging) {
            useCache = true;
            LONG fromTop = 0;
            if (layer.ReadInt(PROPERTY_FROM_TOP, &fromTop) && fromTop != 0 && y >= 1) {
                sy -= y;
                h += y;
                y = 0;
            }
        } else if (m_cacheMode == kCacheFlinging) {
            const LONG mode = layer.IntOr(PROPERTY_SCROLL_Y, 0);
            useCache = (mode != 1 && mode != 2) || (mode == 2 && h >= layer.Bounds().bottom - layer.Bounds().top);
        }
    }
    if (useCache && w > 0 && h > 0) {
        // A cache holds the picture of one area and one layout: a layer that moved, changed
        // size or was laid out again starts a new one.
        const RECT area{x, y, x + w, y + h};
        if (entry.cache && (entry.cache->GetWidth() != w || entry.cache->GetHeight() != h)) entry.cache.Reset();
        if (!entry.cache) {
            entry.cache = MakeDibSurface(w, h, DIB_FORMAT_RGB565);
            entry.cachedX = kNothingCached;
            entry.cachedY = kNothingCached;
        }
        if (entry.cache && (area.left != entry.cachedArea.left || area.top != entry.cachedArea.top ||
                            entry.cachedLayout != layer.LayoutCount())) {
            entry.cachedY = kNothingCached;
            entry.cachedArea = area;
            entry.cachedLayout = layer.LayoutCount();
        }
    } else {
        entry.cache.Reset();
    }
    // A repaint of single objects changes what a cached picture shows: the layer is painted
    // as it is, and its cache starts again at the next full paint.
    const bool cached = entry.cache && filter == nullptr;
    if (entry.cache && filter != nullptr) entry.cachedY = kNothingCached;

    // The rows to paint: b of them, at the bottom of the layer (o = h − b) when the content
    // moved up, at its top otherwise.
    LONGLONG delta = 0;
    LONG band = h;
    if (cached) {
        if (entry.cachedY != kNothingCached) {
            delta = static_cast<LONGLONG>(entry.cachedY) - sy;
            if (delta == 0) {
                CopySurfaceRect(target, x, y, w, h, *entry.cache, 0, 0);
                return;
            }
            band = static_cast<LONG>(std::min<LONGLONG>(h, delta < 0 ? -delta : delta));
        }
        entry.cachedX = sx;
        entry.cachedY = sy;
    }
    const LONG offset = delta < 0 ? h - band : 0;
    PaintContext area = context;
    area.destinationX = x;
    area.destinationY = y + offset;
    area.sourceX = sx;
    area.sourceY = sy + offset;
    area.width = w;
    area.height = band;
    area.cacheMode = m_cacheMode;
    layer.PaintItems(area, filter);
    if (!cached) return;
    if (band < h) {
        if (delta < 0)
            CopySurfaceRect(target, x, y, w, h - band, *entry.cache, 0, band);
        else
            CopySurfaceRect(target, x, y + band, w, h - band, *entry.cache, 0, 0);
    }
    CopySurfaceRect(*entry.cache, 0, 0, w, h, target, x, y);
}

}  // namespace XmlLayouts
