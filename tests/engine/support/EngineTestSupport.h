// Shared helpers of the engine core tests: a fresh engine heap per test and a log stream
// that keeps what the engine logs.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "engine/core/memory/EngineLog.h"
#include "engine/core/memory/EngineMemory.h"

namespace engine_test {

// Captures the engine log while it lives.
class CapturedLog : public LogStream {
public:
    CapturedLog() : previous_(GetLogStream()) { SetLogStream(this); }
    ~CapturedLog() { SetLogStream(previous_); }
    CapturedLog(const CapturedLog&) = delete;
    CapturedLog& operator=(const CapturedLog&) = delete;

    void Write(const char* text, std::size_t length) override { text_.append(text, length); }
    void Flush() override { ++flushes_; }
    bool IsDiskFile() const override { return diskFile_; }

    const std::string& Text() const { return text_; }
    bool Contains(const std::string& part) const { return text_.find(part) != std::string::npos; }
    int Count(const std::string& part) const {
        int found = 0;
        for (std::size_t at = text_.find(part); at != std::string::npos; at = text_.find(part, at + 1)) ++found;
        return found;
    }
    int Flushes() const { return flushes_; }
    void SetDiskFile(bool diskFile) { diskFile_ = diskFile; }

private:
    LogStream* previous_;
    std::string text_;
    int flushes_ = 0;
    bool diskFile_ = true;
};

// Every test starts on freshly set-up heaps and link pool.
class HeapTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(HeapInit(), 0); }
    void TearDown() override { HeapTeardown(); }
};

}  // namespace engine_test
