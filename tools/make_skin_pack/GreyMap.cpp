// Plain PGM to 8-bit BMP.
#include "tools/make_skin_pack/GreyMap.h"

#include <cctype>

namespace {

// Reads the numbers of the text one by one, skipping blanks and comments, and knows the
// line it is on.
class Numbers {
public:
    explicit Numbers(const std::string& text) : m_text(text) {}

    // The next word; empty at the end.
    std::string Word() {
        Skip();
        std::string word;
        while (m_at < m_text.size() && !std::isspace(static_cast<unsigned char>(m_text[m_at])) && m_text[m_at] != '#')
            word.push_back(m_text[m_at++]);
        return word;
    }
    // The next unsigned decimal up to `limit`; false for anything else.
    bool Number(long limit, long* value) {
        const std::string word = Word();
        if (word.empty() || word.size() > 9) return false;
        long parsed = 0;
        for (char c : word) {
            if (c < '0' || c > '9') return false;
            parsed = parsed * 10 + (c - '0');
        }
        if (parsed > limit) return false;
        *value = parsed;
        return true;
    }
    int Line() const { return m_line; }

private:
    void Skip() {
        while (m_at < m_text.size()) {
            const char c = m_text[m_at];
            if (c == '#') {
                while (m_at < m_text.size() && m_text[m_at] != '\n') ++m_at;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                if (c == '\n') ++m_line;
                ++m_at;
            } else {
                break;
            }
        }
    }

    const std::string& m_text;
    std::size_t m_at = 0;
    int m_line = 1;
};

// The low `bytes` bytes of value, least significant first.
void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

bool Fail(std::string* error, int line, const std::string& what) {
    *error = "line " + std::to_string(line) + ": " + what;
    return false;
}

}  // namespace

bool GreyMapToBmp(const std::string& text, std::vector<std::uint8_t>* bmp, std::string* error) {
    Numbers numbers(text);
    if (numbers.Word() != "P2") return Fail(error, numbers.Line(), "a grey map starts with \"P2\".");
    long width = 0;
    long height = 0;
    long largest = 0;
    if (!numbers.Number(kMaxGreyMapSide, &width) || width < 1 || !numbers.Number(kMaxGreyMapSide, &height) ||
        height < 1)
        return Fail(error, numbers.Line(), "the width and height must be numbers from 1 to 4096.");
    if (!numbers.Number(255, &largest) || largest < 1)
        return Fail(error, numbers.Line(), "the largest value must be a number from 1 to 255.");
    const std::uint32_t stride = static_cast<std::uint32_t>((width + 3) / 4 * 4);
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height), 0);
    for (long y = 0; y < height; ++y)
        for (long x = 0; x < width; ++x) {
            long value = 0;
            if (!numbers.Number(largest, &value))
                return Fail(error, numbers.Line(),
                            "pixel " + std::to_string(x) + ", " + std::to_string(y) +
                                " is missing or not a number up to " + std::to_string(largest) + ".");
            // Rows are stored bottom first.
            rows[static_cast<std::size_t>(height - 1 - y) * stride + static_cast<std::size_t>(x)] =
                static_cast<std::uint8_t>((value * 255 + largest / 2) / largest);
        }
    if (!numbers.Word().empty()) return Fail(error, numbers.Line(), "there are more values than pixels.");

    const std::uint32_t offset = 14 + 40 + 256 * 4;
    bmp->clear();
    bmp->push_back('B');
    bmp->push_back('M');
    PutLittleEndian(*bmp, offset + static_cast<std::uint32_t>(rows.size()), 4);
    PutLittleEndian(*bmp, 0, 4);
    PutLittleEndian(*bmp, offset, 4);
    PutLittleEndian(*bmp, 40, 4);
    PutLittleEndian(*bmp, static_cast<std::uint32_t>(width), 4);
    PutLittleEndian(*bmp, static_cast<std::uint32_t>(height), 4);
    PutLittleEndian(*bmp, 1, 2);
    PutLittleEndian(*bmp, 8, 2);
    PutLittleEndian(*bmp, 0, 4);
    PutLittleEndian(*bmp, static_cast<std::uint32_t>(rows.size()), 4);
    PutLittleEndian(*bmp, 3780, 4);
    PutLittleEndian(*bmp, 3780, 4);
    PutLittleEndian(*bmp, 0, 4);
    PutLittleEndian(*bmp, 0, 4);
    for (std::uint32_t i = 0; i < 256; ++i) {
        const auto grey = static_cast<std::uint8_t>(i);
        bmp->insert(bmp->end(), {grey, grey, grey, 0});
    }
    bmp->insert(bmp->end(), rows.begin(), rows.end());
    return true;
}
