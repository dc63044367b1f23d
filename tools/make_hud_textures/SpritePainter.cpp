// Painting a sprite sheet: shapes by 4 x 4 supersampled coverage, text by FreeType, all
// composited source-over in straight alpha.
#include "tools/make_hud_textures/SpritePainter.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <sstream>
#include <vector>

namespace {

constexpr int kLargestSide = 2048;
constexpr int kSamples = 4;

struct Rgba {
    float c[4] = {0, 0, 0, 1};  // 0..1, straight alpha
};

struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<Rgba> pixels;

    // Source-over with the colour at `coverage`.
    void Blend(int x, int y, const Rgba& colour, float coverage) {
        if (x < 0 || y < 0 || x >= width || y >= height || coverage <= 0.0f) return;
        Rgba& d = pixels[static_cast<std::size_t>(y) * width + x];
        const float sa = colour.c[3] * std::min(coverage, 1.0f);
        const float da = d.c[3];
        const float oa = sa + da * (1.0f - sa);
        if (oa <= 0.0f) {
            d = Rgba{{0, 0, 0, 0}};
            return;
        }
        for (int k = 0; k < 3; ++k) d.c[k] = (colour.c[k] * sa + d.c[k] * da * (1.0f - sa)) / oa;
        d.c[3] = oa;
    }
    // Every pixel of the box [x0, x1) x [y0, y1) by the coverage of `inside` at 16 points.
    void Shape(float x0, float y0, float x1, float y1, const Rgba& colour,
               const std::function<bool(float, float)>& inside) {
        const int left = std::max(0, static_cast<int>(std::floor(x0)) - 1);
        const int top = std::max(0, static_cast<int>(std::floor(y0)) - 1);
        const int right = std::min(width, static_cast<int>(std::ceil(x1)) + 1);
        const int bottom = std::min(height, static_cast<int>(std::ceil(y1)) + 1);
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                int hits = 0;
                for (int sy = 0; sy < kSamples; ++sy)
                    for (int sx = 0; sx < kSamples; ++sx)
                        if (inside(x + (sx + 0.5f) / kSamples, y + (sy + 0.5f) / kSamples)) ++hits;
                Blend(x, y, colour, static_cast<float>(hits) / (kSamples * kSamples));
            }
    }
};

bool ParseColour(const std::string& text, Rgba* colour) {
    if (text.size() != 6 && text.size() != 8) return false;
    for (char c : text)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    colour->c[3] = 1.0f;
    for (std::size_t i = 0; i < text.size() / 2; ++i)
        colour->c[i] = static_cast<float>(std::strtoul(text.substr(i * 2, 2).c_str(), nullptr, 16)) / 255.0f;
    return true;
}

// A FreeType face, opened on first use.
class Face {
public:
    ~Face() {
        if (face_ != nullptr) FT_Done_Face(face_);
        if (library_ != nullptr) FT_Done_FreeType(library_);
    }
    bool Open(const std::string& path) {
        if (face_ != nullptr) FT_Done_Face(face_);
        face_ = nullptr;
        if (library_ == nullptr && FT_Init_FreeType(&library_) != 0) return false;
        return FT_New_Face(library_, path.c_str(), 0, &face_) == 0;
    }
    bool IsOpen() const { return face_ != nullptr; }
    // Draws UTF-8 text with its pen starting at (x, baseline).
    float Draw(Canvas* canvas, const std::string& text, float x, float baseline, int pixels, const Rgba& colour,
               bool measureOnly) {
        FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixels));
        float pen = x;
        for (std::size_t at = 0; at < text.size();) {
            const std::uint32_t character = NextCharacter(text, at);
            if (FT_Load_Char(face_, character, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) continue;
            const FT_GlyphSlot glyph = face_->glyph;
            if (!measureOnly) {
                const int left = static_cast<int>(std::lround(pen)) + glyph->bitmap_left;
                const int top = static_cast<int>(std::lround(baseline)) - glyph->bitmap_top;
                for (unsigned row = 0; row < glyph->bitmap.rows; ++row)
                    for (unsigned column = 0; column < glyph->bitmap.width; ++column) {
                        const float coverage =
                            glyph->bitmap.buffer[row * static_cast<unsigned>(glyph->bitmap.pitch) + column] / 255.0f;
                        canvas->Blend(left + static_cast<int>(column), top + static_cast<int>(row), colour, coverage);
                    }
            }
            pen += static_cast<float>(glyph->advance.x) / 64.0f;
        }
        return pen - x;
    }
    float Ascent(int pixels) {
        FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixels));
        return static_cast<float>(face_->size->metrics.ascender) / 64.0f;
    }
    float Descent(int pixels) {
        FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixels));
        return static_cast<float>(-face_->size->metrics.descender) / 64.0f;
    }

