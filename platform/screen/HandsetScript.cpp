// The HANDSET_SCRIPT parser: one command a line, checked word by word.
#include "platform/screen/HandsetScript.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/screen/KeyNames.h"

namespace platform::screen {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// Words of a line, with where the rest of the line starts after each one (for file names
// with blanks).
struct Words {
    std::vector<std::string_view> words;
    std::vector<std::size_t> ends;
};

Words SplitWords(std::string_view line) {
    Words result;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i >= line.size()) break;
        std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i])) ++i;
        result.words.push_back(line.substr(start, i - start));
        result.ends.push_back(i);
    }
    return result;
}

// A word as it appears in a message: cut short, with bytes that are not printable shown
// as escapes, so that a binary file gives a readable message.
std::string Shown(std::string_view word) {
    constexpr std::size_t kShownChars = 40;
    std::string shown = "'";
    for (std::size_t i = 0; i < word.size() && i < kShownChars; ++i) {
        unsigned char c = static_cast<unsigned char>(word[i]);
        if (c >= 0x20 && c < 0x7F) {
            shown += static_cast<char>(c);
        } else {
            static const char kHex[] = "0123456789abcdef";
            shown += "\\x";
            shown += kHex[c >> 4];
            shown += kHex[c & 15];
        }
    }
    if (word.size() > kShownChars) shown += "...";
    return shown + "'";
}

template <typename Number>
bool ReadWhole(std::string_view word, Number& value) {
    auto [end, status] = std::from_chars(word.data(), word.data() + word.size(), value);
    return status == std::errc() && end == word.data() + word.size();
}

bool ReadTime(std::string_view word, DWORD& value) {
    unsigned long long parsed = 0;
    if (word.empty() || !ReadWhole(word, parsed) || parsed > kMaxScriptMs) return false;
    value = static_cast<DWORD>(parsed);
    return true;
}

bool ReadCoordinate(std::string_view word, int& value) {
    int parsed = 0;
    if (word.empty() || !ReadWhole(word, parsed) || parsed < -kMaxScriptCoordinate || parsed > kMaxScriptCoordinate)
        return false;
    value = parsed;
    return true;
}

constexpr unsigned long long kMaxVideoMode = 255;

