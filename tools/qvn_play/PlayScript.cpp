// Reading qvn_play's input scripts.
#include "tools/qvn_play/PlayScript.h"

#include <cstdlib>
#include <sstream>

namespace qvn_play {
namespace {

struct Command {
    const char* name;
    std::uint32_t bits;
};
// The character's input bits.
const Command kCommands[] = {{"jump-left", 0x1},  {"jump-right", 0x2},  {"jump-up", 0x4},
                             {"turn-left", 0x10}, {"turn-right", 0x20}};

bool ParseFrame(const std::string& word, std::int64_t& out) {
    if (word.empty() || word.size() > 9) return false;
    for (char c : word)
        if (c < '0' || c > '9') return false;
    out = std::strtoll(word.c_str(), nullptr, 10);
    return out <= kMaximumFrame;
}

bool ParseCommands(const std::string& word, std::uint32_t& bits) {
    bits = 0;
    std::size_t start = 0;
    while (start <= word.size()) {
        const std::size_t end = word.find('+', start);
        const std::string name = word.substr(start, end == std::string::npos ? std::string::npos : end - start);
        bool known = false;
        for (const Command& command : kCommands)
            if (name == command.name) {
                bits |= command.bits;
                known = true;
            }
        if (!known) return false;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return bits != 0;
}

}  // namespace

bool ParsePlayScript(const std::string& text, std::vector<ScriptLine>& lines, std::string& error) {
    std::istringstream input(text);
    std::string raw;
    int number = 0;
    while (std::getline(input, raw)) {
        ++number;
        const std::size_t hash = raw.find('#');
        std::istringstream words(hash == std::string::npos ? raw : raw.substr(0, hash));
        std::string frames, kind, commands, extra;
        if (!(words >> frames)) continue;
        const auto where = "line " + std::to_string(number) + ": ";
        if (!(words >> kind >> commands) || (words >> extra)) {
            error = where + "expected '<frame>[..<last>] key|tap <command>[+<command>]'.";
            return false;
        }
        ScriptLine line;
        const std::size_t dots = frames.find("..");
        if (!ParseFrame(frames.substr(0, dots), line.first) ||
            !ParseFrame(dots == std::string::npos ? frames : frames.substr(dots + 2), line.last) ||
            line.last < line.first) {
            error = where + "the frame '" + frames + "' is not a frame number or a range first..last.";
            return false;
        }
        if (kind != "key" && kind != "tap") {
            error = where + "'" + kind + "' is neither key nor tap.";
            return false;
        }
        line.touch = kind == "tap";
        if (!ParseCommands(commands, line.bits)) {
            error = where + "'" + commands + "' names no command (jump-left, jump-right, jump-up, turn-left, turn-right).";
            return false;
        }
        lines.push_back(line);
    }
    return true;
}

std::uint32_t BitsAtFrame(const std::vector<ScriptLine>& lines, std::int64_t frame) {
    std::uint32_t bits = 0;
    for (const ScriptLine& line : lines)
        if (frame >= line.first && frame <= line.last) bits |= line.bits;
    return bits;
}

}  // namespace qvn_play
