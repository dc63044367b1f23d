// Reading the data tools' sources.
#include "tools/source_text/SourceText.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

std::vector<SourceLine> SplitSourceLines(const std::string& text) {
    std::vector<SourceLine> lines;
    std::istringstream in(text);
    std::string raw;
    for (int number = 1; std::getline(in, raw); ++number) {
        // A '#' that starts a word starts a comment; inside a word ("C#4") it is text.
        std::size_t comment = std::string::npos;
        for (std::size_t at = 0; at < raw.size() && comment == std::string::npos; ++at)
            if (raw[at] == '#' && (at == 0 || raw[at - 1] == ' ' || raw[at - 1] == '\t')) comment = at;
        SourceLine line;
        line.number = number;
        line.text = raw.substr(0, comment);
        std::istringstream words(line.text);
        for (std::string word; words >> word;) line.words.push_back(word);
        if (!line.words.empty()) lines.push_back(std::move(line));
    }
    return lines;
}

bool ReadSourceFile(const std::string& path, std::string& text, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be read (" + std::strerror(errno) + ").";
        return false;
    }
    std::stringstream content;
    content << in.rdbuf();
    text = content.str();
    return true;
}

double SourceReader::Number(const std::string& word, double low, double high, const char* what) {
    char* end = nullptr;
    const double value = std::strtod(word.c_str(), &end);
    if (end == word.c_str() || *end != 0 || !std::isfinite(value)) {
        Fail(std::string(what) + " '" + word + "' is not a number");
        return low;
    }
    if (value < low || value > high) {
        std::ostringstream sentence;
        sentence << what << " " << word << " is outside " << low << " to " << high;
        Fail(sentence.str());
        return low;
    }
    return value;
}

long SourceReader::Integer(const std::string& word, long low, long high, const char* what) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(word.c_str(), &end, 10);
    if (end == word.c_str() || *end != 0 || errno != 0) {
        Fail(std::string(what) + " '" + word + "' is not a whole number");
        return low;
    }
    if (value < low || value > high) {
        Fail(std::string(what) + " " + word + " is outside " + std::to_string(low) + " to " + std::to_string(high));
        return low;
    }
    return value;
}

void SourceReader::Fail(const std::string& sentence) {
    if (error_.empty()) error_ = fileName_ + ":" + std::to_string(line_.number) + ": " + sentence + ".";
}
