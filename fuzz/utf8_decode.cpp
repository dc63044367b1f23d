// Fuzzes MultiByteToWideChar / WideCharToMultiByte (UTF-8 and Windows-1252) and checks that
// text converts back unchanged wherever it can: valid UTF-8 and any bytes in Windows-1252.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/base/CodePage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > 65536) return 0;
    auto* bytes = reinterpret_cast<const char*>(data);
    int length = static_cast<int>(size);
    for (UINT page : {CP_UTF8, CP_ACP}) {
        bool valid = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes, length, nullptr, 0) > 0;
        int wideLength = MultiByteToWideChar(page, 0, bytes, length, nullptr, 0);
        std::vector<WCHAR> wide(static_cast<std::size_t>(wideLength));
        if (MultiByteToWideChar(page, 0, bytes, length, wide.data(), wideLength) != wideLength) std::abort();
        int backLength = WideCharToMultiByte(page, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
        std::vector<char> back(static_cast<std::size_t>(backLength));
        if (WideCharToMultiByte(page, 0, wide.data(), wideLength, back.data(), backLength, nullptr, nullptr) !=
            backLength)
            std::abort();
        bool same = backLength == length && std::equal(back.begin(), back.end(), bytes);
        if ((page == CP_ACP || valid) != same) std::abort();
        // Whatever came in, the UTF-8 written out is valid and converts again to the same text.
        std::vector<WCHAR> again(wide.size());
        if (page == CP_UTF8 && (MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, back.data(), backLength, again.data(),
                                                    wideLength) != wideLength ||
                                again != wide))
            std::abort();
    }
    return 0;
}
