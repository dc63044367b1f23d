// File handles: the descriptor is closed when the last handle to the file goes.
#include "platform/fs/FileObject.h"

#include <unistd.h>

#include "platform/fs/Files.h"

namespace platform::fs {

FileObject::FileObject(int descriptor, DWORD access, std::string linuxPath)
    : descriptor_(descriptor), access_(access), linuxPath_(std::move(linuxPath)) {}

FileObject::~FileObject() { close(descriptor_); }

bool FileObject::CanRead() const { return (access_ & (GENERIC_READ | GENERIC_ALL | GENERIC_EXECUTE)) != 0; }

bool FileObject::CanWrite() const { return (access_ & (GENERIC_WRITE | GENERIC_ALL)) != 0; }

}  // namespace platform::fs
