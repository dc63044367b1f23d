// The archive I/O record over file handles and memory images.
#include "engine/core/files/ZipSource.h"

#include <cstring>

#include "engine/core/files/ZipArchive.h"
#include "engine/core/memory/EngineMemory.h"
#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/fs/Files.h"

namespace {

// The handle's current position, or false when it cannot be told.
bool CurrentPosition(HANDLE file, std::uint64_t& position) {
    LONG high = 0;
    SetLastError(ERROR_SUCCESS);
    const DWORD low = SetFilePointer(file, 0, &high, FILE_CURRENT);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS) return false;
    position = (std::uint64_t{static_cast<DWORD>(high)} << 32) | low;
    return true;
}

bool MoveTo(HANDLE file, std::int64_t distance, DWORD method) {
    LONG high = static_cast<LONG>(distance >> 32);
    SetLastError(ERROR_SUCCESS);
    const DWORD low = SetFilePointer(file, static_cast<LONG>(static_cast<std::uint32_t>(distance)), &high, method);
    return !(low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS);
}

// Positions in a memory image stop at 0xFFFFFFFF; a read there finds nothing left.
DWORD Saturated(std::uint64_t value) { return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(value); }

}  // namespace

ZipSource* ZipIoOpen(const void* source, DWORD length, DWORD mode, DWORD* result) {
    DWORD ignored = 0;
    if (result == nullptr) result = &ignored;
    if ((mode != kZipSourceHandle && mode != kZipSourcePath && mode != kZipSourceMemory) || source == nullptr) {
        *result = kZipBadArguments;
        return nullptr;
    }
    HANDLE file = nullptr;
    if (mode == kZipSourcePath) {
        file = CreateFileW(static_cast<LPCWSTR>(source), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            *result = kZipCannotOpen;
            return nullptr;
        }
    } else if (mode == kZipSourceHandle) {
        file = const_cast<HANDLE>(source);
    }
    auto* record = static_cast<ZipSource*>(EngineAlloc(sizeof(ZipSource)));
    if (record == nullptr) {
        if (mode == kZipSourcePath) CloseHandle(file);
        *result = kZipCannotOpen;
        return nullptr;
    }
    std::memset(record, 0, sizeof *record);
    if (mode == kZipSourceMemory) {
        record->isHandle = 0;
        record->seekable = 1;
        record->image = static_cast<const BYTE*>(source);
        record->imageLength = length;
    } else {
        std::uint64_t position = 0;
        record->isHandle = 1;
        record->file = file;
        record->seekable = CurrentPosition(file, position) && position <= 0xFFFFFFFFu ? 1 : 0;
        record->initialOffset = record->seekable ? static_cast<DWORD>(position) : 0;
        record->closeOnRelease = mode == kZipSourcePath ? 1 : 0;
    }
    *result = kZipOk;
    return record;
}

DWORD ZipIoRead(void* buffer, DWORD size, DWORD count, ZipSource* source) {
    if (source == nullptr || size == 0) return 0;
    const std::uint64_t wanted = std::uint64_t{size} * count;
    if (!source->isHandle) {
        if (source->position >= source->imageLength) return 0;
        const std::uint64_t left = source->imageLength - source->position;
        const auto copied = static_cast<DWORD>(wanted < left ? wanted : left);
        std::memcpy(buffer, source->image + source->position, copied);
        source->position += copied;
        return copied / size;
    }
    const DWORD asked = Saturated(wanted);
    DWORD read = 0;
    if (!ReadFile(source->file, buffer, asked, &read, nullptr)) source->error = 1;
    return read / size;
}

long ZipIoSeek(ZipSource* source, std::uint64_t offset, int origin) {
    if (source == nullptr) return -1;
    if (!source->isHandle) {
        if (origin == kZipSeekSet) source->position = Saturated(offset);
        else if (origin == kZipSeekCurrent) source->position = Saturated(source->position + offset);
        else if (origin == kZipSeekEnd) source->position = Saturated(std::uint64_t{source->imageLength} + offset);
        return 0;
    }
    if (!source->seekable) return kZipSeekUnseekable;
    bool moved = false;
    if (origin == kZipSeekSet) moved = MoveTo(source->file, static_cast<std::int64_t>(source->initialOffset + offset), FILE_BEGIN);
    else if (origin == kZipSeekCurrent) moved = MoveTo(source->file, static_cast<std::int64_t>(offset), FILE_CURRENT);
    else if (origin == kZipSeekEnd) moved = MoveTo(source->file, static_cast<std::int64_t>(offset), FILE_END);
    else return kZipSeekBadOrigin;
    return moved ? 0 : -1;
}

std::uint64_t ZipIoTell(ZipSource* source) {
    if (source == nullptr) return 0;
    if (!source->isHandle) return source->position;
    std::uint64_t position = 0;
    if (!source->seekable || !CurrentPosition(source->file, position)) return 0;
    return position - source->initialOffset;
}

int ZipIoClose(ZipSource* source) {
    if (source == nullptr) return -1;
    if (source->isHandle && source->closeOnRelease) CloseHandle(source->file);
    EngineFree(source);
    return 0;
}

void* ZipAlloc(void* opaque, unsigned count, unsigned size) {
    (void)opaque;
    const std::uint64_t bytes = std::uint64_t{count} * size;
    if (bytes == 0 || bytes > kMaximumEngineAllocation) return nullptr;
    void* block = EngineAlloc(static_cast<std::size_t>(bytes));
    if (block != nullptr) std::memset(block, 0, static_cast<std::size_t>(bytes));
    return block;
}
