// TagFile's parser and loader: the grammar of node names, braces and tag lines, run over
// the whole text with a stack of open nodes.
#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/core/files/TagFile.h"
#include "engine/core/files/TagFileText.h"
#include "engine/core/memory/EngineStack.h"

namespace {

bool IsNodeNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

struct Line {
    const char* start;
    const char* end;
    bool IsEmpty() const { return start == end; }
    std::size_t Length() const { return static_cast<std::size_t>(end - start); }
    bool Is(char alone) const { return end - start == 1 && *start == alone; }
    bool IsNodeName() const {
        if (start == end) return false;
        for (const char* at = start; at < end; ++at)
            if (!IsNodeNameCharacter(*at)) return false;
        return true;
    }
};

// Hands out the text's lines trimmed; runs of CR and LF between lines are skipped, so
// empty lines in the file never show.
class LineReader {
public:
    LineReader(const char* text, const char* end) : at_(text), end_(end) {}

    // One pass finds both the line's end and where a comment starts. The text ends in a
    // zero byte at end_, which strcspn stops at.
    bool Next(Line& line) {
        if (at_ >= end_) return false;
        const char* start = at_;
        const char* comment = nullptr;
        const char* stop = start;
        for (;;) {
            stop += std::strcspn(stop, "\r\n#/");
            if (stop >= end_ || *stop == '\r' || *stop == '\n') break;
            if (comment == nullptr && (*stop == '#' || stop[1] == '/')) comment = stop;
            ++stop;
        }
        at_ = stop;
        while (at_ < end_ && (*at_ == '\r' || *at_ == '\n')) ++at_;
        line.start = start;
        line.end = comment != nullptr ? comment : stop;
        while (line.start < line.end && tagfile::IsBlank(*line.start)) ++line.start;
        while (line.end > line.start && tagfile::IsBlank(line.end[-1])) --line.end;
        return true;
    }

    bool NextNonEmpty(Line& line) {
        while (Next(line))
            if (!line.IsEmpty()) return true;
        return false;
    }

private:
    const char* at_;
    const char* end_;
};

// Fills `root` (already empty) from the text; false on the first error.
bool ParseTree(TagFile& root, const char* text, EngineString& rootName) {
    LineReader reader(text, text + std::strlen(text));
    Line line;
    if (!reader.NextNonEmpty(line) || !line.IsNodeName()) return false;
    rootName = EngineString::FromCharsN(line.start, static_cast<int>(line.Length()));
    if (!reader.NextNonEmpty(line) || !line.Is('{')) return false;
    EngineStack<TagFile*> open;
    if (!open.Push(&root)) return false;
    // The end of the text closes every open node: a missing "}" at the end is accepted.
    while (!open.IsEmpty() && reader.Next(line)) {
        if (line.IsEmpty()) continue;
        TagFile* node = open.Top();
        if (line.Is('}')) {
            open.Pop();
            continue;
        }
        if (line.IsNodeName()) {
            auto* child = new TagFile(EngineString::FromCharsN(line.start, static_cast<int>(line.Length())));
            if (child == nullptr) return false;
            child->parent = node;
            if (ListAppend(node->children, child) == nullptr) {
                delete child;
                return false;
            }
            if (!reader.NextNonEmpty(line) || !line.Is('{') || !open.Push(child)) return false;
            continue;
        }
        auto* tag = new TagFileTag;
        if (tag == nullptr) return false;
        tag->owner = node;
        if (tag->ParseTrimmed(line.start, line.Length()) == 0 || ListAppend(node->tags, tag) == nullptr) {
            delete tag;
            return false;
        }
    }
    return true;
}

}  // namespace

int TagFile::ParseText(const char* text) {
    Empty();
    if (text == nullptr) return 1;
    EngineString rootName;
    if (!ParseTree(*this, text, rootName)) {
        Empty();
        return 1;
    }
    name = static_cast<EngineString&&>(rootName);
    return 0;
}

int TagFile::Parse(FileStream& stream) {
    Empty();
    const std::uint64_t size = stream.Size();
    if (size + 1 > kMaximumEngineAllocation) return 1;
    auto* text = static_cast<char*>(EngineAlloc(static_cast<std::size_t>(size + 1)));
    if (text == nullptr) return 1;
    int result = 1;
    if (stream.Read(text, static_cast<DWORD>(size)) == size) {
        text[size] = 0;
        result = ParseText(text);
    }
    EngineFree(text);
    return result;
}

int TagFile::Load(const char* path, int binary) {
    Empty();
    FileStream stream;
    if (stream.Open(path, binary != 0 ? kStreamReadWhole | kStreamBinary : kStreamReadWhole) == 0) return 1;
    const int result = Parse(stream);
    stream.Close();
    return result;
}
