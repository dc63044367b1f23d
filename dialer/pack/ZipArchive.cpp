// Reading skin-pack entries: minizip finds an entry and hands over its stored bytes
// untouched; decryption, inflation and the CRC check are done here.
#include "dialer/pack/ZipArchive.h"

#include <minizip/unzip.h>
#include <zlib.h>

#include <algorithm>
#include <string>

#include "dialer/pack/PackCipher.h"
#include "platform/base/CodePage.h"
#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/base/WideString.h"
#include "platform/fs/Files.h"

// ---------------------------------------------------------------------------------------
// Sources: what the file-function table reads from
// ---------------------------------------------------------------------------------------
class CZipSource {
public:
    virtual ~CZipSource() = default;
    // name: the UTF-8 path handed to minizip's open call.
    virtual bool Open(const char* name) = 0;
    virtual ULONG Read(void* buffer, ULONG size) = 0;
    virtual ULONGLONG Size() const = 0;
    virtual void Close() {}

    ULONGLONG Tell() const { return m_position; }
    bool Seek(ULONGLONG offset, int origin) {
        ULONGLONG base = 0;
        if (origin == ZLIB_FILEFUNC_SEEK_CUR)
            base = m_position;
        else if (origin == ZLIB_FILEFUNC_SEEK_END)
            base = Size();
        else if (origin != ZLIB_FILEFUNC_SEEK_SET)
            return false;
        if (offset > kMaxPosition || base > kMaxPosition - offset) return false;
        m_position = base + offset;
        return true;
    }

protected:
    static constexpr ULONGLONG kMaxPosition = 1ull << 62;
    ULONGLONG m_position = 0;
};

namespace {

class CFileSource : public CZipSource {
public:
    ~CFileSource() override { Close(); }

    bool Open(const char* name) override {
        Close();
        const std::u16string path = platform::Utf8ToUtf16(name);
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        DWORD high = 0;
        const DWORD low = GetFileSize(file, &high);
        if (low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) {
            CloseHandle(file);
            return false;
        }
        m_file = file;
        m_size = static_cast<ULONGLONG>(high) << 32 | low;
        m_position = 0;
        return true;
    }
    ULONG Read(void* buffer, ULONG size) override {
        if (m_file == INVALID_HANDLE_VALUE || m_position >= m_size) return 0;
        LONG high = static_cast<LONG>(m_position >> 32);
        SetLastError(ERROR_SUCCESS);
        const DWORD low = SetFilePointer(m_file, static_cast<LONG>(m_position & 0xFFFFFFFFu), &high, FILE_BEGIN);
        if (low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS) return 0;
        DWORD read = 0;
        if (!ReadFile(m_file, buffer, size, &read, nullptr)) return 0;
        m_position += read;
        return read;
    }
    ULONGLONG Size() const override { return m_size; }
    void Close() override {
        if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_file = INVALID_HANDLE_VALUE;
    ULONGLONG m_size = 0;
};

class CMemorySource : public CZipSource {
public:
    explicit CMemorySource(const CSharedBuffer& bytes) : m_bytes(bytes) {}

