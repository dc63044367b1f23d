// The line-and-word form of the data tools' readable sources: a '#' at the start of a word
// starts a comment (inside a word, as in "C#4", it is text), blank
// lines are skipped, words are separated by blanks; mistakes are reported as sentences that
// name the file and line ("jump.tone:3: ...").
#pragma once

#include <string>
#include <vector>

struct SourceLine {
    int number = 0;                  // from 1
    std::string text;                // without the comment
    std::vector<std::string> words;  // never empty
};

// The lines of `text` that hold words.
std::vector<SourceLine> SplitSourceLines(const std::string& text);

// The whole file; false with a sentence in `error` when it cannot be read.
bool ReadSourceFile(const std::string& path, std::string& text, std::string& error);

// Reads numbers from a line's words, keeping the first mistake.
class SourceReader {
public:
    SourceReader(std::string fileName, const SourceLine& line) : fileName_(std::move(fileName)), line_(line) {}

    // The whole word as a number in [low, high]; on a mistake `value` is unchanged.
    double Number(const std::string& word, double low, double high, const char* what);
    long Integer(const std::string& word, long low, long high, const char* what);
    // Records a mistake (the first one is kept).
    void Fail(const std::string& sentence);

    bool Failed() const { return !error_.empty(); }
    // "<file>:<line>: <sentence>".
    const std::string& Error() const { return error_; }

private:
    std::string fileName_;
    const SourceLine& line_;
    std::string error_;
};
