// The kernel object behind a file handle: an open Linux file descriptor with the access
// the handle was opened for.
#pragma once

#include <atomic>
#include <string>

#include "platform/base/Handle.h"

namespace platform::fs {

class FileObject : public KernelObject {
public:
    FileObject(int descriptor, DWORD access, std::string linuxPath);
    ~FileObject() override;

    int Descriptor() const { return descriptor_; }
    bool CanRead() const;
    bool CanWrite() const;
    const std::string& LinuxPath() const { return linuxPath_; }

    // While a mapping of the file exists the file must not shrink under its views: a view
    // beyond the end would fault on access.
    void AddMapping() { mappings_.fetch_add(1, std::memory_order_relaxed); }
    void RemoveMapping() { mappings_.fetch_sub(1, std::memory_order_relaxed); }
    bool HasMappings() const { return mappings_.load(std::memory_order_relaxed) > 0; }

private:
    int descriptor_;
    DWORD access_;
    std::string linuxPath_;
    std::atomic<int> mappings_{0};
};

}  // namespace platform::fs
