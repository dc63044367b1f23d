// The engine's one error path: LogException formats a message with its source file and line,
// writes it to the engine log (when a log stream is open) and keeps the first 64 in the
// exception list. Callers report the failure by their result and go on.
#pragma once

#include <cstddef>
#include <cstdint>

// Where the engine log goes: the program sets standard error (StandardErrorLog.h); a file
// stream or a test can be set.
class LogStream {
public:
    virtual void Write(const char* text, std::size_t length) = 0;
    virtual void Flush() = 0;
    // Only a plain disk file is flushed after an exception: an archive or memory stream
    // has nothing to flush to.
    virtual bool IsDiskFile() const = 0;

protected:
    ~LogStream() = default;
};

// The stream is not owned; null closes the log.
void SetLogStream(LogStream* stream);
LogStream* GetLogStream();

constexpr int kExceptionListCapacity = 64;
constexpr std::size_t kExceptionTextSize = 64;
// A message as the log formats it: the list of what went wrong shows each one whole.
constexpr std::size_t kExceptionMessageSize = 512;

struct ExceptionRecord {
    char message[kExceptionMessageSize];  // zero-terminated, cut to fit
    char file[kExceptionTextSize];        // zero-terminated, cut to fit
    std::int32_t line;
};

// Formats into 512 bytes (longer messages are cut), logs "<file>(<line>) : <message>" under
// the category "Exception" with a flush, and keeps the record while fewer than 64 are kept.
void LogException(const char* format, const char* file, int line, ...) __attribute__((format(printf, 1, 4)));

// Writes "<category>: <text>\r\n" ("Log" when no category is given) when a log stream is
// open; the text is formatted into 512 bytes and cut to fit.
void LogWrite(const char* format, const char* category, int flush, ...) __attribute__((format(printf, 1, 4)));

// The kept exceptions of this run, oldest first.
int ExceptionCount();
const ExceptionRecord* ExceptionAt(int index);

#if defined(__FILE_NAME__)
#define KEL_SOURCE_FILE __FILE_NAME__
#else
#define KEL_SOURCE_FILE __FILE__
#endif

// LogException with the calling source file and line filled in.
#define KEL_LOG_EXCEPTION(format, ...) LogException(format, KEL_SOURCE_FILE, __LINE__ __VA_OPT__(, ) __VA_ARGS__)
