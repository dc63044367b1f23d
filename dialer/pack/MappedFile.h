// CMappedFile: memory of the page file mapped into the process, outside the heap, for the
// pixels of large skin images. Counted, so that a surface can keep it alive.
#pragma once

#include "dialer/foundation/RefCounted.h"
#include "platform/base/Types.h"

class CMappedFile : public CRefCounted {
public:
    CMappedFile() = default;
    ~CMappedFile() override { Close(); }

    // Closes anything held, then maps `size` bytes of page-file memory read-write. Throws
    // the platform's error when the mapping cannot be made, E_ORM_FAIL when it cannot be
    // viewed.
    void CreateAnonymous(ULONGLONG size);
    void Close();

    BYTE* GetView() const { return static_cast<BYTE*>(m_view); }
    ULONGLONG GetSize() const { return m_size; }

private:
    HANDLE m_mapping = nullptr;
    void* m_view = nullptr;
    ULONGLONG m_size = 0;
};
