// Opening packs and reading their entries from an archive or a folder.
#include "dialer/pack/ZipPackReader.h"

#include "dialer/pack/PackBitmap.h"
#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/base/WideString.h"
#include "platform/fs/FileOperations.h"
#include "platform/fs/Files.h"

namespace {

// A name that climbs out of the pack's folder ("..", as a whole path component) is no
// entry of the pack.
bool LeavesFolder(const std::u16string& name) {
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find_first_of(u"\\/", start);
        if (end == std::u16string::npos) end = name.size();
        if (name.compare(start, end - start, u"..") == 0) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

CZipPackReader::CZipPackReader(LPCWSTR path) : m_path(path != nullptr ? path : u"") {}

CZipPackReader::CZipPackReader(const CSharedBuffer& archive) : m_memory(archive) {}

bool CZipPackReader::Open() {
    CloseArchive();
    if (m_memory) {
        m_open = m_zip.OpenMemory(m_memory);
        return m_open;
    }
    if (m_path.empty() || m_path.size() > kMaxPathChars) return false;
    const DWORD attributes = GetFileAttributesW(m_path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        m_folderMode = true;
        if (m_path.back() != u'\\') m_path += u'\\';
        m_open = true;
        return true;
    }
    m_open = m_zip.OpenFile(m_path.c_str());
    return m_open;
}

void CZipPackReader::Close() { CloseArchive(); }

void CZipPackReader::CloseArchive() {
    m_zip.Close();
    m_open = false;
}

CSharedBuffer CZipPackReader::ReadEntry(LPCWSTR name) {
    if (!m_open || name == nullptr || *name == 0 || wcsnlen(name, kMaxPathChars + 1) > kMaxPathChars) return {};
    return m_folderMode ? ReadFolderEntry(name) : m_zip.ReadEntry(name);
}

CSharedBuffer CZipPackReader::ReadFolderEntry(LPCWSTR name) const {
    const std::u16string entryName = name;
    if (LeavesFolder(entryName)) return {};
    const std::u16string path = m_path + entryName;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    CSharedBuffer content;
    DWORD high = 0;
    const DWORD size = GetFileSize(file, &high);
    const bool sizeKnown = !(size == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS);
    if (sizeKnown && high == 0 && size > 0 && size <= CZipArchive::kMaxEntryBytes) {
        content = MakeSharedArray<BYTE>(size);
        DWORD read = 0;
        // One read that must return every byte.
        if (content && !(ReadFile(file, content.Data(), size, &read, nullptr) && read == size)) content = {};
    }
    CloseHandle(file);
    return content;
}

CSharedSurface CZipPackReader::LoadBitmap(LPCWSTR name) { return LoadPackBitmap(ReadEntry(name)); }
