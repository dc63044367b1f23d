// Code-page conversion between 8-bit text and UTF-16: code page 65001 (UTF-8) and the
// ANSI page 0 / 1252 (Windows-1252).
#pragma once

#include <string>

#include "platform/base/Types.h"

constexpr UINT CP_ACP = 0;
constexpr UINT CP_OEMCP = 1;
constexpr UINT CP_UTF8 = 65001;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x00000008;
constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x00000400;

// As on the handset: cbMultiByte / cchWideChar == -1 means "terminated, count the
// terminator too"; a zero output size asks for the needed size; a too small buffer gives 0
// with ERROR_INSUFFICIENT_BUFFER. Invalid UTF-8 becomes U+FFFD, or fails with
// ERROR_NO_UNICODE_TRANSLATION under MB_ERR_INVALID_CHARS. Unpaired surrogates become
// U+FFFD in UTF-8 output.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int cbMultiByte, LPWSTR wideChar,
                        int cchWideChar);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wideChar, int cchWideChar, LPSTR multiByte,
                        int cbMultiByte, LPCSTR defaultChar, LPBOOL usedDefaultChar);

namespace platform {
// Convenience forms for the platform's own code (paths, database text, messages).
std::u16string Utf8ToUtf16(const std::string& text);
std::string Utf16ToUtf8(const std::u16string& text);
std::string Utf16ToUtf8(LPCWSTR text);
}  // namespace platform
