// CZipPackReader: the archive behind a resource pack. A pack is a zip archive (the skin
// packs, encrypted with the pack password) or, for development, a folder whose files are
// the entries; either way entries are read by name as raw bytes or as bitmaps.
#pragma once

#include <string>

#include "dialer/foundation/RefCounted.h"
#include "dialer/foundation/SharedBuffer.h"
#include "dialer/pack/ZipArchive.h"
#include "dialer/surface/DibSurface.h"
#include "platform/base/Types.h"

class CZipPackReader : public CRefCounted {
public:
    // Paths and entry names are at most this many characters.
    static constexpr std::size_t kMaxPathChars = MAX_PATH;

    // A pack at a handset path: a zip file or a folder.
    explicit CZipPackReader(LPCWSTR path);
    // A zip archive held in memory.
    explicit CZipPackReader(const CSharedBuffer& archive);

    // Opens the archive, or switches to folder mode when the path names a folder. False for
    // an empty or too long path and for a file that is not a zip archive.
    virtual bool Open();
    virtual void Close();
    // The entry's bytes; empty for a missing, empty, damaged or unreadable entry, and
    // before Open.
    virtual CSharedBuffer ReadEntry(LPCWSTR name);
    // The entry as a surface (LoadPackBitmap); empty when it is not a usable bitmap.
    virtual CSharedSurface LoadBitmap(LPCWSTR name);

    bool IsOpen() const { return m_open; }
    bool IsFolder() const { return m_folderMode; }

private:
    void CloseArchive();
    CSharedBuffer ReadFolderEntry(LPCWSTR name) const;

    std::u16string m_path;
    CSharedBuffer m_memory;  // the archive bytes of a pack held in memory
    CZipArchive m_zip;
    bool m_folderMode = false;
    bool m_open = false;
};
