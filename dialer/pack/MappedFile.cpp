// Page-file mappings for large images.
#include "dialer/pack/MappedFile.h"

#include "dialer/foundation/OrmException.h"
#include "platform/base/Handle.h"
#include "platform/fs/FileMapping.h"

void CMappedFile::CreateAnonymous(ULONGLONG size) {
    Close();
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, static_cast<DWORD>(size >> 32),
                                        static_cast<DWORD>(size & 0xFFFFFFFFu), nullptr);
    if (mapping == nullptr) {
        const HRESULT code = HResultFromLastError();
        ThrowOrm(FAILED(code) ? code : E_ORM_FAIL);
    }
    void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    if (view == nullptr) {
        CloseHandle(mapping);
        ThrowOrm(E_ORM_FAIL);
    }
    m_mapping = mapping;
    m_view = view;
    m_size = size;
}

void CMappedFile::Close() {
    if (m_view != nullptr) UnmapViewOfFile(m_view);
    if (m_mapping != nullptr) CloseHandle(m_mapping);
    m_view = nullptr;
    m_mapping = nullptr;
    m_size = 0;
}
