// Parsing the string table source, line by line.
#include "tools/make_string_table/StringTableSource.h"

#include <map>

#include "platform/base/CodePage.h"

namespace {

bool Fail(std::string* error, std::size_t line, const std::string& message) {
    *error = "line " + std::to_string(line) + ": " + message;
    return false;
}

// The text of one line with its escapes replaced; false on an unknown escape.
bool Unescape(const std::string& text, std::string* out, std::string* bad) {
    out->clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out->push_back(text[i]);
            continue;
        }
        if (i + 1 == text.size()) {
            *bad = "\\ (a lone backslash at the end of the line)";
            return false;
        }
        const char next = text[++i];
        if (next == 'n')
            out->push_back('\n');
        else if (next == 't')
            out->push_back('\t');
        else if (next == '\\')
            out->push_back('\\');
        else {
            *bad = std::string("\\") + next;
            return false;
        }
    }
    return true;
}

}  // namespace

bool ReadStringTableSource(const std::string& source, platform::StringTableFile* table, std::string* error) {
    std::map<unsigned long, std::size_t> firstLine;
    std::size_t position = source.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    std::size_t lineNumber = 0;
    while (position <= source.size()) {
        ++lineNumber;
        std::size_t end = source.find('\n', position);
        if (end == std::string::npos) end = source.size();
        std::string line = source.substr(position, end - position);
        position = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();

        const std::size_t at = line.find_first_not_of(" \t");
        if (at == std::string::npos || line[at] == '#') continue;
        const std::size_t digitsEnd = line.find_first_not_of("0123456789", at);
        if (digitsEnd == at) return Fail(error, lineNumber, "the line does not start with a string id.");
        const std::string digits = line.substr(at, digitsEnd - at);
        if (digits.size() > 5 || std::stoul(digits) > platform::StringTableFile::kMaxId)
            return Fail(error, lineNumber, "the string id " + digits + " is above 65535.");
        const unsigned long id = std::stoul(digits);
        if (digitsEnd == std::string::npos || digitsEnd + 1 >= line.size())
            return Fail(error, lineNumber, "the string id " + digits + " has no text.");
        if (line[digitsEnd] != ' ' && line[digitsEnd] != '\t')
            return Fail(error, lineNumber, "the string id " + digits + " is not followed by a blank.");

        std::string text;
        std::string bad;
        if (!Unescape(line.substr(digitsEnd + 1), &text, &bad))
            return Fail(error, lineNumber, "the text of string id " + digits + " has the unknown escape " + bad + ".");
        const int bytes = static_cast<int>(text.size());
        const int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), bytes, nullptr, 0);
        if (needed <= 0) return Fail(error, lineNumber, "the text of string id " + digits + " is not valid UTF-8.");
        std::u16string wide(static_cast<std::size_t>(needed), u'\0');
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), bytes, wide.data(), needed);

        auto [previous, inserted] = firstLine.emplace(id, lineNumber);
        if (!inserted)
            return Fail(error, lineNumber, "the string id " + digits + " was already given on line " +
                                               std::to_string(previous->second) + ".");
        std::string addError;
        if (!table->Add(static_cast<UINT>(id), wide, &addError)) return Fail(error, lineNumber, addError);
    }
    return true;
}
