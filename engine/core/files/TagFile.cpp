// TagFile: the tree's look-ups, building, text form and destruction.
#include "engine/core/files/TagFile.h"

#include <cstring>

#include "engine/core/memory/EngineStack.h"
#include "engine/core/text/TextCompare.h"

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool NameEquals(const EngineString& name, const char* text, std::size_t length) {
    return name.Length() == length && CompareNoCaseN(name.Text(), text, length) == 0;
}

void DeleteTag(void* item) { delete static_cast<TagFileTag*>(item); }

// Sends the text of a tree to a sink in order, without recursion.
template <typename Sink>
void WriteTree(const TagFile& root, Sink& sink) {
    struct Frame {
        const TagFile* node;
        KDLLink* nextChild;
    };
    EngineStack<Frame> open;
    auto begin = [&](const TagFile& node) {
        sink.Put(node.name.Text(), node.name.Length());
        sink.Put("\n{", 2);
        for (KDLLink* link = node.tags.head; link != nullptr; link = link->next) {
            const auto* tag = static_cast<const TagFileTag*>(link->item);
            sink.Put("\n", 1);
            sink.Put(tag->name.Text(), tag->name.Length());
            for (KDLLink* value = tag->values.head; value != nullptr; value = value->next) {
                const auto* text = static_cast<const EngineString*>(value->item);
                sink.Put(" ", 1);
                sink.Put(text->Text(), text->Length());
            }
        }
        if (!open.Push(Frame{&node, node.children.head})) sink.Fail();
    };
    begin(root);
    while (!open.IsEmpty() && !sink.Failed()) {
        Frame& frame = open.Top();
        if (frame.nextChild == nullptr) {
            sink.Put("\n}", 2);
            open.Pop();
            continue;
        }
        const auto* child = static_cast<const TagFile*>(frame.nextChild->item);
        frame.nextChild = frame.nextChild->next;
        sink.Put("\n", 1);
        begin(*child);
    }
}

struct CountingSink {
    std::size_t length = 0;
    bool failed = false;
    void Put(const char*, std::size_t count) { length += count; }
    void Fail() { failed = true; }
    bool Failed() const { return failed; }
};

struct CopyingSink {
    char* at;
    bool failed = false;
    void Put(const char* text, std::size_t count) {
        std::memcpy(at, text, count);
        at += count;
    }
    void Fail() { failed = true; }
    bool Failed() const { return failed; }
};

}  // namespace

TagFile::~TagFile() { Empty(); }

void TagFile::Empty() {
    ListDeleteAll(tags, DeleteTag);
    // Children are emptied from a list of pending nodes, not by recursion: files can nest
    // nodes as deep as they like.
    KDLList pending;
    for (void* child = ListPopBack(children); child != nullptr; child = ListPopBack(children)) ListAppend(pending, child);
    for (void* item = ListPopBack(pending); item != nullptr; item = ListPopBack(pending)) {
        auto* node = static_cast<TagFile*>(item);
        ListDeleteAll(node->tags, DeleteTag);
        for (void* child = ListPopBack(node->children); child != nullptr; child = ListPopBack(node->children))
            ListAppend(pending, child);
        delete node;  // without children now, so its own Empty goes no deeper
    }
}

TagFile* TagFile::FindChild(const char* path) {
    TagFile* node = this;
    if (path == nullptr) return node;
    const char* at = path;
    while (*at != 0) {
        const char* start = at;
        while (*at != 0 && !IsSeparator(*at)) ++at;
        const auto length = static_cast<std::size_t>(at - start);
        if (length == 0) return nullptr;  // "a//b" or a leading separator names no node
        TagFile* found = nullptr;
        for (KDLLink* link = node->children.head; link != nullptr && found == nullptr; link = link->next) {
            auto* child = static_cast<TagFile*>(link->item);
            if (NameEquals(child->name, start, length)) found = child;
        }
        if (found == nullptr) return nullptr;
        node = found;
        if (*at != 0) ++at;  // a trailing separator ends the path here
    }
    return node;
}

TagFileTag* TagFile::FindTag(const char* tagName) {
    if (tagName == nullptr) return nullptr;
    for (KDLLink* link = tags.head; link != nullptr; link = link->next) {
        auto* tag = static_cast<TagFileTag*>(link->item);
        if (CompareNoCase(tag->name.Text(), tagName) == 0) return tag;
    }
    return nullptr;
}

TagFileTag* TagFile::FindNextTag(TagFileTag* tag) {
    if (tag == nullptr) return tags.head != nullptr ? static_cast<TagFileTag*>(tags.head->item) : nullptr;
    KDLLink* link = tags.head;
    while (link != nullptr && link->item != tag) link = link->next;
    if (link == nullptr) return nullptr;
    for (link = link->next; link != nullptr; link = link->next) {
        auto* next = static_cast<TagFileTag*>(link->item);
        if (CompareNoCase(next->name.Text(), tag->name.Text()) == 0) return next;
    }
    return nullptr;
}

TagFileTag* TagFile::FindTagByPath(const char* path) {
    if (path == nullptr) return nullptr;
    const std::size_t length = std::strlen(path);
    if (length <= 1 || IsSeparator(path[length - 1])) return nullptr;
    std::size_t last = length;
    for (std::size_t i = length; i-- > 1;) {
        if (IsSeparator(path[i])) {
            last = i;
            break;
        }
    }
    if (last == length) return FindTag(path);
    const EngineString nodePath = EngineString::FromCharsN(path, static_cast<int>(last));
    TagFile* node = FindChild(nodePath.Text());
    return node != nullptr ? node->FindTag(path + last + 1) : nullptr;
}

TagFileTag* TagFile::AddTag(const char* tagName) {
    auto* tag = new TagFileTag(tagName);
    if (tag == nullptr) return nullptr;
    if (ListAppend(tags, tag) == nullptr) {
        delete tag;
        return nullptr;
    }
    return tag;
}

TagFile* TagFile::AddChild(const char* childName) {
    auto* child = new TagFile(childName);
    if (child == nullptr) return nullptr;
    if (ListAppend(children, child) == nullptr) {
        delete child;
        return nullptr;
    }
    return child;
}

EngineString TagFile::WriteText() const {
    CountingSink counting;
    WriteTree(*this, counting);
    if (counting.failed || counting.length > kMaximumEngineAllocation - 1) return EngineString();
    EngineString text = EngineString::OfLength(static_cast<int>(counting.length));
    if (text.Length() != counting.length) return EngineString();
    CopyingSink copying{text.Buffer()};
    WriteTree(*this, copying);
    if (copying.failed) return EngineString();
    return text;
}
