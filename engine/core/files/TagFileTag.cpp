// TagFileTag: parsing a tag line, its value getters and its text form.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/core/files/TagFile.h"
#include "engine/core/files/TagFileText.h"

using tagfile::IsBlank;

namespace {

bool IsNumberCharacter(char c) { return (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '-' || c == 'f'; }

bool IsListSeparator(char c) { return IsBlank(c) || c == ','; }

// atof of [start, start + length): the run is copied so that the conversion sees exactly it.
float RunValue(const char* start, std::size_t length) {
    char local[64];
    if (length < sizeof local) {
        std::memcpy(local, start, length);
        local[length] = 0;
        return static_cast<float>(std::atof(local));
    }
    const EngineString copy = EngineString::FromCharsN(start, static_cast<int>(length));
    return static_cast<float>(std::atof(copy.Text()));
}

// Reads `count` numbers of a bracketed list into `numbers`; the results of the Get* list
// getters: 1, or 0 (numbers stored only when all `count` were read).
int ReadList(const EngineString* value, float* numbers, int count, bool& stored) {
    stored = false;
    if (value == nullptr || value->Length() < 2) return 0;
    const char* text = value->Text();
    const char* end = text + value->Length();
    if ((text[0] != '(' && text[0] != '[') || (end[-1] != ')' && end[-1] != ']')) return 0;
    const char* at = text + 1;
    float read[4];
    for (int i = 0; i < count; ++i) {
        while (at < end && IsListSeparator(*at)) ++at;
        const char* start = at;
        while (at < end && *at != ')' && *at != ']' && IsNumberCharacter(*at)) ++at;
        if (at == start) return 0;
        read[i] = RunValue(start, static_cast<std::size_t>(at - start));
    }
    std::memcpy(numbers, read, sizeof(float) * static_cast<std::size_t>(count));
    stored = true;
    while (at < end && IsListSeparator(*at)) ++at;
    return at < end && (*at == ')' || *at == ']') ? 1 : 0;
}

}  // namespace

void TagFileTag::DeleteValues() { ListDeleteAll(values, EngineString::DeleteItem); }

bool TagFileTag::AddValue(const char* text, std::size_t length) {
    auto* value = new EngineString(EngineString::FromCharsN(text, static_cast<int>(length)));
    if (value == nullptr) return false;
    if (value->Length() != length || ListAppend(values, value) == nullptr) {
        delete value;  // a value that could not be copied whole is not kept cut short
        return false;
    }
    return true;
}

int TagFileTag::Parse(const char* line) { return Parse(line, line != nullptr ? std::strlen(line) : 0); }

int TagFileTag::Parse(const char* line, std::size_t length) {
    if (line == nullptr) {
        DeleteValues();
        name.Free();
        return 0;
    }
    // Only what follows the name is trimmed; the name runs from the first character.
    const char* end = line + length;
    const char* nameEnd = line;
    while (nameEnd < end && !IsBlank(*nameEnd)) ++nameEnd;
    const char* rest = nameEnd;
    tagfile::TrimLine(rest, end);
    if (rest == end) return ParseTrimmed(line, static_cast<std::size_t>(nameEnd - line));
    return ParseTrimmed(line, static_cast<std::size_t>(end - line));
}

int TagFileTag::ParseTrimmed(const char* line, std::size_t length) {
    DeleteValues();
    name.Free();
    if (line == nullptr) return 0;
    const char* end = line + length;
    const char* at = line;
    while (at < end && !IsBlank(*at)) ++at;
    const auto nameLength = static_cast<std::size_t>(at - line);
    if (nameLength >= kTagNameLimit) return 0;
    name = EngineString::FromCharsN(line, static_cast<int>(nameLength));
    while (at < end && IsBlank(*at)) ++at;
    while (at < end) {
        const char* start = at;
        const char close = *at == '"' ? '"' : *at == '(' ? ')' : *at == '[' ? ']' : 0;
        if (close != 0) {
            ++at;
            while (at < end && *at != close) ++at;
            if (at < end) ++at;  // the closing character belongs to the value
        } else {
            while (at < end && !IsBlank(*at)) ++at;
        }
        if (!AddValue(start, static_cast<std::size_t>(at - start))) return 0;
        while (at < end && IsBlank(*at)) ++at;
    }
    return 1;
}

bool TagFileTag::AddVector3(const Vector3& v) {
    char text[160];
    const int length = std::snprintf(text, sizeof text, "[%f %f %f]", double{v.x}, double{v.y}, double{v.z});
    return length > 0 && static_cast<std::size_t>(length) < sizeof text && AddValue(text, static_cast<std::size_t>(length));
}

bool TagFileTag::AddVector4(const Quaternion& q) {
    char text[200];
    const int length =
        std::snprintf(text, sizeof text, "[%f %f %f %f]", double{q.x}, double{q.y}, double{q.z}, double{q.w});
    return length > 0 && static_cast<std::size_t>(length) < sizeof text && AddValue(text, static_cast<std::size_t>(length));
}

const EngineString* TagFileTag::Value(std::uint32_t index) const {
    if (index >= values.count) return nullptr;
    KDLLink* link = values.head;
    for (std::uint32_t i = 0; i < index; ++i) link = link->next;
    return static_cast<const EngineString*>(link->item);
}

int TagFileTag::GetString(std::uint32_t index, EngineString& out) const {
    const EngineString* value = Value(index);
    if (value == nullptr || value->IsEmpty()) return 0;
    const char* text = value->Text();
    const std::uint32_t length = value->Length();
    if (length >= 2 && text[0] == '"' && text[length - 1] == '"')
        out = EngineString::FromCharsN(text + 1, static_cast<int>(length - 2));
    else
        out = *value;
    return 1;
}

int TagFileTag::GetInt(std::uint32_t index, std::int32_t& out) const {
    const EngineString* value = Value(index);
    if (value == nullptr || value->IsEmpty()) return 0;
    // atoi's result without its undefined overflow: the low 32 bits of the saturated value.
    out = static_cast<std::int32_t>(static_cast<std::uint32_t>(std::strtoll(value->Text(), nullptr, 10)));
    return 1;
}

int TagFileTag::GetUInt(std::uint32_t index, std::uint32_t& out) const {
    const EngineString* value = Value(index);
    if (value == nullptr || value->IsEmpty()) return 0;
    out = static_cast<std::uint32_t>(std::strtoul(value->Text(), nullptr, 0));
    return 1;
}

int TagFileTag::GetFloat(std::uint32_t index, float& out) const {
    const EngineString* value = Value(index);
    if (value == nullptr || value->IsEmpty()) return 0;
    for (std::uint32_t i = 0; i < value->Length(); ++i)
        if (!IsNumberCharacter(value->Text()[i])) return 0;
    out = static_cast<float>(std::atof(value->Text()));
    return 1;
}

int TagFileTag::GetVector3(std::uint32_t index, Vector3& out) const {
    out = {0.0f, 0.0f, 0.0f};
    float numbers[3];
    bool stored = false;
    const int result = ReadList(Value(index), numbers, 3, stored);
    if (stored) out = {numbers[0], numbers[1], numbers[2]};
    return result;
}

int TagFileTag::GetColor(std::uint32_t index, Color& out) const {
    out = {1.0f, 1.0f, 1.0f, 1.0f};
    float numbers[4];
    bool stored = false;
    const int result = ReadList(Value(index), numbers, 4, stored);
    if (stored) out = {numbers[0], numbers[1], numbers[2], numbers[3]};
    return result;
}

int TagFileTag::GetQuaternion(std::uint32_t index, Quaternion& out) const {
    out = {0.0f, 0.0f, 0.0f, 1.0f};
    float numbers[4];
    bool stored = false;
    const int result = ReadList(Value(index), numbers, 4, stored);
    if (stored) out = {numbers[0], numbers[1], numbers[2], numbers[3]};
    return result;
}

EngineString TagFileTag::WriteText() const {
    std::size_t length = name.Length();
    for (KDLLink* link = values.head; link != nullptr; link = link->next)
        length += 1 + static_cast<const EngineString*>(link->item)->Length();
    EngineString text = EngineString::OfLength(static_cast<int>(length));
    if (text.Length() != length) return EngineString();
    char* at = text.Buffer();
    std::memcpy(at, name.Text(), name.Length());
    at += name.Length();
    for (KDLLink* link = values.head; link != nullptr; link = link->next) {
        const auto* value = static_cast<const EngineString*>(link->item);
        *at++ = ' ';
        std::memcpy(at, value->Text(), value->Length());
        at += value->Length();
    }
    return text;
}
