// Reading song descriptions.
#include "tools/make_xm/XmSong.h"

#include <cctype>
#include <sstream>

#include "tools/source_text/SourceText.h"

namespace {

constexpr int kMaxChannels = 32;
constexpr int kMaxRows = 256;
constexpr int kMaxOrders = 256;
constexpr int kMaxPatterns = 256;  // an order holds its pattern's number in one byte
constexpr int kMaxInstruments = 128;
constexpr int kMaxEnvelopePoints = 12;

bool IsKeyword(const std::string& word) {
    static const char* const kKeywords[] = {"title", "channels", "speed",   "bpm",
                                            "restart", "instrument", "pattern", "order"};
    for (const char* keyword : kKeywords)
        if (word == keyword) return true;
    return false;
}

// "C-4", "F#3": 1 for C-0 up to 96 for B-7; 0 when it is not a note.
int NoteNumber(const std::string& word) {
    static const char kNames[] = "C-C#D-D#E-F-F#G-G#A-A#B-";
    if (word.size() != 3 || !std::isdigit(static_cast<unsigned char>(word[2])) || word[2] > '7') return 0;
    for (int semitone = 0; semitone < 12; ++semitone)
        if (std::toupper(static_cast<unsigned char>(word[0])) == kNames[2 * semitone] && word[1] == kNames[2 * semitone + 1])
            return 1 + (word[2] - '0') * 12 + semitone;
    return 0;
}

int InstrumentNumber(const XmSong& song, const std::string& name) {
    for (std::size_t i = 0; i < song.instruments.size(); ++i)
        if (song.instruments[i].name == name) return static_cast<int>(i) + 1;
    return 0;
}

int PatternNumber(const XmSong& song, const std::string& name) {
    for (std::size_t i = 0; i < song.patterns.size(); ++i)
        if (song.patterns[i].name == name) return static_cast<int>(i);
    return -1;
}

// "instrument <name> <shape> [volume v] [envelope t:l ...]"
void ReadInstrument(SourceReader& reader, const SourceLine& line, XmSong& song) {
    const std::vector<std::string>& words = line.words;
    if (words.size() < 3) {
        reader.Fail("an instrument is 'instrument <name> <shape>' with an optional volume and envelope");
        return;
    }
    XmInstrument instrument;
    instrument.name = words[1];
    if (InstrumentNumber(song, instrument.name) != 0) reader.Fail("instrument '" + instrument.name + "' is named twice");
    if (!WaveShapeNamed(words[2], instrument.shape)) reader.Fail("'" + words[2] + "' is not sine, square, triangle, saw or noise");
    for (std::size_t at = 3; at < words.size(); ++at) {
        if (words[at] == "volume" && at + 1 < words.size()) {
            instrument.volume = static_cast<int>(reader.Integer(words[++at], 0, 64, "volume"));
        } else if (words[at] == "envelope") {
            while (at + 1 < words.size() && words[at + 1].find(':') != std::string::npos) {
                const std::string& point = words[++at];
                const std::size_t colon = point.find(':');
                const int tick = static_cast<int>(reader.Integer(point.substr(0, colon), 0, 65535, "envelope tick"));
                const int level = static_cast<int>(reader.Integer(point.substr(colon + 1), 0, 64, "envelope level"));
                if (!instrument.envelope.empty() && tick <= instrument.envelope.back().first)
                    reader.Fail("envelope ticks must rise");
                instrument.envelope.emplace_back(tick, level);
            }
            if (instrument.envelope.empty() || instrument.envelope.size() > kMaxEnvelopePoints)
                reader.Fail("an envelope has 1 to 12 tick:level points");
        } else {
            reader.Fail("'" + words[at] + "' is not volume or envelope");
        }
    }
    if (song.instruments.size() >= kMaxInstruments) reader.Fail("a song has at most 128 instruments");
    if (!reader.Failed()) song.instruments.push_back(instrument);
}

void ReadCell(SourceReader& reader, const std::string& text, const XmSong& song, XmCell& cell) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    if (words.empty() || (words.size() == 1 && words[0] == "---")) return;
    if (words.size() == 1 && words[0] == "off") {
        cell.note = kXmKeyOff;
        return;
    }
    if (words.size() < 2 || words.size() > 3) {
        reader.Fail("cell '" + text + "' is not '---', 'off' or '<note> <instrument> [v<volume>]'");
        return;
    }
    cell.note = static_cast<std::uint8_t>(NoteNumber(words[0]));
    if (cell.note == 0) reader.Fail("'" + words[0] + "' is not a note from C-0 to B-7");
    cell.instrument = static_cast<std::uint8_t>(InstrumentNumber(song, words[1]));
    if (cell.instrument == 0) reader.Fail("instrument '" + words[1] + "' is not declared before");
    if (words.size() == 3) {
        if (words[2].size() < 2 || words[2][0] != 'v')
            reader.Fail("'" + words[2] + "' is not a volume such as v40");
        else
            cell.volume = static_cast<std::uint8_t>(0x10 + reader.Integer(words[2].substr(1), 0, 64, "volume"));
    }
}