    bool Open(const char*) override {
        m_position = 0;
        return static_cast<bool>(m_bytes);
    }
    ULONG Read(void* buffer, ULONG size) override {
        if (m_position >= m_bytes.bytes) return 0;
        const ULONGLONG count = std::min<ULONGLONG>(size, m_bytes.bytes - m_position);
        std::copy_n(m_bytes.Data() + m_position, count, static_cast<BYTE*>(buffer));
        m_position += count;
        return static_cast<ULONG>(count);
    }
    ULONGLONG Size() const override { return m_bytes.bytes; }

private:
    CSharedBuffer m_bytes;
};

// The file-function table: the opaque pointer is the source, which is also the stream.
CZipSource* SourceOf(voidpf opaque) { return static_cast<CZipSource*>(opaque); }

voidpf ZCALLBACK SourceOpen(voidpf opaque, const void* name, int mode) {
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
    return SourceOf(opaque)->Open(static_cast<const char*>(name)) ? opaque : nullptr;
}
uLong ZCALLBACK SourceRead(voidpf opaque, voidpf, void* buffer, uLong size) {
    return SourceOf(opaque)->Read(buffer, static_cast<ULONG>(std::min<uLong>(size, 0x7FFFFFFF)));
}
uLong ZCALLBACK SourceWrite(voidpf, voidpf, const void*, uLong) { return 0; }
ZPOS64_T ZCALLBACK SourceTell(voidpf opaque, voidpf) { return SourceOf(opaque)->Tell(); }
long ZCALLBACK SourceSeek(voidpf opaque, voidpf, ZPOS64_T offset, int origin) {
    return SourceOf(opaque)->Seek(offset, origin) ? 0 : -1;
}
int ZCALLBACK SourceClose(voidpf opaque, voidpf) {
    SourceOf(opaque)->Close();
    return 0;
}
int ZCALLBACK SourceError(voidpf, voidpf) { return 0; }

constexpr uLong kFlagEncrypted = 0x0001;
constexpr uLong kFlagDataDescriptor = 0x0008;
constexpr uLong kMethodStored = 0;
constexpr uLong kMethodDeflated = Z_DEFLATED;
// Deflate cannot expand its input by more than this factor (plus a block's worth).
constexpr ULONGLONG kMaxDeflateRatio = 1032;
// Nor does it grow what it cannot shrink by more than a few bytes per stored block of 64 KB;
// a stream far longer than its output is padding.
constexpr ULONGLONG kMaxDeflateGrowth = 256;
constexpr ULONG kReadChunk = 10240;

// The name in the ANSI page, as the archive stores it; false when a character has no place
// in that page (no entry can carry such a name).
bool ToArchiveName(LPCWSTR name, std::string* out) {
    const std::size_t length = wcsnlen(name, CZipArchive::kMaxNameChars + 1);
    if (length == 0 || length > CZipArchive::kMaxNameChars) return false;
    char bytes[CZipArchive::kMaxNameChars * 2 + 1];
    BOOL usedDefault = FALSE;
    const int written = WideCharToMultiByte(CP_ACP, 0, name, static_cast<int>(length), bytes,
                                            static_cast<int>(sizeof bytes - 1), nullptr, &usedDefault);
    if (written <= 0 || usedDefault) return false;
    out->assign(bytes, static_cast<std::size_t>(written));
    return out->find('\0') == std::string::npos;
}

// The sizes the directory declares for the entries that could be read, added up; false once
// the sum passes what a pack may inflate to. A directory that breaks off is counted up to
// the break: no lookup reaches the entries behind it.
bool DeclaredSizesFit(unzFile zip) {
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(zip, &global) != UNZ_OK) return false;
    ULONGLONG total = 0;
    for (ZPOS64_T i = 0; i < global.number_entry; ++i) {
        if ((i == 0 ? unzGoToFirstFile(zip) : unzGoToNextFile(zip)) != UNZ_OK) break;
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) break;
        if (info.uncompressed_size > CZipArchive::kMaxEntryBytes) continue;  // refused when asked for
        total += info.uncompressed_size;
        if (total > CZipArchive::kMaxPackBytes) return false;
    }
    return true;
}

bool Inflate(const BYTE* input, ULONGLONG inputSize, BYTE* output, ULONGLONG outputSize) {
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return false;
    stream.next_in = const_cast<Bytef*>(input);
    stream.avail_in = static_cast<uInt>(inputSize);
    stream.next_out = output;
    stream.avail_out = static_cast<uInt>(outputSize);
    int result = Z_OK;
    while (result == Z_OK) result = inflate(&stream, Z_FINISH);
    const bool complete = result == Z_STREAM_END && stream.total_out == outputSize;
    inflateEnd(&stream);
    return complete;
}

}  // namespace

CZipArchive::CZipArchive() = default;

CZipArchive::~CZipArchive() { Close(); }

bool CZipArchive::OpenSource(std::unique_ptr<CZipSource> source, const char* path) {
    Close();
    zlib_filefunc64_def functions{};
    functions.zopen64_file = SourceOpen;
    functions.zread_file = SourceRead;
    functions.zwrite_file = SourceWrite;
    functions.ztell64_file = SourceTell;
    functions.zseek64_file = SourceSeek;
    functions.zclose_file = SourceClose;
    functions.zerror_file = SourceError;
    functions.opaque = source.get();
    unzFile zip = unzOpen2_64(path, &functions);
    if (zip == nullptr) return false;
    if (!DeclaredSizesFit(zip)) {
        unzClose(zip);
        return false;
    }
    m_source = std::move(source);
    m_zip = zip;
    return true;
}

