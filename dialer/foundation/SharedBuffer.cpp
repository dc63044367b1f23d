// Converting pack texts from UTF-8.
#include "dialer/foundation/SharedBuffer.h"

#include <climits>

#include "dialer/foundation/OrmException.h"
#include "platform/base/CodePage.h"

CSharedWideText Utf8ToWideBuffer(const CSharedBuffer& bytes) {
    if (!bytes) ThrowOrm(E_ORM_FAIL);
    if (bytes.bytes > static_cast<std::size_t>(INT_MAX)) ThrowOrm(E_ORM_FAIL);
    const auto* text = reinterpret_cast<LPCSTR>(bytes.Data());
    const int length = static_cast<int>(bytes.bytes);
    const int needed = MultiByteToWideChar(CP_UTF8, 0, text, length, nullptr, 0);
    if (needed <= 0) {
        const HRESULT code = HResultFromLastError();
        ThrowOrm(FAILED(code) ? code : E_ORM_FAIL);
    }
    CSharedWideText wide = MakeSharedArray<WCHAR>(static_cast<std::size_t>(needed) + 1);
    if (!wide) ThrowOrm(E_OUTOFMEMORY);
    if (MultiByteToWideChar(CP_UTF8, 0, text, length, wide.Data(), needed) != needed) {
        const HRESULT code = HResultFromLastError();
        ThrowOrm(FAILED(code) ? code : E_ORM_FAIL);
    }
    return wide;  // zeroed, so the terminator is already there
}