void ReadRow(SourceReader& reader, const SourceLine& line, XmSong& song) {
    if (song.patterns.empty()) {
        reader.Fail("a row comes before any pattern");
        return;
    }
    XmPattern& pattern = song.patterns.back();
    std::vector<std::string> cells;
    std::string rest = line.text;
    for (std::size_t bar; (bar = rest.find('|')) != std::string::npos; rest = rest.substr(bar + 1))
        cells.push_back(rest.substr(0, bar));
    cells.push_back(rest);
    if (static_cast<int>(cells.size()) != song.channels) {
        reader.Fail("the row has " + std::to_string(cells.size()) + " cells for " + std::to_string(song.channels) +
                    " channels");
        return;
    }
    if (pattern.rows >= kMaxRows) {
        reader.Fail("pattern '" + pattern.name + "' has more than 256 rows");
        return;
    }
    for (const std::string& text : cells) {
        XmCell cell;
        ReadCell(reader, text, song, cell);
        pattern.cells.push_back(cell);
    }
    ++pattern.rows;
}

}  // namespace

bool ParseXmSong(const std::string& text, const std::string& fileName, XmSong& song, std::string& error) {
    song = XmSong{};
    bool rowsStarted = false;
    for (const SourceLine& line : SplitSourceLines(text)) {
        SourceReader reader(fileName, line);
        const std::vector<std::string>& words = line.words;
        const std::string& keyword = words[0];
        if (!IsKeyword(keyword)) {
            ReadRow(reader, line, song);
            rowsStarted = true;
        } else if (keyword == "title") {
            song.title = line.text.substr(line.text.find("title") + 5);
            song.title.erase(0, song.title.find_first_not_of(" \t"));
        } else if (keyword == "channels" && words.size() == 2) {
            song.channels = static_cast<int>(reader.Integer(words[1], 2, kMaxChannels, "channel count"));
            if (song.channels % 2 != 0) reader.Fail("the channel count must be even");
            if (rowsStarted) reader.Fail("the channel count must come before the patterns");
        } else if (keyword == "speed" && words.size() == 2) {
            song.speed = static_cast<int>(reader.Integer(words[1], 1, 31, "speed"));
        } else if (keyword == "bpm" && words.size() == 2) {
            song.bpm = static_cast<int>(reader.Integer(words[1], 32, 255, "bpm"));
        } else if (keyword == "restart" && words.size() == 2) {
            song.restart = static_cast<int>(reader.Integer(words[1], 0, kMaxOrders - 1, "restart order"));
        } else if (keyword == "instrument") {
            ReadInstrument(reader, line, song);
        } else if (keyword == "pattern" && words.size() == 2) {
            if (PatternNumber(song, words[1]) >= 0) reader.Fail("pattern '" + words[1] + "' is named twice");
            if (song.patterns.size() >= kMaxPatterns) reader.Fail("a song has at most 256 patterns");
            if (!song.patterns.empty() && song.patterns.back().rows == 0)
                reader.Fail("pattern '" + song.patterns.back().name + "' has no rows");
            XmPattern pattern;
            pattern.name = words[1];
            song.patterns.push_back(pattern);
        } else if (keyword == "order" && words.size() >= 2) {
            for (std::size_t at = 1; at < words.size(); ++at) {
                const int number = PatternNumber(song, words[at]);
                if (number < 0) reader.Fail("pattern '" + words[at] + "' is not declared before");
                song.orders.push_back(number);
            }
            if (song.orders.size() > kMaxOrders) reader.Fail("a song has at most 256 orders");
        } else {
            reader.Fail("'" + keyword + "' is missing its value or has too many");
        }
        if (reader.Failed()) {
            error = reader.Error();
            return false;
        }
    }
    if (song.orders.empty() || song.patterns.empty() || song.patterns.back().rows == 0) {
        error = fileName + ": a song needs patterns with rows and an order list.";
        return false;
    }
    if (song.restart >= static_cast<int>(song.orders.size())) {
        error = fileName + ": the restart order is beyond the order list.";
        return false;
    }
    return true;
}
