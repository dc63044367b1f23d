// The wide formatter behind _snwprintf, swprintf and their va_list forms: the handset's
// wide printf, always bounded by the caller's count and always terminated.
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/base/CodePage.h"
#include "platform/base/WideString.h"

namespace {

// Bounded output: keeps room for the terminator and remembers whether anything was cut.
class Output {
public:
    Output(WCHAR* buffer, size_t count) : buffer_(buffer), count_(count) {}

    bool Cut() const { return cut_; }

    void Put(WCHAR c) {
        if (cut_) return;
        if (length_ + 1 >= count_ || length_ >= static_cast<size_t>(INT_MAX)) {
            cut_ = true;
            return;
        }
        buffer_[length_++] = c;
    }

    void Repeat(WCHAR c, std::uint64_t times) {
        for (; times > 0 && !cut_; --times) Put(c);
    }

    void PutAscii(const char* text, size_t length) {
        for (size_t i = 0; i < length && !cut_; ++i) Put(static_cast<unsigned char>(text[i]));
    }

    int Finish() {
        if (count_ == 0) return -1;
        if (cut_ && length_ > 0 && buffer_[length_ - 1] >= 0xD800 && buffer_[length_ - 1] <= 0xDBFF) --length_;
        buffer_[length_] = 0;
        return cut_ ? -1 : static_cast<int>(length_);
    }

private:
    WCHAR* buffer_;
    size_t count_;
    size_t length_ = 0;
    bool cut_ = false;
};

enum class Size { Int, Char, Short, Long64, Pointer, Wide };

struct Directive {
    bool left = false;
    bool plus = false;
    bool space = false;
    bool zero = false;
    bool alternate = false;
    int width = 0;
    int precision = -1;  // -1: none given
    Size size = Size::Int;
    WCHAR conversion = 0;
};

// va_list cannot be passed on by reference portably; a struct holding a copy can.
struct Arguments {
    va_list list;
};

// Writes prefix, `zeros` zero digits and the body, padded to the field width.
template <typename Body>
void Field(Output& out, const Directive& directive, const char* prefix, std::uint64_t zeros, std::uint64_t bodyLength,
           Body body) {
    std::uint64_t length = std::strlen(prefix) + zeros + bodyLength;
    std::uint64_t padding = static_cast<std::uint64_t>(directive.width) > length ? directive.width - length : 0;
    if (!directive.left) out.Repeat(u' ', padding);
    out.PutAscii(prefix, std::strlen(prefix));
    out.Repeat(u'0', zeros);
    body();
    if (directive.left) out.Repeat(u' ', padding);
}

void FormatInteger(Output& out, const Directive& directive, std::uint64_t magnitude, bool negative, bool isSigned) {
    unsigned base = 10;
    const char* digitSet = "0123456789abcdef";
    if (directive.conversion == u'x' || directive.conversion == u'X' || directive.conversion == u'p') base = 16;
    if (directive.conversion == u'X' || directive.conversion == u'p') digitSet = "0123456789ABCDEF";
    if (directive.conversion == u'o') base = 8;

    char digits[32];
    size_t count = 0;
    for (std::uint64_t v = magnitude; v != 0; v /= base) digits[count++] = digitSet[v % base];
    if (magnitude == 0 && directive.precision != 0) digits[count++] = '0';

    char prefix[3] = {0, 0, 0};
    if (isSigned && negative)
        prefix[0] = '-';
    else if (isSigned && directive.plus)
        prefix[0] = '+';
    else if (isSigned && directive.space)
        prefix[0] = ' ';
    else if (directive.alternate && base == 16 && magnitude != 0 && directive.conversion != u'p') {
        prefix[0] = '0';
        prefix[1] = static_cast<char>(directive.conversion);
    }

    std::uint64_t zeros = directive.precision > 0 && static_cast<size_t>(directive.precision) > count ? directive.precision - count : 0;
    if (directive.zero && !directive.left && directive.precision < 0) {
        std::uint64_t used = std::strlen(prefix) + count;
        if (static_cast<std::uint64_t>(directive.width) > used) zeros = directive.width - used;
    }
    if (directive.alternate && base == 8 && zeros == 0 && (count == 0 || digits[count - 1] != '0')) zeros = 1;
    Field(out, directive, prefix, zeros, count, [&] {
        for (size_t i = count; i > 0; --i) out.Put(static_cast<unsigned char>(digits[i - 1]));
    });
}

// Precisions above this need no more digits from the C library: a double's exact decimal
// expansion ends within 1074 places, so further places are zeros that we add ourselves.
constexpr int kMaxFloatPrecision = 1100;

void FormatFloat(Output& out, const Directive& directive, double value) {
    std::string format = "%";
    if (directive.plus) format += '+';
    if (directive.space) format += ' ';
    if (directive.alternate) format += '#';
    format += ".*";
    format += static_cast<char>(directive.conversion);
    int precision = directive.precision < 0 ? 6 : directive.precision;
    int asked = precision > kMaxFloatPrecision ? kMaxFloatPrecision : precision;
    int needed = std::snprintf(nullptr, 0, format.c_str(), asked, value);
    if (needed < 0) return;
    std::string text(static_cast<size_t>(needed) + 1, '\0');
    std::snprintf(text.data(), text.size(), format.c_str(), asked, value);
    text.resize(static_cast<size_t>(needed));

    std::uint64_t extraZeros = 0;
    bool keepsTrailingZeros = (directive.conversion != u'g' && directive.conversion != u'G') || directive.alternate;
    if (precision > asked && std::isfinite(value) && keepsTrailingZeros) extraZeros = precision - asked;
    size_t exponent = text.find_first_of("eE");
    if ((directive.conversion == u'f' || directive.conversion == u'F') || exponent == std::string::npos) exponent = text.size();

    char prefix[2] = {0, 0};
    size_t start = 0;
    if (!text.empty() && (text[0] == '-' || text[0] == '+' || text[0] == ' ')) {
        prefix[0] = text[0];
        start = 1;
    }
    std::uint64_t bodyLength = text.size() - start + extraZeros;
    std::uint64_t zeros = 0;
    if (directive.zero && !directive.left && std::isfinite(value)) {
        std::uint64_t used = std::strlen(prefix) + bodyLength;
        if (static_cast<std::uint64_t>(directive.width) > used) zeros = directive.width - used;
    }
    Field(out, directive, prefix, zeros, bodyLength, [&] {
        out.PutAscii(text.data() + start, exponent - start);
        out.Repeat(u'0', extraZeros);
        out.PutAscii(text.data() + exponent, text.size() - exponent);
    });
}

void FormatWideText(Output& out, const Directive& directive, const WCHAR* text) {
    if (text == nullptr) text = u"(null)";
    size_t length = directive.precision >= 0 ? wcsnlen(text, static_cast<size_t>(directive.precision)) : wcslen(text);
    Field(out, directive, "", 0, length, [&] {
        for (size_t i = 0; i < length && !out.Cut(); ++i) out.Put(text[i]);
    });
}

void FormatNarrowText(Output& out, const Directive& directive, const char* text) {
    if (text == nullptr) text = "(null)";
    size_t length = directive.precision >= 0 ? strnlen(text, static_cast<size_t>(directive.precision)) : std::strlen(text);
    Field(out, directive, "", 0, length, [&] {
        for (size_t i = 0; i < length && !out.Cut(); ++i)
            out.Put(platform::AnsiByteToWide(static_cast<unsigned char>(text[i])));
    });
}

// Reads a run of decimal digits, saturating at INT_MAX.
int ReadCount(const WCHAR*& p) {
    int value = 0;
    for (; *p >= u'0' && *p <= u'9'; ++p) value = value > (INT_MAX - 9) / 10 ? INT_MAX : value * 10 + (*p - u'0');
    return value;
}

Size ReadSize(const WCHAR*& p) {
    switch (*p) {
        case u'h':
            if (p[1] == u'h') {
                p += 2;
                return Size::Char;
            }
            ++p;
            return Size::Short;
        case u'l':
            if (p[1] == u'l') {
                p += 2;
                return Size::Long64;
            }
            ++p;
            return Size::Wide;  // 32-bit for integers, wide for text
        case u'L':
            ++p;
            return Size::Int;  // the handset's long double is a double
        case u'w':
            ++p;
            return Size::Wide;
        case u'j':
            ++p;
            return Size::Long64;
        case u'z':
        case u't':
            ++p;
            return Size::Pointer;
        case u'I':
            if (p[1] == u'6' && p[2] == u'4') {
                p += 3;
                return Size::Long64;
            }
            if (p[1] == u'3' && p[2] == u'2') {
                p += 3;
                return Size::Int;
            }
            ++p;
            return Size::Pointer;
        default:
            return Size::Int;
    }
}

// Formats one conversion; false when the conversion is unknown (no argument taken).
bool FormatConversion(Output& out, const Directive& directive, Arguments& args) {
    switch (directive.conversion) {
        case u'd':
        case u'i': {
            std::int64_t value;
            if (directive.size == Size::Long64)
                value = va_arg(args.list, long long);
            else if (directive.size == Size::Pointer)
                value = va_arg(args.list, std::intptr_t);
            else
                value = va_arg(args.list, int);
            if (directive.size == Size::Short) value = static_cast<short>(value);
            if (directive.size == Size::Char) value = static_cast<signed char>(value);
            std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
            FormatInteger(out, directive, magnitude, value < 0, true);
            return true;
        }
        case u'u':
        case u'o':
        case u'x':
        case u'X': {
            std::uint64_t value;
            if (directive.size == Size::Long64)
                value = va_arg(args.list, unsigned long long);
            else if (directive.size == Size::Pointer)
                value = va_arg(args.list, std::uintptr_t);
            else
                value = va_arg(args.list, unsigned int);
            if (directive.size == Size::Short) value = static_cast<unsigned short>(value);
            if (directive.size == Size::Char) value = static_cast<unsigned char>(value);
            FormatInteger(out, directive, value, false, false);
            return true;
        }
        case u'p': {
            Directive pointer = directive;
            pointer.precision = 2 * sizeof(void*);
            FormatInteger(out, pointer, reinterpret_cast<std::uintptr_t>(va_arg(args.list, void*)), false, false);
            return true;
        }
        case u'c':
        case u'C': {
            int value = va_arg(args.list, int);
            bool narrow = directive.size == Size::Short || (directive.conversion == u'C' && directive.size != Size::Wide);
            WCHAR c = narrow ? platform::AnsiByteToWide(static_cast<unsigned char>(value)) : static_cast<WCHAR>(value);
            Field(out, directive, "", 0, 1, [&] { out.Put(c); });
            return true;
        }
        case u's':
        case u'S': {
            bool narrow = directive.size == Size::Short || (directive.conversion == u'S' && directive.size != Size::Wide);
            if (narrow)
                FormatNarrowText(out, directive, va_arg(args.list, const char*));
            else
                FormatWideText(out, directive, va_arg(args.list, const WCHAR*));
            return true;
        }
        case u'f':
        case u'F':
        case u'e':
        case u'E':
        case u'g':
        case u'G':
            FormatFloat(out, directive, va_arg(args.list, double));
            return true;
        default:
            return false;
    }
}

}  // namespace