private:
    static std::uint32_t NextCharacter(const std::string& text, std::size_t& at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        int extra = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
        std::uint32_t character = extra == 0 ? byte : byte & (0x3F >> extra);
        ++at;
        for (; extra > 0 && at < text.size(); --extra, ++at)
            character = character << 6 | (static_cast<unsigned char>(text[at]) & 0x3F);
        return character;
    }

    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

// One line's words, with the quoted text (when any) kept apart.
struct Line {
    std::vector<std::string> words;
    std::string quoted;
    bool hasQuoted = false;
};

bool SplitLine(const std::string& raw, Line* line, std::string* problem) {
    std::string text = raw;
    const std::size_t quote = text.find('"');
    if (quote != std::string::npos) {
        const std::size_t end = text.rfind('"');
        if (end == quote) {
            *problem = "a text has no closing quote";
            return false;
        }
        line->quoted = text.substr(quote + 1, end - quote - 1);
        line->hasQuoted = true;
        text = text.substr(0, quote);
    } else {
        text = text.substr(0, text.find('#'));
    }
    std::istringstream words(text);
    for (std::string word; words >> word;) line->words.push_back(word);
    return true;
}

class Reader {
public:
    explicit Reader(const Line& line) : line_(line) {}
    bool Count(std::size_t values) {
        if (line_.words.size() == values + 1) return true;
        problem = "\"" + line_.words[0] + "\" takes " + std::to_string(values) + " values, not " +
                  std::to_string(line_.words.size() - 1);
        return false;
    }
    bool Number(std::size_t index, float* value) {
        char* end = nullptr;
        const std::string& word = line_.words[index];
        const double parsed = std::strtod(word.c_str(), &end);
        if (word.empty() || *end != 0 || !std::isfinite(parsed) || std::fabs(parsed) > kLargestSide * 4.0) {
            problem = "value " + std::to_string(index) + " of \"" + line_.words[0] + "\" is not a number";
            return false;
        }
        *value = static_cast<float>(parsed);
        return true;
    }
    bool Numbers(std::size_t first, std::size_t count, float* values) {
        for (std::size_t i = 0; i < count; ++i)
            if (!Number(first + i, &values[i])) return false;
        return true;
    }
    bool Colour(std::size_t index, Rgba* colour) {
        if (ParseColour(line_.words[index], colour)) return true;
        problem = "value " + std::to_string(index) + " of \"" + line_.words[0] + "\" is not a colour RRGGBB or RRGGBBAA";
        return false;
    }
    std::string problem;

private:
    const Line& line_;
};

float Cross(float ax, float ay, float bx, float by, float px, float py) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

