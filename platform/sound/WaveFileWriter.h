// The wave file of HANDSET_AUDIO=wav:<file>: 16-bit stereo PCM, its sizes brought up to date
// after every piece written, so that the file is whole even when the program is killed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace platform::sound {

class WaveFileWriter {
public:
    WaveFileWriter() = default;
    ~WaveFileWriter() { Close(); }
    WaveFileWriter(const WaveFileWriter&) = delete;
    WaveFileWriter& operator=(const WaveFileWriter&) = delete;

    // Keeps appending when the file is open on this path at this rate; otherwise starts the
    // file afresh. False with a sentence in `error` when it cannot be written.
    bool OpenOrContinue(const std::string& path, std::uint32_t rate, std::string& error);
    // Interleaved stereo frames. A failed write is reported once on standard error.
    void Append(const std::int16_t* frames, std::uint32_t count);
    void Close();

private:
    void WriteSizes();

    std::FILE* file_ = nullptr;
    std::string path_;
    std::uint32_t rate_ = 0;
    std::uint64_t dataBytes_ = 0;
    bool reportedFailure_ = false;
};

}  // namespace platform::sound
