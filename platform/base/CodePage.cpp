// MultiByteToWideChar and WideCharToMultiByte for UTF-8 and Windows-1252, and the
// platform's own UTF-8 <-> UTF-16 helpers.
#include "platform/base/CodePage.h"

#include <climits>
#include <cstdint>
#include <cstring>

#include "platform/base/Errors.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kInvalid = 0xFFFFFFFF;

// Windows-1252's 0x80-0x9F block; the five bytes the page leaves unused stand for the
// control characters of the same value, so that any byte string converts back unchanged.
constexpr char16_t kAnsiHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

enum class Page { Utf8, Ansi, Unknown };

Page PageOf(UINT codePage) {
    if (codePage == CP_UTF8) return Page::Utf8;
    if (codePage == CP_ACP || codePage == CP_OEMCP || codePage == 1252) return Page::Ansi;
    return Page::Unknown;
}

// Reads one character at `at`, moving past it. An invalid sequence gives kInvalid and
// moves past its maximal invalid part: the lead byte and any continuation bytes that
// could still have completed it.
char32_t DecodeUtf8(const std::uint8_t* text, std::uint64_t length, std::uint64_t& at) {
    std::uint8_t lead = text[at++];
    if (lead < 0x80) return lead;
    if (lead < 0xC2 || lead > 0xF4) return kInvalid;
    int continuations = lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    char32_t code = lead & (0x3F >> continuations);
    // The second byte's range excludes overlong forms (E0, F0), encoded surrogates (ED)
    // and values above U+10FFFF (F4).
    std::uint8_t low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    std::uint8_t high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    for (int i = 0; i < continuations; ++i) {
        if (at >= length || text[at] < low || text[at] > high) return kInvalid;
        code = (code << 6) | (text[at++] & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return code;
}

// Reads one character of UTF-16 at `at`; an unpaired surrogate gives kInvalid.
char32_t DecodeUtf16(const WCHAR* text, std::uint64_t length, std::uint64_t& at) {
    char32_t unit = text[at++];
    if (unit < 0xD800 || unit > 0xDFFF) return unit;
    if (unit <= 0xDBFF && at < length && text[at] >= 0xDC00 && text[at] <= 0xDFFF)
        return 0x10000 + ((unit - 0xD800) << 10) + (text[at++] - 0xDC00);
    return kInvalid;
}

int EncodeUtf16(char32_t code, WCHAR* units) {
    if (code < 0x10000) {
        units[0] = static_cast<WCHAR>(code);
        return 1;
    }
    code -= 0x10000;
    units[0] = static_cast<WCHAR>(0xD800 + (code >> 10));
    units[1] = static_cast<WCHAR>(0xDC00 + (code & 0x3FF));
    return 2;
}

int EncodeUtf8(char32_t code, char* bytes) {
    if (code < 0x80) {
        bytes[0] = static_cast<char>(code);
        return 1;
    }
    if (code < 0x800) {
        bytes[0] = static_cast<char>(0xC0 | (code >> 6));
        bytes[1] = static_cast<char>(0x80 | (code & 0x3F));
        return 2;
    }
    if (code < 0x10000) {
        bytes[0] = static_cast<char>(0xE0 | (code >> 12));
        bytes[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        bytes[2] = static_cast<char>(0x80 | (code & 0x3F));
        return 3;
    }
    bytes[0] = static_cast<char>(0xF0 | (code >> 18));
    bytes[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    bytes[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    bytes[3] = static_cast<char>(0x80 | (code & 0x3F));
    return 4;
}

// The Windows-1252 byte for a character, or -1 when the page lacks it.
int AnsiByteOf(char32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<int>(code);
    for (int i = 0; i < 32; ++i)
        if (kAnsiHighControls[i] == code) return 0x80 + i;
    return -1;
}

// Collects output units into the caller's buffer, or only counts them when there is none.
template <typename Unit>
class Sink {
public:
    Sink(Unit* buffer, std::uint64_t capacity) : buffer_(buffer), capacity_(capacity) {}

    // Adds one character's units whole; false once the buffer cannot take them.
    bool Put(const Unit* units, int count) {
        if (buffer_ != nullptr) {
            if (count_ + static_cast<std::uint64_t>(count) > capacity_) return false;
            std::memcpy(buffer_ + count_, units, static_cast<std::size_t>(count) * sizeof(Unit));
        }
        count_ += static_cast<std::uint64_t>(count);
        return true;
    }

    std::uint64_t Count() const { return count_; }

private:
    Unit* buffer_;
    std::uint64_t capacity_;
    std::uint64_t count_ = 0;
};

int Fail(DWORD error) {
    SetLastError(error);
    return 0;
}

// The result as the API's int, failing when it cannot be told in one.
int Finish(std::uint64_t count) {
    if (count > static_cast<std::uint64_t>(INT_MAX)) return Fail(ERROR_ARITHMETIC_OVERFLOW);
    return static_cast<int>(count);
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int cbMultiByte, LPWSTR wideChar,
                        int cchWideChar) {
    Page page = PageOf(codePage);
    if (page == Page::Unknown || multiByte == nullptr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
        (cchWideChar > 0 && wideChar == nullptr))
        return Fail(ERROR_INVALID_PARAMETER);
    if ((flags & ~(MB_PRECOMPOSED | MB_ERR_INVALID_CHARS)) != 0) return Fail(ERROR_INVALID_FLAGS);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(multiByte);
    std::uint64_t length = cbMultiByte == -1 ? std::strlen(multiByte) + 1 : static_cast<std::uint64_t>(cbMultiByte);
    Sink<WCHAR> sink(cchWideChar > 0 ? wideChar : nullptr, static_cast<std::uint64_t>(cchWideChar));
    for (std::uint64_t at = 0; at < length;) {
        char32_t code;
        if (page == Page::Ansi) {
            std::uint8_t byte = bytes[at++];
            code = byte >= 0x80 && byte <= 0x9F ? kAnsiHighControls[byte - 0x80] : byte;
        } else {
            code = DecodeUtf8(bytes, length, at);
            if (code == kInvalid) {
                if ((flags & MB_ERR_INVALID_CHARS) != 0) return Fail(ERROR_NO_UNICODE_TRANSLATION);
                code = kReplacement;
            }
        }
        WCHAR units[2];
        if (!sink.Put(units, EncodeUtf16(code, units))) return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    return Finish(sink.Count());
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wideChar, int cchWideChar, LPSTR multiByte,
                        int cbMultiByte, LPCSTR defaultChar, LPBOOL usedDefaultChar) {
    Page page = PageOf(codePage);
    if (page == Page::Unknown || wideChar == nullptr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
        (cbMultiByte > 0 && multiByte == nullptr))
        return Fail(ERROR_INVALID_PARAMETER);
    if (page == Page::Utf8 && (defaultChar != nullptr || usedDefaultChar != nullptr))
        return Fail(ERROR_INVALID_PARAMETER);
    if ((flags & ~WC_NO_BEST_FIT_CHARS) != 0) return Fail(ERROR_INVALID_FLAGS);
    std::uint64_t length = 0;
    if (cchWideChar == -1) {
        while (wideChar[length] != 0) ++length;
        ++length;
    } else {
        length = static_cast<std::uint64_t>(cchWideChar);
    }
    // Without best-fit mapping (this page never guesses): a missing character is the
    // default character.
    char fallback = defaultChar != nullptr ? defaultChar[0] : '?';
    bool usedDefault = false;
    Sink<char> sink(cbMultiByte > 0 ? multiByte : nullptr, static_cast<std::uint64_t>(cbMultiByte));
    for (std::uint64_t at = 0; at < length;) {
        char32_t code = DecodeUtf16(wideChar, length, at);
        char bytes[4];
        int count;
        if (page == Page::Utf8) {
            count = EncodeUtf8(code == kInvalid ? kReplacement : code, bytes);
        } else {
            int byte = code == kInvalid ? -1 : AnsiByteOf(code);
            if (byte < 0) usedDefault = true;
            bytes[0] = byte < 0 ? fallback : static_cast<char>(byte);
            count = 1;
        }
        if (!sink.Put(bytes, count)) return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    if (usedDefaultChar != nullptr) *usedDefaultChar = usedDefault ? TRUE : FALSE;
    return Finish(sink.Count());
}

namespace platform {

std::u16string Utf8ToUtf16(const std::string& text) {
    std::u16string result;
    result.reserve(text.size());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    for (std::uint64_t at = 0; at < text.size();) {
        char32_t code = DecodeUtf8(bytes, text.size(), at);
        WCHAR units[2];
        result.append(units, static_cast<std::size_t>(EncodeUtf16(code == kInvalid ? kReplacement : code, units)));
    }
    return result;
}

std::string Utf16ToUtf8(const std::u16string& text) {
    std::string result;
    result.reserve(text.size());
    for (std::uint64_t at = 0; at < text.size();) {
        char32_t code = DecodeUtf16(text.data(), text.size(), at);
        char bytes[4];
        result.append(bytes, static_cast<std::size_t>(EncodeUtf8(code == kInvalid ? kReplacement : code, bytes)));
    }
    return result;
}

std::string Utf16ToUtf8(LPCWSTR text) { return text == nullptr ? std::string() : Utf16ToUtf8(std::u16string(text)); }

WCHAR AnsiByteToWide(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? static_cast<WCHAR>(kAnsiHighControls[byte - 0x80]) : byte;
}

}  // namespace platform
