// FreeType faces, sized instances and their glyph caches.
#include "platform/gdi/FontEngine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/screen/Display.h"

namespace platform::gdi {

namespace {

enum class Family { Sans, Serif, Mono };
enum Style { kRegular = 0, kBold = 1, kItalic = 2, kBoldItalic = 3 };

// File names of each family by style.
constexpr const char* kFontFiles[3][4] = {
    {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSans-Oblique.ttf", "DejaVuSans-BoldOblique.ttf"},
    {"DejaVuSerif.ttf", "DejaVuSerif-Bold.ttf", "DejaVuSerif-Italic.ttf", "DejaVuSerif-BoldItalic.ttf"},
    {"DejaVuSansMono.ttf", "DejaVuSansMono-Bold.ttf", "DejaVuSansMono-Oblique.ttf", "DejaVuSansMono-BoldOblique.ttf"},
};

// Where the distributions install the DejaVu fonts (Debian's fonts-dejavu-core first).
constexpr const char* kFontFolders[] = {
    "/usr/share/fonts/truetype/dejavu/",   "/usr/share/fonts/TTF/",      "/usr/share/fonts/dejavu/",
    "/usr/share/fonts/dejavu-sans-fonts/", "/usr/share/fonts/truetype/", "/usr/local/share/fonts/",
};

// Sizes beyond this many pixels to the em are drawn at this size.
constexpr int kMaxEmPixels = 1024;
// Caches: instances kept, glyphs kept per instance (both dropped least recently used or
// all at once at the start of a call, never while a call holds references).
constexpr std::size_t kMaxInstances = 24;
constexpr std::size_t kMaxGlyphs = 2048;

Family FamilyOf(const LOGFONTW& font) {
    std::string name;
    for (int i = 0; i < LF_FACESIZE && font.lfFaceName[i] != 0; ++i)
        name.push_back(font.lfFaceName[i] < 128 ? static_cast<char>(std::tolower(font.lfFaceName[i])) : '?');
    auto has = [&name](const char* part) { return name.find(part) != std::string::npos; };
    if (has("mono") || has("courier") || has("console")) return Family::Mono;
    if ((has("serif") && !has("sans")) || has("times") || has("georgia")) return Family::Serif;
    if (name.empty()) {
        const int family = font.lfPitchAndFamily & 0xF0;
        if (family == 0x30 || (font.lfPitchAndFamily & 3) == 1) return Family::Mono;  // FF_MODERN, FIXED_PITCH
        if (family == 0x10) return Family::Serif;                                     // FF_ROMAN
    }
    return Family::Sans;
}

struct InstanceKey {
    std::string path;
    Family family = Family::Sans;
    long emSize26 = 0;  // 26.6 pixels
    bool emboldened = false;
    bool slanted = false;
    bool smooth = false;

    bool operator==(const InstanceKey& other) const {
        return path == other.path && emSize26 == other.emSize26 && emboldened == other.emboldened &&
               slanted == other.slanted && smooth == other.smooth;
    }
};

int RoundUp26(FT_Pos value) { return static_cast<int>((value + 63) >> 6); }
int Round26(FT_Pos value) { return static_cast<int>((value + 32) >> 6); }

class Instance final : public FontInstance {
public:
    Instance(InstanceKey key, FT_Face face, FT_Size size) : key(std::move(key)), m_face(face), m_size(size) {
        const FT_Size_Metrics& sized = size->metrics;
        m_metrics.emPixels = sized.y_ppem;
        m_metrics.ascent = RoundUp26(sized.ascender);
        m_metrics.descent = RoundUp26(-sized.descender);
        m_metrics.height = m_metrics.ascent + m_metrics.descent;
        m_metrics.internalLeading = std::max(0, m_metrics.height - m_metrics.emPixels);
        const FT_Long gap = face->height - (face->ascender - face->descender);
        m_metrics.externalLeading = std::max(0, Round26(FT_MulFix(gap, sized.y_scale)));
        m_metrics.maxWidth = RoundUp26(sized.max_advance);
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (os2 != nullptr && os2->xAvgCharWidth > 0)
            m_metrics.averageWidth = Round26(FT_MulFix(os2->xAvgCharWidth, sized.x_scale));
        else
            m_metrics.averageWidth = GlyphOf(U'x').advance;
        m_metrics.underlinePosition = std::max(1, Round26(-FT_MulFix(face->underline_position, sized.y_scale)));
        m_metrics.underlineThickness = std::max(1, Round26(FT_MulFix(face->underline_thickness, sized.y_scale)));
        // Variable-pitch fonts carry bit 0 (the handset's TMPF_FIXED_PITCH, named backwards),
        // every one the vector and TrueType bits, and its family: swiss, roman or modern.
        const BYTE familyBits = this->key.family == Family::Serif  ? 0x10
                                : this->key.family == Family::Mono ? 0x30
                                                                   : 0x20;
        m_metrics.pitchAndFamily = static_cast<BYTE>(familyBits | 0x06 | (FT_IS_FIXED_WIDTH(face) ? 0 : 0x01));
        m_metrics.strikeoutPosition = os2 != nullptr && os2->yStrikeoutPosition > 0
                                          ? Round26(FT_MulFix(os2->yStrikeoutPosition, sized.y_scale))
                                          : m_metrics.ascent / 3;
    }
    ~Instance() override { FT_Done_Size(m_size); }

    const FontMetrics& Metrics() const override { return m_metrics; }

    const Glyph& GlyphOf(char32_t code) override {
        auto found = m_glyphs.find(code);
        if (found != m_glyphs.end()) return found->second;
        Glyph& glyph = m_glyphs[code];
        Render(code, glyph);
        return glyph;
    }

    void TrimGlyphs() {
        if (m_glyphs.size() > kMaxGlyphs) m_glyphs.clear();
    }

    const InstanceKey key;

private:
    void Render(char32_t code, Glyph& glyph) {
        FT_Activate_Size(m_size);
        // Slant comes from the glyph slot's transform; nothing else here turns glyphs.
        FT_Set_Transform(m_face, nullptr, nullptr);
        const FT_UInt index = FT_Get_Char_Index(m_face, code);
        const FT_Int32 target = key.smooth ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO;
        if (FT_Load_Glyph(m_face, index, FT_LOAD_DEFAULT | target) != 0) return;
        FT_GlyphSlot slot = m_face->glyph;
        if (key.emboldened) FT_GlyphSlot_Embolden(slot);
        if (key.slanted) FT_GlyphSlot_Oblique(slot);
        glyph.advance = Round26(slot->advance.x);
        if (FT_Render_Glyph(slot, key.smooth ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0) return;
        const FT_Bitmap& bitmap = slot->bitmap;
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        glyph.width = static_cast<int>(bitmap.width);
        glyph.rows = static_cast<int>(bitmap.rows);
        glyph.coverage.assign(static_cast<std::size_t>(glyph.width) * static_cast<std::size_t>(glyph.rows), 0);
        for (int y = 0; y < glyph.rows; ++y) {
            const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
            std::uint8_t* out = glyph.coverage.data() + static_cast<std::size_t>(y) * glyph.width;
            for (int x = 0; x < glyph.width; ++x) {
                if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                    out[x] = ((row[x >> 3] >> (7 - (x & 7))) & 1u) != 0 ? 255 : 0;
                else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
                    out[x] = static_cast<std::uint8_t>(bitmap.num_grays == 256 ? row[x]
                                                                               : row[x] * 255 / (bitmap.num_grays - 1));
            }
        }
    }

    FT_Face m_face;
    FT_Size m_size;
    FontMetrics m_metrics;
    std::unordered_map<char32_t, Glyph> m_glyphs;  // nodes stay put when the map grows
};

class Engine {
public:
    Engine() {
        if (FT_Init_FreeType(&m_library) != 0) m_library = nullptr;
    }
    FontInstance* Find(const LOGFONTW& font) {
        if (m_library == nullptr) return nullptr;
        const Family family = FamilyOf(font);
        const bool bold = font.lfWeight >= 600;
        const bool italic = font.lfItalic != 0;
        // The closest installed style; what it lacks is made up.
        InstanceKey key;
        key.family = family;
        int style = (bold ? kBold : 0) | (italic ? kItalic : 0);
        for (int candidate : {style, style & kBold, style & kItalic, 0}) {
            key.path = FilePath(kFontFiles[static_cast<int>(family)][candidate]);
            if (!key.path.empty() && Face(key.path) != nullptr) {
                style = candidate;
                break;
            }
        }
        if (key.path.empty() || Face(key.path) == nullptr) return nullptr;
        FT_Face face = Face(key.path);
        key.emboldened = bold && (style & kBold) == 0;
        key.slanted = italic && (style & kItalic) == 0;
        key.smooth = font.lfQuality == 4 || font.lfQuality == 5;  // ANTIALIASED_QUALITY, CLEARTYPE_QUALITY
        key.emSize26 = EmSize26(font, face);

        for (auto it = m_instances.begin(); it != m_instances.end(); ++it) {
            if (!((*it)->key == key)) continue;
            m_instances.splice(m_instances.begin(), m_instances, it);
            m_instances.front()->TrimGlyphs();
            return m_instances.front().get();
        }
        FT_Size size = nullptr;
        if (FT_New_Size(face, &size) != 0) return nullptr;
        FT_Activate_Size(size);
        FT_Size_RequestRec request{FT_SIZE_REQUEST_TYPE_NOMINAL, 0, key.emSize26, 0, 0};
        if (FT_Request_Size(face, &request) != 0) {
            FT_Done_Size(size);
            return nullptr;
        }
        m_instances.push_front(std::make_unique<Instance>(key, face, size));
        if (m_instances.size() > kMaxInstances) m_instances.pop_back();
        return m_instances.front().get();
    }

private:
    // The em size for a logical height: negative heights give the character height, positive
    // ones the cell height (ascent and descent as the font's Windows metrics give them).
    static long EmSize26(const LOGFONTW& font, FT_Face face) {
        long height = font.lfHeight != 0 ? font.lfHeight : -DefaultFontHeight();
        long long em26 = 0;
        if (height < 0) {
            em26 = static_cast<long long>(-static_cast<long long>(height)) * 64;
        } else {
            const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
            long long cell = os2 != nullptr ? static_cast<long long>(os2->usWinAscent) + os2->usWinDescent
                                            : static_cast<long long>(face->ascender) - face->descender;
            if (cell <= 0) cell = face->units_per_EM;
            em26 = (static_cast<long long>(height) * 64 * face->units_per_EM + cell / 2) / cell;
        }
        return static_cast<long>(std::clamp<long long>(em26, 64, kMaxEmPixels * 64));
    }

    std::string FilePath(const char* name) {
        auto known = m_paths.find(name);
        if (known != m_paths.end()) return known->second;
        std::string path;
        for (const char* folder : kFontFolders) {
            std::error_code error;
            const std::string candidate = std::string(folder) + name;
            if (std::filesystem::is_regular_file(candidate, error)) {
                path = candidate;
                break;
            }
        }
        m_paths.emplace(name, path);
        return path;
    }

    FT_Face Face(const std::string& path) {
        auto known = m_faces.find(path);
        if (known != m_faces.end()) return known->second;
        FT_Face face = nullptr;
        if (FT_New_Face(m_library, path.c_str(), 0, &face) != 0 || !FT_IS_SCALABLE(face)) {
            if (face != nullptr) FT_Done_Face(face);
            face = nullptr;
        }
        m_faces.emplace(path, face);
        return face;
    }

    FT_Library m_library = nullptr;
    std::map<std::string, std::string> m_paths;
    std::map<std::string, FT_Face> m_faces;
    std::list<std::unique_ptr<Instance>> m_instances;  // most recently used first
};

Engine& TheEngine() {
    // Lives for the process: fonts may be asked for until the very end.
    static auto* engine = new Engine();
    return *engine;
}

}  // namespace

std::mutex& FontEngineMutex() {
    static auto* mutex = new std::mutex();
    return *mutex;
}

FontInstance* FindFontInstance(const LOGFONTW& font) { return TheEngine().Find(font); }

int DefaultFontHeight() { return (9 * platform::screen::Dpi() + 36) / 72; }

}  // namespace platform::gdi
