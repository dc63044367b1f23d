// CompoundAnimation: its entries, and the binary and text forms that fill them.
#include "engine/resources/animation/CompoundAnimation.h"

#include <cinttypes>
#include <cstring>
#include <initializer_list>

#include "engine/core/files/FileStream.h"
#include "engine/core/files/TagFile.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/node/Animation.h"
#include "engine/core/node/StreamFields.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/core/text/TextCompare.h"

namespace {

void DeleteTransition(void* transition) { delete static_cast<CompoundTransition*>(transition); }
void DeleteEntry(void* entry) { delete static_cast<CompoundAnimationEntry*>(entry); }

bool AppendTransition(CompoundAnimationEntry& entry, const CompoundTransition& values) {
    auto* transition = new CompoundTransition(values);
    if (transition == nullptr) return false;
    if (ListAppend(entry.transitions, transition) != nullptr) return true;
    delete transition;
    return false;
}

// The direct child of the node with that name (names compare without case); a key may hold
// separators, so it is not taken as a path.
TagFile* ChildNamed(TagFile& node, const char* name) {
    for (KDLLink* link = node.children.head; link != nullptr; link = link->next) {
        auto* child = static_cast<TagFile*>(link->item);
        if (CompareNoCase(child->name.Text(), name) == 0) return child;
    }
    return nullptr;
}

// The index of the entry whose key the tag's value names; -1 when none does.
std::int32_t TargetOf(const TagFileTag& tag, TagFileTag* const* keys, std::uint32_t count) {
    EngineString target;
    if (tag.GetString(0, target) == 0) return -1;
    for (std::uint32_t i = 0; i < count; ++i)
        if (CompareNoCase(keys[i]->name.Text(), target.Text()) == 0) return static_cast<std::int32_t>(i);
    return -1;
}

}  // namespace

CompoundAnimationEntry::~CompoundAnimationEntry() {
    ListDeleteAll(transitions, DeleteTransition);
    if (animation != nullptr) animation->Release();
}

CompoundAnimation::~CompoundAnimation() { DeleteEntries(); }

void CompoundAnimation::DeleteEntries() { ListDeleteAll(entries_, DeleteEntry); }

CompoundAnimationEntry* CompoundAnimation::Entry(std::uint32_t index) const {
    std::uint32_t at = 0;
    for (KDLLink* link = entries_.head; link != nullptr; link = link->next, ++at)
        if (at == index) return static_cast<CompoundAnimationEntry*>(link->item);
    return nullptr;
}

CompoundAnimationEntry* CompoundAnimation::AddEntry(const char* animationName) {
    Interface* found = GlobalResourceCache().GetAnimation(animationName);
    if (found == nullptr) return nullptr;
    if (!found->IsKindOf(Animation::StaticTypeId())) {
        found->Release();
        return nullptr;
    }
    auto* entry = new CompoundAnimationEntry;
    if (entry == nullptr) {
        found->Release();
        return nullptr;
    }
    entry->animation = static_cast<Animation*>(found);
    entry->index = static_cast<std::int32_t>(entries_.count);
    if (ListAppend(entries_, entry) == nullptr) {
        delete entry;
        return nullptr;
    }
    return entry;
}

int CompoundAnimation::ReadBinary(FileStream& stream) {
    DeleteEntries();
    DWORD count;
    if (!ReadWords(stream, &count, 1) || count > kCompoundBinaryLimit) return 1;
    if (std::uint64_t{count} * kCompoundEntryRecordSize > StreamBytesLeft(stream)) return 1;
    std::uint32_t transitionCounts[kCompoundBinaryLimit];
    std::uint64_t transitionSum = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        char animationName[kCompoundNameSize + 1];
        DWORD words[3];
        if (stream.Read(animationName, kCompoundNameSize) != kCompoundNameSize || !ReadWords(stream, words, 3) ||
            words[1] > kCompoundBinaryLimit) {
            DeleteEntries();
            return 1;
        }
        animationName[kCompoundNameSize] = 0;
        CompoundAnimationEntry* entry = AddEntry(animationName);
        if (entry == nullptr) {
            KEL_LOG_EXCEPTION("CompoundAnimation '%s': entry %u names the animation '%s', which cannot be loaded.",
                              name_.Text(), i, animationName);
            DeleteEntries();
            return 1;
        }
        entry->looped = words[0];
        entry->startupProbability = BitsFloat(words[2]);
        transitionCounts[i] = words[1];
        transitionSum += words[1];
    }
    if (transitionSum * kCompoundTransitionSize > StreamBytesLeft(stream)) {
        DeleteEntries();
        return 1;
    }
    std::uint32_t index = 0;
    for (KDLLink* link = entries_.head; link != nullptr; link = link->next, ++index) {
        auto& entry = *static_cast<CompoundAnimationEntry*>(link->item);
        for (std::uint32_t t = 0; t < transitionCounts[index]; ++t) {
            DWORD words[5];
            if (!ReadWords(stream, words, 5) || words[1] >= count ||
                !AppendTransition(entry, {{}, words[0], static_cast<std::int32_t>(words[1]), BitsFloat(words[2]),
                                          BitsFloat(words[3]), static_cast<std::int32_t>(words[4])})) {
                DeleteEntries();
                return 1;
            }
        }
    }
    return 0;
}

