// The engine log and the exception list of this run.
#include "engine/core/memory/EngineLog.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::size_t kLogBufferSize = kExceptionMessageSize;

LogStream* logStream = nullptr;
ExceptionRecord exceptionList[kExceptionListCapacity];
int exceptionCount = 0;

// Copies as much of text as fits, always terminated.
void CopyCut(char* destination, std::size_t capacity, const char* text) {
    if (text == nullptr) text = "";
    std::size_t length = std::strlen(text);
    if (length >= capacity) length = capacity - 1;
    std::memcpy(destination, text, length);
    destination[length] = '\0';
}

void FormatInto(char* buffer, std::size_t capacity, const char* format, std::va_list arguments) {
    // vsnprintf cuts the text at the buffer's end; a negative result means an encoding
    // error, which leaves nothing worth keeping.
    if (std::vsnprintf(buffer, capacity, format, arguments) < 0) buffer[0] = '\0';
}

void WriteLogLine(const char* category, const char* text, int flush) {
    if (logStream == nullptr) return;
    if (category == nullptr) category = "Log";
    logStream->Write(category, std::strlen(category));
    logStream->Write(": ", 2);
    logStream->Write(text, std::strlen(text));
    logStream->Write("\r\n", 2);
    if (flush != 0 && logStream->IsDiskFile()) logStream->Flush();
}

}  // namespace

void SetLogStream(LogStream* stream) { logStream = stream; }

LogStream* GetLogStream() { return logStream; }

void LogException(const char* format, const char* file, int line, ...) {
    char message[kLogBufferSize];
    message[0] = '\0';
    if (format != nullptr) {
        std::va_list arguments;
        va_start(arguments, line);
        FormatInto(message, sizeof message, format, arguments);
        va_end(arguments);
    }
    if (file == nullptr) file = "";
    LogWrite("%s(%d) : %s", "Exception", 1, file, line, message);

    if (exceptionCount < kExceptionListCapacity) {
        ExceptionRecord& record = exceptionList[exceptionCount++];
        CopyCut(record.message, sizeof record.message, message);
        CopyCut(record.file, sizeof record.file, file);
        record.line = line;
    }
}

void LogWrite(const char* format, const char* category, int flush, ...) {
    if (logStream == nullptr || format == nullptr) return;
    char text[kLogBufferSize];
    std::va_list arguments;
    va_start(arguments, flush);
    FormatInto(text, sizeof text, format, arguments);
    va_end(arguments);
    WriteLogLine(category, text, flush);
}

int ExceptionCount() { return exceptionCount; }

const ExceptionRecord* ExceptionAt(int index) {
    if (index < 0 || index >= exceptionCount) return nullptr;
    return &exceptionList[index];
}
