// Painting a demo image from its description, and its TGA form.
#include "tools/make_image/ImageDescription.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

namespace {

constexpr int kLargestSide = 1024;

struct Colour {
    std::uint8_t rgba[4] = {0, 0, 0, 255};
};

class Painter {
public:
    explicit Painter(DescribedImage& image) : image_(image) {}

    void Set(int x, int y, const Colour& colour) {
        if (x < 0 || y < 0 || x >= image_.width || y >= image_.height) return;
        std::uint8_t* pixel = &image_.rgba[(static_cast<std::size_t>(y) * image_.width + x) * 4];
        std::copy(colour.rgba, colour.rgba + 4, pixel);
    }
    void Rect(int left, int top, int width, int height, const Colour& colour) {
        for (int y = std::max(top, 0); y < std::min(top + height, image_.height); ++y)
            for (int x = std::max(left, 0); x < std::min(left + width, image_.width); ++x) Set(x, y, colour);
    }

private:
    DescribedImage& image_;
};

bool ParseColour(const std::string& text, Colour* colour, bool* alpha) {
    if (text.size() != 6 && text.size() != 8) return false;
    for (char c : text)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    for (std::size_t i = 0; i < text.size() / 2; ++i)
        colour->rgba[i] = static_cast<std::uint8_t>(std::strtoul(text.substr(i * 2, 2).c_str(), nullptr, 16));
    if (text.size() == 8) *alpha = true;
    return true;
}

bool ParseNumber(const std::string& text, int lowest, int highest, int* value) {
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != 0 || parsed < lowest || parsed > highest) return false;
    *value = static_cast<int>(parsed);
    return true;
}

// The words of one step and their reading, with what went wrong.
class Step {
public:
    Step(std::vector<std::string> words, bool* alpha) : words_(std::move(words)), alpha_(alpha) {}

    bool ReadNumber(std::size_t index, int lowest, int highest, int* value) {
        if (index < words_.size() && ParseNumber(words_[index], lowest, highest, value)) return true;
        problem_ = "value " + std::to_string(index) + " of \"" + words_[0] + "\" is not a number from " +
                   std::to_string(lowest) + " to " + std::to_string(highest);
        return false;
    }
    bool ReadColour(std::size_t index, Colour* colour) {
        if (index < words_.size() && ParseColour(words_[index], colour, alpha_)) return true;
        problem_ = "value " + std::to_string(index) + " of \"" + words_[0] + "\" is not a colour RRGGBB or RRGGBBAA";
        return false;
    }
    bool HasValues(std::size_t count) {
        if (words_.size() == count + 1) return true;
        problem_ = "\"" + words_[0] + "\" takes " + std::to_string(count) + " values, not " +
                   std::to_string(words_.size() - 1);
        return false;
    }
    const std::string& Word(std::size_t index) const { return words_[index]; }
    const std::string& Problem() const { return problem_; }
    void SetProblem(std::string problem) { problem_ = std::move(problem); }

private:
    std::vector<std::string> words_;
    bool* alpha_;
    std::string problem_;
};

