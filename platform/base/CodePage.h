// Code-page conversion between 8-bit text and UTF-16: code page 65001 (UTF-8) and the
// ANSI page 0 / 1252 (Windows-1252; the handset's OEM page 1 is the same page).
#pragma once

#include <string>

#include "platform/base/Types.h"

constexpr UINT CP_ACP = 0;
constexpr UINT CP_OEMCP = 1;
constexpr UINT CP_UTF8 = 65001;
constexpr DWORD MB_PRECOMPOSED = 0x00000001;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x00000008;
constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x00000400;

// As on the handset: cbMultiByte / cchWideChar == -1 means "terminated, count the
// terminator too"; a zero output size asks for the needed size; a too small buffer gives 0
// with ERROR_INSUFFICIENT_BUFFER. Invalid UTF-8 becomes U+FFFD, or fails with
// ERROR_NO_UNICODE_TRANSLATION under MB_ERR_INVALID_CHARS; overlong forms and encoded
// surrogates are invalid, and each maximal invalid subsequence gives one U+FFFD. Unpaired
// surrogates become U+FFFD in UTF-8 output. Windows-1252 maps every byte (its five unused
// bytes to the control characters of the same value), so it round-trips any bytes; a
// character it lacks becomes the default character ('?' unless given) and sets
// *usedDefaultChar. For UTF-8, defaultChar and usedDefaultChar must be null.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int cbMultiByte, LPWSTR wideChar,
                        int cchWideChar);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wideChar, int cchWideChar, LPSTR multiByte,
                        int cbMultiByte, LPCSTR defaultChar, LPBOOL usedDefaultChar);

namespace platform {
// Convenience forms for the platform's own code (paths, database text, messages).
std::u16string Utf8ToUtf16(const std::string& text);
std::string Utf16ToUtf8(const std::u16string& text);
std::string Utf16ToUtf8(LPCWSTR text);
// One byte of the ANSI page (Windows-1252) as UTF-16; every byte has a character.
WCHAR AnsiByteToWide(unsigned char byte);
}  // namespace platform