int CompoundAnimation::WriteBinary(FileStream& stream) {
    const DWORD count = entries_.count;
    if (!WriteWords(stream, &count, 1)) return 1;
    for (KDLLink* link = entries_.head; link != nullptr; link = link->next) {
        const auto& entry = *static_cast<const CompoundAnimationEntry*>(link->item);
        char animationName[kCompoundNameSize] = {};
        const EngineString& name = entry.animation->Name();
        std::memcpy(animationName, name.Text(), name.Length() < kCompoundNameSize ? name.Length() : kCompoundNameSize);
        const DWORD words[3] = {entry.looped, entry.transitions.count, FloatBits(entry.startupProbability)};
        if (stream.Write(animationName, kCompoundNameSize) != kCompoundNameSize || !WriteWords(stream, words, 3))
            return 1;
    }
    for (KDLLink* link = entries_.head; link != nullptr; link = link->next) {
        const auto& entry = *static_cast<const CompoundAnimationEntry*>(link->item);
        for (KDLLink* at = entry.transitions.head; at != nullptr; at = at->next) {
            const auto& transition = *static_cast<const CompoundTransition*>(at->item);
            const DWORD words[5] = {transition.firstWord, static_cast<DWORD>(transition.target),
                                    FloatBits(transition.probability), FloatBits(transition.weight),
                                    static_cast<DWORD>(transition.condition)};
            if (!WriteWords(stream, words, 5)) return 1;
        }
    }
    return 0;
}

int CompoundAnimation::ReadText(TagFile& node) {
    DeleteEntries();
    TagFile* animations = ChildNamed(node, "Animations");
    if (animations == nullptr || animations->tags.count > kCompoundTextEntryLimit) return 1;
    TagFileTag* keys[kCompoundTextEntryLimit];
    std::uint32_t count = 0;
    for (KDLLink* link = animations->tags.head; link != nullptr; link = link->next) {
        auto* tag = static_cast<TagFileTag*>(link->item);
        EngineString animationName;
        if (tag->GetString(0, animationName) == 0 || AddEntry(animationName.Text()) == nullptr) {
            DeleteEntries();
            return 1;
        }
        keys[count++] = tag;
    }

    std::uint32_t index = 0;
    for (KDLLink* link = entries_.head; link != nullptr; link = link->next, ++index) {
        auto& entry = *static_cast<CompoundAnimationEntry*>(link->item);
        TagFile* settings = ChildNamed(node, keys[index]->name.Text());
        if (settings == nullptr) continue;
        if (TagFileTag* looped = settings->FindTag("Looped")) {
            EngineString value;
            if (looped->GetString(0, value) != 0 &&
                (std::strcmp(value.Text(), "1") == 0 || CompareNoCase(value.Text(), "Yes") == 0))
                entry.looped = 1;
        }
        float probability = 0.0f;
        if (TagFileTag* startup = settings->FindTag("StartupProb");
            startup != nullptr && startup->GetFloat(0, probability) != 0 && probability >= 0.0f && probability <= 1.0f)
            entry.startupProbability = probability;

        // Conditional transitions first, then those taken at the end. A transition whose target
        // names no entry, or whose values do not read, is left out.
        bool added = true;
        for (const bool atEnd : {false, true}) {
            for (KDLLink* at = settings->tags.head; at != nullptr && added; at = at->next) {
                const auto& tag = *static_cast<TagFileTag*>(at->item);
                if (CompareNoCase(tag.name.Text(), atEnd ? "GotoAtEndRandom" : "GotoCondition") != 0) continue;
                CompoundTransition transition;
                transition.target = TargetOf(tag, keys, count);
                transition.weight = 1.0f;
                transition.condition = kCompoundNoCondition;
                const bool valuesRead = atEnd ? tag.GetFloat(1, transition.weight) != 0
                                              : tag.GetInt(1, transition.condition) != 0;
                if (transition.target < 0 || !valuesRead || tag.GetFloat(2, transition.probability) == 0) continue;
                added = AppendTransition(entry, transition);
            }
        }
        if (!added) {
            DeleteEntries();
            return 1;
        }
    }
    return 0;
}

int CompoundAnimation::WriteText(TagFile&) { return 1; }
