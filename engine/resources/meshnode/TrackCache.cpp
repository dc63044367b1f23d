// The track cache "objects/<name>.track" (little-endian): the frame count F, the strip count
// S, each strip's index count, then per strip its indices, its first indices and its end
// indices of every frame (16 bits each).
#include <vector>

#include "engine/core/files/FileStream.h"
#include "engine/resources/meshnode/Track.h"

namespace {

bool ReadWords(FileStream& stream, std::uint16_t* words, std::uint32_t count) {
    const DWORD bytes = count * 2;
    if (count > 0 && stream.Read(words, bytes) != bytes) return false;
    // The file's bytes are little-endian; so is every handset.
    return true;
}

bool WriteWords(FileStream& stream, const std::uint16_t* words, std::uint32_t count) {
    const DWORD bytes = count * 2;
    return count == 0 || stream.Write(words, bytes) == bytes;
}

// Nothing follows the data.
bool AtEnd(FileStream& stream) {
    if (stream.IsMemory()) return stream.Tell() >= stream.Size();
    BYTE extra = 0;
    return stream.Read(&extra, 1) == 0;
}

}  // namespace

int Track::LoadCache(FileStream& stream, std::uint32_t expectedFrames) {
    std::uint32_t frames = 0;
    std::uint32_t strips = 0;
    if (!StreamRead4(stream, &frames) || !StreamRead4(stream, &strips)) return 1;
    if (frames > kMaxTrackFrames || (expectedFrames != kAnyTrackFrameCount && frames != expectedFrames)) return 1;
    if (strips != SubMeshCount() || (geometry_.flags & kGeometryShared) != 0) return 1;

    std::vector<std::uint32_t> counts(strips);
    for (std::uint32_t& count : counts)
        if (!StreamRead4(stream, &count) || count >= kTrackIndexLimit || count % 3 != 0) return 1;

    // Read into owned blocks first; the track changes only once the whole file checked out.
    std::vector<std::uint16_t*> lists(strips, nullptr);
    auto* tables = static_cast<Strip*>(EngineAlloc(sizeof(Strip) * (strips > 0 ? strips : 1)));
    bool loaded = tables != nullptr;
    for (std::uint32_t s = 0; s < strips && loaded; ++s) tables[s] = Strip{counts[s], nullptr, nullptr};
    for (std::uint32_t s = 0; s < strips && loaded; ++s) {
        const SubMesh& subMesh = geometry_.list->subMeshes[s];
        lists[s] = static_cast<std::uint16_t*>(EngineAlloc(sizeof(std::uint16_t) * (counts[s] + 1)));
        tables[s].first = static_cast<std::uint16_t*>(EngineAlloc(sizeof(std::uint16_t) * (frames + 1)));
        tables[s].end = static_cast<std::uint16_t*>(EngineAlloc(sizeof(std::uint16_t) * (frames + 1)));
        loaded = lists[s] != nullptr && tables[s].first != nullptr && tables[s].end != nullptr &&
                 ReadWords(stream, lists[s], counts[s]) && ReadWords(stream, tables[s].first, frames) &&
                 ReadWords(stream, tables[s].end, frames);
        for (std::uint32_t i = 0; i < counts[s] && loaded; ++i) loaded = lists[s][i] < subMesh.vertexCount;
        // A range is drawn only when its end lies beyond its start; it must lie in the list.
        for (std::uint32_t f = 0; f < frames && loaded; ++f)
            loaded = tables[s].end[f] <= tables[s].first[f] ||
                     (tables[s].end[f] <= counts[s] && tables[s].first[f] % 3 == 0 && tables[s].end[f] % 3 == 0);
    }
    if (loaded) loaded = AtEnd(stream);
    if (!loaded) {
        for (std::uint32_t s = 0; s < strips; ++s) {
            EngineFree(lists[s]);
            if (tables != nullptr) {
                EngineFree(tables[s].first);
                EngineFree(tables[s].end);
            }
        }
        EngineFree(tables);
        return 1;
    }
    Adopt(frames, strips, tables, lists.data());
    return 0;
}

int Track::SaveCache(FileStream& stream) {
    if (!StreamWrite4(stream, frameCount_) || !StreamWrite4(stream, stripCount_)) return 1;
    for (std::uint32_t s = 0; s < stripCount_; ++s)
        if (!StreamWrite4(stream, strips_[s].indexCount)) return 1;
    for (std::uint32_t s = 0; s < stripCount_; ++s) {
        const SubMesh& subMesh = geometry_.list->subMeshes[s];
        if (!WriteWords(stream, subMesh.indices, strips_[s].indexCount) ||
            !WriteWords(stream, strips_[s].first, frameCount_) || !WriteWords(stream, strips_[s].end, frameCount_))
            return 1;
    }
    return 0;
}