int _vsnwprintf(WCHAR* buffer, size_t count, const WCHAR* format, va_list list) {
    if (buffer == nullptr) count = 0;
    Output out(buffer, count);
    if (format == nullptr) {
        out.Finish();
        return -1;
    }
    Arguments args;
    va_copy(args.list, list);
    for (const WCHAR* p = format; *p != 0 && !out.Cut();) {
        if (*p != u'%') {
            out.Put(*p++);
            continue;
        }
        const WCHAR* start = p++;
        if (*p == u'%') {
            out.Put(u'%');
            ++p;
            continue;
        }
        Directive directive;
        for (;; ++p) {
            if (*p == u'-')
                directive.left = true;
            else if (*p == u'+')
                directive.plus = true;
            else if (*p == u' ')
                directive.space = true;
            else if (*p == u'0')
                directive.zero = true;
            else if (*p == u'#')
                directive.alternate = true;
            else
                break;
        }
        if (*p == u'*') {
            ++p;
            int width = va_arg(args.list, int);
            if (width < 0) {
                directive.left = true;
                width = width == INT_MIN ? INT_MAX : -width;
            }
            directive.width = width;
        } else {
            directive.width = ReadCount(p);
        }
        if (*p == u'.') {
            ++p;
            if (*p == u'*') {
                ++p;
                int precision = va_arg(args.list, int);
                directive.precision = precision < 0 ? -1 : precision;
            } else {
                directive.precision = ReadCount(p);
            }
        }
        directive.size = ReadSize(p);
        directive.conversion = *p;
        if (*p != 0) ++p;
        if (!FormatConversion(out, directive, args)) {
            for (const WCHAR* q = start; q < p; ++q) out.Put(*q);
        }
    }
    va_end(args.list);
    return out.Finish();
}

int vswprintf(WCHAR* buffer, size_t count, const WCHAR* format, va_list args) {
    return _vsnwprintf(buffer, count, format, args);
}

int _snwprintf(WCHAR* buffer, size_t count, const WCHAR* format, ...) {
    va_list args;
    va_start(args, format);
    int result = _vsnwprintf(buffer, count, format, args);
    va_end(args);
    return result;
}

int swprintf(WCHAR* buffer, size_t count, const WCHAR* format, ...) {
    va_list args;
    va_start(args, format);
    int result = _vsnwprintf(buffer, count, format, args);
    va_end(args);
    return result;
}
