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
    // Entries larger than this are refused.
    static constexpr ULONGLONG kMaxEntryBytes = 256ull * 1024 * 1024;
    // Entry names are at most this many characters.
    static constexpr std::size_t kMaxNameChars = MAX_PATH;

    CZipArchive();
    CZipArchive(const CZipArchive&) = delete;
    CZipArchive& operator=(const CZipArchive&) = delete;
    ~CZipArchive();

    // Closes what is open, then opens the archive; false when it is missing or is not a zip
    // archive.
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