bool ReadTilt(std::string_view word, float& value) {
    float parsed = 0;
    if (word.empty() || !ReadWhole(word, parsed) || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

class LineParser {
public:
    LineParser(std::string_view line, std::string& problem)
        : split_(SplitWords(line)), line_(line), problem_(problem) {}

    // False with the problem set; true with `event` filled, or with `isEvent` false for a
    // blank or comment line.
    bool Parse(ScriptEvent& event, bool& isEvent) {
        const auto& words = split_.words;
        isEvent = false;
        if (words.empty() || words[0][0] == '#') return true;
        isEvent = true;
        if (words[0] != "at") return Fail("expected 'at <ms>' at the start of the line, found " + Shown(words[0]));
        if (words.size() < 2) return Fail("'at' needs a time in milliseconds");
        if (!ReadTime(words[1], event.atMs))
            return Fail("bad time " + Shown(words[1]) + " (whole milliseconds from 0 to 2147483647)");
        if (words.size() < 3) return Fail("a command must follow the time");
        std::string_view command = words[2];
        if (command == "key") return ParseKey(event);
        if (command == "tap") return ParsePoint(event, ScriptAction::Tap, command);
        if (command == "down") return ParsePoint(event, ScriptAction::TouchDown, command);
        if (command == "move") return ParsePoint(event, ScriptAction::TouchMove, command);
        if (command == "up") return ParsePoint(event, ScriptAction::TouchUp, command);
        if (command == "tilt") return ParseTilt(event);
        if (command == "screenshot") return ParseScreenshot(event);
        if (command == "tvout") return ParseTvOut(event);
        if (command == "power") return ParsePower(event);
        if (command == "state") return ParseState(event);
        if (command == "close") {
            event.action = ScriptAction::Close;
            return NothingAfter(3);
        }
        return Fail("unknown command " + Shown(command));
    }

private:
    bool Fail(std::string problem) {
        problem_ = std::move(problem);
        return false;
    }

    bool NothingAfter(std::size_t count) {
        if (split_.words.size() > count) return Fail("unexpected " + Shown(split_.words[count]) + " after the command");
        return true;
    }

    bool ParseKey(ScriptEvent& event) {
        const auto& words = split_.words;
        if (words.size() < 5) return Fail("'key' needs down, up or press and a key name");
        if (words[3] == "down")
            event.action = ScriptAction::KeyDown;
        else if (words[3] == "up")
            event.action = ScriptAction::KeyUp;
        else if (words[3] == "press")
            event.action = ScriptAction::KeyPress;
        else
            return Fail("unknown key action " + Shown(words[3]) + " (down, up or press)");
        event.virtualKey = VirtualKeyOfName(words[4]);
        if (event.virtualKey == 0) return Fail("unknown key " + Shown(words[4]));
        return NothingAfter(5);
    }

    bool ParsePoint(ScriptEvent& event, ScriptAction action, std::string_view command) {
        const auto& words = split_.words;
        event.action = action;
        if (words.size() < 5) return Fail(Shown(command) + " needs x and y");
        for (int i = 0; i < 2; ++i)
            if (!ReadCoordinate(words[3 + i], i == 0 ? event.x : event.y))
                return Fail("bad coordinate " + Shown(words[3 + i]) + " (whole pixels from -32767 to 32767)");
        return NothingAfter(5);
    }

    bool ParseTilt(ScriptEvent& event) {
        const auto& words = split_.words;
        event.action = ScriptAction::Tilt;
        if (words.size() < 6) return Fail("'tilt' needs x, y and z");
        for (int i = 0; i < 3; ++i)
            if (!ReadTilt(words[3 + i], event.tilt[i])) return Fail("bad tilt value " + Shown(words[3 + i]));
        return NothingAfter(6);
    }

    bool ParseOnOff(std::string_view word, bool& on) {
        if (word == "on")
            on = true;
        else if (word == "off")
            on = false;
        else
            return Fail("expected on or off, found " + Shown(word));
        return true;
    }

    bool ParseTvOut(ScriptEvent& event) {
        const auto& words = split_.words;
        event.action = ScriptAction::TvOut;
        if (words.size() < 4) return Fail("'tvout' needs on or off");
        if (!ParseOnOff(words[3], event.on)) return false;
        if (words.size() < 5) return true;
        unsigned long long mode = 0;
        if (!ReadWhole(words[4], mode) || mode > kMaxVideoMode)
            return Fail("bad video mode " + Shown(words[4]) + " (a whole number from 0 to 255)");
        event.videoMode = static_cast<int>(mode);
        return NothingAfter(5);
    }

    bool ParsePower(ScriptEvent& event) {
        const auto& words = split_.words;
        event.action = ScriptAction::Power;
        if (words.size() < 4) return Fail("'power' needs on or off");
        if (!ParseOnOff(words[3], event.on)) return false;
        return NothingAfter(4);
    }

    bool ParseState(ScriptEvent& event) {
        const auto& words = split_.words;
        event.action = ScriptAction::State;
        if (words.size() < 5) return Fail("'state' needs a value's path and a number");
        std::string_view path = words[3];
        const std::size_t rootEnd = path.find('\\');
        const std::size_t valueStart = path.rfind('\\');
        const std::string_view root = path.substr(0, rootEnd);
        if (rootEnd == std::string_view::npos || (root != "HKLM" && root != "HKCU"))
            return Fail("the state value " + Shown(path) + " must start with HKLM\\ or HKCU\\");
        if (valueStart + 1 >= path.size() || path.find("\\\\") != std::string_view::npos)
            return Fail("the state value " + Shown(path) + " needs a key and a value name");
        unsigned long long number = 0;
        std::string_view digits = words[4];
        bool read = false;
        if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
            const auto [end, status] = std::from_chars(digits.data() + 2, digits.data() + digits.size(), number, 16);
            read = status == std::errc() && end == digits.data() + digits.size();
        } else {
            read = !digits.empty() && ReadWhole(digits, number);
        }
        if (!read || number > 0xFFFFFFFFull)
            return Fail("bad number " + Shown(digits) + " (0 to 4294967295, or 0x and hex digits)");
        event.file = std::string(path);
        event.number = static_cast<DWORD>(number);
        return NothingAfter(5);
    }

    // The file is the rest of the line, so that a name may hold blanks.
    bool ParseScreenshot(ScriptEvent& event) {
        const auto& words = split_.words;
        event.action = ScriptAction::Screenshot;
        if (words.size() < 4) return Fail("'screenshot' needs a file name");
        std::size_t start = split_.ends[2];
        std::string_view rest = line_.substr(start);
        while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
        while (!rest.empty() && IsBlank(rest.back())) rest.remove_suffix(1);
        if (rest.find('\0') != std::string_view::npos)
            return Fail("the file name " + Shown(rest) + " holds a NUL byte");
        event.file = std::string(rest);
        return true;
    }

    Words split_;
    std::string_view line_;
    std::string& problem_;
};

}  // namespace

bool ParseHandsetScript(std::string_view text, std::string_view fileName, std::vector<ScriptEvent>& events,
                        std::string& error) {
    events.clear();
    if (text.size() > kMaxScriptBytes) {
        error = std::string(fileName) + ": the script is larger than " + std::to_string(kMaxScriptBytes) + " bytes.";
        return false;
    }
    std::vector<ScriptEvent> parsed;
    int lineNumber = 0;
    std::size_t position = 0;
    while (position < text.size()) {
        std::size_t end = text.find('\n', position);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(position, end - position);
        position = end + 1;
        ++lineNumber;
        std::string problem;
        ScriptEvent event;
        bool isEvent = false;
        if (!LineParser(line, problem).Parse(event, isEvent)) {
            error = std::string(fileName) + ":" + std::to_string(lineNumber) + ": " + problem + ".";
            return false;
        }
        if (!isEvent) continue;
        event.line = lineNumber;
        parsed.push_back(std::move(event));
    }
    std::stable_sort(parsed.begin(), parsed.end(),
                     [](const ScriptEvent& a, const ScriptEvent& b) { return a.atMs < b.atMs; });
    events = std::move(parsed);
    return true;
}

}  // namespace platform::screen