float SegmentDistance(float ax, float ay, float bx, float by, float px, float py) {
    const float dx = bx - ax;
    const float dy = by - ay;
    const float length = dx * dx + dy * dy;
    float t = length > 0.0f ? ((px - ax) * dx + (py - ay) * dy) / length : 0.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

bool PaintStep(const Line& line, Canvas& canvas, Face& face, const std::string& fontFolder, Reader& read) {
    const std::string& name = line.words[0];
    float v[8] = {};
    Rgba colour;
    Rgba second;
    if (name == "fill") {
        if (!read.Count(1) || !read.Colour(1, &colour)) return false;
        for (Rgba& pixel : canvas.pixels) pixel = colour;
        return true;
    }
    if (name == "rect") {
        if (!read.Count(5) || !read.Numbers(1, 4, v) || !read.Colour(5, &colour)) return false;
        canvas.Shape(v[0], v[1], v[0] + v[2], v[1] + v[3], colour, [&](float x, float y) {
            return x >= v[0] && x < v[0] + v[2] && y >= v[1] && y < v[1] + v[3];
        });
        return true;
    }
    if (name == "roundrect") {
        if (!read.Count(6) || !read.Numbers(1, 5, v) || !read.Colour(6, &colour)) return false;
        const float r = std::min({v[4], v[2] / 2, v[3] / 2});
        canvas.Shape(v[0], v[1], v[0] + v[2], v[1] + v[3], colour, [&](float x, float y) {
            const float cx = std::clamp(x, v[0] + r, v[0] + v[2] - r);
            const float cy = std::clamp(y, v[1] + r, v[1] + v[3] - r);
            return x >= v[0] && x < v[0] + v[2] && y >= v[1] && y < v[1] + v[3] && std::hypot(x - cx, y - cy) <= r;
        });
        return true;
    }
    if (name == "disc") {
        if (!read.Count(4) || !read.Numbers(1, 3, v) || !read.Colour(4, &colour)) return false;
        canvas.Shape(v[0] - v[2], v[1] - v[2], v[0] + v[2], v[1] + v[2], colour,
                     [&](float x, float y) { return std::hypot(x - v[0], y - v[1]) <= v[2]; });
        return true;
    }
    if (name == "ring") {
        if (!read.Count(5) || !read.Numbers(1, 4, v) || !read.Colour(5, &colour)) return false;
        canvas.Shape(v[0] - v[2], v[1] - v[2], v[0] + v[2], v[1] + v[2], colour, [&](float x, float y) {
            const float d = std::hypot(x - v[0], y - v[1]);
            return d <= v[2] && d >= v[2] - v[3];
        });
        return true;
    }
    if (name == "triangle") {
        if (!read.Count(7) || !read.Numbers(1, 6, v) || !read.Colour(7, &colour)) return false;
        const float x0 = std::min({v[0], v[2], v[4]});
        const float x1 = std::max({v[0], v[2], v[4]});
        const float y0 = std::min({v[1], v[3], v[5]});
        const float y1 = std::max({v[1], v[3], v[5]});
        canvas.Shape(x0, y0, x1, y1, colour, [&](float x, float y) {
            const float a = Cross(v[0], v[1], v[2], v[3], x, y);
            const float b = Cross(v[2], v[3], v[4], v[5], x, y);
            const float c = Cross(v[4], v[5], v[0], v[1], x, y);
            return (a >= 0 && b >= 0 && c >= 0) || (a <= 0 && b <= 0 && c <= 0);
        });
        return true;
    }
    if (name == "line") {
        if (!read.Count(6) || !read.Numbers(1, 5, v) || !read.Colour(6, &colour)) return false;
        const float half = v[4] / 2;
        canvas.Shape(std::min(v[0], v[2]) - half, std::min(v[1], v[3]) - half, std::max(v[0], v[2]) + half,
                     std::max(v[1], v[3]) + half, colour,
                     [&](float x, float y) { return SegmentDistance(v[0], v[1], v[2], v[3], x, y) <= half; });
        return true;
    }
    if (name == "gradient") {
        if (!read.Count(7) || !read.Numbers(1, 4, v) || !read.Colour(6, &colour) || !read.Colour(7, &second))
            return false;
        const bool vertical = line.words[5] == "vertical";
        if (!vertical && line.words[5] != "horizontal") {
            read.problem = "a gradient runs \"vertical\" or \"horizontal\", not \"" + line.words[5] + "\"";
            return false;
        }
        for (int y = std::max(0, static_cast<int>(v[1])); y < std::min(canvas.height, static_cast<int>(v[1] + v[3])); ++y)
            for (int x = std::max(0, static_cast<int>(v[0])); x < std::min(canvas.width, static_cast<int>(v[0] + v[2]));
                 ++x) {
                const float span = std::max(1.0f, (vertical ? v[3] : v[2]) - 1.0f);
                const float t = std::clamp(((vertical ? y - v[1] : x - v[0])) / span, 0.0f, 1.0f);
                Rgba mixed;
                for (int k = 0; k < 4; ++k) mixed.c[k] = colour.c[k] * (1 - t) + second.c[k] * t;
                canvas.Blend(x, y, mixed, 1.0f);
            }
        return true;
    }
    if (name == "face") {
        if (!read.Count(1)) return false;
        if (!face.Open(fontFolder + "/" + line.words[1])) {
            read.problem = "the face " + fontFolder + "/" + line.words[1] + " cannot be opened";
            return false;
        }
        return true;
    }
    if (name == "text") {
        if (!line.hasQuoted || line.words.size() != 6 || !read.Numbers(1, 3, v) || !read.Colour(4, &colour)) {
            if (read.problem.empty()) read.problem = "\"text\" takes x, y, pixels, colour, alignment and a quoted text";
            return false;
        }
        const std::string& align = line.words[5];
        if (align != "left" && align != "center" && align != "right") {
            read.problem = "a text is aligned \"left\", \"center\" or \"right\", not \"" + align + "\"";
            return false;
        }
        if (!face.IsOpen() && !face.Open(fontFolder + "/DejaVuSans-Bold.ttf")) {
            read.problem = "no face for the text (and DejaVuSans-Bold.ttf cannot be opened)";
            return false;
        }
        const int pixels = std::clamp(static_cast<int>(v[2]), 4, 512);
        const float width = face.Draw(&canvas, line.quoted, 0, 0, pixels, colour, true);
        const float x = align == "left" ? v[0] : align == "center" ? v[0] - width / 2 : v[0] - width;
        // y is the middle of the line.
        const float baseline = v[1] + (face.Ascent(pixels) - face.Descent(pixels)) / 2;
        face.Draw(&canvas, line.quoted, x, baseline, pixels, colour, false);
        return true;
    }
    read.problem = "\"" + name +
                   "\" is no drawing step (fill, rect, roundrect, disc, ring, triangle, line, gradient, face, text)";
    return false;
}

// Box-filtered (down) or bilinear (up) resampling, in premultiplied alpha.
DescribedImage Resample(const Canvas& canvas, int width, int height) {
    DescribedImage image;
    image.width = width;
    image.height = height;
    image.alpha = true;
    image.rgba.resize(static_cast<std::size_t>(width) * height * 4);
    const float sx = static_cast<float>(canvas.width) / width;
    const float sy = static_cast<float>(canvas.height) / height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::array<float, 4> sum{};
            float weight = 0.0f;
            const float fx0 = x * sx;
            const float fy0 = y * sy;
            const int x0 = static_cast<int>(fx0);
            const int y0 = static_cast<int>(fy0);
            const int x1 = std::max(x0 + 1, static_cast<int>(std::ceil((x + 1) * sx)));
            const int y1 = std::max(y0 + 1, static_cast<int>(std::ceil((y + 1) * sy)));
            for (int yy = y0; yy < std::min(y1, canvas.height); ++yy)
                for (int xx = x0; xx < std::min(x1, canvas.width); ++xx) {
                    const Rgba& p = canvas.pixels[static_cast<std::size_t>(yy) * canvas.width + xx];
                    for (int k = 0; k < 3; ++k) sum[k] += p.c[k] * p.c[3];
                    sum[3] += p.c[3];
                    weight += 1.0f;
                }
            std::uint8_t* out = &image.rgba[(static_cast<std::size_t>(y) * width + x) * 4];
            const float a = weight > 0 ? sum[3] / weight : 0.0f;
            for (int k = 0; k < 3; ++k)
                out[k] = static_cast<std::uint8_t>(std::lround(std::clamp(a > 0 ? sum[k] / sum[3] : 0.0f, 0.0f, 1.0f) * 255));
            out[3] = static_cast<std::uint8_t>(std::lround(std::clamp(a, 0.0f, 1.0f) * 255));
        }
    return image;
}

}  // namespace