bool PaintStep(Step& step, DescribedImage& image) {
    Painter painter(image);
    const std::string& name = step.Word(0);
    const int w = image.width;
    const int h = image.height;
    Colour first;
    Colour second;
    int a = 0;
    int b = 0;
    int c = 0;
    int d = 0;
    if (name == "fill") {
        if (!step.HasValues(1) || !step.ReadColour(1, &first)) return false;
        painter.Rect(0, 0, w, h, first);
        return true;
    }
    if (name == "checker") {
        if (!step.HasValues(3) || !step.ReadNumber(1, 1, kLargestSide, &a) || !step.ReadColour(2, &first) ||
            !step.ReadColour(3, &second))
            return false;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) painter.Set(x, y, ((x / a + y / a) % 2 == 0) ? first : second);
        return true;
    }
    if (name == "gradient") {
        if (!step.HasValues(3) || !step.ReadColour(2, &first) || !step.ReadColour(3, &second)) return false;
        const bool vertical = step.Word(1) == "vertical";
        if (!vertical && step.Word(1) != "horizontal") {
            step.SetProblem("a gradient runs \"vertical\" or \"horizontal\", not \"" + step.Word(1) + "\"");
            return false;
        }
        const int span = std::max(1, (vertical ? h : w) - 1);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int at = vertical ? y : x;
                Colour mixed;
                for (int k = 0; k < 4; ++k)
                    mixed.rgba[k] =
                        static_cast<std::uint8_t>((first.rgba[k] * (span - at) + second.rgba[k] * at) / span);
                painter.Set(x, y, mixed);
            }
        return true;
    }
    if (name == "rect") {
        if (!step.HasValues(5) || !step.ReadNumber(1, -kLargestSide, kLargestSide, &a) ||
            !step.ReadNumber(2, -kLargestSide, kLargestSide, &b) || !step.ReadNumber(3, 0, kLargestSide, &c) ||
            !step.ReadNumber(4, 0, kLargestSide, &d) || !step.ReadColour(5, &first))
            return false;
        painter.Rect(a, b, c, d, first);
        return true;
    }
    if (name == "border") {
        if (!step.HasValues(2) || !step.ReadNumber(1, 0, kLargestSide, &a) || !step.ReadColour(2, &first)) return false;
        painter.Rect(0, 0, w, a, first);
        painter.Rect(0, h - a, w, a, first);
        painter.Rect(0, 0, a, h, first);
        painter.Rect(w - a, 0, a, h, first);
        return true;
    }
    if (name == "grid") {
        if (!step.HasValues(3) || !step.ReadNumber(1, 1, kLargestSide, &a) ||
            !step.ReadNumber(2, 0, kLargestSide, &b) || !step.ReadColour(3, &first))
            return false;
        for (int at = 0; at < std::max(w, h); at += a) {
            painter.Rect(at, 0, b, h, first);
            painter.Rect(0, at, w, b, first);
        }
        return true;
    }
    step.SetProblem("\"" + name + "\" is no drawing step (fill, checker, gradient, rect, border, grid)");
    return false;
}

}  // namespace

bool PaintDescribedImage(const std::string& description, DescribedImage* image, std::string* error) {
    *image = DescribedImage{};
    std::istringstream lines(description);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = line.substr(0, line.find('#'));
        std::istringstream wordStream(line);
        std::vector<std::string> words;
        for (std::string word; wordStream >> word;) words.push_back(word);
        if (words.empty()) continue;
        Step step(words, &image->alpha);
        bool painted = false;
        if (words[0] == "size") {
            if (image->width != 0) {
                step.SetProblem("the size is given twice");
            } else if (step.HasValues(2) && step.ReadNumber(1, 1, kLargestSide, &image->width) &&
                       step.ReadNumber(2, 1, kLargestSide, &image->height)) {
                image->rgba.assign(static_cast<std::size_t>(image->width) * image->height * 4, 0);
                for (std::size_t i = 3; i < image->rgba.size(); i += 4) image->rgba[i] = 255;
                painted = true;
            }
        } else if (image->width == 0) {
            step.SetProblem("\"" + words[0] + "\" comes before the \"size\" line");
        } else {
            painted = PaintStep(step, *image);
        }
        if (!painted) {
            *error = "line " + std::to_string(number) + ": " + step.Problem();
            return false;
        }
    }
    if (image->width == 0) {
        *error = "no \"size\" line";
        return false;
    }
    return true;
}

std::vector<std::uint8_t> EncodeTga(const DescribedImage& image) {
    const std::uint8_t depth = image.alpha ? 32 : 24;
    // Type 2 (true colour), rows top first (bit 5), with 8 alpha bits when there is alpha.
    std::vector<std::uint8_t> out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int side : {image.width, image.height}) {
        out.push_back(static_cast<std::uint8_t>(side));
        out.push_back(static_cast<std::uint8_t>(side >> 8));
    }
    out.push_back(depth);
    out.push_back(static_cast<std::uint8_t>(0x20 | (image.alpha ? 8 : 0)));
    for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
        out.insert(out.end(), {image.rgba[i + 2], image.rgba[i + 1], image.rgba[i]});
        if (image.alpha) out.push_back(image.rgba[i + 3]);
    }
    return out;
}
