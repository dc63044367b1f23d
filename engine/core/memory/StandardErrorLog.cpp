// The standard-error log stream and the printed exception list.
#include "engine/core/memory/StandardErrorLog.h"

#include <cstdio>

namespace {

class StandardErrorStream final : public LogStream {
public:
    void Write(const char* text, std::size_t length) override {
        std::size_t start = 0;
        for (std::size_t at = 0; at < length; ++at) {
            if (text[at] != '\r') continue;
            std::fwrite(text + start, 1, at - start, stderr);
            start = at + 1;
        }
        std::fwrite(text + start, 1, length - start, stderr);
    }
    void Flush() override { std::fflush(stderr); }
    bool IsDiskFile() const override { return true; }
};

}  // namespace

LogStream& StandardErrorLog() {
    static StandardErrorStream stream;
    return stream;
}

void PrintExceptionList(const char* heading) {
    std::fprintf(stderr, "%s\n", heading);
    for (int index = 0; index < ExceptionCount(); ++index) {
        const ExceptionRecord* record = ExceptionAt(index);
        std::fprintf(stderr, "  %s (%s, line %d)\n", record->message, record->file, static_cast<int>(record->line));
    }
    std::fflush(stderr);
}
