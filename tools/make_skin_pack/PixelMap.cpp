// Plain PGM and PPM to BMP at the depth the text asks for.
#include "tools/make_skin_pack/PixelMap.h"

#include <cctype>
#include <cstring>

namespace {

// Reads the numbers of the text one by one, skipping blanks and comments, knows the line it
// is on, and remembers a "# depth <bits>" comment.
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
    // The bits of the last "# depth <bits>" comment read so far; 0 without one, -1 when one
    // did not name a number.
    int Depth() const { return m_depth; }

private:
    void Skip() {
        while (m_at < m_text.size()) {
            const char c = m_text[m_at];
            if (c == '#') {
                const std::size_t end = m_text.find('\n', m_at);
                Comment(m_text.substr(m_at + 1, end == std::string::npos ? std::string::npos : end - m_at - 1));
                m_at = end == std::string::npos ? m_text.size() : end;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                if (c == '\n') ++m_line;
                ++m_at;
            } else {
                break;
            }
        }
    }
    void Comment(const std::string& comment) {
        std::size_t at = comment.find_first_not_of(" \t");
        if (at == std::string::npos || comment.compare(at, 5, "depth") != 0) return;
        at += 5;
        const std::size_t digits = comment.find_first_not_of(" \t", at);
        m_depth = -1;
        if (digits == std::string::npos || digits == at) return;
        const std::size_t end = comment.find_first_not_of("0123456789", digits);
        const std::string number = comment.substr(digits, end == std::string::npos ? std::string::npos : end - digits);
        if (number.empty() || number.size() > 2) return;
        if (end != std::string::npos && comment.find_first_not_of(" \t\r", end) != std::string::npos) return;
        m_depth = std::stoi(number);
    }

    const std::string& m_text;
    std::size_t m_at = 0;
    int m_line = 1;
    int m_depth = 0;
};

// The low `bytes` bytes of value, least significant first.
void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

bool Fail(std::string* error, int line, const std::string& what) {
    *error = "line " + std::to_string(line) + ": " + what;
    return false;
}

// The BMP headers and colour table for rows of `rowBytes` bytes.
void PutHeaders(std::vector<std::uint8_t>* bmp, long width, long height, int bits, std::size_t rowBytes) {
    const std::uint32_t tableEntries = bits <= 8 ? (1u << bits) : 0;
    const std::uint32_t masks = bits == 16 ? 12 : 0;
    const std::uint32_t offset = 14 + 40 + masks + tableEntries * 4;
    const auto imageBytes = static_cast<std::uint32_t>(rowBytes * static_cast<std::size_t>(height));
    bmp->clear();
    bmp->push_back('B');
    bmp->push_back('M');
    PutLittleEndian(*bmp, offset + imageBytes, 4);
    PutLittleEndian(*bmp, 0, 4);
    PutLittleEndian(*bmp, offset, 4);
    PutLittleEndian(*bmp, 40, 4);
    PutLittleEndian(*bmp, static_cast<std::uint32_t>(width), 4);
    PutLittleEndian(*bmp, static_cast<std::uint32_t>(height), 4);
    PutLittleEndian(*bmp, 1, 2);
    PutLittleEndian(*bmp, static_cast<std::uint32_t>(bits), 2);
    PutLittleEndian(*bmp, bits == 16 ? 3 : 0, 4);  // BI_BITFIELDS for 5-6-5
    PutLittleEndian(*bmp, imageBytes, 4);
    PutLittleEndian(*bmp, 3780, 4);
    PutLittleEndian(*bmp, 3780, 4);
    PutLittleEndian(*bmp, tableEntries, 4);
    PutLittleEndian(*bmp, 0, 4);
    if (bits == 16) {
        PutLittleEndian(*bmp, 0xF800, 4);
        PutLittleEndian(*bmp, 0x07E0, 4);
        PutLittleEndian(*bmp, 0x001F, 4);
    }
    for (std::uint32_t i = 0; i < tableEntries; ++i) {
        const auto grey = static_cast<std::uint8_t>(tableEntries == 2 ? i * 255 : i);
        bmp->insert(bmp->end(), {grey, grey, grey, 0});
    }
}

}  // namespace

bool PixelMapToBmp(const std::string& text, std::vector<std::uint8_t>* bmp, std::string* error) {
    Numbers numbers(text);
    const std::string magic = numbers.Word();
    if (magic != "P2" && magic != "P3")
        return Fail(error, numbers.Line(), "a pixel map starts with \"P2\" (grey) or \"P3\" (colour).");
    const bool colour = magic == "P3";
    long width = 0;
    long height = 0;
    long largest = 0;
    if (!numbers.Number(kMaxPixelMapSide, &width) || width < 1 || !numbers.Number(kMaxPixelMapSide, &height) ||
        height < 1)
        return Fail(error, numbers.Line(), "the width and height must be numbers from 1 to 4096.");
    if (!numbers.Number(255, &largest) || largest < 1)
        return Fail(error, numbers.Line(), "the largest value must be a number from 1 to 255.");
    int bits = numbers.Depth();
    if (bits == 0) bits = colour ? 24 : 8;
    if (colour ? bits != 24 && bits != 16 : bits != 8 && bits != 1)
        return Fail(error, numbers.Line(),
                    colour ? "a colour map's depth must be 24 or 16." : "a grey map's depth must be 8 or 1.");

    const std::size_t rowBytes = (static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32 * 4;
    std::vector<std::uint8_t> rows(rowBytes * static_cast<std::size_t>(height), 0);
    const int channels = colour ? 3 : 1;
    for (long y = 0; y < height; ++y)
        for (long x = 0; x < width; ++x) {
            long value[3] = {0, 0, 0};
            for (int c = 0; c < channels; ++c) {
                if (!numbers.Number(largest, &value[c]))
                    return Fail(error, numbers.Line(),
                                "pixel " + std::to_string(x) + ", " + std::to_string(y) +
                                    " is missing or not a number up to " + std::to_string(largest) + ".");
                value[c] = (value[c] * 255 + largest / 2) / largest;
            }
            // Rows are stored bottom first.
            std::uint8_t* row = rows.data() + static_cast<std::size_t>(height - 1 - y) * rowBytes;
            switch (bits) {
            case 1:
                if (value[0] != 0 && value[0] != 255)
                    return Fail(error, numbers.Line(),
                                "pixel " + std::to_string(x) + ", " + std::to_string(y) +
                                    " is neither 0 nor the largest value, which a depth of 1 needs.");
                if (value[0] != 0) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
                break;
            case 8:
                row[x] = static_cast<std::uint8_t>(value[0]);
                break;
            case 16: {
                const auto word = static_cast<std::uint16_t>(((value[0] >> 3) << 11) | ((value[1] >> 2) << 5) |
                                                             (value[2] >> 3));
                row[2 * x] = static_cast<std::uint8_t>(word);
                row[2 * x + 1] = static_cast<std::uint8_t>(word >> 8);
                break;
            }
            default:  // 24: blue, green, red
                row[3 * x] = static_cast<std::uint8_t>(value[2]);
                row[3 * x + 1] = static_cast<std::uint8_t>(value[1]);
                row[3 * x + 2] = static_cast<std::uint8_t>(value[0]);
                break;
            }
        }
    if (!numbers.Word().empty()) return Fail(error, numbers.Line(), "there are more values than pixels.");
    PutHeaders(bmp, width, height, bits, rowBytes);
    bmp->insert(bmp->end(), rows.begin(), rows.end());
    return true;
}
