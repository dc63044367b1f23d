// One zip archive of a skin pack, read with minizip over the platform's files or over
// bytes in memory. Entries are found by name without case, decrypted with the pack
// password when they are encrypted, inflated with zlib and checked against their CRC.
#pragma once

#include <memory>

#include "dialer/foundation/SharedBuffer.h"
#include "platform/base/Types.h"

class CZipSource;

class CZipArchive {
public:
    // What a pack may inflate to. The largest file a skin holds is a screen-sized bitmap: 480
    // x 800 pixels at 24 bits are 1,152,054 bytes as a BMP file; layouts and indexes are tens
    // of KB. An entry may be 8 MB, seven times that. A pack holds one skin's layouts, images
    // and masks, a few dozen screen-sized bitmaps at the most: its entries may together
    // declare 64 MB. A few hundred KB of deflate can claim gigabytes, so what a pack declares
    // beyond this is refused before anything is allocated for it.
    static constexpr ULONGLONG kMaxEntryBytes = 8ull * 1024 * 1024;
    static constexpr ULONGLONG kMaxPackBytes = 64ull * 1024 * 1024;
    // Entry names are at most this many characters.
    static constexpr std::size_t kMaxNameChars = MAX_PATH;

    CZipArchive();
    CZipArchive(const CZipArchive&) = delete;
    CZipArchive& operator=(const CZipArchive&) = delete;
    ~CZipArchive();

    // Closes what is open, then opens the archive; false when it is missing, is not a zip
    // archive, or its entries declare more than kMaxPackBytes (entries beyond kMaxEntryBytes,
    // which are never read, not counted).
    bool OpenFile(LPCWSTR path);
    bool OpenMemory(const CSharedBuffer& bytes);
    void Close();
    bool IsOpen() const { return m_zip != nullptr; }

    // The entry's content; empty when the entry is missing, empty, damaged, too large, or
    // encrypted with another password.
    CSharedBuffer ReadEntry(LPCWSTR name);

private:
    bool OpenSource(std::unique_ptr<CZipSource> source, const char* path);

    std::unique_ptr<CZipSource> m_source;
    void* m_zip = nullptr;  // minizip's unzFile
};
