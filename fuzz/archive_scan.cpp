// An archive held in memory: the header walk merges its entries into the directory tree and
// each entry is looked up and extracted through the zip layer over the same image.
#include <cstddef>
#include <cstdint>

#include "engine/core/files/ArchiveDirectory.h"
#include "engine/core/files/ArchiveScan.h"
#include "engine/core/files/ZipArchive.h"
#include "engine/core/text/EngineString.h"

namespace {
void AddAndExtract(const ArchiveHeaderEntry& entry, void* context) {
    ArchiveAddFile(entry.name, {entry.dataOffset, entry.nameOffset, entry.uncompressedSize, entry.compressedSize,
                                "fuzz.par", entry.entryIndex, 0});
    const DWORD size = entry.uncompressedSize < (1u << 20) ? entry.uncompressedSize : (1u << 20);
    void* buffer = EngineAlloc(size);
    const ZipEntryPlace place{entry.nameOffset, entry.dataOffset};
    DWORD extracted = 0;
    if (FindArchiveFile(entry.name) != nullptr && (buffer != nullptr || size == 0))
        ZipExtractEntry(static_cast<ZipArchive*>(context), entry.entryIndex, buffer, size, &extracted, &place);
    EngineFree(buffer);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    if (!ready || size > 0xFFFFFFFFu) return 0;
    ZipArchive* zip = ZipOpenArchiveImage(data, static_cast<DWORD>(size));
    MemoryByteSource source(data, size);
    ScanLocalHeaders(source, AddAndExtract, zip);
    KDLList names;
    ListArchiveFolder("", nullptr, names, kListSorted);
    ListDeleteAll(names, EngineString::DeleteItem);
    ZipCloseArchive(zip);
    ArchiveRoot().Clear();
    return 0;
}