bool CZipArchive::OpenFile(LPCWSTR path) {
    if (path == nullptr || *path == 0) return false;
    // The path reaches only our own open function, so it travels in UTF-8, which keeps
    // every character of it.
    const std::string name = platform::Utf16ToUtf8(path);
    return OpenSource(std::make_unique<CFileSource>(), name.c_str());
}

bool CZipArchive::OpenMemory(const CSharedBuffer& bytes) {
    if (!bytes) return false;
    return OpenSource(std::make_unique<CMemorySource>(bytes), "");
}

void CZipArchive::Close() {
    if (m_zip != nullptr) unzClose(static_cast<unzFile>(m_zip));
    m_zip = nullptr;
    m_source.reset();
}

CSharedBuffer CZipArchive::ReadEntry(LPCWSTR name) {
    unzFile zip = static_cast<unzFile>(m_zip);
    std::string archiveName;
    if (zip == nullptr || name == nullptr || !ToArchiveName(name, &archiveName)) return {};
    // Case-insensitive, as names are on the handset.
    if (unzLocateFile(zip, archiveName.c_str(), 2) != UNZ_OK) return {};
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) return {};

    const bool encrypted = (info.flag & kFlagEncrypted) != 0;
    const ULONGLONG stored = info.compressed_size;
    const ULONGLONG size = info.uncompressed_size;
    if (info.compression_method != kMethodStored && info.compression_method != kMethodDeflated) return {};
    // Every size is checked before anything is allocated for the entry.
    if (size == 0 || size > kMaxEntryBytes || stored > m_source->Size()) return {};
    if (encrypted && stored < kPackEncryptionHeaderBytes) return {};
    const ULONGLONG payload = stored - (encrypted ? kPackEncryptionHeaderBytes : 0);
    if (info.compression_method == kMethodStored && payload != size) return {};
    if (info.compression_method == kMethodDeflated &&
        (size > payload * kMaxDeflateRatio + kReadChunk || payload > size + size / kMaxDeflateGrowth + kReadChunk))
        return {};

    // The bytes as stored: minizip neither decrypts nor inflates in raw mode.
    CSharedBuffer raw = MakeSharedArray<BYTE>(static_cast<std::size_t>(std::max<ULONGLONG>(stored, 1)));
    if (!raw) return {};
    int method = 0;
    int level = 0;
    if (unzOpenCurrentFile2(zip, &method, &level, 1) != UNZ_OK) return {};
    ULONGLONG got = 0;
    bool failed = false;
    while (got < stored) {
        const ULONG chunk = static_cast<ULONG>(std::min<ULONGLONG>(kReadChunk, stored - got));
        const int read = unzReadCurrentFile(zip, raw.Data() + got, chunk);
        if (read < 0) failed = true;
        if (read <= 0) break;
        got += static_cast<ULONGLONG>(read);
    }
    unzCloseCurrentFile(zip);
    if (failed || got != stored) return {};

    BYTE* data = raw.Data();
    if (encrypted) {
        char password[kPackPasswordChars + 1];
        BuildPackPassword(password);
        CPackCipher cipher(password);
        cipher.Decrypt(data, stored);
        // The check byte: the CRC's high byte, or the time's when the sizes follow the data.
        const BYTE check = (info.flag & kFlagDataDescriptor) != 0 ? static_cast<BYTE>(info.dosDate >> 8)
                                                                  : static_cast<BYTE>(info.crc >> 24);
        if (data[kPackEncryptionHeaderBytes - 1] != check) return {};
        data += kPackEncryptionHeaderBytes;
    }

    CSharedBuffer content = MakeSharedArray<BYTE>(static_cast<std::size_t>(size));
    if (!content) return {};
    if (info.compression_method == kMethodStored)
        std::copy_n(data, size, content.Data());
    else if (!Inflate(data, payload, content.Data(), size))
        return {};
    if (crc32(0, content.Data(), static_cast<uInt>(size)) != info.crc) return {};
    return content;
}
