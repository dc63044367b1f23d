// KNode's saved form: the global interface head, the flags, the extra word, the transform
// block, the bounds and the extra data, all little-endian. Every item is read whole before
// it is taken, so a short file leaves no half-read value behind.
#include "engine/core/files/FileStream.h"
#include "engine/core/node/KNode.h"
#include "engine/core/node/StreamFields.h"

int SaveGlobalInterface(KGlobalInterface& object, FileStream& stream) {
    const DWORD words[2] = {object.GetGUID(), object.SavedWord()};
    return WriteWords(stream, words, 2) ? 0 : 1;
}

int LoadGlobalInterface(KGlobalInterface& object, FileStream& stream) {
    DWORD words[2];
    if (!ReadWords(stream, words, 2)) return 1;
    object.SetSavedWord(words[1]);
    object.SetGUID(words[0]);
    return 0;
}

int KNode::Save(FileStream& stream) {
    if (SaveGlobalInterface(*this, stream) != 0) return 1;
    const DWORD savedFlags = flags_ & kNodeSavedFlags;
    if (!WriteWords(stream, &savedFlags, 1)) return 1;
    if ((flags_ & kNodeSavesExtraWord) != 0 && !WriteWords(stream, &extraWord_, 1)) return 1;
    if (SaveTransform(transform_, stream) != 0) return 1;

    DWORD bounds[10];
    std::size_t at = PutVector3(bounds, 0, bounds_.boxMin);
    at = PutVector3(bounds, at, bounds_.boxMax);
    at = PutVector3(bounds, at, bounds_.sphereCentre);
    bounds[at++] = FloatBits(bounds_.radius);
    if (!WriteWords(stream, bounds, at)) return 1;

    if ((extraWord_ & kExtraDataSaved) != 0) {
        DWORD extra[8];
        for (int i = 0; i < 4; ++i) extra[i] = FloatBits(extraData_.values[i]);
        at = PutVector3(extra, 4, extraData_.direction);
        extra[at++] = extraData_.word;
        if (!WriteWords(stream, extra, at)) return 1;
    }
    return 0;
}

int KNode::Load(FileStream& stream) {
    if (LoadGlobalInterface(*this, stream) != 0) return 1;
    DWORD readFlags;
    if (!ReadWords(stream, &readFlags, 1)) return 1;
    flags_ = (flags_ & ~kNodeSavedFlags) | (readFlags & kNodeSavedFlags);
    if ((readFlags & kNodeSavesExtraWord) != 0 && !ReadWords(stream, &extraWord_, 1)) return 1;
    if (LoadTransform(transform_, stream) != 0) return 1;

    DWORD bounds[10];
    if (!ReadWords(stream, bounds, 10)) return 1;
    std::size_t at = GetVector3(bounds, 0, bounds_.boxMin);
    at = GetVector3(bounds, at, bounds_.boxMax);
    at = GetVector3(bounds, at, bounds_.sphereCentre);
    bounds_.radius = BitsFloat(bounds[at]);

    if ((extraWord_ & kExtraDataSaved) != 0) {
        // Each of the three items is taken only when it was read whole; a short one fails.
        DWORD values[4];
        if (!ReadWords(stream, values, 4)) return 1;
        for (int i = 0; i < 4; ++i) extraData_.values[i] = BitsFloat(values[i]);
        DWORD direction[3];
        if (!ReadWords(stream, direction, 3)) return 1;
        GetVector3(direction, 0, extraData_.direction);
        if (!ReadWords(stream, &extraData_.word, 1)) return 1;
    }
    return 0;
}
