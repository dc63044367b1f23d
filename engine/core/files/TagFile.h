// TagFile: the engine's nested text format and its tree. A node is a name line, "{", tag
// lines (a name and blank-separated values) and child nodes, then "}". Names compare
// without regard to case; "//" and '#' start comments.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/core/containers/KDLList.h"
#include "engine/core/math/MathTypes.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/text/EngineString.h"
#include "platform/base/Types.h"

class FileStream;
class TagFile;

// Tag names of this length or longer fail the parse.
constexpr std::size_t kTagNameLimit = 256;

class TagFileTag : public EngineAllocated {
public:
    TagFileTag() = default;
    explicit TagFileTag(const char* name) : name(name) {}
    ~TagFileTag() { DeleteValues(); }
    TagFileTag(const TagFileTag&) = delete;
    TagFileTag& operator=(const TagFileTag&) = delete;

    // Fills the tag from one line: the name up to the first blank (256 characters or more:
    // 0), then the values: a quoted text with its quotes, a "(...)" or "[...]" group, or a
    // run up to the next blank. 1 on success.
    int Parse(const char* line);
    int Parse(const char* line, std::size_t length);
    // The same for a line that is already trimmed: no comment, no blanks at either end.
    int ParseTrimmed(const char* line, std::size_t length);

    // Appends a value; false when memory runs out.
    bool AddValue(const char* text, std::size_t length);
    // "[%f %f %f]" and "[%f %f %f %f]".
    bool AddVector3(const Vector3& v);
    bool AddVector4(const Quaternion& q);

    std::uint32_t ValueCount() const { return values.count; }
    // Null at or beyond the value count.
    const EngineString* Value(std::uint32_t index) const;

    // Getters by value index: 1 with `out` set, 0 when there is no such value or it does
    // not read as asked (then `out` keeps its value, except that the bracketed lists store
    // their default first).
    // A quoted value without its quotes.
    int GetString(std::uint32_t index, EngineString& out) const;
    int GetInt(std::uint32_t index, std::int32_t& out) const;     // decimal
    int GetUInt(std::uint32_t index, std::uint32_t& out) const;   // decimal, 0x hexadecimal, 0 octal
    int GetFloat(std::uint32_t index, float& out) const;          // digits, '.', 'e', 'E', '-' and 'f' only
    int GetVector3(std::uint32_t index, Vector3& out) const;      // default (0, 0, 0)
    int GetColor(std::uint32_t index, Color& out) const;          // default (1, 1, 1, 1)
    int GetQuaternion(std::uint32_t index, Quaternion& out) const;  // default (0, 0, 0, 1)

    // The name followed by each value, each after one ' '.
    EngineString WriteText() const;

    EngineString name;
    KDLList values;  // of EngineString objects, in file order; owned
    TagFile* owner = nullptr;

private:
    void DeleteValues();
};

class TagFile : public EngineAllocated {
public:
    TagFile() : name("TagFile") {}
    explicit TagFile(const char* nodeName) : name(nodeName) {}
    explicit TagFile(EngineString&& nodeName) : name(static_cast<EngineString&&>(nodeName)) {}
    // Deletes every tag and child below, without recursion.
    ~TagFile();
    TagFile(const TagFile&) = delete;
    TagFile& operator=(const TagFile&) = delete;
    static void Delete(TagFile* node) { delete node; }

    // 0 on success, 1 on failure (the node is then empty): opens the path with FileStream
    // (whole file into memory; binary marker when `binary` is set) and parses it.
    int Load(const char* path, int binary);
    // Parses the stream's whole data. 0 on success, 1 on a short read or a parse failure,
    // which leave the node without tags and children and its name unchanged.
    int Parse(FileStream& stream);
    // The same over a zero-terminated text.
    int ParseText(const char* text);

    // Node names separated by '/' or '\', matched without case; "" is this node; a trailing
    // separator is ignored.
    TagFile* FindChild(const char* path);
    TagFileTag* FindTag(const char* tagName);
    // The next tag after `tag` with its name; null `tag` gives the first tag of the node.
    TagFileTag* FindNextTag(TagFileTag* tag);
    // "node/path/tag": the tag of the node FindChild finds for the part before the last
    // separator; without a separator (or with one only in front) a tag of this node.
    TagFileTag* FindTagByPath(const char* path);

    // New tags and children are appended; null when memory runs out.
    TagFileTag* AddTag(const char* tagName);
    TagFile* AddChild(const char* childName);

    // Deletes the tags and children.
    void Empty();

    // Name, "\n{", each tag and each child after "\n", then "\n}"; no indentation and no
    // final line break. Reads back to the same tree when every tag has a value and no value
    // holds '#' or "//".
    EngineString WriteText() const;

    EngineString name;
    KDLList tags;      // of TagFileTag; owned
    KDLList children;  // of TagFile; owned
    TagFile* parent = nullptr;
};
