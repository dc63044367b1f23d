// FileStream: opening, closing, block reads and writes, seeking.
#include "engine/core/files/FileStream.h"

#include <cstring>

#include "engine/core/files/ArchiveFileSystem.h"
#include "engine/core/files/DataFolder.h"
#include "engine/core/memory/EngineLog.h"
#include "platform/fs/FileStreams.h"

namespace {

char lastOpenedFileName[kStreamPathCapacity];

void RememberPath(const char* path) {
    const std::size_t length = strnlen(path, sizeof lastOpenedFileName - 1);
    std::memcpy(lastOpenedFileName, path, length);
    lastOpenedFileName[length] = 0;
}

// The path itself, or the data folder in front of it; false when it does not fit.
bool FullPath(const char* path, DWORD flags, char (&full)[kStreamPathCapacity]) {
    const char* folder = (flags & kStreamAbsolutePath) != 0 ? "" : DataFolder();
    const std::size_t folderLength = std::strlen(folder);
    const std::size_t pathLength = std::strlen(path);
    if (folderLength + pathLength >= kStreamPathCapacity) return false;
    std::memcpy(full, folder, folderLength);
    std::memcpy(full + folderLength, path, pathLength + 1);
    return true;
}

// The length of an open file, or -1 when it cannot be told.
long FileLength(FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long length = std::ftell(file);
    if (std::fseek(file, 0, SEEK_SET) != 0) return -1;
    return length;
}

}  // namespace

const char* LastOpenedFileName() { return lastOpenedFileName; }

FileStream::~FileStream() { Close(); }

void FileStream::FreeImage() {
    EngineFree(buffer_);
    buffer_ = nullptr;
}

int FileStream::Open(const char* path, DWORD flags) {
    Close();
    base_ = 0;
    position_ = 0;
    size_ = 0;
    // Only the archive file system makes archive images; a caller's 0x4000 means nothing.
    flags &= ~kStreamArchiveImage;
    flags_ = flags;
    if (path == nullptr) {
        flags_ |= kStreamEnd;
        return 0;
    }
    char full[kStreamPathCapacity];
    if ((flags & kStreamWrite) != 0) {
        if (FullPath(path, flags, full)) file_ = platform::OpenHandsetStream(full, "wb");
    } else {
        ArchiveEntryImage image;
        const ArchiveOpenResult inArchive = OpenInArchive(path, image);
        if (inArchive == ArchiveOpenResult::Found) AttachImage(image.buffer, image.size, image.base);
        if (inArchive == ArchiveOpenResult::Unreadable) {
            flags_ = flags | kStreamEnd;
            return 0;
        }
        if (inArchive == ArchiveOpenResult::NotFound && FullPath(path, flags, full)) {
            file_ = platform::OpenHandsetStream(full, "rb");
            if (file_ != nullptr) {
                const long length = FileLength(file_);
                // The stream's sizes are 32-bit: a larger file cannot be read through it.
                if (length < 0 || static_cast<unsigned long>(length) > 0xFFFFFFFFul) {
                    KEL_LOG_EXCEPTION("%s: the file's length cannot be read or is 4 GB or more.", full);
                    std::fclose(file_);
                    file_ = nullptr;
                } else {
                    size_ = static_cast<DWORD>(length);
                }
            }
        }
        if (inArchive == ArchiveOpenResult::NotFound && file_ == nullptr) {
            flags_ = flags | kStreamEnd;
            return 0;
        }
    }
    if ((flags & kStreamWrite) != 0 && file_ == nullptr) {
        flags_ = flags | kStreamEnd;
        return 0;
    }
    RememberPath(path);
    if ((flags_ & kStreamReadWhole) != 0 && (flags_ & kStreamArchiveImage) == 0 && (flags & kStreamWrite) == 0 &&
        size_ > 0) {
        buffer_ = static_cast<BYTE*>(EngineAlloc(size_));
        if (buffer_ == nullptr) {
            // Without the image every read would see no data: the open fails instead.
            Close();
            return 0;
        }
        const auto read = static_cast<DWORD>(std::fread(buffer_, 1, size_, file_));
        if (read != size_) {
            // The image ends where the file's data ended; its unread rest is never handed out.
            flags_ |= kStreamEnd;
            size_ = read;
        }
    }
    return 1;
}

void FileStream::Close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    flags_ |= kStreamEnd;
    FreeImage();
    size_ = 0;
    position_ = 0;
}

void FileStream::AttachImage(void* buffer, DWORD size, DWORD base) {
    FreeImage();
    buffer_ = static_cast<BYTE*>(buffer);
    size_ = buffer_ != nullptr ? size : 0;
    base_ = base;
    position_ = 0;
    flags_ |= kStreamArchiveImage;
}

DWORD FileStream::Read(void* buffer, DWORD n) {
    if (IsMemory()) {
        // Written so that position + n cannot wrap around.
        if (n > size_ || position_ > size_ - n || buffer_ == nullptr) return 0;
        if (n > 0) std::memcpy(buffer, buffer_ + position_, n);
        position_ += n;
        return n;
    }
    if (file_ == nullptr) return 0;
    return static_cast<DWORD>(std::fread(buffer, 1, n, file_));
}

DWORD FileStream::Write(const void* buffer, DWORD n) {
    if (IsMemory() || file_ == nullptr) return 0;
    return static_cast<DWORD>(std::fwrite(buffer, 1, n, file_));
}

void FileStream::WriteString(const char* text) {
    if (text == nullptr) return;
    Write(text, static_cast<DWORD>(std::strlen(text)));
}

void FileStream::WriteVector3(const Vector3& vector) {
    BYTE bytes[12];
    const float values[3] = {vector.x, vector.y, vector.z};
    for (int i = 0; i < 3; ++i) {
        std::uint32_t bits;
        std::memcpy(&bits, &values[i], sizeof bits);
        for (int b = 0; b < 4; ++b) bytes[i * 4 + b] = static_cast<BYTE>(bits >> (8 * b));
    }
    Write(bytes, sizeof bytes);
}

void FileStream::Flush() {
    if (!IsMemory() && file_ != nullptr) std::fflush(file_);
}

void FileStream::Seek(LONG offset, int origin) {
    const auto delta = static_cast<DWORD>(offset);  // positions wrap as the stream's 32-bit words do
    if (IsMemory()) {
        if (origin == 0) position_ = delta;
        else if (origin == 1) position_ += delta;
        else position_ = size_ + delta;
        return;
    }
    if (file_ == nullptr) return;
    if (origin == 0) std::fseek(file_, static_cast<long>(base_) + offset, SEEK_SET);
    else if (origin == 1) std::fseek(file_, offset, SEEK_CUR);
    else std::fseek(file_, static_cast<long>(base_) + static_cast<long>(size_) + offset, SEEK_SET);
}

DWORD FileStream::Tell() const {
    if (IsMemory()) return position_;
    if (file_ == nullptr) return 0;
    const long at = std::ftell(file_);
    if (at < 0) return 0;
    return static_cast<DWORD>(at - static_cast<long>(base_));
}

bool StreamRead4(FileStream& stream, void* buffer) { return stream.Read(buffer, 4) == 4; }

bool StreamWrite4(FileStream& stream, DWORD value) {
    if (stream.IsMemory()) return false;
    const BYTE bytes[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
                           static_cast<BYTE>(value >> 24)};
    return stream.Write(bytes, 4) == 4;
}
