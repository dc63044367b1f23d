// Safe text formatting: bounded printf of our own formats, numbers filled into translated texts.
#include "game/ui/text/TextFormat.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool IsFlagOrWidth(WCHAR c) { return c == u'-' || c == u'+' || c == u' ' || c == u'0' || (c >= u'1' && c <= u'9'); }

}  // namespace

std::size_t FormatBounded(char* buffer, std::size_t capacity, const char* format, ...) {
    if (buffer == nullptr || capacity == 0) return 0;
    buffer[0] = 0;
    if (format == nullptr) return 0;
    std::va_list arguments;
    va_start(arguments, format);
    const int wanted = std::vsnprintf(buffer, capacity, format, arguments);
    va_end(arguments);
    buffer[capacity - 1] = 0;
    if (wanted < 0) {
        buffer[0] = 0;
        return 0;
    }
    return static_cast<std::size_t>(wanted) < capacity ? static_cast<std::size_t>(wanted) : capacity - 1;
}

EngineWString FillNumber(const WCHAR* text, std::int32_t number) {
    if (text == nullptr) return EngineWString();
    char digits[16];
    FormatBounded(digits, sizeof digits, "%d", static_cast<int>(number));
    std::u16string out;
    for (std::size_t at = 0; text[at] != 0; ++at) {
        if (text[at] != u'%') {
            out.push_back(text[at]);
            continue;
        }
        if (text[at + 1] == u'%') {
            out.push_back(u'%');
            ++at;
            continue;
        }
        std::size_t end = at + 1;
        while (IsFlagOrWidth(text[end]) && end - at < 4) ++end;
        const WCHAR conversion = text[end];
        if (conversion == u'd' || conversion == u'i' || conversion == u'u') {
            for (const char* digit = digits; *digit != 0; ++digit) out.push_back(static_cast<WCHAR>(*digit));
            at = end;
            continue;
        }
        out.push_back(u'%');  // any other '%' is text
    }
    return EngineWString::FromRange(out.data(), out.size());
}

EngineWString CopyText(const WCHAR* text) { return EngineWString(text); }