bool PaintSpriteSheet(const std::string& description, const std::string& fontFolder, DescribedImage* image,
                      std::string* error) {
    Canvas canvas;
    int outputWidth = 0;
    int outputHeight = 0;
    Face face;
    std::istringstream lines(description);
    std::string raw;
    for (int number = 1; std::getline(lines, raw); ++number) {
        Line line;
        std::string problem;
        if (!SplitLine(raw, &line, &problem)) {
            *error = "line " + std::to_string(number) + ": " + problem;
            return false;
        }
        if (line.words.empty()) continue;
        Reader read(line);
        bool done = false;
        float v[2] = {};
        const std::string& name = line.words[0];
        if (name == "size" || name == "output") {
            if (name == "size" && canvas.width != 0) {
                read.problem = "the size is given twice";
            } else if (read.Count(2) && read.Numbers(1, 2, v)) {
                const int w = static_cast<int>(v[0]);
                const int h = static_cast<int>(v[1]);
                if (w < 1 || h < 1 || w > kLargestSide || h > kLargestSide) {
                    read.problem = "a side is from 1 to " + std::to_string(kLargestSide);
                } else if (name == "size") {
                    canvas.width = w;
                    canvas.height = h;
                    canvas.pixels.assign(static_cast<std::size_t>(w) * h, Rgba{{0, 0, 0, 0}});
                    done = true;
                } else {
                    outputWidth = w;
                    outputHeight = h;
                    done = true;
                }
            }
        } else if (canvas.width == 0) {
            read.problem = "\"" + name + "\" comes before the \"size\" line";
        } else {
            done = PaintStep(line, canvas, face, fontFolder, read);
        }
        if (!done) {
            *error = "line " + std::to_string(number) + ": " + read.problem;
            return false;
        }
    }
    if (canvas.width == 0) {
        *error = "no \"size\" line";
        return false;
    }
    *image = Resample(canvas, outputWidth != 0 ? outputWidth : canvas.width,
                      outputHeight != 0 ? outputHeight : canvas.height);
    return true;
}
