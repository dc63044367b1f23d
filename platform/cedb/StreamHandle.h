// An open stream of a record property: a private copy of its bytes with a position, that
// CeStreamSaveChanges writes back to the volume in one change.
#pragma once

#include <memory>
#include <vector>

#include "platform/base/Handle.h"
#include "platform/cedb/Volume.h"

namespace platform::cedb {

class StreamHandle : public KernelObject {
public:
    StreamHandle(std::shared_ptr<Volume> volume, CEOID database, CEOID record, CEPROPID property, bool canRead,
                 bool canWrite, std::vector<BYTE> data, const ChangeOrigin& origin);
    ~StreamHandle() override;

    bool Read(BYTE* buffer, DWORD count, DWORD& done, DWORD& error);
    bool Write(const BYTE* buffer, DWORD count, DWORD& done, DWORD& error);
    bool Seek(LONG move, DWORD origin, DWORD& position, DWORD& error);
    bool SetSize(DWORD size, DWORD& error);
    bool Save(DWORD& error);

private:
    std::shared_ptr<Volume> volume_;
    CEOID database_;
    CEOID record_;
    CEPROPID property_;
    bool canRead_;
    bool canWrite_;
    std::vector<BYTE> data_;
    std::uint64_t position_ = 0;
    ChangeOrigin origin_;
};

}  // namespace platform::cedb
