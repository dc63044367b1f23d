// File mappings over mmap: a mapping holds a file descriptor (the file's, or a memfd for
// page-file memory) and its size; views are mmap regions that keep their mapping alive.
#include "platform/fs/FileMapping.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>

#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/fs/FileObject.h"
#include "platform/fs/FsSupport.h"

using platform::fs::FileObject;

namespace {

class MappingObject : public platform::KernelObject {
public:
    // Over a file: holds a handle reference so that the file stays open.
    MappingObject(FileObject* file, std::uint64_t size, DWORD protect)
        : file_(file), descriptor_(file->Descriptor()), size_(size), protect_(protect) {
        file_->AddHandleRef();
        file_->AddMapping();
    }
    // Over page-file memory: owns the memfd.
    MappingObject(int memoryDescriptor, std::uint64_t size)
        : file_(nullptr), descriptor_(memoryDescriptor), size_(size), protect_(PAGE_READWRITE) {}

    ~MappingObject() override {
        if (file_) {
            file_->RemoveMapping();
            file_->ReleaseHandleRef();
        } else {
            close(descriptor_);
        }
    }

    int Descriptor() const { return descriptor_; }
    std::uint64_t Size() const { return size_; }
    DWORD Protect() const { return protect_; }
    bool IsFile() const { return file_ != nullptr; }

private:
    FileObject* file_;
    int descriptor_;
    std::uint64_t size_;
    DWORD protect_;
};

struct View {
    std::size_t length;
    MappingObject* mapping;
};

struct ViewTable {
    std::mutex lock;
    std::map<const void*, View> views;
};

ViewTable& Views() {
    // Never destroyed: views may be unmapped by static destructors of other areas.
    static ViewTable* table = new ViewTable;
    return *table;
}

HANDLE FailHandle(DWORD error) {
    SetLastError(error);
    return nullptr;
}

LPVOID FailView(DWORD error) {
    SetLastError(error);
    return nullptr;
}

HANDLE CreatePageFileMapping(std::uint64_t size) {
    if (size == 0) return FailHandle(ERROR_INVALID_PARAMETER);
    int descriptor = memfd_create("handset-mapping", MFD_CLOEXEC);
    if (descriptor < 0) return FailHandle(ERROR_NOT_ENOUGH_MEMORY);
    if (size > static_cast<std::uint64_t>(INT64_MAX) || ftruncate(descriptor, static_cast<off_t>(size)) != 0) {
        close(descriptor);
        return FailHandle(ERROR_NOT_ENOUGH_MEMORY);
    }
    HANDLE handle = platform::RegisterKernelObject(new MappingObject(descriptor, size));
    SetLastError(ERROR_SUCCESS);
    return handle;
}

HANDLE CreateFileBackedMapping(FileObject* file, DWORD protect, std::uint64_t size) {
    bool writable = protect == PAGE_READWRITE;
    if (!file->CanRead() || (writable && !file->CanWrite())) return FailHandle(ERROR_ACCESS_DENIED);
    struct stat info;
    if (fstat(file->Descriptor(), &info) != 0) return FailHandle(ERROR_INVALID_HANDLE);
    auto fileSize = static_cast<std::uint64_t>(info.st_size);
    if (size == 0) {
        if (fileSize == 0) return FailHandle(ERROR_FILE_INVALID);
        size = fileSize;
    } else if (size > fileSize) {
        // Only a writable mapping may grow its file; a read-only one cannot reach past it.
        if (!writable) return FailHandle(ERROR_NOT_ENOUGH_MEMORY);
        if (size > static_cast<std::uint64_t>(INT64_MAX) || ftruncate(file->Descriptor(), static_cast<off_t>(size)) != 0)
            return FailHandle(ERROR_DISK_FULL);
    }
    HANDLE handle = platform::RegisterKernelObject(new MappingObject(file, size, protect));
    SetLastError(ERROR_SUCCESS);
    return handle;
}

}  // namespace

HANDLE CreateFileForMappingW(LPCWSTR fileName, DWORD desiredAccess, DWORD shareMode,
                             LPSECURITY_ATTRIBUTES security, DWORD creationDisposition, DWORD flagsAndAttributes,
                             HANDLE templateFile) {
    return CreateFileW(fileName, desiredAccess, shareMode, security, creationDisposition, flagsAndAttributes,
                       templateFile);
}

