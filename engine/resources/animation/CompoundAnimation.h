// CompoundAnimation: a set of animations, each an entry with a looped flag, a start-up
// probability and transitions to other entries, for whoever plays characters from a set of
// moves. It is made with new and filled from its binary or text form; its animations come
// from the resource cache.
#pragma once

#include <cstdint>

#include "engine/core/containers/KDLList.h"
#include "engine/core/object/Interface.h"
#include "engine/core/text/EngineString.h"
#include "platform/base/Types.h"

class Animation;
class FileStream;
class TagFile;

// Limits of the binary form (entries and transitions per entry) and of the text form.
constexpr std::uint32_t kCompoundBinaryLimit = 1000;
constexpr std::uint32_t kCompoundTextEntryLimit = 128;
// Bytes of an entry record and a transition in the binary form; an entry's animation name
// is cut to 64 bytes.
constexpr std::uint32_t kCompoundEntryRecordSize = 76;
constexpr std::uint32_t kCompoundTransitionSize = 20;
constexpr std::uint32_t kCompoundNameSize = 64;

// The condition word of a transition taken at the end of an entry ("GotoAtEndRandom"), which
// depends on no condition.
constexpr std::int32_t kCompoundNoCondition = -1;

struct CompoundTransition : EngineAllocated {
    DWORD firstWord = 0;  // carried unchanged through the binary form
    std::int32_t target = 0;  // entry index
    float probability = 0.0f;
    float weight = 0.0f;
    std::int32_t condition = 0;
};

struct CompoundAnimationEntry : EngineAllocated {
    CompoundAnimationEntry() = default;
    // Releases the animation and deletes the transitions.
    ~CompoundAnimationEntry();
    CompoundAnimationEntry(const CompoundAnimationEntry&) = delete;
    CompoundAnimationEntry& operator=(const CompoundAnimationEntry&) = delete;

    Animation* animation = nullptr;  // a reference from the resource cache
    std::int32_t index = 0;
    DWORD looped = 0;
    KDLList transitions;  // of CompoundTransition; owned
    float startupProbability = 0.0f;
};

class CompoundAnimation : public Interface {
    KEL_DECLARE_TYPE(CompoundAnimation, Interface, "CompoundAnimation")

public:
    CompoundAnimation() = default;
    ~CompoundAnimation() override;

    // All give 0 on success and 1 on failure; a read empties the entries first and leaves
    // none on failure. An entry whose animation the cache cannot give fails the read.
    virtual int ReadBinary(FileStream& stream);
    virtual int WriteBinary(FileStream& stream);
    virtual int ReadText(TagFile& node);
    // There is no text writer (1).
    virtual int WriteText(TagFile& node);

    const EngineString& Name() const { return name_; }
    void SetName(const char* name) { name_.Assign(name); }
    // Of CompoundAnimationEntry, in index order.
    const KDLList& Entries() const { return entries_; }
    CompoundAnimationEntry* Entry(std::uint32_t index) const;
    void DeleteEntries();

private:
    // A new entry at the end with the cache's animation of that name; null (nothing added)
    // when the cache has no such animation or memory runs out.
    CompoundAnimationEntry* AddEntry(const char* animationName);

    EngineString name_;
    KDLList entries_;
};