HANDLE CreateFileMappingW(HANDLE file, LPSECURITY_ATTRIBUTES security, DWORD protect, DWORD maximumSizeHigh,
                          DWORD maximumSizeLow, LPCWSTR name) {
    UNREFERENCED_PARAMETER(security);  // the handset has no object security
    if (name) return FailHandle(ERROR_NOT_SUPPORTED);
    if (protect != PAGE_READONLY && protect != PAGE_READWRITE && protect != PAGE_WRITECOPY)
        return FailHandle(ERROR_INVALID_PARAMETER);
    std::uint64_t size = (static_cast<std::uint64_t>(maximumSizeHigh) << 32) | maximumSizeLow;
    if (file == INVALID_HANDLE_VALUE) return CreatePageFileMapping(size);
    auto* object = platform::KernelObjectAs<FileObject>(file);
    if (!object) return FailHandle(ERROR_INVALID_HANDLE);
    return CreateFileBackedMapping(object, protect, size);
}

LPVOID MapViewOfFile(HANDLE fileMappingObject, DWORD desiredAccess, DWORD fileOffsetHigh, DWORD fileOffsetLow,
                     SIZE_T numberOfBytesToMap) {
    auto* mapping = platform::KernelObjectAs<MappingObject>(fileMappingObject);
    if (!mapping) return FailView(ERROR_INVALID_HANDLE);
    if (desiredAccess == 0 || (desiredAccess & ~FILE_MAP_ALL_ACCESS) != 0) return FailView(ERROR_INVALID_PARAMETER);
    bool wantsWrite = (desiredAccess & FILE_MAP_WRITE) != 0;
    bool copyOnWrite = (desiredAccess & FILE_MAP_COPY) != 0 && !wantsWrite;
    if (wantsWrite && mapping->Protect() == PAGE_READONLY) return FailView(ERROR_ACCESS_DENIED);
    // Writes to a PAGE_WRITECOPY mapping stay private to the view.
    if (wantsWrite && mapping->Protect() == PAGE_WRITECOPY) copyOnWrite = true;

    std::uint64_t offset = (static_cast<std::uint64_t>(fileOffsetHigh) << 32) | fileOffsetLow;
    if (offset % MAPPING_ALLOCATION_GRANULARITY != 0) return FailView(ERROR_MAPPED_ALIGNMENT);
    if (offset >= mapping->Size()) return FailView(ERROR_INVALID_PARAMETER);
    std::uint64_t available = mapping->Size() - offset;
    std::uint64_t length = numberOfBytesToMap == 0 ? available : numberOfBytesToMap;
    if (length > available || length > SIZE_MAX) return FailView(ERROR_INVALID_PARAMETER);
    if (mapping->IsFile()) {
        // Another handle may have cut the file since: a view past its end would fault.
        struct stat info;
        if (fstat(mapping->Descriptor(), &info) != 0 || static_cast<std::uint64_t>(info.st_size) < offset + length)
            return FailView(ERROR_FILE_INVALID);
    }

    int protection = PROT_READ | ((wantsWrite || copyOnWrite) ? PROT_WRITE : 0);
    int flags = copyOnWrite ? MAP_PRIVATE : MAP_SHARED;
    void* address = mmap(nullptr, static_cast<std::size_t>(length), protection, flags, mapping->Descriptor(),
                         static_cast<off_t>(offset));
    if (address == MAP_FAILED) return FailView(ERROR_NOT_ENOUGH_MEMORY);

    mapping->AddHandleRef();
    ViewTable& table = Views();
    {
        std::lock_guard<std::mutex> guard(table.lock);
        table.views[address] = View{static_cast<std::size_t>(length), mapping};
    }
    SetLastError(ERROR_SUCCESS);
    return address;
}

BOOL UnmapViewOfFile(LPCVOID baseAddress) {
    View view{};
    {
        ViewTable& table = Views();
        std::lock_guard<std::mutex> guard(table.lock);
        auto found = table.views.find(baseAddress);
        if (found == table.views.end()) {
            SetLastError(ERROR_INVALID_ADDRESS);
            return FALSE;
        }
        view = found->second;
        table.views.erase(found);
    }
    munmap(const_cast<void*>(baseAddress), view.length);
    view.mapping->ReleaseHandleRef();
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}
